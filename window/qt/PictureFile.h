// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>
#include <filesystem>

namespace vornak {

// Reads and decodes one picture file, anew on every call: level makers expect an edited picture
// to show the next time it is set. Throws GameError naming the file when it cannot.
QImage LoadPicture(const std::filesystem::path& file, const char* format);

}  // namespace vornak
