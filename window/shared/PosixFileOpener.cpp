// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "FileOpener.h"
#include "GameError.h"
#include "PosixFileOpener.h"
#include "SystemFiles.h"

namespace vornak {

namespace {

std::string ErrnoText(int error) {
    return std::strerror(error);
}

FileKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return FileKind::PlainFile;
    }
    if (S_ISDIR(mode)) {
        return FileKind::Folder;
    }
    if (S_ISFIFO(mode)) {
        return FileKind::Pipe;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return FileKind::Device;
    }
    if (S_ISSOCK(mode)) {
        return FileKind::Socket;
    }
    return FileKind::Other;
}

class DescriptorReader : public FileReader {
  public:
    DescriptorReader(int descriptor, std::filesystem::path file)
        : descriptor_(descriptor), file_(std::move(file)) {}
    ~DescriptorReader() override { ::close(descriptor_); }
    DescriptorReader(const DescriptorReader&) = delete;
    DescriptorReader& operator=(const DescriptorReader&) = delete;

    std::size_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::read(descriptor_, buffer, size);
            if (got >= 0) {
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) {
                throw GameError(file_, "cannot be read: " + ErrnoText(errno));
            }
        }
    }

  private:
    int descriptor_;
    std::filesystem::path file_;
};

}  // namespace

OpenedFile PosixFileOpener::Open(const std::filesystem::path& file) {
    OpenedFile opened;
    if (file.native().find('\0') != std::string::npos) {
        opened.kind = FileKind::Other;
        opened.detail = "the name holds a NUL byte";
        return opened;
    }
    // Without O_NONBLOCK, opening a pipe waits for a writer that may never come.
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        const int error = errno;
        opened.kind = error == ENOENT ? FileKind::Missing : FileKind::Other;
        opened.detail = ErrnoText(error);
        struct stat link {};
        if (error == ENOENT && ::lstat(file.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            std::error_code ignored;
            opened.kind = FileKind::DanglingLink;
            opened.detail = std::filesystem::read_symlink(file, ignored).string();
        }
        return opened;
    }
    if (afterOpen_) {
        afterOpen_(file);
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        opened.kind = FileKind::Other;
        opened.detail = ErrnoText(errno);
        ::close(descriptor);
        return opened;
    }
    opened.kind = KindOf(status.st_mode);
    if (opened.kind != FileKind::PlainFile) {
        ::close(descriptor);
        return opened;
    }
    // O_NONBLOCK stays: it changes nothing for a plain file, and clearing it would cost two more
    // system calls on each of the 300 pictures read at start-up.
    opened.reader = std::make_unique<DescriptorReader>(descriptor, file);
    return opened;
}

// O_EXCL refuses whatever already stands at the path, a link to nothing included, so a file that
// appears meanwhile is never truncated and nothing is created outside the level.
void PosixFileOpener::CreateEmpty(const std::filesystem::path& file) {
    const int descriptor =
        ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (descriptor < 0) {
        throw GameError(file, "is missing and cannot be created: " + ErrnoText(errno));
    }
    ::close(descriptor);
}

FileOpener& SystemFiles() {
    static PosixFileOpener files;
    return files;
}

}  // namespace vornak
