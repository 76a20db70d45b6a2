// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>
#include <filesystem>

#include "FileOpener.h"
#include "Picture.h"

namespace vornak {

// Reads and decodes one picture file, anew on every call: level makers expect an edited picture
// to show the next time it is set. Throws GameError naming the file when it cannot.
QImage LoadPicture(const std::filesystem::path& file, const char* format);
// The same through any opener: the editor shows and checks pictures not yet saved.
QImage LoadPicture(FileOpener& files, const std::filesystem::path& file, const char* format);

// A decoded picture as the shared playfield frame takes it; a null image gives a null picture.
Picture PictureFromImage(const QImage& image);

}  // namespace vornak
