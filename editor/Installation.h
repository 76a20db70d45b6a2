// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>

namespace vornak::editor {

// Where the editor finds what it needs beside itself: the game binary it plays levels with, and
// the bundled circuit that new levels start from.
struct Installation {
    std::filesystem::path game;
    std::filesystem::path bundledCircuit;

    // Looks beside the running editor, both as installed and in a build tree, by the paths this
    // build installs to (lib/ or lib64/, share/).
    static Installation Find();
};

}  // namespace vornak::editor
