// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "GameState.h"
#include "Picture.h"

namespace vornak {

struct FrameRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool IsEmpty() const { return width <= 0 || height <= 0; }
    bool operator==(const FrameRect&) const = default;
    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    FrameRect Intersected(const FrameRect& other) const;
    // The smallest rectangle that holds both; an empty one adds nothing.
    FrameRect United(const FrameRect& other) const;
};

// The picture elements of the window composed into one frame at the game's own pixels: the
// background, 300 tiles, car 2, then car 1 on top. It covers the whole client area, since cars
// may stand anywhere in it. A front end puts the changed areas on the screen, scaled by one
// factor; drawing each picture straight onto a scaled screen leaves seams, and partial repaints
// that do not match a full one.
class PlayfieldFrame {
  public:
    PlayfieldFrame(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // 0xFFRRGGBB, shown where no picture covers the frame.
    void SetBackground(std::uint32_t colour);
    std::uint32_t Background() const { return background_; }

    // A tile never moves, so whatever of its picture lies beyond the frame can never show;
    // keeping only the rest bounds the memory of 300 oversized pictures by the frame's size.
    void SetTilePicture(int tileIndex, Picture picture);
    void SetCarPicture(int car, Picture picture);
    double CarLeft(int car) const { return cars_.at(car).left; }
    double CarTop(int car) const { return cars_.at(car).top; }
    void SetCarPosition(int car, double left, double top);

    // Composes what changed since the last call and returns those areas, for the screen.
    std::vector<FrameRect> ComposeChanges();
    // Marks the whole frame changed, as after a change of background.
    void ChangeAll();

    // 0xFFRRGGBB, row by row.
    const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

  private:
    struct Car {
        Picture picture;
        double left = 0;
        double top = 0;
    };
    static FrameRect TileArea(int tileIndex, const Picture& picture);
    FrameRect CarArea(const Car& car) const;
    void Change(const FrameRect& area);
    void Compose(const FrameRect& area);
    void Draw(const Picture& picture, int left, int top, const FrameRect& clip);

    int width_;
    int height_;
    std::uint32_t background_ = 0xFFF0F0F0;
    std::vector<std::uint32_t> pixels_;
    std::vector<FrameRect> changed_;
    std::array<Picture, TileCount> tiles_;
    std::array<Car, CarCount + 1> cars_;  // indexed by car number
};

}  // namespace vornak
