// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "PlaySession.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "QtPaths.h"

namespace vornak::editor {

namespace {

constexpr const char* FolderPrefix = "vornak-play-";
constexpr const char* LockName = ".lock";
// A folder is made before its lock; one younger than this may be another editor's, just made.
constexpr auto LockGrace = std::chrono::minutes(1);

}  // namespace

PlaySession::PlaySession(std::filesystem::path game) : gamePath_(std::move(game)) {}

PlaySession::~PlaySession() {
    if (game_) {
        game_->disconnect();
        game_->kill();
        game_->waitForFinished(1000);
    }
    RemoveFolder();
}

std::vector<std::filesystem::path> PlaySession::Places() {
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
void PlaySession::RemoveLeftovers() {
    for (const std::filesystem::path& place : Places()) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(place, error)) {
            const std::filesystem::path& folder = entry.path();
            struct stat status {};
            if (folder.filename().string().rfind(FolderPrefix, 0) != 0 ||
                ::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
                status.st_uid != ::getuid()) {
                continue;
            }
            const int lock = ::open((folder / LockName).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
            bool left = false;
            if (lock >= 0) {
                left = ::flock(lock, LOCK_EX | LOCK_NB) == 0;
                ::close(lock);
            } else {
                const auto age = std::chrono::system_clock::now() -
                                 std::chrono::system_clock::from_time_t(status.st_mtime);
                left = age > LockGrace;
            }
            if (left) {
                std::filesystem::remove_all(folder, error);
            }
        }
    }
}

void PlaySession::RemoveFolder() {
    if (!folder_.empty()) {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
        folder_.clear();
    }
    if (lock_ >= 0) {
        ::close(lock_);
        lock_ = -1;
    }
}

QString PlaySession::Start(const LevelDocument& document) {
    QStringList reasons;
    for (const std::filesystem::path& place : Places()) {
        const QString reason = StartIn(place, document);
        if (reason.isEmpty()) {
            return {};
        }
        reasons << ToQString(place) + QStringLiteral(": ") + reason;
    }
    return reasons.join(QLatin1Char('\n'));
}

// A temporary folder mounted noexec makes the game fail to start; then the next place is tried.
QString PlaySession::StartIn(const std::filesystem::path& place, const LevelDocument& document) {
    std::error_code error;
    if (place.filename() == "vornak-editor") {
        std::filesystem::create_directories(place, error);
    }
    if (!std::filesystem::is_directory(place, error)) {
        return QStringLiteral("no such folder");
    }
    std::string pattern = (place / (std::string(FolderPrefix) + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    folder_ = pattern;
    // Inherited by the game on purpose: the folder stays in use while the game runs, even if
    // the editor is killed.
    lock_ = ::open((folder_ / LockName).c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (lock_ < 0 || ::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
        QString reason = QString::fromLocal8Bit(std::strerror(errno));
        RemoveFolder();
        return reason;
    }
    try {
        document.WriteSnapshot(folder_);
        std::filesystem::copy_file(gamePath_, folder_ / "vornak");
    } catch (const std::filesystem::filesystem_error& failure) {
        RemoveFolder();
        return QString::fromLocal8Bit(failure.code().message().c_str());
    }
    game_ = std::make_unique<QProcess>();
    game_->setProgram(ToQString(folder_ / "vornak"));
    game_->setProcessChannelMode(QProcess::SeparateChannels);
    game_->start();
    if (!game_->waitForStarted(10000)) {
        QString reason = game_->errorString();
        game_.reset();
        RemoveFolder();
        return reason;
    }
    connect(game_.get(), &QProcess::finished, this, [this](int status, QProcess::ExitStatus how) {
        const QString errors = QString::fromLocal8Bit(game_->readAllStandardError());
        game_.release()->deleteLater();
        RemoveFolder();
        if (how == QProcess::NormalExit && status != 0 && failed) {
            QString message = errors.trimmed();
            message.remove(QStringLiteral("Vornak: "));
            failed(message);
        }
    });
    return {};
}

}  // namespace vornak::editor
