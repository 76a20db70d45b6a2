// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace vornak {

// The window as the game lays it out, in its own pixels at zoom 1; both front ends scale it by
// one factor, so that the logic always sees these units.
inline constexpr int ClientWidth = 417;
inline constexpr int ClientHeight = 241;

struct ElementPlace {
    int left;
    int top;
    int width;
    int height;
};
inline constexpr ElementPlace cmdRunPlace{328, 8, 81, 25};
inline constexpr ElementPlace picKeyReceiverPlace{328, 72, 81, 9};
// Where the car pictures wait, beside the playfield, until the loader moves them onto it.
inline constexpr ElementPlace imgCarPlaces[] = {{376, 40, 16, 16}, {392, 40, 16, 16}};

inline constexpr const char* WindowTitle = "Vornak";

// The largest whole zoom at which the window takes at most half the screen's work area each
// way, so that a large screen does not show a postage stamp. At least 1. The area is in the
// desktop's own units (before its scaling).
int ChooseZoom(int availableWidth, int availableHeight);

// The zoom of a desktop window, in whole device pixels per game pixel, from the work area in
// device pixels and the desktop's own scale (1.25 at 120 DPI or QT_SCALE_FACTOR=1.25): the
// largest at which the window takes at most half the work area each way, but never below the
// desktop's scale rounded up while the window still fits the work area. Every game pixel is
// then a square of whole device pixels, and a scaled desktop never shows a smaller window than
// an unscaled one.
int ChooseDeviceZoom(int workWidth, int workHeight, double desktopScale);

// Every failure message ends with this: one start of the game shows one fault, and the checker
// lists them all.
std::string WithCheckerHint(const std::string& message);

// A tile index outside 0 to 299 has no element to show a picture in.
std::string NoSuchTileReason(int tileIndex);

}  // namespace vornak
