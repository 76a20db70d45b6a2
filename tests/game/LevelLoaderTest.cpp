// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "GameError.h"
#include "LevelDirectory.h"
#include "LevelLoader.h"
#include "PathText.h"
#include "RecordingWindow.h"
#include "SystemFiles.h"

namespace vornak {
namespace {

using testing::LevelDirectory;
using testing::RecordingWindow;

const std::string SampleCars = "3\r\n5\r\nright\r\n18\r\n12\r\nleft\r\n";

class LevelLoaderTest : public ::testing::Test {
  protected:
    void Load() { LevelLoader(state, window, SystemFiles(), level.Path()); }

    // The message of the failure that loading the level gives.
    std::string LoadFailure() {
        try {
            Load();
        } catch (const GameError& error) {
            return error.what();
        }
        ADD_FAILURE() << "the level loaded without a failure";
        return {};
    }

    std::string TileNames() const {
        std::string names;
        for (const auto& [index, picture] : window.tilePictures) {
            names += std::to_string(index) + "=" + picture.filename().string() + " ";
        }
        return names;
    }

    std::string WallPicture() const {
        std::string picture;
        for (int row = 1; row <= GridRows; ++row) {
            for (int column = 1; column <= GridColumns; ++column) {
                picture += state.Blocks(column, row) ? '#' : '.';
            }
            picture += '\n';
        }
        return picture;
    }

    LevelDirectory level;
    GameState state;
    RecordingWindow window;
};

// The car file sets the start cells, the pixel positions and the first pictures.
TEST_F(LevelLoaderTest, CarsFilePlacesBothCars) {
    level.Write("Cars.txt", SampleCars);
    Load();
    EXPECT_EQ(state.CarX(1), 3);
    EXPECT_EQ(state.CarY(1), 5);
    EXPECT_EQ(state.CarX(2), 18);
    EXPECT_EQ(state.CarY(2), 12);
    EXPECT_EQ(window.carLeft[1], 32);
    EXPECT_EQ(window.carTop[1], 64);
    EXPECT_EQ(window.carLeft[2], 272);
    EXPECT_EQ(window.carTop[2], 176);
    EXPECT_EQ(window.carPictures[1], level / "Car1right.gif");
    EXPECT_EQ(window.carPictures[2], level / "Car2left.gif");
    EXPECT_FALSE(state.CarMoving(1) || state.CarMoving(2));
    EXPECT_TRUE(state.CarRequest(1).empty() && state.CarRequest(2).empty());
    EXPECT_FALSE(state.Blocks(3, 5)) << "start cells are not marked";
}

// Any line end, blanks around a number and a leading sign all read the same; lines after the
// sixth are never read; the heading is taken whole and unchecked.
TEST_F(LevelLoaderTest, CarsFileAcceptsEveryCommonWrittenForm) {
    for (const std::string& text :
         {std::string("3\n5\nright\n18\n12\nleft"), std::string("3\r5\rright\r18\r12\rleft\r"),
          std::string(" +3 \t\r\n\t5\nright\r18\r\n  12\nleft\r\nthis line is never read"),
          std::string("\xEF\xBB\xBF"
                      "3\r\n5\r\nright\r\n18\r\n12\r\nleft\r\n")}) {
        SCOPED_TRACE(text);
        state = GameState{};
        window = RecordingWindow{};
        level.Write("Cars.txt", text);
        Load();
        EXPECT_EQ(state.CarX(1), 3);
        EXPECT_EQ(state.CarY(2), 12);
        EXPECT_EQ(state.CarDirection(1), "right");
        EXPECT_EQ(state.CarDirection(2), "left");
    }
    level.Write("Cars.txt", "-0\n-2147483648\nUp\n2147483647\n0\n sideways \n");
    Load();
    EXPECT_EQ(state.CarX(1), 0);
    EXPECT_EQ(window.carTop[1], -16.0 * 2147483649.0);
    EXPECT_EQ(window.carLeft[2], 16.0 * 2147483646.0);
    EXPECT_EQ(window.carPictures[1], level / "Car1Up.gif");
    EXPECT_EQ(window.carPictures[2], level / "Car2 sideways .gif");
}

// Line breaks in the tile map carry no meaning; NUL is skipped and a space is a tile.
TEST_F(LevelLoaderTest, TileMapFillsTilesInReadingOrder) {
    level.Write("Cars.txt", SampleCars);
    std::string rows;
    std::string oneLine;
    for (int row = 0; row < GridRows; ++row) {
        const std::string line = std::string(19, static_cast<char>('a' + row)) + (row ? 'x' : ' ');
        rows += line + "\r\n";
        oneLine += line;
    }
    level.Write("TilesMap.txt", rows);
    Load();
    ASSERT_EQ(window.tilePictures.size(), 300U);
    EXPECT_EQ(window.tilePictures[19].second, level / "Tile .bmp");
    EXPECT_EQ(window.tilePictures[20].second, level / "Tileb.bmp");
    EXPECT_EQ(window.tilePictures[299].second, level / "Tilex.bmp");
    const std::string fromRows = TileNames();

    window = RecordingWindow{};
    level.Write("TilesMap.txt", oneLine);
    Load();
    EXPECT_EQ(TileNames(), fromRows);

    window = RecordingWindow{};
    level.Write("TilesMap.txt", std::string("g\0\nh\r\xE9", 6));
    Load();
    EXPECT_EQ(TileNames(), "0=Tileg.bmp 1=Tileh.bmp 2=Tile\xC3\xA9.bmp ")
        << "fewer than 300 tiles leave the rest without a picture; byte E9 is Latin-1 e-acute";
}

// Walls fill in reading order; bytes other than '#' and space take no cell, so a row that lost
// its trailing spaces shifts every later row.
TEST_F(LevelLoaderTest, BlocksMapFillsCellsInReadingOrder) {
    level.Write("Cars.txt", SampleCars);
    using namespace std::string_literals;
    level.Write("BlocksMap.txt",
                "#                  #\r\n"
                " #\t\tab\0                  \r\n"s
                "  #\n"
                "#");
    Load();
    EXPECT_EQ(WallPicture().substr(0, 84),
              "#..................#\n"
              ".#..................\n"
              "..##................\n"
              "....................\n")
        << "row 3 lacks 17 spaces, so the # that starts row 4 lands in row 3's column 4";
}

// Files present beforehand are read and never written; only a missing map file is created,
// and created empty.
TEST_F(LevelLoaderTest, MissingMapFilesAreCreatedEmptyAndNothingElseIsWritten) {
    level.Write("Cars.txt", SampleCars);
    level.Write("TilesMap.txt", "ab");
    const auto before = std::filesystem::last_write_time(level / "TilesMap.txt");
    Load();
    EXPECT_EQ(level.Read("TilesMap.txt"), "ab");
    EXPECT_EQ(std::filesystem::last_write_time(level / "TilesMap.txt"), before);
    EXPECT_EQ(level.Read("Cars.txt"), SampleCars);
    ASSERT_TRUE(std::filesystem::exists(level / "BlocksMap.txt"));
    EXPECT_EQ(std::filesystem::file_size(level / "BlocksMap.txt"), 0U);
    EXPECT_EQ(WallPicture().find('#'), std::string::npos);

    std::filesystem::remove(level / "TilesMap.txt");
    window = RecordingWindow{};
    Load();
    EXPECT_TRUE(window.tilePictures.empty());
    EXPECT_EQ(std::filesystem::file_size(level / "TilesMap.txt"), 0U);
}

// Each failure of the car file names the file, the line number and the line's text.
TEST_F(LevelLoaderTest, BadCarsLinesNameTheLine) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"3\r\n\r\nright", "line 2: \"\" is empty"},
        {"3\n   \nright", "line 2: \"   \" is empty"},
        {"abc\n5\nright", "line 1: \"abc\" is not a whole number"},
        {"3\n5 5\nright", "line 2: \"5 5\" is not a whole number"},
        {"3\n5\nright\n1.5\n", "line 4: \"1.5\" is not a whole number"},
        {"3\n5\nright\n0x10\n", "line 4: \"0x10\" is not a whole number"},
        {"3\n5\nright\n7\n1e3\n", "line 5: \"1e3\" is not a whole number"},
        {"+\n", "line 1: \"+\" is not a whole number"},
        {"2147483648\n", "line 1: \"2147483648\" lies outside the signed 32-bit range"},
        {"-2147483649\n", "line 1: \"-2147483649\" lies outside"},
        {"99999999999999999999999999\n", "line 1: \"99999999999999999999999999\" lies outside"},
        {"3\n\x01\x1B\n", "line 2: \"\\x01\\x1B\" is not a whole number"},
    };
    for (const Case& bad : cases) {
        SCOPED_TRACE(bad.text);
        level.Write("Cars.txt", bad.text);
        const std::string message = LoadFailure();
        EXPECT_NE(message.find((level / "Cars.txt").string() + " " + bad.expected),
                  std::string::npos)
            << message;
    }
}

// A car file that ends early says how many lines it has.
TEST_F(LevelLoaderTest, ShortCarsFileFails) {
    for (const auto& [text, count] : std::vector<std::pair<std::string, std::string>>{
             {"", "only 0 lines"},
             {"3", "only 1 line;"},
             {"3\r\n5\r\nright\r\n18\r\n12\r\n", "only 5 lines"},
             {"3\r\n5\r\nright\r\n18\r\n12", "only 5 lines"}}) {
        SCOPED_TRACE(text);
        level.Write("Cars.txt", text);
        const std::string message = LoadFailure();
        EXPECT_EQ(message.rfind((level / "Cars.txt").string() + " has " + count, 0), 0U) << message;
    }
}

// Every failure outside the car file names the file at fault.
TEST_F(LevelLoaderTest, OtherFailuresNameTheFile) {
    EXPECT_EQ(LoadFailure(), (level / "Cars.txt").string() + " is missing");

    level.Write("Cars.txt", SampleCars);
    level.Write("TilesMap.txt", std::string(299, 'g') + "\rgg");
    EXPECT_EQ(LoadFailure().rfind((level / "TilesMap.txt").string() +
                                      " line 2, column 2: tile character 301 is one too many",
                                  0),
              0U);
    EXPECT_EQ(window.tilePictures.size(), 300U);

    level.Write("TilesMap.txt", std::string(300, 'g') + std::string("\r\n\0\r\n", 5));
    level.Write("BlocksMap.txt", std::string(300, ' ') + "\r\n#");
    EXPECT_EQ(
        LoadFailure().rfind((level / "BlocksMap.txt").string() +
                                " line 2, column 1: cell 301 (\"#\" or space) is one too many",
                            0),
        0U);

    level.Write("BlocksMap.txt", std::string(300, '#') + "\r\nthe_end");
    // A bad picture leads back to what asked for it: the map's place, or the heading's line.
    window.failingPictures.insert(level / "Tileg.bmp");
    EXPECT_EQ(LoadFailure(), (level / "Tileg.bmp").string() +
                                 " cannot be decoded; TilesMap.txt line 1, column 1 asks for it "
                                 "with the tile character \"g\"");
    // A heading that is no direction is the cause, and is named first, at its line; a good
    // heading names only its picture.
    level.Write("Cars.txt", "3\r\n5\r\nright\r\n18\r\n12\r\neast\r\n");
    window.failingPictures = {level / "Car2east.gif"};
    EXPECT_EQ(LoadFailure(),
              (level / "Cars.txt").string() +
                  " line 6: \"east\" is not a heading (up, down, left or right), "
                  "and car 2's first picture \"Car2east.gif\", which it names, cannot "
                  "be decoded");
    level.Write("Cars.txt", "3\r\n5\r\nright\r\n18\r\n12\r\nleft\r\n");
    window.failingPictures = {level / "Car2left.gif"};
    EXPECT_EQ(LoadFailure(), (level / "Car2left.gif").string() +
                                 " cannot be decoded; it is car 2's first picture, named by the "
                                 "heading \"left\" on line 6 of Cars.txt");

    std::filesystem::remove(level / "Cars.txt");
    std::filesystem::create_directory(level / "Cars.txt");

    EXPECT_EQ(LoadFailure(),
              (level / "Cars.txt").string() + " is a folder, not a file the game can read");
}

// A heading is any text, but the picture it names stays in the level's folder on every system:
// no opener ever sees a name that climbs out, and the message names the whole name.
TEST_F(LevelLoaderTest, AHeadingNeverLeadsOutOfTheLevelsFolder) {
    level.Write("TilesMap.txt", "");
    for (const std::string& heading :
         {std::string("/../../../Car2up"), std::string("\\..\\x"), std::string("/../x")}) {
        level.Write("Cars.txt", "3\r\n5\r\n" + heading + "\r\n18\r\n12\r\nleft\r\n");
        window.carPictures = {};
        const std::string failure = LoadFailure();
        EXPECT_NE(
            failure.find("car 1's first picture " + QuoteForMessage("Car1" + heading + ".gif")),
            std::string::npos)
            << failure;
        EXPECT_NE(failure.find("is missing: a picture's name may not lead out"), std::string::npos);
        EXPECT_TRUE(window.carPictures[1].empty()) << "no window was asked for it";
    }
    EXPECT_TRUE(StaysInItsFolder("Tile/.bmp"));
    EXPECT_TRUE(StaysInItsFolder("Car1..x/y.gif"));
    EXPECT_FALSE(StaysInItsFolder("C:x.gif"));
    EXPECT_FALSE(StaysInItsFolder(std::string("Car1up\0.gif", 11)));
}

// A file is a tile's picture exactly when the loader would ask for it by that name: every tile
// character round-trips, and names of two ASCII characters are no tile's, whatever their bytes.
TEST(TilePictureNames, AreRecognisedExactlyAsTheLoaderNamesThem) {
    for (int byte = 1; byte < 256; ++byte) {
        // The loader skips line ends; a slash names a file in a folder, no picture beside it.
        if (byte == '\n' || byte == '\r' || byte == '/' || byte == '\\') {
            continue;
        }
        const auto tile = static_cast<unsigned char>(byte);
        const std::string name = PathText(TilePicturePath("", tile).filename());
        EXPECT_EQ(TileCharacterOfPicture(name), std::optional<unsigned char>(tile)) << name;
    }
    for (const char* other : {"Tile10.bmp", "Tileab.bmp", "Tile.bmp", "Tile\xC3.bmp",
                              "Tile\xE9\x80.bmp", "Tile\n.bmp", "TileA.BMP", "Tile..bmp.bak"}) {
        EXPECT_EQ(TileCharacterOfPicture(other), std::nullopt) << other;
    }
}

// A program directory where a missing map file cannot be created fails cleanly.
TEST_F(LevelLoaderTest, MapFileThatCannotBeCreatedFails) {
    GameState fresh;
    try {
        LevelLoader(fresh, window, SystemFiles(), level / "no such folder");
        FAIL() << "expected a failure";
    } catch (const GameError& error) {
        EXPECT_EQ(std::string(error.what())
                      .rfind((level / "no such folder" / "TilesMap.txt").string() +
                                 " is missing and cannot be created",
                             0),
                  0U);
    }
}

}  // namespace
}  // namespace vornak
