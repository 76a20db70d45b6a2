// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "LevelFile.h"

#include "GameError.h"

namespace vornak {

LevelFile::LevelFile(FileOpener& files, std::filesystem::path path, WhenMissing whenMissing)
    : path_(std::move(path)) {
    OpenedFile opened = files.Open(path_);
    if (opened.kind == FileKind::Missing && whenMissing == WhenMissing::CreateEmpty) {
        files.CreateEmpty(path_);
        opened = files.Open(path_);
    }
    if (opened.kind == FileKind::Missing) {
        if (whenMissing == WhenMissing::Fail) {
            throw GameError(path_, "is missing");
        }
        if (whenMissing == WhenMissing::ReadAsEmpty) {
            return;
        }
        throw GameError(path_, "was created empty but has gone again");
    }
    // A link whose target is gone is not a missing file: the level maker linked it on purpose,
    // and creating a file through it would write somewhere outside the level.
    if (opened.kind == FileKind::DanglingLink) {
        throw GameError(path_, "is a symbolic link to " + QuoteForMessage(opened.detail) +
                                   ", which does not exist; the game creates no file through a "
                                   "link");
    }
    reader_ = PlainFileReader(std::move(opened), path_, "");
}

int LevelFile::NextByte() {
    if (pushedBack_ >= 0) {
        const int byte = pushedBack_;
        pushedBack_ = -1;
        return byte;
    }
    if (position_ == buffered_) {
        buffered_ = reader_ ? reader_->Read(buffer_.data(), buffer_.size()) : 0;
        position_ = 0;
        if (buffered_ == 0) {
            return -1;
        }
    }
    if (++bytesRead_ > LargestFileBytes) {
        throw GameError(path_, "is larger than a level file can be: over " +
                                   std::to_string(LargestFileBytes / 1024) +
                                   " KiB, where a level needs well under one");
    }
    return static_cast<unsigned char>(buffer_[position_++]);
}

int LevelFile::ReadByte() {
    const int byte = NextByte();
    if (byte < 0) {
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
        if (line.size() == LongestLineBytes) {
            throw GameError(path_, line_, line,
                            "goes on for more than " + std::to_string(LongestLineBytes) +
                                " bytes, longer than any line of a level file");
        }
        line += static_cast<char>(byte);
        byte = ReadByte();
    }
    if (byte == '\r') {
        const int lineOfReturn = line_;
        const int columnOfReturn = column_;
        const int next = ReadByte();
        if (next >= 0 && next != '\n') {
            pushedBack_ = next;
            line_ = lineOfReturn;
            column_ = columnOfReturn;
            previousByte_ = '\r';
        }
    }
    return line;
}

}  // namespace vornak
