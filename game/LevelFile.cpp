#include "LevelFile.h"

#include <cerrno>
#include <cstring>

#include "GameError.h"

namespace vornak {

namespace {

std::string ErrnoText(int error) {
    return std::strerror(error);
}

std::FILE* OpenForReading(const std::filesystem::path& path, int& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    error = file == nullptr ? errno : 0;
    return file;
}

// "x" refuses to open a file that already exists, so a file that appears between our failed
// open and this call is left alone rather than truncated.
void CreateEmptyIfAbsent(const std::filesystem::path& path) {
    std::FILE* created = std::fopen(path.c_str(), "wbx");
    if (created != nullptr) {
        std::fclose(created);
        return;
    }
    const int error = errno;
    if (error != EEXIST) {
        throw GameError(path, "is missing and cannot be created: " + ErrnoText(error));
    }
}

}  // namespace

LevelFile::LevelFile(std::filesystem::path path, WhenMissing whenMissing) : path_(std::move(path)) {
    int error = 0;
    file_ = OpenForReading(path_, error);
    if (file_ == nullptr && error == ENOENT) {
        if (whenMissing == WhenMissing::Fail) {
            throw GameError(path_, "is missing");
        }
        if (whenMissing == WhenMissing::ReadAsEmpty) {
            return;
        }
        CreateEmptyIfAbsent(path_);
        file_ = OpenForReading(path_, error);
    }
    if (file_ == nullptr) {
        throw GameError(path_, "cannot be opened: " + ErrnoText(error));
    }
}

LevelFile::~LevelFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

int LevelFile::ReadByte() {
    const int byte = file_ == nullptr ? EOF : std::getc(file_);
    if (byte == EOF) {
        ThrowIfReadFailed();
        return -1;
    }
    if (previousByte_ == '\n' || (previousByte_ == '\r' && byte != '\n')) {
        ++line_;
        column_ = 1;
    } else {
        ++column_;
    }
    previousByte_ = byte;
    return byte;
}

std::optional<std::string> LevelFile::ReadLine() {
    std::string line;
    int byte = ReadByte();
    if (byte < 0) {
        return std::nullopt;
    }
    while (byte >= 0 && byte != '\n' && byte != '\r') {
        line += static_cast<char>(byte);
        byte = ReadByte();
    }
    if (byte == '\r') {
        const int lineOfReturn = line_;
        const int columnOfReturn = column_;
        const int next = ReadByte();
        if (next >= 0 && next != '\n') {
            std::ungetc(next, file_);
            line_ = lineOfReturn;
            column_ = columnOfReturn;
            previousByte_ = '\r';
        }
    }
    return line;
}

// A directory named like a level file opens but cannot be read; it must not pass as empty.
void LevelFile::ThrowIfReadFailed() const {
    if (file_ != nullptr && std::ferror(file_) != 0) {
        throw GameError(path_, "cannot be read: " + ErrnoText(errno));
    }
}

}  // namespace vornak
