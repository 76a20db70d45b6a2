// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include "FuzzInputs.h"
#include "LevelDirectory.h"
#include "LevelInput.h"

namespace vornak {
namespace {

// Every seed level and every input that once broke the game is played again on each run; the
// harness lets only GameError through as an expected outcome.
TEST(FuzzReplay, SeedsAndPastFindingsRunCleanly) {
    const auto inputs = testing::FuzzInputs({"corpus/level", "regressions/level"});
    for (const std::filesystem::path& input : inputs) {
        SCOPED_TRACE(input.string());
        const std::string bytes = testing::ReadBytes(input);
        testing::LevelDirectory level;
        EXPECT_NO_THROW(fuzzing::RunLevelInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                               bytes.size(), level.Path()));
    }
    EXPECT_GE(inputs.size(), 10U);
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
