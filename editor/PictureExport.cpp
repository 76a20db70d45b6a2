// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "PictureExport.h"

#include <gif_lib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSaveFile>
#include <QTransform>
#include <cstdlib>
#include <map>
#include <vector>

#include "GameState.h"
#include "TemporaryFile.h"

namespace vornak::editor {

namespace {

constexpr int TransparentIndex = 0;

QRgb Opaque(QRgb pixel) {
    return qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

// The picture's colours with the transparent ones as index 0. Pictures with more than 255
// colours are reduced first, without dithering, which would only speckle a 16-pixel car.
std::vector<QRgb> PaletteOf(const QImage& picture, std::vector<GifByteType>& indices) {
    QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, int> colourIndex;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) >= 128) {
                colourIndex.emplace(Opaque(picture.pixel(x, y)), 0);
            }
        }
    }
    if (colourIndex.size() > 255) {
        opaque =
            opaque.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither)
                .convertToFormat(QImage::Format_RGB32);
        colourIndex.clear();
        for (int y = 0; y < opaque.height(); ++y) {
            for (int x = 0; x < opaque.width(); ++x) {
                colourIndex.emplace(Opaque(opaque.pixel(x, y)), 0);
            }
        }
    }
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
                transparent ? TransparentIndex : colourIndex.at(Opaque(opaque.pixel(x, y)))));
        }
    }
    return palette;
}

std::string GifFailure(const std::filesystem::path& file, int error) {
    const char* text = GifErrorString(error);
    return "cannot write " + file.string() + ": " + (text != nullptr ? text : "GIF error");
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

std::string WriteTileBmp(const QImage& tile, const std::filesystem::path& file) {
    QSaveFile output(QString::fromStdString(file.string()));
    if (!output.open(QIODevice::WriteOnly) ||
        !tile.convertToFormat(QImage::Format_RGB32).save(&output, "BMP") || !output.commit()) {
        return "cannot write " + file.string() + ": " + output.errorString().toStdString();
    }
    return {};
}

std::string WriteCarGif(const QImage& car, const std::filesystem::path& file) {
    const QImage picture = car.convertToFormat(QImage::Format_ARGB32);
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

    std::string temporary = TemporaryPatternBeside(file);
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        return "cannot write in " + file.parent_path().string();
    }
    int error = 0;
    GifFileType* gif = EGifOpenFileHandle(descriptor, &error);
    if (gif == nullptr) {
        ::close(descriptor);
        ::unlink(temporary.c_str());
        return GifFailure(file, error);
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
    const int writeError = gif->Error;
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    GifFreeMapObject(map);
    if (!written || !closed || std::rename(temporary.c_str(), file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return GifFailure(file, written ? error : writeError);
    }
    // mkstemp makes the file private; a picture is as readable as any other file the user makes.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(file.c_str(), 0666 & ~mask);
    return {};
}

}  // namespace vornak::editor
