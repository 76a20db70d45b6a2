// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "Recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "FileReplacement.h"
#include "LevelDocument.h"
#include "LevelReading.h"
#include "Picture.h"

namespace vornak::editor {

namespace {

constexpr const char* Heading = "vornak-editor recovery 1";
constexpr const char* MetaName = "recovery.txt";
constexpr const char* LockName = "lock";
constexpr const char* Current = "snapshot";
constexpr const char* Next = "snapshot.new";
constexpr const char* Previous = "snapshot.old";

std::string WriteAllOf(const std::filesystem::path& folder,
                       const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [name, bytes] : files) {
        if (std::string failure = WriteNewFile(folder / name, bytes); !failure.empty()) {
            return failure;
        }
    }
    return {};
}

// The newest complete copy: a crash between the renames leaves the previous one.
std::filesystem::path SnapshotIn(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::is_directory(folder / Current, error) ? folder / Current
                                                                  : folder / Previous;
}

}  // namespace

Recovery::~Recovery() {
    if (lock_ >= 0) {
        ::close(lock_);
    }
}

std::filesystem::path Recovery::Place() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && *state == '/') {
        return std::filesystem::path(state) / "vornak-editor";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "/") / ".local/state/vornak-editor";
}

std::string Recovery::Keep(const LevelDocument& document) {
    std::error_code error;
    if (folder_.empty()) {
        std::filesystem::create_directories(Place(), error);
        std::string made = (Place() / "unsaved-XXXXXX").string();
        if (::mkdtemp(made.data()) == nullptr) {
            return "cannot make a folder in " + Place().string();
        }
        folder_ = made;
        lock_ = ::open((folder_ / LockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lock_ < 0 || ::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
            return "cannot lock " + folder_.string();
        }
    }
    std::filesystem::remove_all(folder_ / Next, error);
    std::filesystem::create_directory(folder_ / Next, error);
    std::vector<std::pair<std::string, std::string>> files = document.LevelFiles();
    std::ostringstream meta;
    meta << Heading << "\nlevel=" << document.Folder().string()
         << "\npictures=" << document.PictureFolder().string() << "\nkept="
         << std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::system_clock::now().time_since_epoch())
                .count()
         << "\n";
    for (const auto& [name, bytes] : document.PendingPictures()) {
        if (bytes) {
            files.emplace_back(name, *bytes);
        } else {
            meta << "removed=" << name << "\n";
        }
    }
    files.emplace_back(MetaName, meta.str());
    if (std::string failure = WriteAllOf(folder_ / Next, files); !failure.empty()) {
        return failure;
    }
    std::filesystem::remove_all(folder_ / Previous, error);
    std::filesystem::rename(folder_ / Current, folder_ / Previous, error);
    std::filesystem::rename(folder_ / Next, folder_ / Current, error);
    if (error) {
        return "cannot keep the unsaved level in " + folder_.string() + ": " + error.message();
    }
    std::filesystem::remove_all(folder_ / Previous, error);
    return {};
}

void Recovery::Discard() {
    if (!folder_.empty()) {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
        ::close(lock_);
        lock_ = -1;
        folder_.clear();
    }
}

std::vector<Recovery::Left> Recovery::LeftBehind() {
    std::vector<Left> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Place(), error)) {
        const int lock =
            ::open((entry.path() / LockName).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        const bool held = lock < 0 || ::flock(lock, LOCK_SH | LOCK_NB) != 0;
        if (lock >= 0) {
            ::close(lock);
        }
        std::ifstream meta(SnapshotIn(entry.path()) / MetaName);
        std::string line;
        if (held || !std::getline(meta, line) || line != Heading) {
            continue;
        }
        Left left;
        left.folder = entry.path();
        while (std::getline(meta, line)) {
            if (line.rfind("level=", 0) == 0) {
                left.level = line.substr(6);
            } else if (line.rfind("pictures=", 0) == 0) {
                left.pictureFolder = line.substr(9);
            } else if (line.rfind("kept=", 0) == 0) {
                left.kept = std::chrono::system_clock::time_point(
                    std::chrono::seconds(std::atoll(line.c_str() + 5)));
            }
        }
        found.push_back(left);
    }
    std::sort(found.begin(), found.end(),
              [](const Left& one, const Left& other) { return one.kept > other.kept; });
    return found;
}

std::string Recovery::Restore(const Left& left, LevelDocument& document) {
    const std::filesystem::path snapshot = SnapshotIn(left.folder);
    std::error_code error;
    if (!left.level.empty() && std::filesystem::is_directory(left.level, error)) {
        document.Open(left.level);
    } else if (std::filesystem::is_directory(left.pictureFolder, error)) {
        document.StartNew(left.pictureFolder);
    } else {
        return "neither " + left.level.string() + " nor " + left.pictureFolder.string() +
               " is there any more";
    }
    LevelDocument::Pictures pictures;
    for (const auto& entry : std::filesystem::directory_iterator(snapshot, error)) {
        const std::string name = entry.path().filename().string();
        if (IsPictureName(name)) {
            const DiskState state = ReadDiskState(entry.path(), LargestPictureFileBytes);
            pictures[name] = state.bytes;
        }
    }
    std::ifstream meta(snapshot / MetaName);
    std::string line;
    while (std::getline(meta, line)) {
        if (line.rfind("removed=", 0) == 0) {
            pictures[line.substr(8)] = std::nullopt;
        }
    }
    document.Recover(ReadLevelFolder(snapshot).content, pictures);
    return {};
}

void Recovery::Remove(const Left& left) {
    std::error_code error;
    std::filesystem::remove_all(left.folder, error);
}

}  // namespace vornak::editor
