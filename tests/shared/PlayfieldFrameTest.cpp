// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include "PlayfieldFrame.h"
#include "WindowLayout.h"

namespace vornak {
namespace {

Picture Solid(int side, std::uint32_t colour) {
    Picture picture;
    picture.width = side;
    picture.height = side;
    picture.pixels.assign(static_cast<std::size_t>(side) * side, colour);
    picture.opaque = (colour >> 24U) == 0xFF;
    return picture;
}

std::uint32_t At(const PlayfieldFrame& frame, int x, int y) {
    return frame.Pixels()[static_cast<std::size_t>(y) * ClientWidth + x];
}

// Cars above every tile and car 1 above car 2; a transparent pixel lets what lies beneath show;
// a tile larger than its cell grows right and down, the higher index on top.
TEST(PlayfieldFrame, StacksTilesThenCar2ThenCar1) {
    PlayfieldFrame frame(ClientWidth, ClientHeight);
    frame.SetBackground(0xFF101010);
    frame.SetTilePicture(0, Solid(24, 0xFF00FF00));
    frame.SetTilePicture(1, Solid(16, 0xFF0000FF));
    Picture car2 = Solid(16, 0xFFFFFF00);
    Picture car1 = Solid(16, 0xFFFF0000);
    car1.pixels[0] = 0;  // the top-left pixel is transparent
    car1.opaque = false;
    frame.SetCarPicture(2, car2);
    frame.SetCarPicture(1, car1);
    frame.SetCarPosition(2, 8, 8);
    frame.SetCarPosition(1, 4, 4);
    frame.ComposeChanges();
    EXPECT_EQ(At(frame, 20, 2), 0xFF0000FFU) << "tile 1 lies above the part of tile 0 it covers";
    EXPECT_EQ(At(frame, 2, 20), 0xFF00FF00U);
    EXPECT_EQ(At(frame, 10, 10), 0xFFFF0000U) << "car 1 above car 2";
    EXPECT_EQ(At(frame, 22, 22), 0xFFFFFF00U);
    EXPECT_EQ(At(frame, 4, 4), 0xFF00FF00U) << "car 1's transparent pixel shows the tile";
    EXPECT_EQ(At(frame, 300, 230), 0xFF101010U) << "no picture: the background";
}

// Painting only what changed gives the frame a full composition gives, and a tick that moves
// nothing changes nothing.
TEST(PlayfieldFrame, PartialCompositionMatchesAFullOne) {
    PlayfieldFrame frame(ClientWidth, ClientHeight);
    for (int tile = 0; tile < TileCount; ++tile) {
        frame.SetTilePicture(tile, Solid(16, 0xFF000000U | static_cast<std::uint32_t>(tile * 977)));
    }
    frame.SetCarPicture(1, Solid(16, 0xFFFF0000));
    frame.SetCarPosition(1, 32, 32);
    frame.ComposeChanges();
    for (int step = 1; step <= 40; ++step) {
        frame.SetCarPosition(1, 32 + 4 * step, 32);
        const std::vector<FrameRect> changed = frame.ComposeChanges();
        ASSERT_EQ(changed.size(), 2U) << "the car's old and new place, nothing more";
        EXPECT_LE(changed[0].width * changed[0].height, 256);
    }
    const std::vector<std::uint32_t> partial = frame.Pixels();
    frame.ChangeAll();
    frame.ComposeChanges();
    EXPECT_EQ(frame.Pixels(), partial);
    frame.SetCarPosition(1, 192, 32);
    EXPECT_TRUE(frame.ComposeChanges().empty());
}

// A car far outside the frame, as a level file may place it, costs nothing and breaks nothing.
TEST(PlayfieldFrame, CarsFarOutsideTheFrameAreClipped) {
    PlayfieldFrame frame(ClientWidth, ClientHeight);
    frame.SetCarPicture(1, Solid(16, 0xFFFF0000));
    frame.ComposeChanges();
    frame.SetCarPosition(1, -3.4e10, 2.1e9);
    const std::vector<FrameRect> changed = frame.ComposeChanges();
    EXPECT_EQ(changed.size(), 1U) << "only where it stood before";
    EXPECT_EQ(frame.CarLeft(1), -3.4e10);
}

// The page puts one rectangle on its canvas per handler: the union of the changed areas, in
// which an empty area counts for nothing.
TEST(FrameRect, UnitedHoldsBothAndIgnoresEmpty) {
    const FrameRect car{10, 20, 16, 16};
    EXPECT_EQ(car.United({40, 5, 16, 16}), (FrameRect{10, 5, 46, 31}));
    EXPECT_EQ(car.United({}), car);
    EXPECT_EQ(FrameRect{}.United(car), car);
}

}  // namespace
}  // namespace vornak
