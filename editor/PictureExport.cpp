// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "PictureExport.h"

#include <gif_lib.h>

#include <QBuffer>
#include <QTransform>
#include <cstdlib>
#include <iterator>
#include <map>
#include <set>
#include <vector>

#include "GameError.h"
#include "GameState.h"
#include "MemoryFileOpener.h"

namespace vornak::editor {

namespace {

constexpr int TransparentIndex = 0;

QRgb Opaque(QRgb pixel) {
    return qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

std::map<QRgb, int> OpaqueColours(const QImage& picture) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) >= 128) {
                ++counts[Opaque(picture.pixel(x, y))];
            }
        }
    }
    return counts;
}

int Distance(QRgb a, QRgb b) {
    const int red = qRed(a) - qRed(b);
    const int green = qGreen(a) - qGreen(b);
    const int blue = qBlue(a) - qBlue(b);
    return red * red + green * green + blue * blue;
}

// A GIF holds 256 colours, and one is the transparent colour: the opaque ones must fit in 255.
// The two closest colours are merged, the rarer into the commoner, until they fit; a car has at
// most 256 pixels, so that is one merge at most, and its look barely changes. Dithering would
// only speckle a 16-pixel car.
QImage WithAtMost255Colours(const QImage& picture) {
    QImage reduced = picture;
    std::map<QRgb, int> counts = OpaqueColours(reduced);
    // Larger pictures lose low bits first, so that the merging below stays cheap.
    for (int dropped = 1; counts.size() > 1024 && dropped < 8; ++dropped) {
        const int mask = (0xFF << dropped) & 0xFF;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb pixel = picture.pixel(x, y);
                reduced.setPixel(x, y,
                                 qRgba(qRed(pixel) & mask, qGreen(pixel) & mask,
                                       qBlue(pixel) & mask, qAlpha(pixel)));
            }
        }
        counts = OpaqueColours(reduced);
    }
    std::map<QRgb, QRgb> mergedInto;
    while (counts.size() > 255) {
        std::pair<QRgb, QRgb> closest{};
        int best = -1;
        for (auto a = counts.begin(); a != counts.end(); ++a) {
            for (auto b = std::next(a); b != counts.end(); ++b) {
                const int distance = Distance(a->first, b->first);
                if (best < 0 || distance < best) {
                    best = distance;
                    closest = a->second >= b->second ? std::pair{b->first, a->first}
                                                     : std::pair{a->first, b->first};
                }
            }
        }
        counts[closest.second] += counts[closest.first];
        counts.erase(closest.first);
        for (auto& [from, into] : mergedInto) {
            if (into == closest.first) {
                into = closest.second;
            }
        }
        mergedInto[closest.first] = closest.second;
    }
    for (int y = 0; y < reduced.height(); ++y) {
        for (int x = 0; x < reduced.width(); ++x) {
            const QRgb pixel = reduced.pixel(x, y);
            const auto merged = mergedInto.find(Opaque(pixel));
            if (qAlpha(pixel) >= 128 && merged != mergedInto.end()) {
                reduced.setPixel(x, y, merged->second);
            }
        }
    }
    return reduced;
}

// The picture's colours with the transparent ones as index 0.
std::vector<QRgb> PaletteOf(const QImage& picture, std::vector<GifByteType>& indices) {
    std::map<QRgb, int> colourIndex = OpaqueColours(picture);  // counts, then indices
    std::vector<QRgb> palette{qRgb(0, 0, 0)};
    for (auto& [colour, index] : colourIndex) {
        index = static_cast<int>(palette.size());
        palette.push_back(colour);
    }
    indices.clear();
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const bool transparent = qAlpha(picture.pixel(x, y)) < 128;
            indices.push_back(static_cast<GifByteType>(
                transparent ? TransparentIndex : colourIndex.at(Opaque(picture.pixel(x, y)))));
        }
    }
    return palette;
}

int AppendToString(GifFileType* gif, const GifByteType* bytes, int size) {
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
    return size;
}

}  // namespace

QImage FitToCell(const QImage& picture, Fit fit) {
    if (picture.size() == QSize(CellSize, CellSize)) {
        return picture;
    }
    if (fit == Fit::Crop) {
        return picture.copy(0, 0, CellSize, CellSize);
    }
    return picture.scaled(CellSize, CellSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QImage WithTransparentColour(const QImage& picture, QColor key) {
    QImage result = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb opaqueKey = Opaque(key.rgb());
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x) {
            if (Opaque(result.pixel(x, y)) == opaqueKey) {
                result.setPixel(x, y, qRgba(0, 0, 0, 0));
            }
        }
    }
    return result;
}

std::array<QImage, 4> CarHeadings(const QImage& facingRight) {
    auto turned = [&facingRight](int degrees) {
        return facingRight.transformed(QTransform().rotate(degrees), Qt::FastTransformation);
    };
    return {turned(270), turned(90), turned(180), facingRight};
}

std::string EncodeTileBmp(const QImage& tile) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    tile.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
    return bytes.toStdString();
}

std::string EncodeCarGif(const QImage& car) {
    const QImage picture = WithAtMost255Colours(car.convertToFormat(QImage::Format_ARGB32));
    std::vector<GifByteType> indices;
    const std::vector<QRgb> palette = PaletteOf(picture, indices);
    int paletteSize = 2;
    while (paletteSize < static_cast<int>(palette.size())) {
        paletteSize *= 2;
    }
    std::vector<GifColorType> colours(static_cast<std::size_t>(paletteSize), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < palette.size(); ++i) {
        colours[i] = {static_cast<GifByteType>(qRed(palette[i])),
                      static_cast<GifByteType>(qGreen(palette[i])),
                      static_cast<GifByteType>(qBlue(palette[i]))};
    }
    std::string bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, AppendToString, &error);
    if (gif == nullptr) {
        return {};
    }
    EGifSetGifVersion(gif, true);  // transparency needs GIF89a
    ColorMapObject* map = GifMakeMapObject(paletteSize, colours.data());
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.TransparentColor = TransparentIndex;
    GifByteType extension[4];
    const auto extensionSize = static_cast<int>(EGifGCBToExtension(&control, extension));
    bool written =
        map != nullptr &&
        EGifPutScreenDesc(gif, picture.width(), picture.height(), 8, 0, map) == GIF_OK &&
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, extensionSize, extension) == GIF_OK &&
        EGifPutImageDesc(gif, 0, 0, picture.width(), picture.height(), false, nullptr) == GIF_OK;
    for (int y = 0; written && y < picture.height(); ++y) {
        written = EGifPutLine(gif, indices.data() + static_cast<std::size_t>(y * picture.width()),
                              picture.width()) == GIF_OK;
    }
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    GifFreeMapObject(map);
    return written && closed ? bytes : std::string();
}

std::string ReadBackFailure(const std::string& name, const std::string& bytes,
                            PictureFormat format) {
    if (bytes.empty()) {
        return name + " could not be written";
    }
    MemoryFileOpener files;
    files.Put(name, bytes);
    try {
        const Picture picture = DecodePicture(files, name, format);
        if (picture.width != CellSize || picture.height != CellSize) {
            return name + " reads back as " + std::to_string(picture.width) + " x " +
                   std::to_string(picture.height) + " pixels, not 16 x 16";
        }
    } catch (const GameError& error) {
        return name + " " + error.Reason();
    }
    return {};
}

}  // namespace vornak::editor
