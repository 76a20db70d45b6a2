// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "TileCharacterChoice.h"

#include <cctype>
#include <string_view>

namespace vornak::editor {

namespace {

char OtherCase(char character) {
    const auto byte = static_cast<unsigned char>(character);
    return static_cast<char>(std::islower(byte) != 0 ? std::toupper(byte) : std::tolower(byte));
}

}  // namespace

bool IsUsableTileCharacter(char character) {
    return character > ' ' && character < 127 && character != '/' && character != '#';
}

char FreeTileLetter(const std::string& used) {
    // Then the signs every system can hold in a file name; never \ : * ? " < > |, which Windows
    // cannot.
    for (const char* letters :
         {"abcdefghijklmnopqrstuvwxyz", "0123456789", "!$%&'()+,-.;=@[]^_`{}~"}) {
        for (const char* letter = letters; *letter != '\0'; ++letter) {
            if (used.find(*letter) == std::string::npos &&
                used.find(OtherCase(*letter)) == std::string::npos) {
                return *letter;
            }
        }
    }
    return '\0';
}

std::string TileCharacterNote(char typed, const std::string& used) {
    const std::string quoted = std::string("'") + typed + "'";
    if (!IsUsableTileCharacter(typed)) {
        return "A tile cannot be " + (typed == ' ' ? std::string("a space") : quoted) +
               ": use a letter, a digit or a sign other than / and #.";
    }
    if (used.find(typed) != std::string::npos) {
        return quoted + " is in use: the import replaces its picture.";
    }
    if (std::string_view("\\:*?\"<>|").find(typed) != std::string_view::npos) {
        return std::string("Tile") + typed +
               ".bmp cannot be a file on Windows: there the level will not play.";
    }
    const char other = OtherCase(typed);
    if (other != typed && used.find(other) != std::string::npos) {
        return std::string("Tile") + typed + ".bmp and Tile" + other +
               ".bmp are one file on Windows, which ignores case in file names: there the level "
               "shows one picture for both.";
    }
    return {};
}

}  // namespace vornak::editor
