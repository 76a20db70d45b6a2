// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "GameMain.h"

#include <windows.h>

#include <string>

#include "GameError.h"
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

}  // namespace

int RunGame(int /*argc*/, char* /*argv*/[]) {
    try {
        frmGame window(ProgramDirectory());
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
