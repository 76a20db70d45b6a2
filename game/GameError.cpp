// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "GameError.h"

#include <cstdio>

#include "PathText.h"

namespace vornak {

namespace {

constexpr std::size_t QuotedTextLimit = 60;

}  // namespace

std::string ShownName(const std::filesystem::path& file) {
    std::string text = PathText(file);
    for (const char byte : text) {
        if (static_cast<unsigned char>(byte) < 0x20 || byte == 0x7F) {
            return QuoteForMessage(text);
        }
    }
    return text;
}

GameError::GameError(const std::filesystem::path& file, std::string_view reason)
    // The reason is what the file does or is ("is missing"), so it reads on from the name.
    : std::runtime_error(ShownName(file) + " " + std::string(reason)),
      file_(file),
      reason_(reason) {}

GameError::GameError(const std::filesystem::path& file, int line, int column,
                     std::string_view reason)
    : std::runtime_error(ShownName(file) + " line " + std::to_string(line) + ", column " +
                         std::to_string(column) + ": " + std::string(reason)),
      file_(file),
      reason_(reason),
      line_(line),
      column_(column) {}

GameError::GameError(const std::filesystem::path& file, int line, std::string_view lineText,
                     std::string_view reason)
    : std::runtime_error(ShownName(file) + " line " + std::to_string(line) + ": " +
                         QuoteForMessage(lineText) + " " + std::string(reason)),
      file_(file),
      reason_(QuoteForMessage(lineText) + " " + std::string(reason)),
      line_(line),
      column_(1) {}

std::string QuoteForMessage(std::string_view text) {
    std::string quoted = "\"";
    for (std::size_t i = 0; i < text.size() && i < QuotedTextLimit; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            quoted += escaped;
        } else if (byte == '"' || byte == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(byte);
        } else {
            quoted += static_cast<char>(byte);
        }
    }
    if (text.size() > QuotedTextLimit) {
        quoted += "...";
    }
    return quoted + "\"";
}

}  // namespace vornak
