// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "FileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vornak::editor {

namespace {

std::string ErrnoText() {
    return std::strerror(errno);
}

bool HoldsBytes(const std::filesystem::path& path, const std::string& bytes) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::size_t>(status.st_size) != bytes.size()) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()) ==
           bytes;
}

// A link, or a read-only file, is the level maker's decision to keep the file as it is; saving
// refuses it, as text editors do, rather than replace it behind their back. A link is refused
// even where it points nowhere: writing there would put a file outside the level.
std::string RefusalToReplace(const std::filesystem::path& target) {
    struct stat status {};
    if (::lstat(target.c_str(), &status) != 0) {
        return {};
    }
    if (S_ISLNK(status.st_mode)) {
        return target.string() +
               " is a symbolic link; the editor does not save through links or "
               "replace them. Save the level into another folder.";
    }
    if (!S_ISREG(status.st_mode)) {
        return target.string() + " is not a plain file; the editor does not replace it.";
    }
    if ((status.st_mode & 0222) == 0) {
        return target.string() +
               " is read-only; make it writable to save over it, or save the "
               "level into another folder.";
    }
    return {};
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : " and ") + name;
    }
    return joined;
}

}  // namespace

FileReplacement::FileReplacement(WriteFunction write, RenameFunction rename)
    : write_(std::move(write)), rename_(std::move(rename)) {}

FileReplacement::~FileReplacement() {
    for (const Pending& file : files_) {
        if (!file.temporary.empty()) {
            ::unlink(file.temporary.c_str());
        }
    }
}

void FileReplacement::Add(const std::filesystem::path& target, std::string bytes) {
    if (!HoldsBytes(target, bytes)) {
        files_.push_back({target, std::move(bytes), {}});
    }
}

// Written with the permissions of the file it replaces (or those a new file gets), and flushed:
// a rename must never put a file in place whose bytes are still on their way.
std::string FileReplacement::WriteTemporary(Pending& file) {
    std::string pattern =
        (file.target.parent_path() / ("." + file.target.filename().string() + ".XXXXXX")).string();
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) {
        return "cannot write in " + file.target.parent_path().string() + ": " + ErrnoText();
    }
    file.temporary = pattern;
    struct stat existing {};
    mode_t mode = 0;
    if (::stat(file.target.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    std::size_t written = 0;
    std::string failure;
    while (written < file.bytes.size() && failure.empty()) {
        const char* from = file.bytes.data() + written;
        const std::size_t left = file.bytes.size() - written;
        const long got = write_ ? write_(descriptor, from, left) : ::write(descriptor, from, left);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            failure = "cannot write " + file.target.string() + ": " + ErrnoText();
        } else {
            written += static_cast<std::size_t>(got);
        }
    }
    if (failure.empty() && (::fchmod(descriptor, mode) != 0 || ::fsync(descriptor) != 0)) {
        failure = "cannot write " + file.target.string() + ": " + ErrnoText();
    }
    if (::close(descriptor) != 0 && failure.empty()) {
        failure = "cannot write " + file.target.string() + ": " + ErrnoText();
    }
    return failure;
}

std::string FileReplacement::Commit() {
    for (const Pending& file : files_) {
        if (std::string refusal = RefusalToReplace(file.target); !refusal.empty()) {
            return refusal;
        }
    }
    for (Pending& file : files_) {
        if (std::string failure = WriteTemporary(file); !failure.empty()) {
            return failure;
        }
    }
    std::vector<std::string> replaced;
    for (Pending& file : files_) {
        const int renamed = rename_ ? rename_(file.temporary, file.target)
                                    : std::rename(file.temporary.c_str(), file.target.c_str());
        if (renamed != 0) {
            std::string failure = "cannot replace " + file.target.string() + ": " + ErrnoText();
            return failure + (replaced.empty()
                                  ? "; no file was changed"
                                  : "; already replaced with the new level: " +
                                        JoinNames(replaced) + ", the other files are as they were");
        }
        file.temporary.clear();
        replaced.push_back(file.target.filename().string());
    }
    // The renames themselves reach the disk with the folder.
    if (!files_.empty()) {
        const std::filesystem::path parent = files_.front().target.parent_path();
        const int folder =
            ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }
    files_.clear();
    return {};
}

}  // namespace vornak::editor
