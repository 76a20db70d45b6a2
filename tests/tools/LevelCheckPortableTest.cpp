// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The checker's findings, on both systems: on Windows its pictures go through WIC, as the
// Windows game's do, so that the two agree there.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LevelCheck.h"
#include "LevelDirectory.h"
#include "Picture.h"

namespace vornak {
namespace {

using testing::LevelDirectory;

const std::filesystem::path Circuit = VORNAK_LEVEL_DIR;
const std::filesystem::path TestData = VORNAK_TEST_DATA;

class CircuitCopy : public LevelDirectory {
  public:
    CircuitCopy() {
        for (const auto& entry : std::filesystem::directory_iterator(Circuit)) {
            if (entry.is_regular_file()) {
                std::filesystem::copy_file(entry.path(), Path() / entry.path().filename());
            }
        }
    }
};

std::vector<std::string> Findings(const std::filesystem::path& folder) {
    std::vector<std::string> lines;
    for (const Diagnostic& diagnostic : CheckLevel(folder)) {
        lines.push_back(FormatDiagnostic(diagnostic).substr(folder.string().size() + 1));
    }
    return lines;
}

// The bundled circuit is clean, its pictures decoded by the platform's own decoders, and car
// pictures keep their transparent colour.
TEST(PortableLevelCheck, BundledCircuitIsCleanAndCarsKeepTheirTransparency) {
    CircuitCopy level;
    EXPECT_EQ(Findings(level.Path()), std::vector<std::string>{});
    const Picture car = DecodePicture(level / "Car1up.gif", PictureFormat::Gif);
    ASSERT_EQ(car.width, 16);
    EXPECT_FALSE(car.opaque);
    EXPECT_EQ(car.At(0, 0) >> 24U, 0U) << "the corner is the transparent colour";
    EXPECT_EQ(car.At(8, 8), 0xFFE02B2BU) << "the body is opaque red";
    const Picture tile = DecodePicture(level / "Tileg.bmp", PictureFormat::Bmp);
    EXPECT_TRUE(tile.opaque);
}

// A GIF whose frame covers only part of its logical screen shows as the whole screen, with the
// frame in its place, as Qt's reader gives it on Linux.
TEST(PortableLevelCheck, GifFramesStandOnTheirLogicalScreen) {
    const Picture car = DecodePicture(TestData / "offset8in16.gif", PictureFormat::Gif);
    ASSERT_EQ(car.width, 16);
    ASSERT_EQ(car.height, 16);
    EXPECT_EQ(car.At(4, 4) >> 24U, 0U) << "the frame's own transparent pixel";
    EXPECT_EQ(car.At(5, 5), 0xFFFF0000U);
    EXPECT_EQ(car.At(11, 11), 0xFFFF0000U);
    EXPECT_EQ(car.At(3, 3) >> 24U, 0U);
    EXPECT_EQ(car.At(12, 12) >> 24U, 0U);
}

// The decoder is chosen by the picture's use: a PNG named like a tile is refused.
TEST(PortableLevelCheck, PicturesAreDecodedByTheirUseNotTheirContent) {
    CircuitCopy level;
    std::filesystem::copy_file(TestData / "lies" / "png.bmp", level / "Tileg.bmp",
                               std::filesystem::copy_options::overwrite_existing);
    const std::vector<std::string> findings = Findings(level.Path());
    ASSERT_FALSE(findings.empty());
    EXPECT_EQ(findings.front().rfind("TilesMap.txt:", 0), 0U) << findings.front();
    EXPECT_NE(findings.front().find("error: Tileg.bmp cannot be read as a BMP picture"),
              std::string::npos)
        << findings.front();
}

// Each finding names what is wrong with its subject, and one fault hides no other: a bad number
// on line 5 of Cars.txt leaves the heading warning on line 3 in place.
TEST(PortableLevelCheck, FindingsSayWhatIsWrongAndHideNothing) {
    CircuitCopy level;
    level.Write("Cars.txt", "3\r\n5\r\neast\r\n4\r\nx\r\nup\r\n");
    EXPECT_EQ(Findings(level.Path()),
              (std::vector<std::string>{
                  "Cars.txt:3:1: warning: car 1's heading \"east\" is not up, down, left or right",
                  "Cars.txt:5:1: error: \"x\" is not a whole number"}));
    std::filesystem::remove(level / "Cars.txt");
    EXPECT_EQ(Findings(level.Path()),
              std::vector<std::string>{"Cars.txt:1:1: error: the file is missing"});
}

// Tile characters that name one file on Windows, or none, are pointed out on every system.
TEST(PortableLevelCheck, WarnsAboutTileNamesWindowsCannotTellApartOrHold) {
    CircuitCopy level;
    std::string map = level.Read("TilesMap.txt");
    map[0] = 'a';
    map[1] = 'A';
    map[2] = '?';
    level.Write("TilesMap.txt", map);
    const std::vector<std::string> findings = Findings(level.Path());
    const auto has = [&](const std::string& text) {
        return std::any_of(findings.begin(), findings.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    };
    EXPECT_TRUE(has("TilesMap.txt:1:2: warning: TileA.bmp and Tilea.bmp are one file on Windows"));
    EXPECT_TRUE(
        has("TilesMap.txt:1:3: warning: the tile character \"?\" names \"Tile?.bmp\", "
            "which cannot be a file name on Windows"));
}

}  // namespace
}  // namespace vornak
