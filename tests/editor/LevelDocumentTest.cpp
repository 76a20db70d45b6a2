// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <future>

#include "CircuitCopy.h"
#include "FuzzInputs.h"
#include "LevelCheck.h"
#include "LevelDirectory.h"
#include "LevelDocument.h"
#include "LevelLoader.h"
#include "RecordingWindow.h"
#include "SystemFiles.h"

namespace vornak::editor {
namespace {

using vornak::testing::LevelDirectory;
using vornak::testing::ReadBytes;

// A copy of the bundled circuit, as a level maker would start from it.
class LevelDocumentTest : public ::testing::Test {
  protected:
    LevelDocumentTest() { document.Open(level.Path()); }

    // What the game itself reads from a folder.
    static GameState GameReads(const std::filesystem::path& folder) {
        GameState state;
        vornak::testing::RecordingWindow window;
        LevelLoader(state, window, SystemFiles(), folder, MissingMapFile::ReadAsEmpty);
        return state;
    }

    vornak::testing::CircuitCopy level;
    LevelDocument document;
};

// Every edit is undone and redone exactly, and a stroke of many cells is one step.
TEST_F(LevelDocumentTest, EditsUndoAndRedo) {
    const LevelContent opened = document.Content();
    document.SetTile(0, 'b');
    document.SetWall(25, true);
    document.SetCarCell(2, 9, 13);
    document.SetCarHeading(1, "up");
    LevelContent edited = opened;
    edited.tiles[0] = 'b';
    edited.walls[25] = true;
    edited.cars[1].column = 9;
    edited.cars[1].row = 13;
    edited.cars[0].heading = "up";
    EXPECT_EQ(document.Content(), edited);
    EXPECT_EQ(document.UndoStack().count(), 4);
    for (int step = 0; step < 4; ++step) {
        document.UndoStack().undo();
    }
    EXPECT_EQ(document.Content(), opened);
    EXPECT_FALSE(document.IsModified());
    for (int step = 0; step < 4; ++step) {
        document.UndoStack().redo();
    }
    EXPECT_EQ(document.Content(), edited);

    document.BeginStroke("stroke");
    for (int cell = 40; cell < 50; ++cell) {
        document.SetWall(cell, true);
    }
    document.EndStroke();
    EXPECT_EQ(document.UndoStack().count(), 5);
    document.UndoStack().undo();
    EXPECT_EQ(document.Content(), edited);
}

// A stroke open when another level is opened stays with the level it was painted on: no undo
// step of the new level can bring the old level's content back, and saving writes the new one.
TEST_F(LevelDocumentTest, AStrokeNeverOutlivesItsLevel) {
    vornak::testing::CircuitCopy other;
    other.Write("Cars.txt", "5\r\n5\r\nup\r\n6\r\n5\r\nup\r\n");
    const std::string otherCars = other.Read("Cars.txt");
    const std::string otherTiles = other.Read("TilesMap.txt");
    document.BeginStroke("stroke");
    document.SetTile(0, 'b');
    EXPECT_TRUE(document.IsModified()) << "a stroke under way counts as a change";
    document.Open(other.Path());
    document.SetWall(30, true);
    document.EndStroke();
    EXPECT_EQ(document.UndoStack().count(), 1) << "only the new level's own edit";
    document.UndoStack().undo();
    document.UndoStack().undo();
    EXPECT_FALSE(document.IsModified());
    ASSERT_EQ(document.Save(other.Path()), "");
    EXPECT_EQ(other.Read("Cars.txt"), otherCars);
    EXPECT_EQ(other.Read("TilesMap.txt"), otherTiles);
}

// Saving writes the one form, byte for byte; reopening gives the same level, and saving that
// again changes nothing. Files keep their permissions, and files whose bytes would not change
// are not written at all.
TEST_F(LevelDocumentTest, SaveRoundTripIsByteExact) {
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
    for (const char* name : {"TilesMap.txt", "BlocksMap.txt", "Cars.txt"}) {
        std::filesystem::last_write_time(level / name, old);
    }
    std::filesystem::permissions(level / "BlocksMap.txt", std::filesystem::perms(0640));
    document.SetWall(21, true);
    ASSERT_EQ(document.Save(level.Path()), "");
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(std::filesystem::last_write_time(level / "TilesMap.txt"), old);
    EXPECT_EQ(std::filesystem::last_write_time(level / "Cars.txt"), old);
    EXPECT_NE(std::filesystem::last_write_time(level / "BlocksMap.txt"), old);
    EXPECT_EQ(std::filesystem::status(level / "BlocksMap.txt").permissions(),
              std::filesystem::perms(0640));
    const std::string blocks = ReadBytes(level / "BlocksMap.txt");
    EXPECT_EQ(blocks.size(), 15U * 22U);
    EXPECT_EQ(blocks.substr(22, 22), "##      #          #\r\n")
        << "row 2 starts with the new wall";
    EXPECT_TRUE(GameReads(level.Path()).Blocks(2, 2));

    LevelDocument reopened;
    reopened.Open(level.Path());
    EXPECT_EQ(reopened.Content(), document.Content());
    EXPECT_TRUE(reopened.Rewrites().empty());
    ASSERT_EQ(reopened.Save(level.Path()), "");
    EXPECT_EQ(ReadBytes(level / "BlocksMap.txt"), blocks);
}

// A save that fails part way leaves every old file byte for byte as it was, and no stray file.
TEST_F(LevelDocumentTest, FailedSaveLeavesTheOldFilesWhole) {
    const std::string tiles = ReadBytes(level / "TilesMap.txt");
    const std::string blocks = ReadBytes(level / "BlocksMap.txt");
    const std::string cars = ReadBytes(level / "Cars.txt");
    const auto entries = [this] {
        return std::distance(std::filesystem::directory_iterator(level.Path()),
                             std::filesystem::directory_iterator());
    };
    const auto before = entries();
    document.SetTile(0, 'b');
    document.SetWall(21, true);
    document.SetCarHeading(2, "up");
    int writes = 0;
    const std::string failure =
        document.Save(level.Path(), [&writes](int descriptor, const void* bytes, std::size_t size) {
            if (++writes == 2) {  // the disk fills up while the second file is written
                errno = ENOSPC;
                return -1L;
            }
            return static_cast<long>(::write(descriptor, bytes, size));
        });
    EXPECT_NE(failure.find("No space left on device"), std::string::npos) << failure;
    EXPECT_EQ(ReadBytes(level / "TilesMap.txt"), tiles);
    EXPECT_EQ(ReadBytes(level / "BlocksMap.txt"), blocks);
    EXPECT_EQ(ReadBytes(level / "Cars.txt"), cars);
    EXPECT_EQ(entries(), before);
    EXPECT_TRUE(document.IsModified());
}

// The files are renamed into place one at a time; when one rename fails, the message names the
// files already saved, and they are, and those still as they were, and they are.
TEST_F(LevelDocumentTest, FailedRenameSaysWhichFilesWereReplaced) {
    const std::string blocks = ReadBytes(level / "BlocksMap.txt");
    const std::string cars = ReadBytes(level / "Cars.txt");
    document.SetTile(0, 'b');
    document.SetWall(21, true);
    document.SetCarHeading(2, "up");
    const std::string newTiles = document.TilesMapBytes();
    int renames = 0;
    const std::string failure = document.Save(
        level.Path(), {},
        [&renames](const std::filesystem::path& from, const std::filesystem::path& to) {
            if (++renames == 2) {
                errno = EIO;
                return -1;
            }
            return std::rename(from.c_str(), to.c_str());
        });
    EXPECT_NE(failure.find("cannot replace " + (level / "BlocksMap.txt").string()),
              std::string::npos)
        << failure;
    EXPECT_NE(failure.find("; already saved: TilesMap.txt; still as they were: BlocksMap.txt and "
                           "Cars.txt"),
              std::string::npos)
        << failure;
    EXPECT_EQ(ReadBytes(level / "TilesMap.txt"), newTiles);
    EXPECT_EQ(ReadBytes(level / "BlocksMap.txt"), blocks);
    EXPECT_EQ(ReadBytes(level / "Cars.txt"), cars);
    EXPECT_TRUE(document.IsModified());
}

// An import is written by the first save after it and never again, so a picture edited in a paint
// program afterwards keeps that work. An undo after the save brings back the picture an import
// replaced, and takes a new one out of the level: the next save writes the old bytes back and
// removes only the file the editor wrote, while it still holds the editor's bytes.
TEST_F(LevelDocumentTest, PicturesAreWrittenOnceAndUndoAcrossASaveTakesThemBack) {
    const std::string grass = level.Read("Tileg.bmp");
    document.AddPictures({{"Tileg.bmp", "imported grass"}}, "Import");
    document.AddPictures({{"Tilex.bmp", "new tile"}, {"Tiley.bmp", "another"}}, "Import");
    ASSERT_EQ(document.Save(level.Path()), "");
    EXPECT_EQ(level.Read("Tileg.bmp"), "imported grass");
    level.Write("Tilex.bmp", "painted over");
    document.SetWall(21, true);
    EXPECT_TRUE(document.FilesSaveWouldReplace(level.Path()).empty());
    ASSERT_EQ(document.Save(level.Path()), "");
    EXPECT_EQ(level.Read("Tilex.bmp"), "painted over") << "an import is written once";

    for (int step = 0; step < 3; ++step) {
        document.UndoStack().undo();
    }
    EXPECT_EQ(document.FilesSaveWouldReplace(level.Path()), std::vector<std::string>{"Tilex.bmp"})
        << "a file changed on disk is never removed without a question";
    ASSERT_EQ(document.Save(level.Path()), "");
    EXPECT_EQ(level.Read("Tileg.bmp"), grass);
    EXPECT_FALSE(std::filesystem::exists(level / "Tiley.bmp"));
    const std::vector<std::filesystem::path> palette = document.PictureNames();
    EXPECT_EQ(std::count(palette.begin(), palette.end(), "Tiley.bmp"), 0);
    EXPECT_EQ(std::count(palette.begin(), palette.end(), "Tileg.bmp"), 1);
}

// A mirror turns each tile into the tile whose picture is its exact mirror image: top to bottom,
// the circuit's kerbs swap, so they stay on the road's edges; its asphalt and grass, whose noise
// has no mirror image among the tiles, stay as they are.
TEST_F(LevelDocumentTest, MirrorSwapsTilesForTheirMirrorImages) {
    const std::string tiles = document.Content().tiles;
    document.Mirror(false);
    const std::size_t columns = GridColumns;
    for (std::size_t row = 0; row < GridRows; ++row) {
        for (std::size_t column = 0; column < columns; ++column) {
            const char before = tiles[row * columns + column];
            const char expected = before == '^' ? 'v' : before == 'v' ? '^' : before;
            EXPECT_EQ(document.Content().tiles[(GridRows - 1 - row) * columns + column], expected)
                << "column " << column + 1 << ", row " << row + 1;
        }
    }
    document.UndoStack().undo();
    document.Mirror(true);
    EXPECT_EQ(document.Content().tiles[2 * GridColumns + GridColumns - 1 - 8], '^')
        << "no tile is the kerb's left-right image";
}

// A level file or picture changed on disk since the editor read or wrote it, or one of another
// level in the folder a level is saved into, is named before a save replaces it; files that hold
// the same bytes, or that the save leaves alone, are not.
TEST_F(LevelDocumentTest, SaveNamesTheFilesItWouldReplaceThatTheEditorDidNotWrite) {
    document.SetWall(21, true);
    EXPECT_TRUE(document.FilesSaveWouldReplace(level.Path()).empty());
    level.Write("BlocksMap.txt", level.Read("BlocksMap.txt") + "#");
    level.Write("Tileb.bmp", "repainted, and not written by the save");
    EXPECT_EQ(document.FilesSaveWouldReplace(level.Path()),
              std::vector<std::string>{"BlocksMap.txt"});

    LevelDirectory other;
    other.Write("Tileg.bmp", level.Read("Tileg.bmp"));
    other.Write("Tiles.bmp", "my own sand");
    other.Write("Cars.txt", "1\r\n1\r\nup\r\n2\r\n1\r\nup\r\n");
    other.Write("notes.txt", "not the level's");
    EXPECT_EQ(document.FilesSaveWouldReplace(other.Path()),
              (std::vector<std::string>{"Tileb.bmp", "Tiles.bmp", "Cars.txt"}))
        << "a picture repainted since the editor read it is named, and saved as it is now";
}

// A play folder is written whole or reported: the game never plays a level cut short.
TEST_F(LevelDocumentTest, ASnapshotThatCannotBeWrittenSaysSo) {
    LevelDirectory play;
    EXPECT_EQ(document.WriteSnapshot(play.Path()), "");
    EXPECT_EQ(play.Read("Cars.txt"), level.Read("Cars.txt"));
    EXPECT_EQ(play.Read("Tileg.bmp"), level.Read("Tileg.bmp"));
    const std::string failure = document.WriteSnapshot(play.Path());
    EXPECT_NE(failure.find("cannot write " + (play / "Car1down.gif").string()), std::string::npos)
        << failure;
}

// Saving never writes through a link, nor over a read-only level file: it refuses, with a
// message, and a picture name taken by a link that points nowhere is left alone.
TEST_F(LevelDocumentTest, SaveRefusesReadOnlyFilesAndLinks) {
    const std::string cars = ReadBytes(level / "Cars.txt");
    document.SetCarHeading(2, "up");
    ::chmod((level / "Cars.txt").c_str(), 0444);
    std::string failure = document.Save(level.Path());
    EXPECT_NE(failure.find("Cars.txt is read-only"), std::string::npos) << failure;
    EXPECT_EQ(ReadBytes(level / "Cars.txt"), cars);
    ::chmod((level / "Cars.txt").c_str(), 0644);

    LevelDirectory elsewhere;
    elsewhere.Write("Cars.txt", cars);
    std::filesystem::remove(level / "Cars.txt");
    std::filesystem::create_symlink(elsewhere / "Cars.txt", level / "Cars.txt");
    failure = document.Save(level.Path());
    EXPECT_NE(failure.find("Cars.txt is a symbolic link"), std::string::npos) << failure;
    EXPECT_EQ(elsewhere.Read("Cars.txt"), cars);

    // A picture name in the target taken by a link that points nowhere refuses the whole save.
    LevelDirectory copy;
    std::filesystem::create_symlink(elsewhere / "stolen.bmp", copy / "Tileb.bmp");
    failure = document.Save(copy.Path());
    EXPECT_NE(failure.find("Tileb.bmp is a symbolic link"), std::string::npos) << failure;
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "stolen.bmp"))
        << "a picture was written through a dangling link";
    EXPECT_FALSE(std::filesystem::exists(copy / "TilesMap.txt"));
}

// A row that lost its trailing spaces shifts every later row in the game; the editor opens the
// level exactly as the game reads it, says that saving rewrites the file, and the saved file
// plays the same.
TEST_F(LevelDocumentTest, ShiftedLevelOpensAsTheGameReadsIt) {
    std::string blocks = ReadBytes(level / "BlocksMap.txt");
    blocks.replace(22 * 3 + 1, 19, "");  // row 4 keeps only its first cell
    level.Write("BlocksMap.txt", blocks);
    const GameState game = GameReads(level.Path());
    LevelDocument shifted;
    shifted.Open(level.Path());
    for (int cell = 0; cell < TileCount; ++cell) {
        EXPECT_EQ(shifted.Content().walls[static_cast<std::size_t>(cell)],
                  game.Blocks(cell % GridColumns + 1, cell / GridColumns + 1))
            << "cell " << cell;
    }
    ASSERT_EQ(shifted.Rewrites().size(), 1U);
    EXPECT_EQ(shifted.Rewrites()[0].rfind("BlocksMap.txt", 0), 0U);
    EXPECT_FALSE(shifted.IsModified()) << "a rewrite still to be asked about is no change";
    ASSERT_EQ(shifted.Save(level.Path()), "");
    const GameState after = GameReads(level.Path());
    for (int cell = 0; cell < TileCount; ++cell) {
        EXPECT_EQ(after.Blocks(cell % GridColumns + 1, cell / GridColumns + 1),
                  game.Blocks(cell % GridColumns + 1, cell / GridColumns + 1));
    }
    EXPECT_EQ(ReadBytes(level / "BlocksMap.txt").size(), 15U * 22U);
}

// Kept lines stay whole lines: with no final line end after a broken car 1, placing car 2 ends
// them with CR LF, and the save says so first.
TEST_F(LevelDocumentTest, KeptLinesWithoutALineEndStayLines) {
    level.Write("Cars.txt", "7\r\nx\r\nup");
    document.Open(level.Path());
    ASSERT_TRUE(document.IsUnread(1));
    EXPECT_TRUE(document.Rewrites().empty()) << "nothing follows the kept lines yet";
    document.SetCarCell(2, 15, 3);
    ASSERT_EQ(document.Rewrites().size(), 1U);
    EXPECT_NE(document.Rewrites()[0].find("car 1 has no line end"), std::string::npos);
    ASSERT_EQ(document.Save(level.Path()), "");
    EXPECT_EQ(ReadBytes(level / "Cars.txt").substr(0, 14), "7\r\nx\r\nup\r\n15\r\n");
}

// A Cars.txt the game stops on is never replaced by invented cars: what could be read is kept,
// and the car that could not keeps its lines, byte for byte, until the level maker places it.
TEST_F(LevelDocumentTest, UnreadableCarsKeepTheirLinesUntilPlaced) {
    const std::string fiveLines = "2\r\n8\r\ndown\r\n3\r\n8\n";
    level.Write("Cars.txt", fiveLines);
    document.Open(level.Path());
    EXPECT_EQ(document.Content().cars[0], (CarStart{2, 8, "down"}));
    EXPECT_TRUE(document.IsUnread(2));
    EXPECT_TRUE(document.Rewrites().empty());
    document.SetWall(22, true);
    document.SetCarHeading(2, "up");
    ASSERT_EQ(document.Save(level.Path()), "");
    EXPECT_EQ(ReadBytes(level / "Cars.txt"), fiveLines);

    document.SetCarCell(2, 5, 6);
    EXPECT_FALSE(document.IsUnread(2));
    document.UndoStack().undo();
    EXPECT_TRUE(document.IsUnread(2));
    document.UndoStack().redo();
    ASSERT_EQ(document.Save(level.Path()), "");
    EXPECT_EQ(ReadBytes(level / "Cars.txt"), "2\r\n8\r\ndown\r\n5\r\n6\r\nright\r\n");
}

// A Cars.txt that is a named pipe is unreadable to the game, and keeping its lines must not wait
// on the pipe for a writer that never comes.
TEST_F(LevelDocumentTest, APipeForCarsTxtOpensAtOnce) {
    std::filesystem::remove(level / "Cars.txt");
    ASSERT_EQ(::mkfifo((level / "Cars.txt").c_str(), 0600), 0);
    auto open = std::async(std::launch::async, [this] { document.Open(level.Path()); });
    if (open.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Give the blocked read its writer, so that the test ends and says why.
        ::close(::open((level / "Cars.txt").c_str(), O_WRONLY | O_NONBLOCK));
        open.wait();
        FAIL() << "opening waited on the pipe";
    }
    EXPECT_TRUE(document.IsUnread(1));
}

// A map the game cannot read is shown as far as it could be read, and the note on saving says
// that the file changes, never that the game reads the same level.
TEST_F(LevelDocumentTest, AMapTheGameCannotReadIsNotCalledTheSameLevel) {
    level.Write("TilesMap.txt", ReadBytes(level / "TilesMap.txt") + "g");
    document.Open(level.Path());
    EXPECT_EQ(document.Content().tiles.size(), 300U);
    ASSERT_EQ(document.Rewrites().size(), 1U);
    EXPECT_NE(document.Rewrites()[0].find("cannot be read by the game (tile character 301"),
              std::string::npos)
        << document.Rewrites()[0];
    EXPECT_EQ(document.Rewrites()[0].find("reads the same level"), std::string::npos);
}

// Every byte the loader keeps as a tile opens as that tile and saves back as that byte, in its
// cell: a '/' names no picture file, and once came back as NUL, which shifted every later tile.
TEST_F(LevelDocumentTest, EveryTileByteSurvivesOpenAndSave) {
    std::string kept;
    for (int byte = 0; byte < 256; ++byte) {
        if (IsTileCharacter(byte)) {
            kept += static_cast<char>(byte);
        }
    }
    ASSERT_EQ(kept.size(), 253U);
    const std::string map = kept + std::string(TileCount - kept.size(), 'g');
    for (const std::string& written :
         {map, "\r\n" + map.substr(0, 150) + std::string(1, '\0') + "\n" + map.substr(150)}) {
        level.Write("TilesMap.txt", written);
        document.Open(level.Path());
        EXPECT_EQ(document.Content().tiles, map);
        document.SetWall(0, !document.Content().walls[0]);
        ASSERT_EQ(document.Save(level.Path()), "");
        std::string saved;
        for (const char byte : ReadBytes(level / "TilesMap.txt")) {
            if (IsTileCharacter(static_cast<unsigned char>(byte))) {
                saved += byte;
            }
        }
        EXPECT_EQ(saved, map) << "the game reads the saved map's tiles in the same cells";
    }
}

// A level saved anywhere carries its whole palette, over same-named pictures there: an undo
// after the first save may bring back any tile, and the game still finds its picture.
TEST(NewLevel, CarriesItsWholePalette) {
    LevelDocument fresh;
    fresh.StartNew(VORNAK_CIRCUIT_DIR);
    fresh.SetTile(0, 'b');
    fresh.UndoStack().undo();
    LevelDirectory saved;
    saved.Write("Tileg.bmp", "another level's grass");
    ASSERT_EQ(fresh.Save(saved.Path()), "");
    fresh.UndoStack().redo();
    ASSERT_EQ(fresh.Save(saved.Path()), "");
    for (const Diagnostic& diagnostic : CheckLevel(saved.Path())) {
        EXPECT_EQ(diagnostic.severity, Diagnostic::Severity::Warning)
            << FormatDiagnostic(diagnostic);
    }
    EXPECT_EQ(ReadBytes(saved / "Tileg.bmp"), ReadBytes(VORNAK_CIRCUIT_DIR "/Tileg.bmp"));
    EXPECT_TRUE(std::filesystem::exists(saved / "Car2left.gif"));
}

}  // namespace
}  // namespace vornak::editor
