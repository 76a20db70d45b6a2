// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "Picture.h"

#include <algorithm>

#include <cstdlib>
#include <string>

#include "GameError.h"

namespace vornak {

namespace {

[[noreturn]] void RefuseSize(const std::filesystem::path& file, std::int64_t width,
                             std::int64_t height) {
    throw GameError(file, "claims a size of " + std::to_string(width) + " x " +
                              std::to_string(height) + " pixels, too large for a picture");
}

std::uint32_t LittleEndian(std::string_view bytes, std::size_t offset, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value =
            (value << 8U) | static_cast<std::uint8_t>(bytes[offset + static_cast<std::size_t>(i)]);
    }
    return value;
}

void CheckBmpHeader(const std::filesystem::path& file, std::string_view bytes) {
    constexpr std::size_t CoreHeaderEnd = 14 + 12;
    if (bytes.size() < CoreHeaderEnd || bytes.substr(0, 2) != "BM") {
        return;  // the decoder reports what is wrong with it
    }
    const std::uint32_t pixelOffset = LittleEndian(bytes, 10, 4);
    const std::uint32_t headerSize = LittleEndian(bytes, 14, 4);
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
    if (headerSize == 12) {
        width = LittleEndian(bytes, 18, 2);
        height = LittleEndian(bytes, 20, 2);
        bitsPerPixel = LittleEndian(bytes, 24, 2);
    } else if (headerSize >= 40 && bytes.size() >= 14 + 40) {
        width = static_cast<std::int32_t>(LittleEndian(bytes, 18, 4));
        height = static_cast<std::int32_t>(LittleEndian(bytes, 22, 4));
        bitsPerPixel = LittleEndian(bytes, 28, 2);
        compression = LittleEndian(bytes, 30, 4);
    } else {
        return;
    }
    if (std::llabs(width) > LargestPictureSide || std::llabs(height) > LargestPictureSide) {
        RefuseSize(file, width, height);
    }
    constexpr std::uint32_t Uncompressed = 0;
    constexpr std::uint32_t BitFields = 3;
    if (compression != Uncompressed && compression != BitFields) {
        return;  // run-length data has no fixed size to check
    }
    const std::int64_t rowBytes = (bitsPerPixel * std::llabs(width) + 31) / 32 * 4;
    const std::int64_t needed = std::int64_t{pixelOffset} + rowBytes * std::llabs(height);
    if (static_cast<std::int64_t>(bytes.size()) < needed) {
        throw GameError(file, "is cut short: its pixels need " + std::to_string(needed) +
                                  " bytes, and the file has " + std::to_string(bytes.size()));
    }
}

// The logical screen of a GIF is the size its decoder allocates.
void CheckGifHeader(const std::filesystem::path& file, std::string_view bytes) {
    if (bytes.size() < 10 || bytes.substr(0, 3) != "GIF") {
        return;
    }
    const std::uint32_t width = LittleEndian(bytes, 6, 2);
    const std::uint32_t height = LittleEndian(bytes, 8, 2);
    if (width > LargestPictureSide || height > LargestPictureSide) {
        RefuseSize(file, width, height);
    }
}

}  // namespace

void CheckPictureHeader(const std::filesystem::path& file, std::string_view bytes,
                        PictureFormat format) {
    if (format == PictureFormat::Bmp) {
        CheckBmpHeader(file, bytes);
    } else {
        CheckGifHeader(file, bytes);
    }
}

Picture TopLeftOf(Picture picture, int width, int height) {
    width = std::min(width, picture.width);
    height = std::min(height, picture.height);
    if (width == picture.width && height == picture.height) {
        return picture;
    }
    Picture part;
    if (width > 0 && height > 0) {
        part.width = width;
        part.height = height;
        part.opaque = picture.opaque;
        part.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y) {
            const auto row =
                picture.pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.width;
            part.pixels.insert(part.pixels.end(), row, row + width);
        }
    }
    return part;
}

}  // namespace vornak
