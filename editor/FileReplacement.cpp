// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "FileReplacement.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "Picture.h"

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

long long Nanoseconds(const timespec& time) {
    return static_cast<long long>(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

DiskState Unreadable(const struct stat& status) {
    DiskState state;
    state.kind = DiskState::Kind::Unreadable;
    state.type = status.st_mode & S_IFMT;
    state.size = status.st_size;
    state.modified = Nanoseconds(status.st_mtim);
    state.changed = Nanoseconds(status.st_ctim);
    return state;
}

// Systems without permissions or owners (FAT through FUSE) say so with these; there is then
// nothing to keep.
bool NotSupported(int error) {
    return error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP;
}

// A link, a read-only file or one of several names of a file is the level maker's decision to
// keep the file as it is; saving refuses it, as text editors do, rather than replace it behind
// their back. A link is refused even where it points nowhere: writing there would put a file
// outside the level.
std::string RefusalToReplace(const std::filesystem::path& target, bool remove) {
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
    // Root may write anything, so only the file's own write bits say what is meant for it.
    const bool writable = ::geteuid() == 0
                              ? (status.st_mode & 0222) != 0
                              : ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
    if (!writable) {
        return target.string() +
               " is read-only for you; make it writable to save over it, or save the "
               "level into another folder.";
    }
    // Removing one name leaves the others as they are; only a replacement would part them.
    if (status.st_nlink > 1 && !remove) {
        return target.string() + " has " + std::to_string(status.st_nlink) +
               " names (hard links); replacing it would part them. Give it a name of its own, "
               "or save the level into another folder.";
    }
    return {};
}

}  // namespace

DiskState ReadDiskState(const std::filesystem::path& file, std::size_t largest) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return {};
        }
        return Unreadable(status);
    }
    if (!S_ISREG(status.st_mode) || static_cast<std::size_t>(status.st_size) > largest) {
        return Unreadable(status);
    }
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return Unreadable(status);
    }
    std::string bytes;
    char buffer[65536];
    long got = 0;
    while ((got = ::read(descriptor, buffer, sizeof buffer)) != 0) {
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || bytes.size() + static_cast<std::size_t>(got) > largest) {
            ::close(descriptor);
            return Unreadable(status);
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(descriptor);
    return DiskState::Holding(std::move(bytes));
}

std::string DescribeDiskState(const DiskState& state) {
    switch (state.kind) {
        case DiskState::Kind::Absent:
            return "not there";
        case DiskState::Kind::Plain:
            return std::to_string(state.bytes.size()) + " bytes";
        case DiskState::Kind::Unreadable:
            break;
    }
    if (state.type != S_IFREG) {
        return "not a plain file the editor can read";
    }
    return "a file of " + std::to_string(state.size) + " bytes that the editor cannot read";
}

namespace {

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
        files_.push_back({target, std::move(bytes), {}, false, false, {}});
    }
}

void FileReplacement::Add(const std::filesystem::path& target, std::string bytes,
                          DiskState expected) {
    if (!HoldsBytes(target, bytes)) {
        files_.push_back({target, std::move(bytes), {}, false, true, std::move(expected)});
    }
}

void FileReplacement::Remove(const std::filesystem::path& target) {
    struct stat status {};
    if (::lstat(target.c_str(), &status) == 0) {
        files_.push_back({target, {}, {}, true, false, {}});
    }
}

void FileReplacement::Remove(const std::filesystem::path& target, DiskState expected) {
    struct stat status {};
    if (::lstat(target.c_str(), &status) == 0) {
        files_.push_back({target, {}, {}, true, true, std::move(expected)});
    }
}

// Another program may write the same bytes the save was about to: that is no change to lose.
bool FileReplacement::StillAsExpected(const Pending& file) const {
    if (!file.checked) {
        return true;
    }
    const DiskState now = ReadDiskState(file.target, LargestPictureFileBytes);
    return now == file.expected ||
           (!file.remove && now.kind == DiskState::Kind::Plain && now.bytes == file.bytes);
}

// Written with the permissions of the file it replaces (or those a new file gets), and flushed:
// a rename must never put a file in place whose bytes are still on their way.
std::string FileReplacement::WriteTemporary(Pending& file) {
    std::string pattern = (file.target.parent_path() /
                           ("." + file.target.filename().string() + TemporaryMark + "XXXXXX"))
                              .string();
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
    // Owner first: a change of owner takes away the set-id bits that the mode then puts back.
    struct stat made {};
    if (failure.empty() && ::geteuid() == 0 && existing.st_nlink != 0 &&
        ::fstat(descriptor, &made) == 0 &&
        (made.st_uid != existing.st_uid || made.st_gid != existing.st_gid) &&
        ::fchown(descriptor, existing.st_uid, existing.st_gid) != 0 && !NotSupported(errno)) {
        failure = "cannot give " + file.target.string() + " its owner back: " + ErrnoText();
    }
    if (failure.empty() && ::fchmod(descriptor, mode) != 0 && !NotSupported(errno)) {
        failure = "cannot write " + file.target.string() + ": " + ErrnoText();
    }
    if (failure.empty() && ::fsync(descriptor) != 0) {
        failure = "cannot write " + file.target.string() + ": " + ErrnoText();
    }
    if (::close(descriptor) != 0 && failure.empty()) {
        failure = "cannot write " + file.target.string() + ": " + ErrnoText();
    }
    return failure;
}

std::string FileReplacement::Commit() {
    changed_.clear();
    for (const Pending& file : files_) {
        if (std::string refusal = RefusalToReplace(file.target, file.remove); !refusal.empty()) {
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
    // Whatever another program did while the question was open or the files were written is
    // caught here, before anything is replaced.
    for (const Pending& file : files_) {
        if (!StillAsExpected(file)) {
            changed_.push_back(file.target);
        }
    }
    if (!changed_.empty()) {
        std::vector<std::string> names;
        for (const std::filesystem::path& path : changed_) {
            names.push_back(path.filename().string());
        }
        return JoinNames(names) + " changed on disk while the level was being saved; no file " +
               "was changed";
    }
    // Removals go last: a level that loses a picture never lacks one it still uses.
    std::stable_partition(files_.begin(), files_.end(),
                          [](const Pending& file) { return !file.remove; });
    std::vector<std::string> replaced;
    for (auto file = files_.begin(); file != files_.end(); ++file) {
        // The last look: what remains is the one system call between it and the rename.
        if (!StillAsExpected(*file)) {
            changed_.push_back(file->target);
            std::vector<std::string> kept;
            for (auto left = file; left != files_.end(); ++left) {
                kept.push_back(left->target.filename().string());
            }
            return file->target.filename().string() +
                   " changed on disk while the level was being saved" +
                   (replaced.empty() ? std::string("; no file was changed")
                                     : "; already saved: " + JoinNames(replaced) +
                                           "; still as they were: " + JoinNames(kept));
        }
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

namespace {

// Only the editor's own names: a maker's ".BlocksMap.txt.backup" is theirs.
bool IsLeftTemporary(const std::string& name) {
    const std::string mark = FileReplacement::TemporaryMark;
    const std::size_t at = name.rfind(mark);
    return name.size() > 1 && name[0] == '.' && at != std::string::npos && at > 1 &&
           name.size() == at + mark.size() + 6;
}

}  // namespace

std::filesystem::path FolderHold::LockPath(const std::filesystem::path& folder) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        return {};
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const char* temporary = std::getenv("TMPDIR");
    const std::filesystem::path place = runtime != nullptr && *runtime != '\0'       ? runtime
                                        : temporary != nullptr && *temporary != '\0' ? temporary
                                                                                     : "/tmp";
    return place / ("vornak-editor-" + std::to_string(status.st_dev) + "-" +
                    std::to_string(status.st_ino) + ".lock");
}

FolderHold::FolderHold(const std::filesystem::path& folder) : folder_(folder) {
    const std::filesystem::path lock = LockPath(folder);
    if (lock.empty()) {
        return;
    }
    lock_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock_ >= 0 && ::flock(lock_, LOCK_SH) != 0) {
        ::close(lock_);
        lock_ = -1;
    }
}

FolderHold::~FolderHold() {
    if (lock_ >= 0) {
        ::close(lock_);
    }
}

// A save in progress in another editor has temporary files too; they are young, but only a
// folder nobody else holds is cleaned at all. Taking the lock whole may let go of the shared
// one for a moment, so it is taken again either way.
void FolderHold::RemoveLeftovers() const {
    if (lock_ < 0) {
        return;
    }
    if (::flock(lock_, LOCK_EX | LOCK_NB) == 0) {
        const auto now = std::chrono::system_clock::now();
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
            struct stat status {};
            if (!IsLeftTemporary(entry.path().filename().string()) ||
                ::lstat(entry.path().c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
                now - std::chrono::system_clock::from_time_t(status.st_mtime) <
                    std::chrono::hours(1)) {
                continue;
            }
            ::unlink(entry.path().c_str());
        }
    }
    ::flock(lock_, LOCK_SH);
}

}  // namespace vornak::editor
