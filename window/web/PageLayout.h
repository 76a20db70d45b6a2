// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>

namespace vornak::web {

// A box on the page in CSS pixels, relative to the game area's element.
struct PageBox {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
    bool Contains(double x, double y) const {
        return x >= left && x < Right() && y >= top && y < Bottom();
    }
    bool Overlaps(const PageBox& other) const {
        return left < other.Right() && other.left < Right() && top < other.Bottom() &&
               other.top < Bottom();
    }
};

// What the browser says of the screen: the viewport in CSS pixels, by the dynamic viewport where
// the browser's bars come and go, with the notch's and rounded corners' safe-area insets.
struct PageViewport {
    double width = 0;
    double height = 0;
    double devicePixelRatio = 1;
    double insetTop = 0;
    double insetRight = 0;
    double insetBottom = 0;
    double insetLeft = 0;
};

// A thumb needs this much, in CSS pixels, for one arrow or one button.
inline constexpr double TouchTarget = 44;

// Where everything stands. On the desktop the game area is the window's client area, centred
// across the page; on a touch layout it is the whole screen, the game in it with a pad of four
// arrows for each car: beside it when the screen is held sideways (car 2's left, car 1's right,
// as the keys lie on a keyboard), under it when upright.
struct PageLayout {
    int zoom = 1;  // device pixels per game pixel, so that every game pixel is a sharp square
    bool touch = false;
    PageBox surface;              // the game area's element, which takes the clicks and touches
    PageBox game;                 // the window's 417 x 241 game pixels
    std::array<PageBox, 2> pads;  // car 1's, then car 2's: 3 x 3 cells, arrows in the cross
    PageBox runFace;              // the button as it looks, where the window has it
    PageBox runBox;               // the button's element: at least a thumb's size on touch
};

PageLayout LayOutPage(const PageViewport& viewport, bool touch);

enum class Arrow { None, Up, Down, Left, Right };
// The arrow of a pad under a point: the cross's cells, not its centre or corners.
Arrow ArrowAt(const PageBox& pad, double x, double y);
// The key-down an arrow gives for a car: the arrows for car 1, W, A, S, D for car 2.
int KeyOf(int car, Arrow arrow);

}  // namespace vornak::web
