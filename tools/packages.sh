# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Sourced by the other scripts: installs the Debian packages they name, when they are missing.

need_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing Debian packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Run as root, or install sudo, to install: ${missing[*]}" >&2; return 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgif-dev libxkbcommon-x11-dev
    xkb-data libstb-dev)
TEST_PACKAGES=(libgtest-dev reuse xvfb xdotool x11-apps imagemagick dpkg-dev desktop-file-utils appstream x11-utils x11-xkb-utils weston xwayland qt6-wayland
    fusefat dosfstools fuse)
# The Windows build: the mingw-w64 cross-compiler (POSIX threads, for GoogleTest), whose
# packages also carry the runtime's licence notices that go into the zip, and Debian's
# GoogleTest sources. Its tests run the programs under Wine.
WINDOWS_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev googletest)
WINDOWS_TEST_PACKAGES=(wine wine64 xvfb xdotool x11-apps imagemagick unzip)
# The browser's build: emscripten, with stb_image for the pictures; its tests drive Debian's
# Chromium through chromedriver and WebKitGTK's MiniBrowser through WebKitWebDriver (under Xvfb)
# from Python's selenium, and Firefox ESR over WebDriver BiDi through puppeteer-core from npm,
# with the npm that Debian's nodejs brings (Debian's own npm package may not install beside it).
WEB_PACKAGES=(cmake ninja-build emscripten libstb-dev python3)
WEB_TEST_PACKAGES=(chromium chromium-driver python3-selenium firefox-esr webkit2gtk-driver xvfb
    nodejs)
