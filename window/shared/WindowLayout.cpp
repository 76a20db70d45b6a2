// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "WindowLayout.h"

namespace vornak {

int ChooseZoom(int availableWidth, int availableHeight) {
    int zoom = 1;
    while ((zoom + 1) * ClientWidth <= availableWidth / 2 &&
           (zoom + 1) * ClientHeight <= availableHeight / 2) {
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
