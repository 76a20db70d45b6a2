// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>
#include <string>

namespace vornak::editor {

// A mkstemp pattern for a hidden file beside target, in the same folder so that renaming it over
// target is atomic.
inline std::string TemporaryPatternBeside(const std::filesystem::path& target) {
    std::string name = ".";
    name += target.filename().string();
    name += ".XXXXXX";
    return (target.parent_path() / name).string();
}

}  // namespace vornak::editor
