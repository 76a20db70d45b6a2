// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QColor>
#include <QImage>
#include <array>
#include <filesystem>
#include <optional>
#include <string>

namespace vornak::editor {

// Turns any picture into a 16 x 16 tile: scaled with nearest-neighbour, or its top-left corner
// cropped.
enum class Fit { Scale, Crop };
QImage FitToCell(const QImage& picture, Fit fit);

// Makes the pixels of one colour transparent, for pictures without an alpha channel.
QImage WithTransparentColour(const QImage& picture, QColor key);

// A car facing right, turned to the four headings in the order up, down, left, right.
std::array<QImage, 4> CarHeadings(const QImage& facingRight);

// Write through a temporary file renamed into place, so a failure never leaves half a picture.
// Return an empty string, or what failed.
std::string WriteTileBmp(const QImage& tile, const std::filesystem::path& file);
// A GIF89a with one transparent colour where the picture's alpha is below one half, and up to
// 255 colours of its own (more are reduced to 255).
std::string WriteCarGif(const QImage& car, const std::filesystem::path& file);

}  // namespace vornak::editor
