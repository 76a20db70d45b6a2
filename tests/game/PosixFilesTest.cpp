// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

#include "GameError.h"
#include "LevelDirectory.h"
#include "LevelLoader.h"
#include "PosixFileOpener.h"
#include "RecordingWindow.h"
#include "SystemFiles.h"

namespace vornak {
namespace {

using testing::LevelDirectory;
using testing::RecordingWindow;

const std::string SampleCars = "3\r\n5\r\nright\r\n18\r\n12\r\nleft\r\n";

std::string LoadFailure(const LevelDirectory& level) {
    GameState state;
    RecordingWindow window;
    try {
        LevelLoader(state, window, SystemFiles(), level.Path());
    } catch (const GameError& error) {
        return error.what();
    }
    return "the level loaded without a failure";
}

// A level file that is no plain file would hang the loader (a pipe blocks the open, /dev/zero
// never ends); a map linked to nothing is not created through the link.
TEST(PosixFiles, FilesThatAreNotPlainFilesStopTheGame) {
    LevelDirectory level;
    level.Write("Cars.txt", SampleCars);
    std::filesystem::create_symlink("/dev/zero", level / "TilesMap.txt");
    EXPECT_EQ(LoadFailure(level),
              (level / "TilesMap.txt").string() + " is a device, not a file the game can read");
    std::filesystem::remove(level / "TilesMap.txt");
    ASSERT_EQ(mkfifo((level / "BlocksMap.txt").c_str(), 0600), 0);
    EXPECT_EQ(LoadFailure(level), (level / "BlocksMap.txt").string() +
                                      " is a named pipe, not a file the game can read");
    std::filesystem::remove(level / "BlocksMap.txt");
    std::filesystem::create_symlink("elsewhere/BlocksMap.txt", level / "BlocksMap.txt");
    EXPECT_EQ(LoadFailure(level), (level / "BlocksMap.txt").string() +
                                      " is a symbolic link to \"elsewhere/BlocksMap.txt\", which "
                                      "does not exist; the game creates no file through a link");
    EXPECT_FALSE(std::filesystem::exists(level / "elsewhere"));
}

// What is read is what was opened: a pipe swapped in for the map after the open is never
// waited on, because the file's kind comes from the open file, not from its name.
TEST(PosixFiles, PipeSwappedInAfterTheOpenCannotBlockTheLoader) {
    LevelDirectory level;
    level.Write("Cars.txt", SampleCars);
    level.Write("TilesMap.txt", "");
    level.Write("BlocksMap.txt", "#");
    const std::filesystem::path map = level / "BlocksMap.txt";
    const std::filesystem::path pipe = level / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    PosixFileOpener files;
    files.SetAfterOpen([&](const std::filesystem::path& opened) {
        if (opened == map && std::filesystem::exists(pipe)) {
            std::filesystem::rename(pipe, map);
        }
    });

    GameState state;
    RecordingWindow window;
    auto load =
        std::async(std::launch::async, [&] { LevelLoader(state, window, files, level.Path()); });
    if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Give the blocked open its writer, so that the test ends and says why.
        ::close(::open(map.c_str(), O_WRONLY | O_NONBLOCK));
        load.wait();
        FAIL() << "the loader waited on the pipe swapped in for BlocksMap.txt";
    }
    load.get();
    EXPECT_TRUE(state.Blocks(1, 1)) << "the map that was opened is the map that was read";
    EXPECT_TRUE(std::filesystem::is_fifo(map));
}

// Sparse files of 3 GB, which cost no disk: a Cars.txt line that never ends and a tile map of NUL
// bytes, which the loader skips. Each fails at once, naming its file, without taking memory.
TEST(PosixFiles, HugeLevelFilesFailAndNameThemselves) {
    const auto grow = [](const LevelDirectory& level, const char* name) {
        const std::string path = (level / name).string();
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(file, 0);
        ASSERT_EQ(::ftruncate(file, off_t{3} * 1024 * 1024 * 1024), 0);
        ::close(file);
    };
    const auto peakKilobytes = [] {
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    };
    const long before = peakKilobytes();
    LevelDirectory cars;
    grow(cars, "Cars.txt");
    EXPECT_EQ(LoadFailure(cars).rfind((cars / "Cars.txt").string() + " line 1: \"\\x00", 0), 0U)
        << LoadFailure(cars);
    EXPECT_NE(LoadFailure(cars).find("goes on for more than 4096 bytes"), std::string::npos);

    LevelDirectory tiles;
    grow(tiles, "TilesMap.txt");
    tiles.Write("Cars.txt", SampleCars);
    EXPECT_EQ(LoadFailure(tiles), (tiles / "TilesMap.txt").string() +
                                      " is larger than a level file can be: over 1024 KiB, "
                                      "where a level needs well under one");
    EXPECT_LT(peakKilobytes() - before, 64 * 1024) << "kilobytes of memory growth";
}

}  // namespace
}  // namespace vornak
