// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QFile>
#include <QString>
#include <filesystem>

namespace vornak::editor {

// Paths cross into Qt in the file system's own encoding, so that a folder whose name is not
// UTF-8 still names the same folder on the way back.
inline std::filesystem::path FromQString(const QString& text) {
    return std::filesystem::path(QFile::encodeName(text).toStdString());
}

inline QString ToQString(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

}  // namespace vornak::editor
