// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "PictureFile.h"

#include <QBuffer>
#include <QImageReader>

#include "FileOpener.h"
#include "GameError.h"
#include "Picture.h"
#include "SystemFiles.h"

namespace vornak {

// Read through the system's opener, which refuses anything but a plain file, then decoded from
// memory: QFile's engine costs more than the read of a 1 KB tile, start-up reads 300 of them,
// and cars reload their picture on every move.
QImage LoadPicture(const std::filesystem::path& file, const char* format) {
    return LoadPicture(SystemFiles(), file, format);
}

QImage LoadPicture(FileOpener& files, const std::filesystem::path& file, const char* format) {
    const bool bmp = qstrcmp(format, "bmp") == 0;
    const std::string whole = ReadWholeFile(files, file, LargestPictureFileBytes, "a picture");
    CheckPictureHeader(file, whole, bmp ? PictureFormat::Bmp : PictureFormat::Gif);
    QByteArray bytes = QByteArray::fromRawData(whole.data(), static_cast<qsizetype>(whole.size()));
    QBuffer buffer(&bytes);
    QImageReader::setAllocationLimit(PictureAllocationLimitMegabytes);
    QImageReader reader(&buffer, format);
    // The picture kind follows from its use (BMP tiles, GIF cars), never from the content.
    reader.setAutoDetectImageFormat(false);
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

Picture PictureFromImage(const QImage& loaded) {
    Picture picture;
    if (loaded.isNull()) {
        return picture;
    }
    const QImage image = loaded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    picture.width = image.width();
    picture.height = image.height();
    picture.pixels.reserve(static_cast<std::size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        picture.pixels.insert(picture.pixels.end(), row, row + picture.width);
    }
    picture.opaque = !loaded.hasAlphaChannel();
    return picture;
}

Picture DecodePicture(const std::filesystem::path& file, PictureFormat format) {
    return DecodePicture(SystemFiles(), file, format);
}

Picture DecodePicture(FileOpener& files, const std::filesystem::path& file, PictureFormat format) {
    return PictureFromImage(LoadPicture(files, file, format == PictureFormat::Bmp ? "bmp" : "gif"));
}

}  // namespace vornak
