// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include "LevelDirectory.h"
#include "MemoryFileOpener.h"
#include "PictureExport.h"
#include "PictureFile.h"

namespace vornak::editor {
namespace {

using vornak::testing::LevelDirectory;

// A car facing right: red body, a yellow nose pixel on the right edge, transparent around.
QImage TestCar() {
    QImage car(16, 16, QImage::Format_ARGB32);
    car.fill(Qt::transparent);
    for (int y = 4; y < 12; ++y) {
        for (int x = 2; x < 15; ++x) {
            car.setPixelColor(x, y, QColor(0xE0, 0x2B, 0x2B));
        }
    }
    car.setPixelColor(15, 7, Qt::yellow);
    return car;
}

// The bytes of a picture as the game's own loader reads them.
QImage Decoded(const std::string& bytes, const char* format) {
    MemoryFileOpener files;
    files.Put("picture", bytes);
    return LoadPicture(files, "picture", format).convertToFormat(QImage::Format_ARGB32);
}

// What the editor writes, the game reads back: the same pixels, and transparency where the
// picture had none, through the game's own picture loading.
TEST(PictureExport, WrittenPicturesLoadInTheGame) {
    const std::array<QImage, 4> headings = CarHeadings(TestCar());
    const char* names[] = {"Car1up.gif", "Car1down.gif", "Car1left.gif", "Car1right.gif"};
    for (std::size_t i = 0; i < headings.size(); ++i) {
        const QImage read = Decoded(EncodeCarGif(headings[i]), "gif");
        ASSERT_EQ(read.size(), QSize(16, 16));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                ASSERT_EQ(read.pixel(x, y), headings[i].pixel(x, y))
                    << names[i] << " " << x << "," << y;
            }
        }
    }
    // The nose turns with the heading.
    EXPECT_EQ(headings[0].pixelColor(7, 0), QColor(Qt::yellow)) << "up";
    EXPECT_EQ(headings[1].pixelColor(8, 15), QColor(Qt::yellow)) << "down";
    EXPECT_EQ(headings[2].pixelColor(0, 8), QColor(Qt::yellow)) << "left";

    QImage photo(32, 32, QImage::Format_RGB32);
    photo.fill(QColor(10, 200, 30));
    for (const QPoint at : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
        photo.setPixelColor(at, Qt::blue);
    }
    const QImage tile = FitToCell(photo, Fit::Scale);
    const QImage read = Decoded(EncodeTileBmp(tile), "bmp");
    EXPECT_EQ(read.size(), QSize(16, 16));
    EXPECT_EQ(read.pixelColor(0, 0), QColor(Qt::blue)) << "scaled without blurring";
    EXPECT_EQ(read.pixelColor(1, 0), QColor(10, 200, 30));
    EXPECT_EQ(FitToCell(photo, Fit::Crop).pixelColor(15, 15), QColor(10, 200, 30));

    // Without an alpha channel, one colour is made transparent.
    QImage keyed(16, 16, QImage::Format_RGB32);
    keyed.fill(Qt::magenta);
    keyed.setPixelColor(8, 8, Qt::red);
    const QImage key = Decoded(EncodeCarGif(WithTransparentColour(keyed, Qt::magenta)), "gif");
    EXPECT_EQ(qAlpha(key.pixel(0, 0)), 0);
    EXPECT_EQ(key.pixelColor(8, 8), QColor(Qt::red));
}

// A photo-like car of 256 opaque colours leaves no room for the transparent one: it is reduced
// to 255, and the GIF reads back in the game, close to the picture.
TEST(PictureExport, APhotoLikeCarFitsInAGif) {
    QImage photo(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            photo.setPixel(x, y, qRgb(x * 16 + 5, y * 16 + 5, (x * 16 + y) % 256));
        }
    }
    const std::string gif = EncodeCarGif(photo);
    EXPECT_EQ(ReadBackFailure("Car1up.gif", gif, PictureFormat::Gif), "");
    const QImage read = Decoded(gif, "gif");
    ASSERT_EQ(read.size(), QSize(16, 16));
    EXPECT_LE(std::abs(qRed(read.pixel(9, 3)) - qRed(photo.pixel(9, 3))), 8);
    EXPECT_EQ(qAlpha(read.pixel(9, 3)), 255);
    EXPECT_NE(ReadBackFailure("Car1up.gif", gif.substr(0, 40), PictureFormat::Gif), "");
}

}  // namespace
}  // namespace vornak::editor
