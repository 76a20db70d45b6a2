// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "FileOpener.h"

namespace vornak {

// One open level file. Level files are only ever read; the single exception is a missing map
// file, which is created empty, and never by truncating something that already exists.
//
// No read is without bounds: a level file holds a few hundred bytes, and a huge one (a
// mistake, or a sparse file of gigabytes) must fail at once and name itself, not take minutes or
// all memory.
class LevelFile {
  public:
    // Far above any real level file, of some 330 bytes; what lies beyond is never read.
    static constexpr long LargestFileBytes = 1024L * 1024;
    // Far above any line of Cars.txt; anything may follow its six lines, however long.
    static constexpr std::size_t LongestLineBytes = 4096;

    enum class WhenMissing { Fail, CreateEmpty, ReadAsEmpty };

    LevelFile(FileOpener& files, std::filesystem::path path, WhenMissing whenMissing);

    const std::filesystem::path& Path() const { return path_; }
    // Where the byte last read stands, counting from 1. CR LF, LF and a lone CR end a line.
    int Line() const { return line_; }
    int Column() const { return column_; }

    // The next byte, or -1 at the end of the file. Throws GameError past LargestFileBytes.
    int ReadByte();

    // The next line without its end. A line ends at CR LF, at a lone LF or at a lone CR; the
    // last line of a file needs no end. Returns nothing once the file is used up. Throws
    // GameError for a line longer than LongestLineBytes.
    std::optional<std::string> ReadLine();

  private:
    int NextByte();

    std::filesystem::path path_;
    std::unique_ptr<FileReader> reader_;
    std::array<char, 16384> buffer_{};
    std::size_t buffered_ = 0;
    std::size_t position_ = 0;
    int pushedBack_ = -1;
    long bytesRead_ = 0;
    int line_ = 1;
    int column_ = 0;
    int previousByte_ = -1;
};

}  // namespace vornak
