// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The checker's findings, on both systems: on Windows its pictures go through WIC, as the
// Windows game's do, so that the two agree there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
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

// A 2 x 2 uncompressed BMP built byte by byte, bottom row first: bits per pixel, compression
// (0 plain, 3 bit fields), the header's size, its colour count, the bit masks, the gap before
// the pixels and the pixel values as stored.
std::string SmallBmp(int bits, int compression, int headerSize, int coloursUsed,
                     const std::vector<std::uint32_t>& masks, int gap,
                     const std::vector<std::uint32_t>& pixels) {
    const auto put = [](std::string& out, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out += static_cast<char>((value >> (8 * i)) & 0xFFU);
        }
    };
    std::string header;
    put(header, static_cast<std::uint32_t>(headerSize), 4);
    put(header, 2, 4);
    put(header, 2, 4);
    put(header, 1, 2);
    put(header, static_cast<std::uint32_t>(bits), 2);
    put(header, static_cast<std::uint32_t>(compression), 4);
    put(header, 0, 4);
    put(header, 2835, 4);
    put(header, 2835, 4);
    put(header, static_cast<std::uint32_t>(coloursUsed), 4);
    put(header, 0, 4);
    for (const std::uint32_t mask : masks) {
        put(header, mask, 4);  // inside a larger header, or after a 40-byte one
    }
    header.resize(std::max<std::size_t>(header.size(), static_cast<std::size_t>(headerSize)), '\0');
    header += std::string(static_cast<std::size_t>(coloursUsed) * 4, '\x7F');
    header += std::string(static_cast<std::size_t>(gap), '\x55');
    std::string rows;
    for (int y = 0; y < 2; ++y) {
        std::string row;
        for (int x = 0; x < 2; ++x) {
            put(row, pixels[static_cast<std::size_t>(y * 2 + x)], bits / 8);
        }
        row.resize((row.size() + 3) / 4 * 4, '\0');
        rows += row;
    }
    std::string file = "BM";
    put(file, static_cast<std::uint32_t>(14 + header.size() + rows.size()), 4);
    put(file, 0, 4);
    put(file, static_cast<std::uint32_t>(14 + header.size()), 4);
    return file + header + rows;
}

// BMPs that decoders read differently are read as Qt reads them on Linux: the page's decoder is
// brought to that. The alpha of a plain 32-bit BMP is padding; a colour table a 24-bit one
// does not need, or a gap before its pixels, is skipped; 16-bit channels are widened by a shift.
TEST(PortableLevelCheck, UncompressedBmpsReadAsTheDesktopReadsThem) {
    LevelDirectory level;
    const auto decoded = [&level](const std::string& bytes) {
        level.Write("Tilex.bmp", bytes);
        return DecodePicture(level / "Tilex.bmp", PictureFormat::Bmp);
    };
    const std::vector<std::uint32_t> grey = {0x80102030U, 0x00102030U, 0x80102030U, 0x00102030U};
    const Picture padded = decoded(SmallBmp(32, 0, 40, 0, {}, 0, grey));
    EXPECT_TRUE(padded.opaque);
    EXPECT_EQ(padded.At(0, 0), 0xFF102030U) << "half alpha, as stored, is padding";
    EXPECT_EQ(padded.At(1, 1), 0xFF102030U) << "alpha 0 makes no hole";

    const std::vector<std::uint32_t> colours = {0x102030U, 0x405060U, 0x708090U, 0xA0B0C0U};
    for (const auto& [used, gap] : {std::pair{4, 0}, std::pair{0, 6}}) {
        const Picture table = decoded(SmallBmp(24, 0, 40, used, {}, gap, colours));
        ASSERT_EQ(table.width, 2) << used << " colours, a gap of " << gap;
        EXPECT_EQ(table.At(0, 1), 0xFF102030U) << "the bottom row comes first";
        EXPECT_EQ(table.At(1, 0), 0xFFA0B0C0U);
    }

#ifdef _WIN32
    // WIC as Wine's own decoders give it, the only WIC tried here: they scale 16-bit channels
    // to the whole 0 to 255, as stb does. The page follows Qt; the README lists the difference.
    constexpr std::uint32_t Five = 0xFF;
    constexpr std::uint32_t Six = 0xFF;
#else
    constexpr std::uint32_t Five = 0xF8;  // five bits of 31 are 248
    constexpr std::uint32_t Six = 0xFC;   // six bits of 63 are 252
#endif
    const auto rgb = [](std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        return 0xFF000000U | (r << 16U) | (g << 8U) | b;
    };
    const Picture rgb555 =
        decoded(SmallBmp(16, 0, 40, 0, {}, 0, {0x7FFFU, 0x7C00U, 0x03E0U, 0x001FU}));
    EXPECT_EQ(rgb555.At(0, 1), rgb(Five, Five, Five));
    EXPECT_EQ(rgb555.At(1, 1), rgb(Five, 0, 0));
    EXPECT_EQ(rgb555.At(0, 0), rgb(0, Five, 0));
    EXPECT_EQ(rgb555.At(1, 0), rgb(0, 0, Five));
    const Picture rgb565 = decoded(SmallBmp(16, 3, 40, 0, {0xF800U, 0x07E0U, 0x001FU}, 0,
                                            {0xFFFFU, 0xF800U, 0x07E0U, 0x001FU}));
    EXPECT_EQ(rgb565.At(0, 1), rgb(Five, Six, Five));
    EXPECT_EQ(rgb565.At(0, 0), rgb(0, Six, 0));
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
