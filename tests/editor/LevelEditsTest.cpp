// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "LevelEdits.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "TileCharacterChoice.h"

namespace vornak::editor {
namespace {

// A level drawn as 15 rows of 20 characters: a letter is a tile, and an upper-case letter is
// that tile with a wall on it.
LevelContent Drawn(const std::vector<std::string>& rows) {
    LevelContent content;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            const char drawn = rows[row][column];
            content.tiles += static_cast<char>(std::tolower(drawn));
            content.walls[row * GridColumns + column] = std::isupper(drawn) != 0;
        }
    }
    return content;
}

std::vector<std::string> Drawing(const LevelContent& content) {
    std::vector<std::string> rows(GridRows);
    for (std::size_t cell = 0; cell < content.tiles.size(); ++cell) {
        const char tile = content.tiles[cell];
        rows[cell / GridColumns] +=
            static_cast<char>(content.walls[cell] ? std::toupper(tile) : tile);
    }
    return rows;
}

std::vector<std::string> Rows(const std::string& top, const std::string& rest) {
    std::vector<std::string> rows(GridRows, rest);
    rows[0] = top;
    return rows;
}

// Fill stays within the 4-connected cells of the clicked tile (a diagonal is no connection) and
// gives each painted cell its tile's kind; a tile without a kind leaves the walls as they were.
TEST(LevelEdits, FillTakesTheConnectedAreaAndTheTilesKind) {
    LevelContent level = Drawn(Rows("aaaBBaaaaaaaaaaaaaaa", "aaaBBaaaaaaaaaaaaaaa"));
    level.tiles[4] = 'a';  // a cell of a with the wall that b has
    level.tiles[3 * GridColumns + 5] = 'c';
    TileKinds kinds{};
    kinds['b'] = true;
    FillArea(level, 0, 'b', &kinds);
    EXPECT_EQ(Drawing(level)[0], "BBBBAaaaaaaaaaaaaaaa") << "only the left of the barrier";
    EXPECT_EQ(Drawing(level)[3], "BBBBBcaaaaaaaaaaaaaa");
    FillArea(level, 19, 'd', nullptr);
    EXPECT_EQ(Drawing(level)[0], "BBBBDddddddddddddddd") << "no kind: the wall stays";
    EXPECT_EQ(Drawing(level)[3], "BBBBBcdddddddddddddd") << "the c cell is not filled";
}

// Cleared cells take the tile most free cells show (a tie to the lower code) and lose their
// walls; with no free cell, they keep their tiles.
TEST(LevelEdits, ClearingTakesTheCommonestFreeTile) {
    LevelContent level = Drawn(Rows("GGGGGGGGGGGGGGGGGGGG", "GGGGGGGGGGGGGGGGGGGG"));
    ClearArea(level, {0, 0, 1, 0});
    EXPECT_EQ(Drawing(level)[0], "ggGGGGGGGGGGGGGGGGGG") << "no free cell: tiles stay";
    level = Drawn(Rows("yyyyyyyyyyxxxxxxxxxx", "ZZZZZZZZZZZZZZZZZZZZ"));
    ClearArea(level, {0, 1, 2, 2});
    EXPECT_EQ(Drawing(level)[1], "xxxZZZZZZZZZZZZZZZZZ") << "walled z does not count; x ties y";
}

// A paste keeps the copied walls; cells that would fall off the grid are left out.
TEST(LevelEdits, PasteLeavesOutWhatFallsOffTheGrid) {
    LevelContent level = Drawn(Rows("aBcaaaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaaaaaa"));
    const Clip clip = CopyArea(level, CellArea::Spanning(0, GridColumns + 2));
    PasteClip(level, clip, 18, 14);
    EXPECT_EQ(Drawing(level)[14], "aaaaaaaaaaaaaaaaaaaB");
    EXPECT_EQ(Drawing(level)[0], "aBcaaaaaaaaaaaaaaaaa") << "nothing wraps round";
}

// A shift wraps round, cars with it; two mirrors give the level back, and a mirror swaps the
// headings across its axis only.
TEST(LevelEdits, ShiftWrapsAndMirrorFlipsCarsAndHeadings) {
    LevelContent level = Drawn(Rows("aBcdaaaaaaaaaaaaaaaz", "aaaaaaaaaaaaaaaaaaaa"));
    level.cars = {CarStart{20, 1, "left"}, CarStart{3, 15, "up"}};
    const LevelContent original = level;
    ShiftLevel(level, 1, -1);
    EXPECT_EQ(Drawing(level)[14], "zaBcdaaaaaaaaaaaaaaa");
    EXPECT_EQ(level.cars[0], (CarStart{1, 15, "left"}));
    EXPECT_EQ(level.cars[1], (CarStart{4, 14, "up"}));

    level = original;
    MirrorLevel(level, true);
    EXPECT_EQ(Drawing(level)[0], "zaaaaaaaaaaaaaaadcBa");
    EXPECT_EQ(level.cars[0], (CarStart{1, 1, "right"}));
    EXPECT_EQ(level.cars[1], (CarStart{18, 15, "up"}));
    MirrorLevel(level, true);
    EXPECT_EQ(level, original);
    MirrorLevel(level, false);
    EXPECT_EQ(level.cars[1], (CarStart{3, 1, "down"}));
}

// Within a selection, a shift wraps round inside it and a mirror flips it alone; a car inside
// moves and turns with its cells, and everything outside stays. Mirrored tiles become their
// partners.
TEST(LevelEdits, ASelectionShiftsAndMirrorsAlone) {
    LevelContent level = Drawn(Rows("abCdeaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaaaaaa"));
    level.cars = {CarStart{2, 1, "left"}, CarStart{5, 1, "left"}};
    const CellArea firstThree{0, 0, 2, 0};
    ShiftArea(level, firstThree, 1, 0);
    EXPECT_EQ(Drawing(level)[0], "Cabdeaaaaaaaaaaaaaaa");
    EXPECT_EQ(level.cars[0], (CarStart{3, 1, "left"}));
    EXPECT_EQ(level.cars[1], (CarStart{5, 1, "left"})) << "outside the selection";

    MirrorPartners partners = NoPartners();
    partners['a'] = 'z';
    MirrorArea(level, {0, 0, 3, 0}, true, partners);
    EXPECT_EQ(Drawing(level)[0], "dbzCeaaaaaaaaaaaaaaa");
    EXPECT_EQ(level.cars[0], (CarStart{2, 1, "right"}));
    EXPECT_EQ(level.cars[1], (CarStart{5, 1, "left"}));
}

// A map of five rows: a selection that reaches past its end moves only its own cells, and a move
// that would need tiles for cells outside it is refused, changing nothing.
TEST(LevelEdits, AShortMapsSelectionMovesAlone) {
    LevelContent level;
    level.tiles = std::string(99, 'a') + "b";
    const CellArea pastTheEnd{17, 3, 19, 7};
    ASSERT_TRUE(ShiftArea(level, pastTheEnd, 1, 0));
    EXPECT_EQ(level.tiles, std::string(97, 'a') + "baa")
        << "the last row's b wraps round within the selection";
    LevelContent before = level;
    EXPECT_FALSE(ShiftArea(level, pastTheEnd, 0, 1)) << "row 6 would need tiles outside";
    EXPECT_FALSE(MirrorArea(level, pastTheEnd, false, NoPartners()));
    EXPECT_EQ(level, before);
    ASSERT_TRUE(ShiftArea(level, {0, 0, 19, 4}, 0, 1));
    EXPECT_EQ(level.tiles.size(), 100U);
    EXPECT_EQ(level.tiles[17], 'b');
}

// Pictures of 2 x 1 pixels, as the partners rule sees them: left and right colours.
Picture Pair(std::uint32_t left, std::uint32_t right) {
    Picture picture;
    picture.width = 2;
    picture.height = 1;
    picture.pixels = {left, right};
    return picture;
}

// Mirroring twice gives every level back byte for byte, whatever pictures its tiles have: two
// tiles of one picture (g, k), two look-alikes that are their own image (s, m), or a third copy
// of a mirrored pair (a, b, c) have no partner.
TEST(MirrorEdits, TwiceGiveTheLevelBack) {
    const std::map<char, Picture> tiles = {{'g', Pair(1, 2)}, {'k', Pair(1, 2)}, {'^', Pair(2, 1)},
                                           {'l', Pair(3, 4)}, {'r', Pair(4, 3)}, {'s', Pair(5, 5)},
                                           {'a', Pair(6, 7)}, {'b', Pair(7, 6)}, {'c', Pair(7, 6)},
                                           {'m', Pair(5, 5)}};
    const MirrorPartners partners = FindMirrorPartners(tiles, true);
    EXPECT_EQ(partners['l'], 'r');
    EXPECT_EQ(partners['r'], 'l');
    for (const char alone : {'g', 'k', '^', 's', 'm', 'a', 'b', 'c'}) {
        EXPECT_EQ(partners[static_cast<unsigned char>(alone)], alone) << alone;
    }
    EXPECT_EQ(FindMirrorPartners(tiles, false)['l'], 'l') << "upside down each is itself";

    std::mt19937 random(20261209);
    const std::string kinds = "gk^lrsabcx";
    for (int trial = 0; trial < 200; ++trial) {
        LevelContent level;
        for (int cell = 0; cell < TileCount; ++cell) {
            level.tiles += kinds[random() % kinds.size()];
            level.walls[static_cast<std::size_t>(cell)] = random() % 3 == 0;
        }
        const char* headings[] = {"up", "down", "left", "right"};
        for (CarStart& car : level.cars) {
            car = {static_cast<int>(random() % GridColumns), static_cast<int>(random() % GridRows),
                   headings[random() % 4]};
        }
        const int left = static_cast<int>(random() % GridColumns);
        const int top = static_cast<int>(random() % GridRows);
        const CellArea area{left, top, left + static_cast<int>(random() % (GridColumns - left)),
                            top + static_cast<int>(random() % (GridRows - top))};
        const bool leftRight = random() % 2 == 0;
        const MirrorPartners these = FindMirrorPartners(tiles, leftRight);
        LevelContent twice = level;
        MirrorArea(twice, area, leftRight, these);
        MirrorArea(twice, area, leftRight, these);
        ASSERT_EQ(twice, level) << "trial " << trial;
    }
}

// The import's picker suggests a letter free in both cases, and says there and then what a typed
// character means: one in use is replaced, one differing only by case shares its file on Windows.
TEST(TileCharacterChoice, SuggestsAFreeLetterAndWarnsAsTyped) {
    EXPECT_EQ(FreeTileLetter(".^bgstv"), 'a');
    EXPECT_EQ(FreeTileLetter("aBc"), 'd');
    EXPECT_EQ(FreeTileLetter("abcdefghijklmnopqrstuvwxyz"), '0');
    std::string taken = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    EXPECT_EQ(FreeTileLetter(taken), '!') << "a sign, never NUL";
    for (char sign = '!'; sign < 127; ++sign) {
        if (FreeTileLetter(taken) != '\0') {
            EXPECT_EQ(std::string("\\:*?\"<>|/# ").find(FreeTileLetter(taken)), std::string::npos)
                << FreeTileLetter(taken);
        }
        taken += sign;
    }
    EXPECT_EQ(FreeTileLetter(taken), '\0') << "none is free";
    EXPECT_NE(TileCharacterNote('*', "bg").find("cannot be a file on Windows"), std::string::npos);
    EXPECT_NE(TileCharacterNote('b', "bg").find("in use"), std::string::npos);
    EXPECT_NE(TileCharacterNote('G', "bg").find("TileG.bmp and Tileg.bmp are one file on Windows"),
              std::string::npos);
    EXPECT_NE(TileCharacterNote('/', "bg").find("cannot"), std::string::npos);
    EXPECT_NE(TileCharacterNote(' ', "bg").find("a space"), std::string::npos);
    EXPECT_EQ(TileCharacterNote('x', "bg"), "");
}

}  // namespace
}  // namespace vornak::editor
