// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "PlaySession.h"

#include <csignal>
#include <cstring>
#include <system_error>
#include <vector>

#include "QtPaths.h"

namespace vornak::editor {

PlaySession::PlaySession(std::filesystem::path game) : gamePath_(std::move(game)) {}

PlaySession::~PlaySession() {
    if (game_) {
        game_->disconnect();
        game_->kill();
        game_->waitForFinished(1000);
    }
}

void PlaySession::Stop() {
    if (game_) {
        game_->disconnect();
        game_->kill();
        game_->waitForFinished(1000);
        game_.reset();
        folder_.reset();
    }
}

namespace {

// A QProcess kills its program when it goes, so a game left running keeps its QProcess for good,
// here, where it stays reachable until the editor ends.
std::vector<QProcess*>& GamesLeftRunning() {
    static auto* games = new std::vector<QProcess*>;
    return *games;
}

}  // namespace

void PlaySession::LeaveRunning() {
    if (game_) {
        game_->disconnect();
        GamesLeftRunning().push_back(game_.release());
        folder_->Leave();
        folder_.reset();
    }
}

QString PlaySession::Start(const LevelDocument& document) {
    QStringList reasons;
    for (const std::filesystem::path& place : PlayFolder::Places()) {
        const QString reason = StartIn(place, document);
        if (reason.isEmpty()) {
            return {};
        }
        reasons << ToQString(place) + QStringLiteral(": ") + reason;
    }
    return reasons.join(QLatin1Char('\n'));
}

// A place that is missing, full or read-only is passed over for the next.
QString PlaySession::StartIn(const std::filesystem::path& place, const LevelDocument& document) {
    std::error_code error;
    if (place.filename() == "vornak-editor") {
        std::filesystem::create_directories(place, error);
    }
    if (!std::filesystem::is_directory(place, error)) {
        return QStringLiteral("no such folder");
    }
    try {
        folder_ = std::make_unique<PlayFolder>(place);
    } catch (const std::system_error& failure) {
        return QString::fromLocal8Bit(failure.code().message().c_str());
    }
    if (const std::string failure = document.WriteSnapshot(folder_->Path()); !failure.empty()) {
        folder_.reset();
        return QString::fromStdString(failure);
    }
    game_ = std::make_unique<QProcess>();
    game_->setProgram(ToQString(gamePath_));
    game_->setArguments({ToQString(folder_->Path())});
    game_->setProcessChannelMode(QProcess::SeparateChannels);
    game_->start();
    if (!game_->waitForStarted(10000)) {
        QString reason = game_->errorString();
        game_.reset();
        folder_.reset();
        return reason;
    }
    connect(game_.get(), &QProcess::finished, this, [this](int status, QProcess::ExitStatus how) {
        const QString errors = QString::fromLocal8Bit(game_->readAllStandardError());
        game_.release()->deleteLater();
        folder_.reset();
        if (!failed) {
            return;
        }
        QString message = errors.trimmed();
        message.remove(QStringLiteral("Vornak: "));
        // The editor's own kills disconnect first, so a signal seen here came from elsewhere:
        // a crash, or another program.
        if (how == QProcess::CrashExit) {
            failed(QStringLiteral("It was ended by signal %1 (%2).%3")
                       .arg(status)
                       .arg(QString::fromLocal8Bit(::strsignal(status)),
                            message.isEmpty() ? QString() : QStringLiteral("\n\n") + message));
        } else if (status != 0) {
            failed(message);
        }
    });
    return {};
}

}  // namespace vornak::editor
