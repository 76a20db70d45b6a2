// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "FileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

std::string WriteAll(int descriptor, const std::filesystem::path& target, const std::string& bytes,
                     const FileReplacement::WriteFunction& write) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const char* from = bytes.data() + written;
        const std::size_t left = bytes.size() - written;
        const long got = write ? write(descriptor, from, left) : ::write(descriptor, from, left);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return "cannot write " + target.string() + ": " + ErrnoText();
        }
        written += static_cast<std::size_t>(got);
    }
    return {};
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (std::size_t index = 0; index < names.size(); ++index) {
        joined += (index == 0 ? "" : index + 1 == names.size() ? " and " : ", ") + names[index];
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

void FileReplacement::Remove(const std::filesystem::path& target) {
    struct stat status {};
    if (::lstat(target.c_str(), &status) == 0) {
        files_.push_back({target, {}, {}, true});
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
    std::string failure = WriteAll(descriptor, file.target, file.bytes, write_);
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
        if (file.remove) {
            continue;
        }
        if (std::string failure = WriteTemporary(file); !failure.empty()) {
            return failure;
        }
    }
    // Removals go last: a level that loses a picture never lacks one it still uses.
    std::stable_partition(files_.begin(), files_.end(),
                          [](const Pending& file) { return !file.remove; });
    std::vector<std::string> replaced;
    for (auto file = files_.begin(); file != files_.end(); ++file) {
        int done = 0;
        if (file->remove) {
            done = ::unlink(file->target.c_str()) == 0 || errno == ENOENT ? 0 : -1;
        } else {
            done = rename_ ? rename_(file->temporary, file->target)
                           : std::rename(file->temporary.c_str(), file->target.c_str());
        }
        if (done != 0) {
            const std::string failure = (file->remove ? "cannot remove " : "cannot replace ") +
                                        file->target.string() + ": " + ErrnoText();
            if (replaced.empty()) {
                return failure + "; no file was changed";
            }
            std::vector<std::string> kept;
            for (auto left = file; left != files_.end(); ++left) {
                kept.push_back(left->target.filename().string());
            }
            return failure + "; already saved: " + JoinNames(replaced) +
                   "; still as they were: " + JoinNames(kept);
        }
        file->temporary.clear();
        replaced.push_back(file->target.filename().string());
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

std::string WriteNewFile(const std::filesystem::path& target, const std::string& bytes) {
    const int descriptor =
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return "cannot write " + target.string() + ": " + ErrnoText();
    }
    std::string failure = WriteAll(descriptor, target, bytes, {});
    if (::close(descriptor) != 0 && failure.empty()) {
        failure = "cannot write " + target.string() + ": " + ErrnoText();
    }
    return failure;
}

}  // namespace vornak::editor
