// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace vornak::testing {

// The files of the fuzz corpus and findings folders named, relative to fuzz/. A folder git kept
// no file in (no finding of that kind yet) is absent from a clone, and simply has none.
inline std::vector<std::filesystem::path> FuzzInputs(std::initializer_list<const char*> folders) {
    std::vector<std::filesystem::path> inputs;
    for (const char* folder : folders) {
        const std::filesystem::path directory = std::filesystem::path(VORNAK_FUZZ_DIR) / folder;
        if (!std::filesystem::is_directory(directory)) {
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(directory)) {
            inputs.push_back(entry.path());
        }
    }
    return inputs;
}

inline std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream input(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
}

}  // namespace vornak::testing
