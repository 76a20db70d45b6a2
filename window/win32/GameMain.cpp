// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "GameMain.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>

#include "GameError.h"
#include "GameSession.h"
#include "frmGame.h"

namespace vornak {

namespace {

// The running executable's own path, as wide text, so that a folder named in any script works.
std::filesystem::path ProgramDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            throw GameError("vornak.exe",
                            "does not say where the game is installed, so its "
                            "level cannot be found");
        }
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path).parent_path();
        }
        path.resize(path.size() * 2);
    }
}

// The level a player names on the command line, or drops on vornak.exe in Explorer, or the
// game's own. The wide command line keeps letters that the ANSI one loses outside its code page.
std::filesystem::path LevelFolder() {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> arguments(
        ::CommandLineToArgvW(::GetCommandLineW(), &count), &::LocalFree);
    if (!arguments || count < 2) {
        return ProgramDirectory();
    }
    return NamedLevelFolder(arguments.get()[1]);
}

}  // namespace

int RunGame(int /*argc*/, char* /*argv*/[]) {
    try {
        frmGame window(LevelFolder());
        if (!window.Form_Load()) {
            return 1;
        }
        window.ShowCentred();
        return window.RunMessageLoop();
    } catch (const std::exception& error) {
        frmGame::ReportStartFailure(error.what());
        return 1;
    }
}

}  // namespace vornak
