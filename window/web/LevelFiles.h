// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "FileOpener.h"
#include "MemoryFileOpener.h"

namespace vornak::web {

// The level's files as the page fetched them or the player picked them, held in memory under
// their bare names. A file that was not found is missing; one the server refused reads as an
// error that says why.
class LevelFiles : public FileOpener {
  public:
    // All the files of one level together: far above any real level, and far below what brings
    // a browser tab down.
    static constexpr std::size_t ByteBudget = std::size_t{64} * 1024 * 1024;

    // Takes a file's bytes. Throws GameError naming the file once the level's files together
    // pass the budget.
    void Put(const std::string& name, std::string bytes);
    // The server answered with an error other than "not found".
    void PutUnreadable(const std::string& name, const std::string& reason);
    // What is left of the budget, so that a large file is refused before it is all fetched.
    std::size_t BytesLeft() const { return ByteBudget - bytesHeld_; }
    // Throws the GameError of a file that would pass the budget.
    [[noreturn]] static void RefuseTooLarge(const std::string& name);
    void Clear();
    // The names of the files the level has, as a folder would list them.
    const std::vector<std::filesystem::path>& Names() const { return names_; }

    OpenedFile Open(const std::filesystem::path& file) override;
    void CreateEmpty(const std::filesystem::path& file) override;

  private:
    MemoryFileOpener files_;
    std::map<std::string, std::string> unreadable_;
    std::vector<std::filesystem::path> names_;
    std::size_t bytesHeld_ = 0;
};

}  // namespace vornak::web
