// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "WindowLayout.h"

#include <cmath>

namespace vornak {

int ChooseZoom(int availableWidth, int availableHeight) {
    int zoom = 1;
    while ((zoom + 1) * ClientWidth <= availableWidth / 2 &&
           (zoom + 1) * ClientHeight <= availableHeight / 2) {
        ++zoom;
    }
    return zoom;
}

int ChooseDeviceZoom(int workWidth, int workHeight, double desktopScale) {
    int zoom = ChooseZoom(workWidth, workHeight);
    // A hair above a whole scale, as 96 x 1.25 / 96 may come out, is that whole scale.
    const double wanted = std::ceil(desktopScale - 1e-6);
    while (zoom < wanted && (zoom + 1) * ClientWidth <= workWidth &&
           (zoom + 1) * ClientHeight <= workHeight) {
        ++zoom;
    }
    return zoom;
}

std::string WithCheckerHint(const std::string& message) {
    return message +
           "\n\nvornak-levelcheck, run on the game's folder, lists every problem of the level at "
           "once.";
}

std::string NoSuchTileReason(int tileIndex) {
    return "cannot be shown: there is no tile element " + std::to_string(tileIndex);
}

}  // namespace vornak
