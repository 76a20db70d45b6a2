#include "LevelFile.h"

#include <cerrno>
#include <cstring>

#include "GameError.h"

namespace vornak {

namespace {

std::string ErrnoText(int error) {
    return std::strerror(error);
}

std::string KindOf(std::filesystem::file_type type) {
    switch (type) {
        case std::filesystem::file_type::directory:
            return "a folder";
        case std::filesystem::file_type::fifo:
            return "a named pipe";
        case std::filesystem::file_type::character:
        case std::filesystem::file_type::block:
            return "a device";
        case std::filesystem::file_type::socket:
            return "a socket";
        default:
            return "not a plain file";
    }
}

// Only regular files are read: a pipe blocks the open, and a device such as /dev/zero never
// ends, so either would hang the game before its window shows.
void RequireRegularFile(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || status.type() == std::filesystem::file_type::regular) {
        return;  // a missing file, or one that cannot be looked at, is reported by the open
    }
    throw GameError(path, "is " + KindOf(status.type()) + ", not a file the game can read");
}

std::FILE* OpenForReading(const std::filesystem::path& path, int& error) {
    RequireRegularFile(path);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    error = file == nullptr ? errno : 0;
    return file;
}

// A link whose target is gone is not a missing file: the level maker linked it on purpose, and
// creating a file through it would write somewhere outside the level.
void RejectDanglingLink(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::symlink_status(path, error).type() !=
        std::filesystem::file_type::symlink) {
        return;
    }
    const std::filesystem::path target = std::filesystem::read_symlink(path, error);
    throw GameError(path, "is a symbolic link to " + QuoteForMessage(target.string()) +
                              ", which does not exist; the game creates no file through a link");
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
        RejectDanglingLink(path_);
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
