// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "FileOpener.h"

#include "GameError.h"

namespace vornak {

std::string DescribeKind(FileKind kind) {
    switch (kind) {
        case FileKind::PlainFile:
            return "a plain file";
        case FileKind::Missing:
            return "missing";
        case FileKind::DanglingLink:
            return "a symbolic link to nothing";
        case FileKind::Folder:
            return "a folder";
        case FileKind::Pipe:
            return "a named pipe";
        case FileKind::Device:
            return "a device";
        case FileKind::Socket:
            return "a socket";
        case FileKind::Other:
            break;
    }
    return "not a plain file";
}

std::unique_ptr<FileReader> PlainFileReader(OpenedFile opened, const std::filesystem::path& file,
                                            const std::string& asWhat) {
    if (opened.kind == FileKind::PlainFile) {
        return std::move(opened.reader);
    }
    if (opened.kind == FileKind::Other && !opened.detail.empty()) {
        throw GameError(file, "cannot be opened: " + opened.detail);
    }
    throw GameError(file,
                    "is " + DescribeKind(opened.kind) + ", not a file the game can read" + asWhat);
}

std::string ReadWholeFile(FileOpener& files, const std::filesystem::path& file, std::size_t limit,
                          const std::string& use) {
    OpenedFile opened = files.Open(file);
    if (opened.kind == FileKind::Missing || opened.kind == FileKind::DanglingLink) {
        throw GameError(file, "is missing");
    }
    const std::unique_ptr<FileReader> reader =
        PlainFileReader(std::move(opened), file, " as " + use);
    std::string bytes;
    char chunk[65536];
    for (;;) {
        const std::size_t got = reader->Read(chunk, sizeof chunk);
        if (got == 0) {
            return bytes;
        }
        if (bytes.size() + got > limit) {
            throw GameError(
                file, "is too large for " + use + " (over " + std::to_string(limit) + " bytes)");
        }
        bytes.append(chunk, got);
    }
}

}  // namespace vornak
