#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace vornak {

// One open level file. Level files are only ever read; the single exception is a missing map
// file, which is created empty, and never by truncating something that already exists.
class LevelFile {
  public:
    enum class WhenMissing { Fail, CreateEmpty, ReadAsEmpty };

    LevelFile(std::filesystem::path path, WhenMissing whenMissing);
    ~LevelFile();
    LevelFile(const LevelFile&) = delete;
    LevelFile& operator=(const LevelFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Where the byte last read stands, counting from 1. CR LF, LF and a lone CR end a line.
    int Line() const { return line_; }
    int Column() const { return column_; }

    // The next byte, or -1 at the end of the file.
    int ReadByte();

    // The next line without its end. A line ends at CR LF, at a lone LF or at a lone CR; the
    // last line of a file needs no end. Returns nothing once the file is used up.
    std::optional<std::string> ReadLine();

  private:
    void ThrowIfReadFailed() const;

    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
    int line_ = 1;
    int column_ = 0;
    int previousByte_ = -1;
};

}  // namespace vornak
