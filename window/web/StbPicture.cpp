// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// BMP and GIF through stb_image, for the browser, where neither Qt nor WIC exists. Where stb
// and those decoders disagree, the picture is brought to what they show.
#include <cstdint>
#include <memory>
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
