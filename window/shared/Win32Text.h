// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>

namespace vornak {

// Windows speaks UTF-16; the game's own text is UTF-8. These are the one crossing.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// What Windows says of an error code, in UTF-8 and without the trailing line break.
std::string SystemErrorText(unsigned long error);

}  // namespace vornak
