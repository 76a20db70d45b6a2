// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace vornak::testing {

// A fresh program directory for one test, removed afterwards.
class LevelDirectory {
  public:
    LevelDirectory() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("vornak-level-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~LevelDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    LevelDirectory(const LevelDirectory&) = delete;
    LevelDirectory& operator=(const LevelDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    void Write(std::string_view name, std::string_view bytes) const {
        std::ofstream file(path_ / name, std::ios::binary);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    std::string Read(std::string_view name) const {
        std::ifstream file(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

  private:
    std::filesystem::path path_;
};

}  // namespace vornak::testing
