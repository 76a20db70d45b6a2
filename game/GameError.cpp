#include "GameError.h"

#include <cstdio>

namespace vornak {

namespace {

constexpr std::size_t QuotedTextLimit = 60;

}  // namespace

GameError::GameError(const std::filesystem::path& file, std::string_view reason)
    : std::runtime_error(file.string() + ": " + std::string(reason)), file_(file) {}

GameError::GameError(const std::filesystem::path& file, int lineNumber, std::string_view lineText,
                     std::string_view reason)
    : std::runtime_error(file.string() + " line " + std::to_string(lineNumber) + ": " +
                         QuoteForMessage(lineText) + " " + std::string(reason)),
      file_(file) {}

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
