// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace vornak::fuzzing {

// A scratch folder for one fuzzing process, memory-backed where possible: every input is
// written to disk and read back.
inline std::filesystem::path FuzzDirectory(const std::string& name) {
    const std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::filesystem::path directory = base / (name + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
    return directory;
}

}  // namespace vornak::fuzzing
