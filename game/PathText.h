// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vornak {

// The one place where text becomes a path and back. Level text is UTF-8, or raw bytes on Linux,
// where a file name is bytes. On Windows a path is UTF-16, and a path built from a std::string
// would widen byte by byte; there, bytes that are not UTF-8 are taken as Latin-1.
std::filesystem::path Utf8Path(std::string_view text);

// A path as UTF-8 for messages (its own bytes on Linux).
std::string PathText(const std::filesystem::path& path);

}  // namespace vornak
