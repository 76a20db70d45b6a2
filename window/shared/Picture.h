// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "FileOpener.h"

namespace vornak {

// The picture kind follows from its use, never from the content: tiles are BMP and cars GIF,
// so a PNG named Tilex.bmp is refused.
enum class PictureFormat { Bmp, Gif };

// A decoded picture: premultiplied 0xAARRGGBB pixels, row by row from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool opaque = true;

    bool IsNull() const { return width <= 0 || height <= 0; }
    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// The picture's top-left part, at most width x height: a picture drawn from a corner inside the
// window shows no more.
Picture TopLeftOf(Picture picture, int width, int height);

// Pictures are 16 x 16; anything near these sizes is a broken or hostile file, and refusing it
// up front keeps a lying header from costing memory or time.
inline constexpr int LargestPictureSide = 4096;
inline constexpr int PictureAllocationLimitMegabytes = 64;
inline constexpr std::size_t LargestPictureFileBytes = std::size_t{64} * 1024 * 1024;

// Checks what a picture file's header claims before any decoder sees it: a size beyond the
// limits, and a BMP whose pixel rows are cut short (decoders fill those in without complaint,
// and a level maker would rather hear that the file is damaged). Throws GameError.
void CheckPictureHeader(const std::filesystem::path& file, std::string_view bytes,
                        PictureFormat format);

// Reads a picture file through the system's opener and decodes it with the platform's own
// decoders (Qt's on Linux, WIC on Windows), anew on every call: level makers expect an edited
// picture to show the next time it is set. The page's files cannot change while their level
// lives, so there each is decoded once. Throws GameError naming the file when it cannot.
Picture DecodePicture(const std::filesystem::path& file, PictureFormat format);
// The same through any opener: the checker reads a level held in memory this way.
Picture DecodePicture(FileOpener& files, const std::filesystem::path& file, PictureFormat format);

}  // namespace vornak
