#include "PictureFile.h"

#include <QFile>
#include <QImageReader>

#include "GameError.h"

namespace vornak {

namespace {

// Pictures are 16 x 16; anything near this size is a broken or hostile file, and refusing it
// up front keeps a lying header from costing memory or time.
constexpr int LargestSide = 4096;
constexpr int AllocationLimitMegabytes = 64;

}  // namespace

QImage LoadPicture(const std::filesystem::path& file, const char* format) {
    const std::string& name = file.native();
    if (name.find('\0') != std::string::npos) {
        throw GameError(file, "is not a usable file name");
    }
    QImageReader::setAllocationLimit(AllocationLimitMegabytes);
    QImageReader reader(QFile::decodeName(name.c_str()), format);
    // The picture kind follows from its use (BMP tiles, GIF cars), never from the content.
    reader.setAutoDetectImageFormat(false);
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        throw GameError(file, "is missing");
    }
    const QSize claimed = reader.size();
    if (claimed.width() > LargestSide || claimed.height() > LargestSide) {
        throw GameError(file, "claims a size of " + std::to_string(claimed.width()) + " x " +
                                  std::to_string(claimed.height()) +
                                  " pixels, too large for a picture");
    }
    QImage picture = reader.read();
    if (picture.isNull()) {
        throw GameError(file, "cannot be read as a " + QString(format).toUpper().toStdString() +
                                  " picture: " + reader.errorString().toStdString());
    }
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace vornak
