// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace vornak::editor {

// Whether an imported tile may take this character: printable ASCII, and not '/', which cannot be
// in a file name, nor a space or '#', which are easy to misread in the map.
bool IsUsableTileCharacter(char character);
// The character an import offers first: a letter that no tile in used has, in either case, so
// that its picture is a file of its own on Windows too, then a digit, then a sign that every
// system can hold in a file name; '\0' when all are taken.
char FreeTileLetter(const std::string& used);
// What the picker says of a typed character, there and then: empty when it is free, or why it
// cannot be taken, or what taking it means.
std::string TileCharacterNote(char typed, const std::string& used);

}  // namespace vornak::editor
