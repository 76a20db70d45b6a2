// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

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
    // A fault at one place in a level file.
    GameError(const std::filesystem::path& file, int line, int column, std::string_view reason);
    // For line-based files: names the line by number and quotes its text.
    GameError(const std::filesystem::path& file, int line, std::string_view lineText,
              std::string_view reason);

    const std::filesystem::path& File() const { return file_; }
    // What is wrong, without the file's name; Line() and Column() are 0 where no place applies.
    const std::string& Reason() const { return reason_; }
    int Line() const { return line_; }
    int Column() const { return column_; }

  private:
    std::filesystem::path file_;
    std::string reason_;
    int line_ = 0;
    int column_ = 0;
};

// A file's text made safe to quote in a message: control bytes escaped, long text cut short.
std::string QuoteForMessage(std::string_view text);
// A file's name as a message shows it: quoted and escaped as above when it holds control bytes,
// which would cut a message at a NUL or act on a terminal, and as it is otherwise.
std::string ShownName(const std::filesystem::path& file);

}  // namespace vornak
