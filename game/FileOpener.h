// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

namespace vornak {

// What an open found at a path. Only a plain file is ever read: a pipe may block or never end,
// a device such as /dev/zero never ends, and a folder has no bytes.
enum class FileKind { PlainFile, Missing, DanglingLink, Folder, Pipe, Device, Socket, Other };

// The bytes of one open file. The file stays open for as long as the reader lives.
class FileReader {
  public:
    virtual ~FileReader() = default;
    // Up to size bytes into buffer; 0 at the end. Throws GameError when the read fails.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

struct OpenedFile {
    FileKind kind = FileKind::Missing;
    // Set for a plain file, and only then.
    std::unique_ptr<FileReader> reader;
    // Why the open failed, as the system says it; for a dangling link, where it points.
    std::string detail;
};

// The one way the game opens a file. The kind is taken from the open file itself, never from a
// look at the path before the open, so that nothing swapped in between can be read in its place.
// There is a version per system, and one in memory for checking a level that is not on disk.
class FileOpener {
  public:
    virtual ~FileOpener() = default;

    // Never blocks, whatever lies at the path.
    virtual OpenedFile Open(const std::filesystem::path& file) = 0;

    // Creates an empty file where nothing stands. Never truncates a file, never creates one
    // through a link. Throws GameError when it cannot.
    virtual void CreateEmpty(const std::filesystem::path& file) = 0;
};

// "a folder", "a named pipe", ... for messages.
std::string DescribeKind(FileKind kind);

// The reader of an open plain file. For anything else, throws the GameError that names what
// stands there, ending in asWhat (" as a picture"); a missing file is the caller's to handle.
std::unique_ptr<FileReader> PlainFileReader(OpenedFile opened, const std::filesystem::path& file,
                                            const std::string& asWhat);

// Opens a file that must be a plain file and reads it to its end, refusing more than limit
// bytes. Throws GameError naming the file when it is missing, not plain, unreadable or too large.
std::string ReadWholeFile(FileOpener& files, const std::filesystem::path& file, std::size_t limit,
                          const std::string& use);

}  // namespace vornak
