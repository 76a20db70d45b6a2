# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Where the game and its circuit are installed together: its own folder under the library
# directory (lib/vornak, or lib64/vornak where the system says so). Debian puts games in
# lib/ without the multiarch triplet that CMAKE_INSTALL_LIBDIR would add there.
include(GNUInstallDirs)
set(VORNAK_GAME_DIR ${CMAKE_INSTALL_LIBDIR}/vornak)
if(CMAKE_INSTALL_LIBDIR MATCHES "^lib/")
    set(VORNAK_GAME_DIR lib/vornak)
endif()
