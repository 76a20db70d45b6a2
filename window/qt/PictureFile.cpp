// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "PictureFile.h"

#include <QBuffer>
#include <QImageReader>

#include <cstdint>
#include <cstdlib>

#include "FileOpener.h"
#include "GameError.h"
#include "SystemFiles.h"

namespace vornak {

namespace {

// Pictures are 16 x 16; anything near these sizes is a broken or hostile file, and refusing it
// up front keeps a lying header from costing memory or time.
constexpr int LargestSide = 4096;
constexpr int AllocationLimitMegabytes = 64;
constexpr std::size_t LargestFileBytes = std::size_t{64} * 1024 * 1024;

[[noreturn]] void RefuseSize(const std::filesystem::path& file, std::int64_t width,
                             std::int64_t height) {
    throw GameError(file, "claims a size of " + std::to_string(width) + " x " +
                              std::to_string(height) + " pixels, too large for a picture");
}

std::uint32_t LittleEndian(const QByteArray& bytes, int offset, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = (value << 8U) | static_cast<std::uint8_t>(bytes[offset + i]);
    }
    return value;
}

// Qt decodes a BMP whose pixel rows are cut short without complaint, filling in the rest; a
// level maker would rather hear that the file is damaged.
void RequireCompleteBmp(const std::filesystem::path& file, const QByteArray& bytes) {
    constexpr int CoreHeaderEnd = 14 + 12;
    if (bytes.size() < CoreHeaderEnd || !bytes.startsWith("BM")) {
        return;  // the reader reports what is wrong with it
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
    if (std::llabs(width) > LargestSide || std::llabs(height) > LargestSide) {
        RefuseSize(file, width, height);
    }
    constexpr std::uint32_t Uncompressed = 0;
    constexpr std::uint32_t BitFields = 3;
    if (compression != Uncompressed && compression != BitFields) {
        return;  // run-length data has no fixed size to check
    }
    const std::int64_t rowBytes = (bitsPerPixel * std::llabs(width) + 31) / 32 * 4;
    const std::int64_t needed = std::int64_t{pixelOffset} + rowBytes * std::llabs(height);
    if (bytes.size() < needed) {
        throw GameError(file, "is cut short: its pixels need " + std::to_string(needed) +
                                  " bytes, and the file has " + std::to_string(bytes.size()));
    }
}

}  // namespace

QImage LoadPicture(const std::filesystem::path& file, const char* format) {
    const std::string whole = ReadWholeFile(SystemFiles(), file, LargestFileBytes, "a picture");
    QByteArray bytes = QByteArray::fromRawData(whole.data(), static_cast<qsizetype>(whole.size()));
    const bool bmp = qstrcmp(format, "bmp") == 0;
    if (bmp) {
        RequireCompleteBmp(file, bytes);  // checks the claimed size as well
    }
    QBuffer buffer(&bytes);
    QImageReader::setAllocationLimit(AllocationLimitMegabytes);
    QImageReader reader(&buffer, format);
    // The picture kind follows from its use (BMP tiles, GIF cars), never from the content.
    reader.setAutoDetectImageFormat(false);
    if (!bmp) {
        const QSize claimed = reader.size();
        if (claimed.width() > LargestSide || claimed.height() > LargestSide) {
            RefuseSize(file, claimed.width(), claimed.height());
        }
    }
    QImage picture = reader.read();
    if (picture.isNull()) {
        throw GameError(file, "cannot be read as a " + QString(format).toUpper().toStdString() +
                                  " picture: " + reader.errorString().toStdString());
    }
    // Opaque tiles come out as RGB32, which draws as fast as it gets; only pictures with
    // transparency need the premultiplied form.
    if (picture.format() == QImage::Format_RGB32 ||
        picture.format() == QImage::Format_ARGB32_Premultiplied) {
        return picture;
    }
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace vornak
