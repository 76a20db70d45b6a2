// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "Installation.h"

#include <vector>

namespace vornak::editor {

namespace {

std::filesystem::path FirstExisting(const std::vector<std::filesystem::path>& candidates) {
    for (const std::filesystem::path& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::exists(candidate, error)) {
            return std::filesystem::weakly_canonical(candidate, error);
        }
    }
    return {};
}

}  // namespace

Installation Installation::Find() {
    std::error_code error;
    const std::filesystem::path here =
        std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    return {FirstExisting({here / "vornak", here / VORNAK_GAME_FROM_BINDIR / "vornak",
                           here / "../play/vornak"}),
            FirstExisting({here / VORNAK_CIRCUIT_FROM_BINDIR, here / VORNAK_GAME_FROM_BINDIR})};
}

}  // namespace vornak::editor
