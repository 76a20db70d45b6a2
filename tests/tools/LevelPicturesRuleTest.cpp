// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The build picks a bundled level's tile pictures by a rule of its own, written in CMake; it must
// name exactly the pictures the game and the editor name, for every byte a map may hold.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "LevelDirectory.h"
#include "LevelLoader.h"

namespace vornak {
namespace {

int RunRule(const testing::LevelDirectory& folder) {
    const std::string command = std::string("\"") + VORNAK_CMAKE + "\" -DMAP=\"" +
                                (folder / "TilesMap.txt").string() + "\" -DOUT=\"" +
                                (folder / "names.txt").string() + "\" -P \"" +
                                VORNAK_LEVEL_PICTURES_RULE + "\" 2>/dev/null";
    return std::system(command.c_str());
}

TEST(LevelPicturesRule, NamesEveryTileAsTheGameDoes) {
    testing::LevelDirectory folder;
    std::string map;
    std::set<std::string> expected;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == '\n' || byte == '\r' || byte == ';') {
            continue;
        }
        map += static_cast<char>(byte);
        const std::string name = TilePicturePath("", static_cast<unsigned char>(byte)).string();
        expected.insert(name);
        EXPECT_EQ(TileCharacterOfPicture(name), static_cast<unsigned char>(byte)) << byte;
    }
    folder.Write("TilesMap.txt", map + "\r\n");
    ASSERT_EQ(RunRule(folder), 0);
    std::ifstream names(folder / "names.txt", std::ios::binary);
    std::set<std::string> tiles;
    for (std::string line; std::getline(names, line);) {
        tiles.insert(line);
    }
    EXPECT_EQ(tiles, expected);

    folder.Write("TilesMap.txt", "ab;");
    EXPECT_NE(RunRule(folder), 0) << "a ';' would split a picture name in two";
}

}  // namespace
}  // namespace vornak
