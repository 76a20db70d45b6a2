// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vornak {

struct Diagnostic {
    enum class Severity { Warning, Error };

    std::filesystem::path file;
    int line = 1;
    int column = 1;
    Severity severity = Severity::Error;
    std::string message;
};

// Reads the level in folder with the game's own loading code, without creating or writing any
// file, and says what would stop the game (errors) and what a level maker hardly ever means
// (warnings), in the order the game meets them.
std::vector<Diagnostic> CheckLevel(const std::filesystem::path& folder);

// "FILE:LINE:COLUMN: error: message", the form that editors jump from.
std::string FormatDiagnostic(const Diagnostic& diagnostic);

// 0 for a clean level, 1 when there are only warnings, 2 when there is an error.
int ExitStatusFor(const std::vector<Diagnostic>& diagnostics);

}  // namespace vornak
