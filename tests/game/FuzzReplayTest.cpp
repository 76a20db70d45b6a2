#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "LevelDirectory.h"
#include "LevelInput.h"

namespace vornak {
namespace {

// Every seed level and every input that once broke the game is played again on each run; the
// harness lets only GameError through as an expected outcome.
TEST(FuzzReplay, SeedsAndPastFindingsRunCleanly) {
    int replayed = 0;
    for (const char* folder : {"corpus/level", "regressions/level"}) {
        const std::filesystem::path directory = std::filesystem::path(VORNAK_FUZZ_DIR) / folder;
        if (!std::filesystem::is_directory(directory)) {
            continue;  // git keeps no empty folder: no finding of this kind yet
        }
        for (const auto& entry : std::filesystem::directory_iterator(directory)) {
            SCOPED_TRACE(entry.path().string());
            std::ifstream file(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(file),
                                    std::istreambuf_iterator<char>()};
            testing::LevelDirectory level;
            EXPECT_NO_THROW(fuzzing::RunLevelInput(
                reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), level.Path()));
            ++replayed;
        }
    }
    EXPECT_GE(replayed, 10);
}

// The split and join of fuzz inputs agree, so seeds written by hand mean what they say.
TEST(FuzzReplay, LevelInputFormatRoundTrips) {
    fuzzing::LevelFiles files;
    files.hasBlocksMap = false;
    files.tilesMap = std::string(300, 'g');
    files.cars = "1\n2\nup\n3\n4\ndown\n";
    const std::string joined = JoinLevelInput(files);
    const fuzzing::LevelFiles split = fuzzing::SplitLevelInput(
        reinterpret_cast<const std::uint8_t*>(joined.data()), joined.size());
    EXPECT_EQ(split.tilesMap, files.tilesMap);
    EXPECT_EQ(split.cars, files.cars);
    EXPECT_FALSE(split.hasBlocksMap);
    EXPECT_TRUE(split.hasTilesMap && split.hasCars);
}

}  // namespace
}  // namespace vornak
