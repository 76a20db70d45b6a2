// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "LevelLoader.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "Direction.h"
#include "GameError.h"
#include "LevelFile.h"
#include "PathText.h"

namespace vornak {

namespace {

bool IsBlank(char character) {
    return character == ' ' || character == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Column and row lines: blanks around an optional sign and decimal digits, nothing else.
std::int32_t ParseWholeNumber(const std::filesystem::path& file, int lineNumber,
                              const std::string& line) {
    std::string_view text = TrimBlanks(line);
    if (text.empty()) {
        throw GameError(file, lineNumber, line, "is empty; a whole number is needed");
    }
    const bool negative = text.front() == '-';
    if (text.front() == '-' || text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        throw GameError(file, lineNumber, line, "is not a whole number");
    }
    constexpr std::int64_t Limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    bool tooLarge = false;
    for (const char digit : text) {
        if (digit < '0' || digit > '9') {
            throw GameError(file, lineNumber, line, "is not a whole number");
        }
        magnitude = magnitude * 10 + (digit - '0');
        if (magnitude > Limit) {
            tooLarge = true;
            magnitude = Limit + 1;  // keeps the product small while the digits are checked
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (tooLarge || value > std::numeric_limits<std::int32_t>::max() ||
        value < std::numeric_limits<std::int32_t>::min()) {
        throw GameError(file, lineNumber, line, "lies outside the signed 32-bit range");
    }
    return static_cast<std::int32_t>(value);
}

LevelFile::WhenMissing WhenMapMissing(MissingMapFile missingMapFile) {
    return missingMapFile == MissingMapFile::CreateEmpty ? LevelFile::WhenMissing::CreateEmpty
                                                         : LevelFile::WhenMissing::ReadAsEmpty;
}

std::string ReadCarsLine(LevelFile& file, int& lineNumber) {
    std::optional<std::string> line = file.ReadLine();
    ++lineNumber;
    if (!line) {
        throw GameError(file.Path(),
                        "has only " + std::to_string(lineNumber - 1) +
                            (lineNumber == 2 ? " line" : " lines") +
                            "; it needs six: column, row and heading of car 1, then of car 2");
    }
    // Editors on some systems start a text file with a byte-order mark; it is never a number.
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    if (lineNumber == 1 && std::string_view(*line).substr(0, 3) == ByteOrderMark) {
        line->erase(0, ByteOrderMark.size());
    }
    return *line;
}

std::int32_t ReadCarsNumber(LevelFile& file, int& lineNumber) {
    const std::string line = ReadCarsLine(file, lineNumber);
    return ParseWholeNumber(file.Path(), lineNumber, line);
}

void AppendUtf8Latin1(std::string& name, unsigned char character) {
    if (character < 0x80) {
        name += static_cast<char>(character);
    } else {
        name += static_cast<char>(0xC0 | (character >> 6));
        name += static_cast<char>(0x80 | (character & 0x3F));
    }
}

}  // namespace

void LevelLoader(GameState& state, WindowOperations& window, FileOpener& files,
                 const std::filesystem::path& programDir, MissingMapFile missingMapFile) {
    LoadTilesMap(window, files, programDir, missingMapFile);
    LoadBlocksMap(state, files, programDir, missingMapFile);
    LoadCarsFile(state, window, files, programDir);
    LoadFirstCarPictures(state, window, programDir);
}

int LoadTilesMap(WindowOperations& window, FileOpener& files,
                 const std::filesystem::path& programDir, MissingMapFile missingMapFile) {
    LevelFile file(files, programDir / TilesMapFileName, WhenMapMissing(missingMapFile));
    int tileIndex = 0;
    for (int byte = file.ReadByte(); byte >= 0; byte = file.ReadByte()) {
        if (!IsTileCharacter(byte)) {
            continue;
        }
        if (tileIndex == TileCount) {
            throw GameError(file.Path(), file.Line(), file.Column(),
                            "tile character 301 is one too many; the grid holds 300 tiles, 20 "
                            "columns by 15 rows");
        }
        try {
            window.SetTilePicture(tileIndex,
                                  TilePicturePath(programDir, static_cast<unsigned char>(byte)));
        } catch (const GameError& error) {
            throw GameError(error.File(),
                            error.Reason() + "; " + TilesMapFileName + " line " +
                                std::to_string(file.Line()) + ", column " +
                                std::to_string(file.Column()) +
                                " asks for it with the tile character " +
                                QuoteForMessage(std::string(1, static_cast<char>(byte))));
        }
        ++tileIndex;
    }
    return tileIndex;
}

int LoadBlocksMap(GameState& state, FileOpener& files, const std::filesystem::path& programDir,
                  MissingMapFile missingMapFile) {
    LevelFile file(files, programDir / BlocksMapFileName, WhenMapMissing(missingMapFile));
    int cells = 0;
    for (int byte = file.ReadByte(); byte >= 0; byte = file.ReadByte()) {
        if (byte != '#' && byte != ' ') {
            continue;
        }
        if (cells == TileCount) {
            throw GameError(file.Path(), file.Line(), file.Column(),
                            "cell 301 (\"#\" or space) is one too many; the grid holds 300 "
                            "cells, 20 columns by 15 rows");
        }
        state.Blocks(cells % GridColumns + 1, cells / GridColumns + 1) = byte == '#';
        ++cells;
    }
    return cells;
}

void LoadCarsFile(GameState& state, WindowOperations& window, FileOpener& files,
                  const std::filesystem::path& programDir) {
    LevelFile file(files, programDir / CarsFileName, LevelFile::WhenMissing::Fail);
    int lineNumber = 0;
    for (int car = 1; car <= CarCount; ++car) {
        state.CarX(car) = ReadCarsNumber(file, lineNumber);
        window.SetCarLeft(car, CellOrigin(state.CarX(car)));
        state.CarY(car) = ReadCarsNumber(file, lineNumber);
        window.SetCarTop(car, CellOrigin(state.CarY(car)));
        state.CarDirection(car) = ReadCarsLine(file, lineNumber);
    }
}

void LoadFirstCarPictures(const GameState& state, WindowOperations& window,
                          const std::filesystem::path& programDir) {
    for (int car = 1; car <= CarCount; ++car) {
        const std::string& heading = state.CarDirection(car);
        const std::string name = CarPictureName(car, heading);
        try {
            // A heading is any text, so the name it makes may try to leave the level's folder,
            // which the systems would each resolve their own way: no system gets to see it.
            if (!StaysInItsFolder(name)) {
                throw GameError(programDir / Utf8Path(name),
                                "is missing: a picture's name may not lead out of the level's "
                                "folder");
            }
            window.SetCarPicture(car, programDir / Utf8Path(name));
        } catch (const GameError& error) {
            // A heading that is no direction is the real fault; the picture it names is only
            // where that shows.
            if (FindDirection(heading) == nullptr) {
                throw GameError(programDir / CarsFileName, 3 * car, heading,
                                "is not a heading (" + HeadingWords() + "), and car " +
                                    std::to_string(car) + "'s first picture " +
                                    QuoteForMessage(name) + ", which it names, " + error.Reason());
            }
            throw GameError(error.File(), error.Reason() + "; it is car " + std::to_string(car) +
                                              "'s first picture, named by the heading " +
                                              QuoteForMessage(heading) + " on line " +
                                              std::to_string(3 * car) + " of " + CarsFileName);
        }
    }
}

bool StaysInItsFolder(std::string_view name) {
    if (name.empty() || name.find('\0') != std::string_view::npos || name[0] == '/' ||
        name[0] == '\\' || (name.size() > 1 && name[1] == ':')) {
        return false;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = name.find_first_of("/\\", start);
        if (name.substr(start, end - start) == "..") {
            return false;
        }
        if (end == std::string_view::npos) {
            return true;
        }
        start = end + 1;
    }
}

std::string HeadingWords() {
    std::string words;
    for (const DirectionStep& direction : DirectionTable) {
        words += words.empty() ? "" : direction.word == DirectionTable.back().word ? " or " : ", ";
        words += direction.word;
    }
    return words;
}

std::filesystem::path TilePicturePath(const std::filesystem::path& programDir,
                                      unsigned char tileCharacter) {
    std::string name = "Tile";
    AppendUtf8Latin1(name, tileCharacter);
    name += ".bmp";
    return programDir / Utf8Path(name);
}

std::optional<unsigned char> TileCharacterOfPicture(std::string_view fileName) {
    constexpr std::string_view Prefix = "Tile";
    constexpr std::string_view Suffix = ".bmp";
    if (fileName.size() < Prefix.size() + 1 + Suffix.size() ||
        fileName.substr(0, Prefix.size()) != Prefix ||
        fileName.substr(fileName.size() - Suffix.size()) != Suffix) {
        return std::nullopt;
    }
    const std::string_view middle =
        fileName.substr(Prefix.size(), fileName.size() - Prefix.size() - Suffix.size());
    unsigned char character = 0;
    if (middle.size() == 1 && static_cast<unsigned char>(middle[0]) < 0x80) {
        character = static_cast<unsigned char>(middle[0]);
    } else if (middle.size() == 2) {
        // Only the UTF-8 of a byte from 128 to 255: a lead of 0xC2 or 0xC3, then a trail byte.
        const auto lead = static_cast<unsigned char>(middle[0]);
        const auto trail = static_cast<unsigned char>(middle[1]);
        if ((lead != 0xC2 && lead != 0xC3) || (trail & 0xC0U) != 0x80) {
            return std::nullopt;
        }
        character = static_cast<unsigned char>(((lead & 0x03U) << 6U) | (trail & 0x3FU));
    } else {
        return std::nullopt;
    }
    // The loader skips these bytes, so no tile is ever drawn with them.
    if (!IsTileCharacter(character)) {
        return std::nullopt;
    }
    return character;
}

std::string CarPictureName(int car, const std::string& direction) {
    return "Car" + std::to_string(car) + direction + ".gif";
}

std::filesystem::path CarPicturePath(const std::filesystem::path& programDir, int car,
                                     const std::string& direction) {
    return programDir / Utf8Path(CarPictureName(car, direction));
}

}  // namespace vornak
