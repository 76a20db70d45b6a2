// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// libFuzzer entry: arbitrary bytes as the three level files, through the real loader and rules.
#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzDirectory.h"
#include "LevelInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path directory = vornak::fuzzing::FuzzDirectory("vornak-fuzz");
    vornak::fuzzing::RunLevelInput(data, size, directory);
    return 0;
}
