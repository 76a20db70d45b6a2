// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "PlayfieldFrame.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "WindowLayout.h"

namespace vornak {

namespace {

std::uint32_t Blend(std::uint32_t source, std::uint32_t target) {
    const std::uint32_t alpha = source >> 24U;
    if (alpha == 255) {
        return source;
    }
    if (alpha == 0) {
        return target;
    }
    const std::uint32_t keep = 255 - alpha;
    std::uint32_t blended = 0xFF000000U;
    for (const unsigned shift : {0U, 8U, 16U}) {
        const std::uint32_t channel =
            ((source >> shift) & 0xFFU) + (((target >> shift) & 0xFFU) * keep + 127) / 255;
        blended |= std::min<std::uint32_t>(channel, 255) << shift;
    }
    return blended;
}

}  // namespace

FrameRect FrameRect::Intersected(const FrameRect& other) const {
    const int newLeft = std::max(left, other.left);
    const int newTop = std::max(top, other.top);
    const int newRight = std::min(Right(), other.Right());
    const int newBottom = std::min(Bottom(), other.Bottom());
    return {newLeft, newTop, std::max(newRight - newLeft, 0), std::max(newBottom - newTop, 0)};
}

FrameRect FrameRect::United(const FrameRect& other) const {
    if (other.IsEmpty()) {
        return *this;
    }
    if (IsEmpty()) {
        return other;
    }
    const int newLeft = std::min(left, other.left);
    const int newTop = std::min(top, other.top);
    return {newLeft, newTop, std::max(Right(), other.Right()) - newLeft,
            std::max(Bottom(), other.Bottom()) - newTop};
}

PlayfieldFrame::PlayfieldFrame(int width, int height)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), background_) {
    for (int car = 1; car <= CarCount; ++car) {
        const ElementPlace& place = imgCarPlaces[car - 1];
        cars_.at(car).left = place.left;
        cars_.at(car).top = place.top;
    }
    ChangeAll();
}

void PlayfieldFrame::SetBackground(std::uint32_t colour) {
    background_ = colour | 0xFF000000U;
    ChangeAll();
}

void PlayfieldFrame::ChangeAll() {
    changed_.assign(1, FrameRect{0, 0, width_, height_});
}

FrameRect PlayfieldFrame::TileArea(int tileIndex, const Picture& picture) {
    return {CellSize * (tileIndex % GridColumns), CellSize * (tileIndex / GridColumns),
            picture.width, picture.height};
}

// Car positions come from level files and may lie far outside the frame, so they are clipped
// in floating point before they become int.
FrameRect PlayfieldFrame::CarArea(const Car& car) const {
    if (car.picture.IsNull()) {
        return {};
    }
    const double left = std::clamp(std::floor(car.left), -1.0e6, 1.0e6);
    const double top = std::clamp(std::floor(car.top), -1.0e6, 1.0e6);
    return FrameRect{static_cast<int>(left), static_cast<int>(top), car.picture.width,
                     car.picture.height}
        .Intersected({0, 0, width_, height_});
}

void PlayfieldFrame::Change(const FrameRect& area) {
    const FrameRect visible = area.Intersected({0, 0, width_, height_});
    if (!visible.IsEmpty()) {
        changed_.push_back(visible);
    }
}

void PlayfieldFrame::SetTilePicture(int tileIndex, Picture picture) {
    if (tileIndex < 0 || tileIndex >= TileCount) {
        throw std::out_of_range("there is no tile " + std::to_string(tileIndex));
    }
    Picture& tile = tiles_[static_cast<std::size_t>(tileIndex)];
    // A tile stands at its cell's corner, inside the frame: only its top-left part can show.
    const FrameRect visible = TileArea(tileIndex, picture).Intersected({0, 0, width_, height_});
    picture = TopLeftOf(std::move(picture), visible.width, visible.height);
    Change(TileArea(tileIndex, tile));
    tile = std::move(picture);
    Change(TileArea(tileIndex, tile));
}

void PlayfieldFrame::SetCarPicture(int car, Picture picture) {
    Car& changed = cars_.at(car);
    Change(CarArea(changed));
    changed.picture = std::move(picture);
    Change(CarArea(changed));
}

void PlayfieldFrame::SetCarPosition(int car, double left, double top) {
    Car& moved = cars_.at(car);
    if (moved.left == left && moved.top == top) {
        return;
    }
    Change(CarArea(moved));
    moved.left = left;
    moved.top = top;
    Change(CarArea(moved));
}

std::vector<FrameRect> PlayfieldFrame::ComposeChanges() {
    std::vector<FrameRect> changed = std::move(changed_);
    changed_.clear();
    for (const FrameRect& area : changed) {
        Compose(area);
    }
    return changed;
}

void PlayfieldFrame::Compose(const FrameRect& area) {
    for (int y = area.top; y < area.Bottom(); ++y) {
        std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + area.left,
                    area.width, background_);
    }
    for (int index = 0; index < TileCount; ++index) {
        const Picture& tile = tiles_[static_cast<std::size_t>(index)];
        if (!tile.IsNull()) {
            const FrameRect place = TileArea(index, tile);
            Draw(tile, place.left, place.top, area);
        }
    }
    for (int car = CarCount; car >= 1; --car) {
        const Car& drawn = cars_.at(car);
        const FrameRect place = CarArea(drawn);
        if (!place.IsEmpty()) {
            Draw(drawn.picture, static_cast<int>(std::floor(drawn.left)),
                 static_cast<int>(std::floor(drawn.top)), area);
        }
    }
}

void PlayfieldFrame::Draw(const Picture& picture, int left, int top, const FrameRect& clip) {
    const FrameRect target = FrameRect{left, top, picture.width, picture.height}.Intersected(clip);
    for (int y = target.top; y < target.Bottom(); ++y) {
        std::uint32_t* row = pixels_.data() + static_cast<std::ptrdiff_t>(y) * width_;
        for (int x = target.left; x < target.Right(); ++x) {
            const std::uint32_t source = picture.At(x - left, y - top);
            row[x] = picture.opaque ? (source | 0xFF000000U) : Blend(source, row[x]);
        }
    }
}

}  // namespace vornak
