// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>

namespace vornak::bench {

// A full level in a scratch folder: 300 tiles of 8 kinds, walls, both cars with their pictures.
class BenchLevel {
  public:
    BenchLevel();
    ~BenchLevel();
    BenchLevel(const BenchLevel&) = delete;
    BenchLevel& operator=(const BenchLevel&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    static constexpr const char* TileKinds = ".^bgstvw";

  private:
    std::filesystem::path path_;
};

}  // namespace vornak::bench
