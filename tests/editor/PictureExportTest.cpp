// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include "LevelDirectory.h"
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

// What the editor writes, the game reads back: the same pixels, and transparency where the
// picture had none, through the game's own picture loading.
TEST(PictureExport, WrittenPicturesLoadInTheGame) {
    LevelDirectory level;
    const std::array<QImage, 4> headings = CarHeadings(TestCar());
    const char* names[] = {"Car1up.gif", "Car1down.gif", "Car1left.gif", "Car1right.gif"};
    for (std::size_t i = 0; i < headings.size(); ++i) {
        ASSERT_EQ(WriteCarGif(headings[i], level / names[i]), "");
        const QImage read =
            LoadPicture(level / names[i], "gif").convertToFormat(QImage::Format_ARGB32);
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
    ASSERT_EQ(WriteTileBmp(tile, level / "Tilex.bmp"), "");
    const QImage read = LoadPicture(level / "Tilex.bmp", "bmp");
    EXPECT_EQ(read.size(), QSize(16, 16));
    EXPECT_EQ(read.pixelColor(0, 0), QColor(Qt::blue)) << "scaled without blurring";
    EXPECT_EQ(read.pixelColor(1, 0), QColor(10, 200, 30));
    EXPECT_EQ(FitToCell(photo, Fit::Crop).pixelColor(15, 15), QColor(10, 200, 30));

    // Without an alpha channel, one colour is made transparent.
    QImage keyed(16, 16, QImage::Format_RGB32);
    keyed.fill(Qt::magenta);
    keyed.setPixelColor(8, 8, Qt::red);
    ASSERT_EQ(WriteCarGif(WithTransparentColour(keyed, Qt::magenta), level / "Car2up.gif"), "");
    const QImage key = LoadPicture(level / "Car2up.gif", "gif");
    EXPECT_EQ(qAlpha(key.pixel(0, 0)), 0);
    EXPECT_EQ(key.pixelColor(8, 8), QColor(Qt::red));
}

}  // namespace
}  // namespace vornak::editor
