// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <map>

#include "Direction.h"
#include "FuzzInputs.h"
#include "GameError.h"
#include "LevelCheck.h"
#include "LevelInput.h"
#include "PictureFile.h"
#include "RenderStartScreen.h"
#include "WindowTestLevel.h"
#include "frmGame.h"

namespace vornak {
namespace {

using testing::WindowTestLevel;

std::string Blocks(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) {
        text += row + "\r\n";
    }
    return text;
}

// A level that the checker has nothing to say about.
class LevelCheckTest : public ::testing::Test {
  protected:
    LevelCheckTest() {
        level.WriteTile('g', Qt::gray);
        level.Write("TilesMap.txt", std::string(300, 'g'));
        level.Write("BlocksMap.txt", Blocks(std::vector<std::string>(15, std::string(20, ' '))));
        level.Write("Cars.txt", "3\r\n5\r\nright\r\n18\r\n12\r\nleft\r\n");
        for (const char* heading : {"up", "down", "left", "right"}) {
            level.CopyCar("red16.gif", std::string("Car1") + heading + ".gif");
            level.CopyCar("blue16.gif", std::string("Car2") + heading + ".gif");
        }
    }

    // Levels of one tile with a few walls make every wall disagree with the tile; tests of other
    // findings leave those out.
    std::vector<std::string> Check(bool withTileKinds = true) const {
        std::vector<std::string> lines;
        diagnostics = CheckLevel(level.Path());
        for (const Diagnostic& diagnostic : diagnostics) {
            if (!withTileKinds && diagnostic.message.find("under the tile") != std::string::npos) {
                continue;
            }
            lines.push_back(FormatDiagnostic(diagnostic).substr(level.Path().string().size() + 1));
        }
        return lines;
    }

    WindowTestLevel level;
    mutable std::vector<Diagnostic> diagnostics;
};

using Lines = std::vector<std::string>;

TEST_F(LevelCheckTest, CleanLevelHasNothingToSay) {
    EXPECT_EQ(Check(), Lines{});
    EXPECT_EQ(ExitStatusFor(diagnostics), 0);
}

// The trap this tool exists for: an editor stripped a row's trailing spaces.
TEST_F(LevelCheckTest, NamesTheLineThatShiftsLaterRows) {
    std::vector<std::string> rows(15, "#                  #");
    rows[3] = "#";
    rows[6] = std::string(22, ' ');
    rows[9] = std::string(40, ' ');
    rows[14] = "##";
    level.Write("BlocksMap.txt", Blocks(rows));
    EXPECT_EQ(Check(false),
              (Lines{"BlocksMap.txt:4:1: warning: this line holds 1 cell, not 20; every later row "
                     "shifts left by 19 cells",
                     "BlocksMap.txt:7:1: warning: this line holds 22 cells, not 20; every later "
                     "row shifts right by 2 cells",
                     "BlocksMap.txt:15:1: warning: this line holds 2 cells, not 20; the rest of "
                     "its row stays free",
                     "BlocksMap.txt:1:1: warning: the map holds 285 cells, not 300; the cells "
                     "after them stay free"}));
    EXPECT_EQ(ExitStatusFor(diagnostics), 1);
}

// What the game accepts but a level maker rarely means.
TEST_F(LevelCheckTest, WarnsAboutStartsHeadingsSizesAndUnusedPictures) {
    std::vector<std::string> rows(15, std::string(20, ' '));
    rows[4][2] = '#';
    level.Write("BlocksMap.txt", Blocks(rows));
    level.Write("Cars.txt", "3\r\n5\r\nUp\r\n3\r\n5\r\nleft\r\n");
    level.CopyCar("red16.gif", "Car1Up.gif");
    level.CopyCar("red16.gif", "Car3up.gif");
    level.WriteTile('g', Qt::gray, 20);
    level.WriteTile('q', Qt::gray);
    level.Write("TilesMap.txt", std::string(299, 'g'));
    EXPECT_EQ(Check(false),
              (Lines{"TilesMap.txt:1:1: warning: Tileg.bmp is 20 x 20 pixels, not 16 x 16",
                     "TilesMap.txt:1:1: warning: the map holds 299 tiles, not 300; the rest of the "
                     "field stays empty",
                     "Cars.txt:1:1: warning: car 1 starts on a wall",
                     "Cars.txt:3:1: warning: car 1's heading \"Up\" is not up, down, left or right",
                     "Cars.txt:4:1: warning: car 2 starts on a wall",
                     "Cars.txt:4:1: warning: car 2 starts on car 1's cell",
                     "Car3up.gif:1:1: warning: the level never uses this picture",
                     "Tileq.bmp:1:1: warning: the level never uses this picture"}));
    EXPECT_EQ(ExitStatusFor(diagnostics), 1);
}

// A wall drawn as road and a barrier without its wall are invisible in the game; the warning
// names the cell in the blocks map, wherever a short line put it. A car walled in on all four
// sides, the grid's edge included, is a warning too.
TEST_F(LevelCheckTest, WarnsAboutWallsThatDisagreeWithTheirTilesAndBoxedInCars) {
    level.WriteTile('b', Qt::red);
    std::string tiles(300, 'g');
    std::vector<std::string> rows(15, std::string(20, ' '));
    for (int column = 0; column < 20; ++column) {
        tiles[static_cast<std::size_t>(column)] = 'b';  // the top row is a barrier...
        rows[0][static_cast<std::size_t>(column)] = '#';
    }
    rows[0][7] = ' ';                // ...with a gap cars drive through
    rows[9][4] = '#';                // a wall on grass
    rows[1] = std::string(19, ' ');  // one cell short: later rows start a cell to the left
    rows[2][1] = '#';                // closes car 2's cell (1, 2) from below, after the shift,
    rows[1][1] = '#';                // and from the right, with barrier tiles
    tiles[40] = 'b';
    tiles[21] = 'b';
    level.Write("TilesMap.txt", tiles);
    level.Write("BlocksMap.txt", Blocks(rows));
    level.Write("Cars.txt", "3\r\n5\r\nright\r\n1\r\n2\r\nleft\r\n");
    EXPECT_EQ(Check(),
              (Lines{"BlocksMap.txt:2:1: warning: this line holds 19 cells, not 20; every later "
                     "row shifts left by 1 cell",
                     "BlocksMap.txt:1:1: warning: the map holds 299 cells, not 300; the cells "
                     "after them stay free",
                     "BlocksMap.txt:1:8: warning: no wall under the tile \"b\", which is a wall in "
                     "21 of its 22 cells: cars drive through this barrier",
                     "BlocksMap.txt:10:5: warning: a wall under the tile \"g\", which is open in "
                     "277 of its 278 cells: cars stop at a wall that players cannot see",
                     "Cars.txt:4:1: warning: car 2 cannot leave its start cell: walls close all "
                     "four sides"}));
}

// Errors come in the game's own words, at the exact place; the checker goes on to the next
// file so that one run shows them all.
TEST_F(LevelCheckTest, ReportsWhatWouldStopTheGame) {
    level.Write("TilesMap.txt", std::string(40, 'g') + "\r\ngx" + std::string(258, 'g') + "\r\ng");
    level.Write("BlocksMap.txt", std::string(301, '#'));
    level.Write("Cars.txt", "3\r\n5\r\nright\r\n99999999999\r\n");
    std::filesystem::remove(level / "Car1left.gif");
    EXPECT_EQ(Check(),
              (Lines{"TilesMap.txt:2:2: error: Tilex.bmp is missing",
                     "TilesMap.txt:3:1: error: tile character 301 is one too many; the grid holds "
                     "300 tiles, 20 columns by 15 rows",
                     "BlocksMap.txt:1:301: error: cell 301 (\"#\" or space) is one too many; the "
                     "grid holds 300 cells, 20 columns by 15 rows",
                     "Cars.txt:4:1: error: \"99999999999\" lies outside the signed 32-bit range"}));
    EXPECT_EQ(ExitStatusFor(diagnostics), 2);

    level.Write("Cars.txt", "3\r\n5\r\nright\r\n18\r\n12\r\nleft\r\n");
    level.Write("TilesMap.txt", std::string(300, 'g'));
    level.Write("BlocksMap.txt", "");
    EXPECT_EQ(Check(),
              (Lines{"BlocksMap.txt:1:1: warning: the map holds 0 cells, not 300; the cells after "
                     "them stay free",
                     "Cars.txt:3:1: error: Car1left.gif is missing; the game stops when car 1 "
                     "first drives left"}));
}

// A name with a NUL or another control byte is shown escaped, so that neither a terminal nor
// the page (whose text would end at the NUL) gets it raw.
TEST_F(LevelCheckTest, NamesWithControlBytesAreShownEscaped) {
    level.Write("Cars.txt", std::string("3\r\n5\r\nright\r\n18\r\n12\r\nle\0\x1b[2Jft\r\n", 31));
    const Lines lines = Check();
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find_first_of(std::string("\0\x1b", 2)), std::string::npos) << line;
    }
    EXPECT_EQ(lines.front(),
              "Cars.txt:6:1: error: \"Car2le\\x00\\x1B[2Jft.gif\" cannot be opened: the name holds "
              "a NUL byte");
}

// The checker only reads: missing map files stay missing.
TEST_F(LevelCheckTest, NeverCreatesOrWritesAFile) {
    std::filesystem::remove(level / "TilesMap.txt");
    std::filesystem::remove(level / "BlocksMap.txt");
    const auto carsTime = std::filesystem::last_write_time(level / "Cars.txt");
    EXPECT_EQ(Check(),
              (Lines{"TilesMap.txt:1:1: warning: the file is missing; the game would create it "
                     "empty",
                     "TilesMap.txt:1:1: warning: the map holds 0 tiles, not 300; the rest of the "
                     "field stays empty",
                     "BlocksMap.txt:1:1: warning: the file is missing; the game would create it "
                     "empty",
                     "BlocksMap.txt:1:1: warning: the map holds 0 cells, not 300; the cells after "
                     "them stay free",
                     "Tileg.bmp:1:1: warning: the level never uses this picture"}));
    std::string failure;
    EXPECT_FALSE(RenderStartScreen(level.Path(), failure).isNull()) << failure;
    EXPECT_FALSE(std::filesystem::exists(level / "TilesMap.txt"));
    EXPECT_FALSE(std::filesystem::exists(level / "BlocksMap.txt"));
    EXPECT_EQ(std::filesystem::last_write_time(level / "Cars.txt"), carsTime);
}

// The game stops at load, or later when a car first drives a way whose picture is bad.
bool GameStops(const std::filesystem::path& folder) {
    frmGame game(folder);
    game.SetFailureReporter([](const QString& /*message*/) {});
    if (!game.Form_Load()) {
        return true;
    }
    for (int car = 1; car <= CarCount; ++car) {
        for (const DirectionStep& direction : DirectionTable) {
            try {
                LoadPicture(CarPicturePath(folder, car, std::string(direction.word)), "gif");
            } catch (const GameError&) {
                return true;
            }
        }
    }
    return false;
}

bool CheckerStops(const std::filesystem::path& folder) {
    return ExitStatusFor(CheckLevel(folder)) == 2;
}

// The checker reports an error exactly when the game would stop: on every level of the fuzz
// corpus, and on level files that are links to nothing, pipes, devices or uncreatable.
TEST_F(LevelCheckTest, ErrorsAreExactlyWhatStopsTheGame) {
    for (const std::filesystem::path& input : testing::FuzzInputs({"corpus/level"})) {
        SCOPED_TRACE(input.filename().string());
        const std::string bytes = testing::ReadBytes(input);
        const fuzzing::LevelFiles files = fuzzing::SplitLevelInput(
            reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        WindowTestLevel corpusLevel;
        for (const auto& entry : std::filesystem::directory_iterator(VORNAK_LEVEL_DIR)) {
            if (!entry.is_regular_file()) {
                continue;
            }
            std::filesystem::copy_file(entry.path(),
                                       corpusLevel / entry.path().filename().string());
        }
        for (const auto& [name, present, text] :
             {std::tuple{"TilesMap.txt", files.hasTilesMap, files.tilesMap},
              std::tuple{"BlocksMap.txt", files.hasBlocksMap, files.blocksMap},
              std::tuple{"Cars.txt", files.hasCars, files.cars}}) {
            std::filesystem::remove(corpusLevel / name);
            if (present) {
                corpusLevel.Write(name, text);
            }
        }
        const bool checkerStops = CheckerStops(corpusLevel.Path());
        EXPECT_EQ(checkerStops, GameStops(corpusLevel.Path()));
    }

    std::filesystem::create_symlink("gone/TilesMap.txt", level / "TilesMap.txt.link");
    std::filesystem::remove(level / "TilesMap.txt");
    std::filesystem::rename(level / "TilesMap.txt.link", level / "TilesMap.txt");
    EXPECT_TRUE(CheckerStops(level.Path()));
    EXPECT_TRUE(GameStops(level.Path()));
    std::filesystem::remove(level / "TilesMap.txt");
    std::filesystem::create_symlink("/dev/zero", level / "TilesMap.txt");
    EXPECT_TRUE(CheckerStops(level.Path()));
    EXPECT_TRUE(GameStops(level.Path()));
    std::filesystem::remove(level / "TilesMap.txt");
    ASSERT_EQ(mkfifo((level / "BlocksMap.txt.pipe").c_str(), 0600), 0);
    std::filesystem::remove(level / "BlocksMap.txt");
    std::filesystem::rename(level / "BlocksMap.txt.pipe", level / "BlocksMap.txt");
    EXPECT_TRUE(CheckerStops(level.Path()));
    EXPECT_TRUE(GameStops(level.Path()));
    std::filesystem::remove(level / "BlocksMap.txt");

    // A folder nobody may write to; root needs the immutable flag for that.
    std::filesystem::permissions(level.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    const std::string immutable = "chattr +i '" + level.Path().string() + "' 2>/dev/null";
    if (::access(level.Path().c_str(), W_OK) == 0 && std::system(immutable.c_str()) != 0) {
        std::cout << "no read-only folder to be had here; that case is left out\n";
    } else {
        EXPECT_TRUE(CheckerStops(level.Path())) << "the missing maps cannot be created";
        EXPECT_TRUE(GameStops(level.Path()));
    }
    std::system(("chattr -i '" + level.Path().string() + "' 2>/dev/null").c_str());
    std::filesystem::permissions(level.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

}  // namespace
}  // namespace vornak

namespace vornak {
namespace {

// The fewest cells a car drives from its start cell round the circuit and back, going the way it
// faces and never across the start line (both cars' start cells) on the way.
int ShortestLap(const GameState& state) {
    const DirectionStep* heading = FindDirection(state.CarDirection(1));
    if (heading == nullptr) {
        return 0;
    }
    std::map<std::pair<int, int>, int> distance;
    std::vector<std::pair<int, int>> queue{
        {state.CarX(1) + heading->columnStep, state.CarY(1) + heading->rowStep}};
    distance[queue.front()] = 1;
    const std::pair<int, int> behind{state.CarX(1) - heading->columnStep,
                                     state.CarY(1) - heading->rowStep};
    for (std::size_t next = 0; next < queue.size(); ++next) {
        const auto [column, row] = queue[next];
        for (const DirectionStep& step : DirectionTable) {
            const std::pair<int, int> cell{column + step.columnStep, row + step.rowStep};
            const bool startLine = (cell.first == state.CarX(1) && cell.second == state.CarY(1)) ||
                                   (cell.first == state.CarX(2) && cell.second == state.CarY(2));
            if (CellGrid::Contains(cell.first, cell.second) &&
                !state.Blocks(cell.first, cell.second) && !startLine && distance.count(cell) == 0) {
                distance[cell] = distance[{column, row}] + 1;
                queue.push_back(cell);
            }
        }
    }
    return distance.count(behind) != 0 ? distance[behind] + 1 : 0;
}

// Every bundled level loads in the game, the checker has nothing to say about it, and no cell of
// road is a dead end: each has at least two open neighbours, so no car is ever walled in.
TEST(BundledLevels, LoadCleanlyAndHaveNoDeadEnds) {
    int levels = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VORNAK_LEVELS_DIR)) {
        SCOPED_TRACE(entry.path().filename().string());
        ++levels;
        for (const Diagnostic& diagnostic : CheckLevel(entry.path())) {
            ADD_FAILURE() << FormatDiagnostic(diagnostic);
        }
        frmGame game(entry.path(), MissingMapFile::ReadAsEmpty);
        game.SetFailureReporter(
            [](const QString& message) { ADD_FAILURE() << message.toStdString(); });
        ASSERT_TRUE(game.Form_Load());
        const GameState& state = game.State();
        auto open = [&state](int column, int row) {
            return CellGrid::Contains(column, row) && !state.Blocks(column, row);
        };
        for (int row = 1; row <= GridRows; ++row) {
            for (int column = 1; column <= GridColumns; ++column) {
                const int ways = open(column - 1, row) + open(column + 1, row) +
                                 open(column, row - 1) + open(column, row + 1);
                EXPECT_TRUE(!open(column, row) || ways >= 2)
                    << "dead end at column " << column << ", row " << row;
            }
        }
        for (int car = 1; car <= CarCount; ++car) {
            EXPECT_TRUE(open(state.CarX(car), state.CarY(car))) << "car " << car;
        }
        if (entry.path().filename() == "circuit") {
            EXPECT_GE(ShortestLap(state), 80) << "cells from the start line round to it";
        }
    }
    EXPECT_EQ(levels, 4);
}

}  // namespace
}  // namespace vornak
