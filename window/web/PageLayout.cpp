// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "PageLayout.h"

#include <algorithm>
#include <cmath>

#include "Controls.h"
#include "WebRules.h"
#include "WindowLayout.h"

namespace vornak::web {

namespace {

// Pads grow with the room they have, up to where a thumb no longer gains from it.
constexpr double LargestPadCell = 80;
constexpr int PlayfieldWidth = 320;

struct Available {
    double left, top, width, height;
};

// A position on a whole device pixel, so that the zoomed game pixels stay sharp squares.
double OnDevicePixel(double cssPixels, double ratio) {
    return std::floor(cssPixels * ratio + 1e-6) / ratio;
}

PageBox Scaled(const ElementPlace& place, const PageBox& game, double scale) {
    return {game.left + place.left * scale, game.top + place.top * scale, place.width * scale,
            place.height * scale};
}

PageBox Pad(double left, double top, double cell) {
    return {left, top, 3 * cell, 3 * cell};
}

bool Sideways(const PageViewport& viewport) {
    return viewport.width > viewport.height;
}

bool Fits(double gameWidth, double gameHeight, const Available& room, bool sideways) {
    const double pad = 3 * TouchTarget;
    if (sideways) {
        return gameWidth + 2 * pad <= room.width && std::max(gameHeight, pad) <= room.height;
    }
    return std::max(gameWidth, 2 * pad) <= room.width && gameHeight + pad <= room.height;
}

void LayOutTouch(PageLayout& layout, const PageViewport& viewport) {
    const double ratio = viewport.devicePixelRatio;
    const Available room{viewport.insetLeft, viewport.insetTop,
                         viewport.width - viewport.insetLeft - viewport.insetRight,
                         viewport.height - viewport.insetTop - viewport.insetBottom};
    const bool sideways = Sideways(viewport);
    int zoom = PageZoom(room.width * ratio, room.height * ratio);
    while (zoom > 1 &&
           !Fits(ClientWidth * zoom / ratio, ClientHeight * zoom / ratio, room, sideways)) {
        --zoom;
    }
    layout.zoom = zoom;
    const double width = ClientWidth * zoom / ratio;
    const double height = ClientHeight * zoom / ratio;
    layout.surface = {0, 0, viewport.width, viewport.height};
    const double gameLeft = OnDevicePixel(room.left + (room.width - width) / 2, ratio);
    if (sideways) {
        const double gameTop = OnDevicePixel(room.top + (room.height - height) / 2, ratio);
        layout.game = {gameLeft, gameTop, width, height};
        const double side = (room.width - width) / 2;
        const double cell = std::floor(
            std::clamp(std::min(side / 3, room.height / 3), TouchTarget, LargestPadCell));
        const double padTop = room.top + (room.height - 3 * cell) / 2;
        layout.pads[1] = Pad(room.left + (gameLeft - room.left - 3 * cell) / 2, padTop, cell);
        const double rightSide = room.left + room.width - layout.game.Right();
        layout.pads[0] = Pad(layout.game.Right() + (rightSide - 3 * cell) / 2, padTop, cell);
    } else {
        layout.game = {gameLeft, OnDevicePixel(room.top, ratio), width, height};
        const double below = room.top + room.height - layout.game.Bottom();
        const double cell = std::floor(
            std::clamp(std::min(room.width / 7, below / 3), TouchTarget, LargestPadCell));
        const double padTop = layout.game.Bottom() + (below - 3 * cell) / 2;
        const double half = room.width / 2;
        layout.pads[1] = Pad(room.left + (half - 3 * cell) / 2, padTop, cell);
        layout.pads[0] = Pad(room.left + half + (half - 3 * cell) / 2, padTop, cell);
    }
}

// On touch the button's element is a thumb's size, the face keeping its place inside it; the
// rest of it may not reach over the playfield or off the game area.
PageBox RunBox(const PageLayout& layout, double scale) {
    const PageBox face = layout.runFace;
    if (!layout.touch) {
        return face;
    }
    const double width = std::max(TouchTarget, face.width);
    const double height = std::max(TouchTarget, face.height);
    const double playfieldRight = layout.game.left + PlayfieldWidth * scale;
    const double leftRoom = std::max(0.0, face.left - playfieldRight);
    const double left = face.left - std::min((width - face.width) / 2, leftRoom);
    const double top = std::max(layout.surface.top, face.top - (height - face.height) / 2);
    return {left, top, width, height};
}

}  // namespace

PageLayout LayOutPage(const PageViewport& viewport, bool touch) {
    PageLayout layout;
    layout.touch = touch;
    const double ratio = viewport.devicePixelRatio > 0 ? viewport.devicePixelRatio : 1;
    if (touch) {
        LayOutTouch(layout, {viewport.width, viewport.height, ratio, viewport.insetTop,
                             viewport.insetRight, viewport.insetBottom, viewport.insetLeft});
    } else {
        layout.zoom = PageZoom(viewport.width * ratio, viewport.height * ratio);
        const double width = ClientWidth * layout.zoom / ratio;
        const double height = ClientHeight * layout.zoom / ratio;
        layout.surface = {0, 0, std::max(viewport.width, width), height};
        layout.game = {OnDevicePixel(std::max(0.0, (viewport.width - width) / 2), ratio), 0, width,
                       height};
    }
    const double scale = layout.zoom / ratio;
    layout.runFace = Scaled(cmdRunPlace, layout.game, scale);
    layout.runBox = RunBox(layout, scale);
    return layout;
}

Arrow ArrowAt(const PageBox& pad, double x, double y) {
    if (!pad.Contains(x, y)) {
        return Arrow::None;
    }
    const int column = std::clamp(static_cast<int>((x - pad.left) * 3 / pad.width), 0, 2);
    const int row = std::clamp(static_cast<int>((y - pad.top) * 3 / pad.height), 0, 2);
    if (row == 0 && column == 1) {
        return Arrow::Up;
    }
    if (row == 2 && column == 1) {
        return Arrow::Down;
    }
    if (row == 1 && column == 0) {
        return Arrow::Left;
    }
    if (row == 1 && column == 2) {
        return Arrow::Right;
    }
    return Arrow::None;
}

int KeyOf(int car, Arrow arrow) {
    // The same keys a keyboard gives, so that touch and keys steer by one rule.
    constexpr std::array<std::array<int, 5>, 2> Keys{{
        {0, KeyUp, KeyDown, KeyLeft, KeyRight},
        {0, 'W', 'S', 'A', 'D'},
    }};
    if (car < 1 || car > 2) {
        return 0;
    }
    return Keys.at(static_cast<std::size_t>(car - 1)).at(static_cast<std::size_t>(arrow));
}

}  // namespace vornak::web
