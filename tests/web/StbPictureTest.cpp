// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// Where stb_image and the desktop's decoders part, the page's pictures follow the desktop.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "GameError.h"
#include "MemoryFileOpener.h"
#include "Picture.h"

namespace vornak {
namespace {

const std::filesystem::path TestData = VORNAK_TEST_DATA;
const std::filesystem::path Circuit = VORNAK_LEVEL_DIR;

std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A GIF whose background colour is not entry 0: stb paints that colour around the first frame,
// where Qt and WIC leave the screen transparent.
TEST(StbPictures, TheAreaAroundAGifsFrameStaysTransparent) {
    std::string gif = Bytes(TestData / "offset8in16.gif");
    gif[11] = 1;  // the background colour's index
    MemoryFileOpener files;
    files.Put("Car1up.gif", gif);
    const Picture car = DecodePicture(files, "Car1up.gif", PictureFormat::Gif);
    ASSERT_EQ(car.width, 16);
    EXPECT_EQ(car.At(3, 3), 0U);
    EXPECT_EQ(car.At(12, 12), 0U);
    EXPECT_EQ(car.At(5, 5), 0xFFFF0000U);
    EXPECT_FALSE(car.opaque);
}

// stb cannot decode run-length BMPs; the message says so and what to do.
TEST(StbPictures, RunLengthBmpsAreRefusedInWords) {
    std::string bmp = Bytes(Circuit / "Tileg.bmp");
    MemoryFileOpener files;
    files.Put("Tileg.bmp", bmp);
    EXPECT_TRUE(DecodePicture(files, "Tileg.bmp", PictureFormat::Bmp).opaque);
    bmp[30] = 1;
    files.Put("Tileg.bmp", bmp);
    try {
        DecodePicture(files, "Tileg.bmp", PictureFormat::Bmp);
        FAIL() << "a run-length BMP was decoded";
    } catch (const GameError& error) {
        EXPECT_NE(std::string(error.what()).find("run-length compressed; save it uncompressed"),
                  std::string::npos)
            << error.what();
    }
}

}  // namespace
}  // namespace vornak
