// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "PlayFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <cerrno>
#include <chrono>
#include <system_error>

namespace vornak::editor {

namespace {

constexpr const char* FolderPrefix = "vornak-play-";
// A folder is made and locked under this name, and only then takes the play-folder name.
constexpr const char* MakingPrefix = ".vornak-making-";
constexpr const char* LockName = ".lock";
// Another editor's folder may be a moment old, between its steps; nothing that young is removed.
constexpr auto Grace = std::chrono::minutes(1);

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

bool StartsWith(const std::string& name, const char* prefix) {
    return name.rfind(prefix, 0) == 0;
}

}  // namespace

PlayFolder::PlayFolder(const std::filesystem::path& place) {
    std::string making = (place / (std::string(MakingPrefix) + "XXXXXX")).string();
    if (::mkdtemp(making.data()) == nullptr) {
        ThrowErrno("cannot make a folder");
    }
    folder_ = making;
    // Inherited by the game on purpose: the folder stays in use while the game runs, even if
    // the editor is killed.
    lock_ = ::open((folder_ / LockName).c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    const std::string marker = MarkerOf(folder_);
    if (lock_ < 0 || ::flock(lock_, LOCK_EX | LOCK_NB) != 0 ||
        ::write(lock_, marker.data(), marker.size()) != static_cast<long>(marker.size())) {
        const int error = errno;
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        if (lock_ >= 0) {
            ::close(lock_);
        }
        errno = error;
        ThrowErrno("cannot lock a folder");
    }
    const std::string suffix = folder_.filename().string().substr(std::string(MakingPrefix).size());
    const std::filesystem::path named = place / (FolderPrefix + suffix);
    if (::rename(folder_.c_str(), named.c_str()) != 0) {
        const int error = errno;
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        ::close(lock_);
        errno = error;
        ThrowErrno("cannot name a folder");
    }
    folder_ = named;
}

PlayFolder::~PlayFolder() {
    if (lock_ >= 0) {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
        ::close(lock_);
    }
}

void PlayFolder::Leave() {
    ::close(lock_);
    lock_ = -1;
}

// A half-made folder's marker already names the play folder it becomes: a rename keeps the inode.
std::string PlayFolder::MarkerOf(const std::filesystem::path& folder) {
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0) {
        return {};
    }
    std::filesystem::path named = folder;
    const std::string name = folder.filename().string();
    if (StartsWith(name, MakingPrefix)) {
        named =
            folder.parent_path() / (FolderPrefix + name.substr(std::string(MakingPrefix).size()));
    }
    return named.string() + "\n" + std::to_string(status.st_dev) + "\n" +
           std::to_string(status.st_ino) + "\n" + std::to_string(::getuid()) + "\n";
}

std::vector<std::filesystem::path> PlayFolder::Places() {
    std::vector<std::filesystem::path> places;
    if (const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"); !runtime.isEmpty()) {
        places.emplace_back(runtime.toStdString());
    }
    const QByteArray temporary = qgetenv("TMPDIR");
    places.emplace_back(temporary.isEmpty() ? std::string("/tmp") : temporary.toStdString());
    if (const QByteArray home = qgetenv("HOME"); !home.isEmpty()) {
        places.emplace_back(std::filesystem::path(home.toStdString()) / ".cache/vornak-editor");
    }
    return places;
}

// A lock that nobody holds marks a folder that its editor and game have both left: the lock
// goes with the last process holding it, however that process ended. Only the user's own real
// folders are looked at, never anything through a link.
void PlayFolder::RemoveLeftovers() {
    for (const std::filesystem::path& place : Places()) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(place, error)) {
            const std::filesystem::path& folder = entry.path();
            const std::string name = folder.filename().string();
            const bool half = StartsWith(name, MakingPrefix);
            struct stat status {};
            if ((!half && !StartsWith(name, FolderPrefix)) ||
                ::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
                status.st_uid != ::getuid()) {
                continue;
            }
            const auto age = std::chrono::system_clock::now() -
                             std::chrono::system_clock::from_time_t(status.st_mtime);
            if (age < Grace) {
                continue;
            }
            bool left = false;
            const int lock = ::open((folder / LockName).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
            if (lock >= 0) {
                std::string marker(4096, '\0');
                const long got = ::read(lock, marker.data(), marker.size());
                marker.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
                left = marker == MarkerOf(folder) && ::flock(lock, LOCK_EX | LOCK_NB) == 0;
                ::close(lock);
            }
            if (left) {
                std::filesystem::remove_all(folder, error);
            }
        }
    }
}

}  // namespace vornak::editor
