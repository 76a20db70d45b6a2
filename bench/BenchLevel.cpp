// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "BenchLevel.h"

#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

namespace vornak::bench {

BenchLevel::BenchLevel()
    : path_(std::filesystem::temp_directory_path() / ("vornak-bench-" + std::to_string(getpid()))) {
    const std::filesystem::path sample = VORNAK_LEVEL_DIR;
    std::filesystem::create_directories(path_);
    for (const auto& entry : std::filesystem::directory_iterator(sample)) {
        if (entry.is_regular_file()) {
            std::filesystem::copy_file(entry.path(), path_ / entry.path().filename(),
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }
    // An eighth kind, so that the map uses as many distinct files as a rich level would.
    std::filesystem::copy_file(sample / "Tileg.bmp", path_ / "Tilew.bmp",
                               std::filesystem::copy_options::overwrite_existing);
    std::ofstream tiles(path_ / "TilesMap.txt", std::ios::binary | std::ios::trunc);
    const std::size_t kinds = std::strlen(TileKinds);
    for (int row = 0; row < 15; ++row) {
        for (int column = 0; column < 20; ++column) {
            tiles << TileKinds[static_cast<std::size_t>(row * 20 + column) % kinds];
        }
        tiles << "\r\n";
    }
}

BenchLevel::~BenchLevel() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace vornak::bench
