// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// BMP and GIF through stb_image, for the browser, where neither Qt nor WIC exists. Where stb
// and those decoders disagree, the picture is brought to what they show.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "GameError.h"
#include "Picture.h"
#include "SystemFiles.h"
#if defined(__EMSCRIPTEN__)
#include "WebFiles.h"
#include "WindowLayout.h"
#endif

#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 4096
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Weverything"
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#endif
#include <stb_image.h>
#if defined(__clang__)
#pragma clang diagnostic pop
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace vornak {

namespace {

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

std::uint32_t Byte(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

// stb cannot decode run-length BMPs; say so in words a level maker can act on.
void RefuseRunLengthBmp(const std::filesystem::path& file, std::string_view bytes) {
    constexpr std::size_t CompressionAt = 30;
    if (bytes.size() < CompressionAt + 4 || bytes.substr(0, 2) != "BM" || Byte(bytes, 14) < 40) {
        return;
    }
    const std::uint32_t compression =
        Byte(bytes, CompressionAt) | (Byte(bytes, CompressionAt + 1) << 8U);
    if (compression == 1 || compression == 2) {
        throw GameError(file,
                        "cannot be read as a BMP picture in a browser: it is run-length "
                        "compressed; save it uncompressed");
    }
}

// Where the first frame of a GIF stands on its logical screen, or nothing when the file is too
// short to say.
struct FrameArea {
    int left, top, width, height;
};
bool FirstGifFrame(std::string_view bytes, FrameArea& area) {
    std::size_t at = 13;
    if (bytes.size() < at) {
        return false;
    }
    const std::uint32_t screenFlags = Byte(bytes, 10);
    if ((screenFlags & 0x80U) != 0) {
        at += 3U * (std::size_t{1} << ((screenFlags & 7U) + 1));
    }
    while (at < bytes.size()) {
        const std::uint32_t block = Byte(bytes, at);
        if (block == 0x2C) {
            if (at + 9 > bytes.size()) {
                return false;
            }
            const auto word = [&](std::size_t offset) {
                return static_cast<int>(Byte(bytes, at + offset) |
                                        (Byte(bytes, at + offset + 1) << 8U));
            };
            area = {word(1), word(3), word(5), word(7)};
            return true;
        }
        if (block != 0x21 || at + 2 >= bytes.size()) {
            return false;
        }
        at += 2;  // the extension's introducer and label, then its sub-blocks
        while (at < bytes.size() && Byte(bytes, at) != 0) {
            at += Byte(bytes, at) + 1;
        }
        ++at;
    }
    return false;
}

// Where a mask's lowest bit lies, and how Qt's reader widens its channel to 8 bits: by a whole
// factor, so that five bits of 31 give 248, not 255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t scale = 0;

    explicit Channel(std::uint32_t bits) : mask(bits) {
        while (mask != 0 && ((mask >> shift) & 1U) == 0) {
            ++shift;
        }
        scale = mask == 0 ? 0 : 256U / ((mask >> shift) + 1U);
    }
    std::uint32_t Of(std::uint32_t pixel) const { return ((pixel & mask) >> shift) * scale; }
};

// Uncompressed BMPs of 16, 24 and 32 bits, decoded as Qt's reader does on Linux, where stb
// differs: it honours the padding byte of a plain 32-bit BMP as alpha, refuses a colour table
// a true-colour BMP does not need or a gap before the pixels, and widens channels by scaling.
// Other BMPs go to stb. Empty when the file is not one of these.
std::optional<Picture> DecodeTrueColourBmp(std::string_view bytes) {
    const auto word = [&bytes](std::size_t at, int size) {
        std::uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i) {
            value = (value << 8U) | Byte(bytes, at + static_cast<std::size_t>(i));
        }
        return value;
    };
    if (bytes.size() < 54 || word(14, 4) < 40) {
        return std::nullopt;
    }
    const std::uint32_t headerSize = word(14, 4);
    const auto width = static_cast<std::int32_t>(word(18, 4));
    const auto height = static_cast<std::int32_t>(word(22, 4));
    const std::uint32_t bits = word(28, 2);
    const std::uint32_t compression = word(30, 4);
    const bool fields = compression == 3;
    if ((bits != 16 && bits != 24 && bits != 32) || (compression != 0 && !fields) ||
        (fields && bits == 24) || width <= 0 || height == 0 || height == INT32_MIN ||
        width > LargestPictureSide || std::abs(height) > LargestPictureSide) {
        return std::nullopt;
    }
    std::uint32_t masks[4] = {0x00FF0000U, 0x0000FF00U, 0x000000FFU, 0};
    if (bits == 16) {
        masks[0] = 0x7C00U;
        masks[1] = 0x03E0U;
        masks[2] = 0x001FU;
    }
    if (fields) {
        // The masks follow a 40-byte header, or stand inside a larger one with the alpha's.
        if (bytes.size() < 14 + 40 + 12 || (headerSize >= 56 && bytes.size() < 14 + 56)) {
            return std::nullopt;
        }
        for (int i = 0; i < 3; ++i) {
            masks[i] = word(54 + 4 * static_cast<std::size_t>(i), 4);
        }
        masks[3] = headerSize >= 56 ? word(66, 4) : 0;
    }
    const Channel red(masks[0]);
    const Channel green(masks[1]);
    const Channel blue(masks[2]);
    const Channel alpha(masks[3]);
    const std::size_t rows = static_cast<std::size_t>(std::abs(height));
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    const std::size_t start = word(10, 4);
    if (start > bytes.size() || (bytes.size() - start) / stride < rows) {
        return std::nullopt;  // the header check has said what is wrong
    }
    Picture picture;
    picture.width = width;
    picture.height = static_cast<int>(rows);
    picture.pixels.resize(static_cast<std::size_t>(width) * rows);
    for (std::size_t y = 0; y < rows; ++y) {
        const std::size_t stored = height > 0 ? rows - 1 - y : y;  // bottom row first unless
        const std::size_t row = start + stored * stride;           // the height is negative
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
            std::uint32_t argb = 0;
            if (bits == 24) {
                const std::size_t at = row + x * 3;
                argb = 0xFF000000U | (Byte(bytes, at + 2) << 16U) | (Byte(bytes, at + 1) << 8U) |
                       Byte(bytes, at);
            } else {
                const std::uint32_t pixel = word(row + x * (bits / 8), static_cast<int>(bits / 8));
                const std::uint32_t a = alpha.mask == 0 ? 255U : std::min(alpha.Of(pixel), 255U);
                const auto premultiplied = [a](std::uint32_t channel) {
                    return (std::min(channel, 255U) * a + 127) / 255;
                };
                argb = (a << 24U) | (premultiplied(red.Of(pixel)) << 16U) |
                       (premultiplied(green.Of(pixel)) << 8U) | premultiplied(blue.Of(pixel));
                if (a != 255) {
                    picture.opaque = false;
                }
            }
            picture.pixels[y * static_cast<std::size_t>(width) + x] = argb;
        }
    }
    return picture;
}

}  // namespace

Picture DecodePicture(const std::filesystem::path& file, PictureFormat format) {
#if defined(__EMSCRIPTEN__)
    // The page's files never change while their level lives: each picture is decoded once.
    // Tiles, the only BMPs, stand at cells' corners inside the window, so no more of one than
    // the window's size can ever show; a huge one is held at that.
    web::LevelFiles& files = web::PageLevelFiles();
    return files.Decoded(file, format, [&] {
        Picture picture = DecodePicture(files, file, format);
        return format == PictureFormat::Bmp
                   ? TopLeftOf(std::move(picture), ClientWidth, ClientHeight)
                   : picture;
    });
#else
    return DecodePicture(SystemFiles(), file, format);
#endif
}

Picture DecodePicture(FileOpener& files, const std::filesystem::path& file, PictureFormat format) {
    const std::string whole = ReadWholeFile(files, file, LargestPictureFileBytes, "a picture");
    CheckPictureHeader(file, whole, format);
    const bool bmp = format == PictureFormat::Bmp;
    const char* kind = bmp ? "BMP" : "GIF";
    // The picture kind follows from its use, never from the content.
    if (whole.substr(0, bmp ? 2 : 3) != (bmp ? "BM" : "GIF")) {
        throw GameError(file,
                        std::string("cannot be read as a ") + kind + " picture: it is not one");
    }
    if (bmp) {
        RefuseRunLengthBmp(file, whole);
        if (std::optional<Picture> picture = DecodeTrueColourBmp(whole)) {
            return std::move(*picture);
        }
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    const std::unique_ptr<stbi_uc, StbFree> rgba(
        stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(whole.data()),
                              static_cast<int>(whole.size()), &width, &height, &channels, 4));
    if (!rgba) {
        throw GameError(file, std::string("cannot be read as a ") + kind +
                                  " picture: " + stbi_failure_reason());
    }
    FrameArea frame{0, 0, width, height};
    if (!bmp) {
        FirstGifFrame(whole, frame);
    }
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * width + x;
            const stbi_uc* source = rgba.get() + at * 4;
            // stb paints a GIF's background colour around its first frame; Qt and WIC leave
            // that area transparent, and so does the game everywhere.
            const bool outside = x < frame.left || y < frame.top || x >= frame.left + frame.width ||
                                 y >= frame.top + frame.height;
            const std::uint32_t alpha = outside ? 0U : source[3];
            const auto premultiplied = [alpha](stbi_uc channel) {
                return (static_cast<std::uint32_t>(channel) * alpha + 127) / 255;
            };
            picture.pixels[at] = (alpha << 24U) | (premultiplied(source[0]) << 16U) |
                                 (premultiplied(source[1]) << 8U) | premultiplied(source[2]);
            if (alpha != 255) {
                picture.opaque = false;
            }
        }
    }
    return picture;
}

}  // namespace vornak
