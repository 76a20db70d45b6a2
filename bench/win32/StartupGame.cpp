// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The Windows game's start-up to its first painted frame, to be timed as a whole process beside
// the Linux one: showing the window paints it before ShowCentred returns.
#include <windows.h>

#include <filesystem>
#include <string>

#include "frmGame.h"

int main() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    vornak::frmGame window(std::filesystem::path(path).parent_path());
    if (!window.Form_Load()) {
        return 1;
    }
    window.ShowCentred();
    // The frame is on the screen. Ending here keeps the tear-down out of the figure: without a
    // window manager, Wine waits up to two seconds for one to withdraw a closing window.
    ::TerminateProcess(::GetCurrentProcess(), 0);
    return 0;
}
