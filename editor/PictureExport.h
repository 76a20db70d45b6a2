// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QColor>
#include <QImage>
#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "Picture.h"

namespace vornak::editor {

// Turns any picture into a 16 x 16 tile: scaled with nearest-neighbour, or its top-left corner
// cropped.
enum class Fit { Scale, Crop };
QImage FitToCell(const QImage& picture, Fit fit);

// Makes the pixels of one colour transparent, for pictures without an alpha channel.
QImage WithTransparentColour(const QImage& picture, QColor key);

// A car facing right, turned to the four headings in the order up, down, left, right.
std::array<QImage, 4> CarHeadings(const QImage& facingRight);

// The bytes of a picture file; nothing is written here: pictures are saved with the level.
std::string EncodeTileBmp(const QImage& tile);
// A GIF89a with one transparent colour where the picture's alpha is below one half, and at most
// 255 colours of its own: more are reduced until they fit. Empty if giflib fails.
std::string EncodeCarGif(const QImage& car);

// Why the game could not read these bytes as the named picture, or nothing when it can: read
// back with the game's own loader, as a 16 x 16 picture.
std::string ReadBackFailure(const std::string& name, const std::string& bytes,
                            PictureFormat format);

}  // namespace vornak::editor
