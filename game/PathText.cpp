// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "PathText.h"

#include <cstdint>

namespace vornak {

#ifdef _WIN32
namespace {

// Length of the well-formed UTF-8 sequence at text[at], or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    std::uint32_t value = 0;
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0U) == 0xC0) {
        length = 2, minimum = 0x80, value = lead & 0x1FU;
    } else if ((lead & 0xF0U) == 0xE0) {
        length = 3, minimum = 0x800, value = lead & 0x0FU;
    } else if ((lead & 0xF8U) == 0xF0) {
        length = 4, minimum = 0x10000, value = lead & 0x07U;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0U) != 0x80) {
            return 0;
        }
        value = (value << 6U) | (next & 0x3FU);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value < minimum || value > 0x10FFFF || surrogate ? 0 : length;
}

}  // namespace
#endif

std::filesystem::path Utf8Path(std::string_view text) {
#ifdef _WIN32
    std::u8string utf8;
    utf8.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) {
            const auto byte = static_cast<unsigned char>(text[at++]);
            utf8 += static_cast<char8_t>(0xC0U | (byte >> 6U));
            utf8 += static_cast<char8_t>(0x80U | (byte & 0x3FU));
            continue;
        }
        for (std::size_t i = 0; i < length; ++i) {
            utf8 += static_cast<char8_t>(text[at + i]);
        }
        at += length;
    }
    return std::filesystem::path(utf8);
#else
    return std::filesystem::path(std::string(text));
#endif
}

std::string PathText(const std::filesystem::path& path) {
#ifdef _WIN32
    try {
        const std::u8string utf8 = path.u8string();
        return {utf8.begin(), utf8.end()};
    } catch (const std::exception&) {
        return "(a name that is not valid Unicode)";
    }
#else
    return path.native();
#endif
}

}  // namespace vornak
