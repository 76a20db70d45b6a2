#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vornak {

// Every failure ends the game with one message, so the message must tell a level maker which
// file is at fault and why.
class GameError : public std::runtime_error {
public:
    GameError(const std::filesystem::path& file, std::string_view reason);
    // For line-based files: names the line by number and quotes its text.
    GameError(const std::filesystem::path& file, int lineNumber, std::string_view lineText,
              std::string_view reason);

    const std::filesystem::path& File() const { return file_; }

private:
    std::filesystem::path file_;
};

// A file's text made safe to quote in a message: control bytes escaped, long text cut short.
std::string QuoteForMessage(std::string_view text);

}  // namespace vornak
