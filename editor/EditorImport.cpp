// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// Tile and car pictures made from any picture a level maker has; an import is an edit like
// any other, written with the level when it is saved.
#include <QImageReader>
#include <algorithm>
#include <set>

#include "Direction.h"
#include "EditorWindow.h"
#include "LevelLoader.h"
#include "PictureExport.h"
#include "QtPaths.h"
#include "TileCharacterChoice.h"

namespace vornak::editor {

namespace {

QString PictureFilter() {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    }
    return QStringLiteral("Pictures (%1)").arg(patterns.join(QLatin1Char(' ')));
}

// Every character the level's tiles use, in the map or in the palette.
std::string UsedTileCharacters(const LevelDocument& document) {
    std::set<char> used(document.Content().tiles.begin(), document.Content().tiles.end());
    for (const std::filesystem::path& name : document.PictureNames()) {
        if (const char tile = TileCharacterOf(name); tile != '\0') {
            used.insert(tile);
        }
    }
    used.erase('\0');
    return {used.begin(), used.end()};
}

bool InPalette(const LevelDocument& document, const std::filesystem::path& name) {
    const std::vector<std::filesystem::path> palette = document.PictureNames();
    return std::find(palette.begin(), palette.end(), name) != palette.end();
}

}  // namespace

QImage EditorWindow::ChoosePicture(const QString& title) {
    const QString file = choosePicture(title, PictureFilter());
    if (file.isEmpty()) {
        return {};
    }
    QImage picture(file);
    if (picture.isNull()) {
        inform(QStringLiteral("%1 cannot be read as a picture.").arg(file));
    }
    return picture;
}

// The bytes the game will read are read back with the game's own loader before the import
// becomes part of the level: a picture the game cannot read is never taken in.
bool EditorWindow::TakeInPictures(const std::map<std::string, std::string>& pictures,
                                  const QString& edit) {
    for (const auto& [name, bytes] : pictures) {
        const std::string failure = ReadBackFailure(
            name, bytes, TileCharacterOf(name) != '\0' ? PictureFormat::Bmp : PictureFormat::Gif);
        if (!failure.empty()) {
            inform(QStringLiteral("The picture was not imported: %1")
                       .arg(QString::fromStdString(failure)));
            return false;
        }
    }
    if (const std::string refusal = document_.AddPictures(pictures, edit); !refusal.empty()) {
        inform(QStringLiteral("The picture was not imported: %1")
                   .arg(QString::fromStdString(refusal)));
        return false;
    }
    KeepForRecovery();  // an import is work that no paint program holds a copy of
    return true;
}

void EditorWindow::ImportTile() {
    QImage picture = ChoosePicture(QStringLiteral("Import a tile picture"));
    if (picture.isNull()) {
        return;
    }
    Fit fit = Fit::Scale;
    if (picture.size() != QSize(CellSize, CellSize)) {
        const QString how = chooseItem(
            QStringLiteral("The picture is %1 x %2 pixels; a tile is 16 x 16.")
                .arg(picture.width())
                .arg(picture.height()),
            {QStringLiteral("Scale it to 16 x 16"), QStringLiteral("Crop its top-left 16 x 16")});
        if (how.isEmpty()) {
            return;
        }
        fit = how.startsWith(QStringLiteral("Crop")) ? Fit::Crop : Fit::Scale;
    }
    const std::string used = UsedTileCharacters(document_);
    const char free = FreeTileLetter(used);
    const QString character = chooseCharacter(
        free != '\0' ? QStringLiteral("The character that stands for this tile in the map:")
                     : QStringLiteral("Every character a tile can take is in use. The character "
                                      "that stands for this tile in the map, whose picture the "
                                      "import replaces:"),
        free != '\0' ? QString(QLatin1Char(free)) : QString(), QString::fromLatin1(used));
    if (character.size() != 1 || !IsUsableTileCharacter(character.at(0).toLatin1())) {
        return;
    }
    const char tile = character.at(0).toLatin1();
    const std::filesystem::path name =
        TilePicturePath("", static_cast<unsigned char>(tile)).filename();
    if (InPalette(document_, name) &&
        !confirm(QStringLiteral("Replace the picture of tile %1 (%2)?")
                     .arg(character, ToQString(name)))) {
        return;
    }
    if (TakeInPictures({{name.string(), EncodeTileBmp(FitToCell(picture, fit))}},
                       QStringLiteral("Import %1").arg(ToQString(name)))) {
        view_->SetTile(tile);
        FillPalette();
    }
}

void EditorWindow::ImportCar() {
    QImage picture = ChoosePicture(QStringLiteral("Import a car, facing right"));
    if (picture.isNull()) {
        return;
    }
    const QString which =
        chooseItem(QStringLiteral("Which car is it?"),
                   {QStringLiteral("Car 1 (arrow keys)"), QStringLiteral("Car 2 (W A S D)")});
    if (which.isEmpty()) {
        return;
    }
    const int car = which.startsWith(QStringLiteral("Car 1")) ? 1 : 2;
    picture = FitToCell(picture, Fit::Scale).convertToFormat(QImage::Format_ARGB32);
    bool seeThrough = false;
    for (int y = 0; y < picture.height() && !seeThrough; ++y) {
        for (int x = 0; x < picture.width() && !seeThrough; ++x) {
            seeThrough = qAlpha(picture.pixel(x, y)) < 128;
        }
    }
    if (!seeThrough) {
        const QColor key =
            chooseColour(picture.pixelColor(0, 0),
                         QStringLiteral("The colour around the car, where the road shows through"));
        if (key.isValid()) {
            picture = WithTransparentColour(picture, key);
        }
    }
    const std::array<QImage, 4> headings = CarHeadings(picture);
    std::map<std::string, std::string> pictures;
    QStringList existing;
    for (std::size_t index = 0; index < DirectionTable.size(); ++index) {
        const std::filesystem::path name =
            CarPicturePath("", car, std::string(DirectionTable[index].word)).filename();
        if (InPalette(document_, name)) {
            existing << ToQString(name);
        }
        pictures[name.string()] = EncodeCarGif(headings[index]);
    }
    if (!existing.isEmpty() &&
        !confirm(QStringLiteral("Replace %1?").arg(existing.join(QStringLiteral(", "))))) {
        return;
    }
    TakeInPictures(pictures, QStringLiteral("Import car %1").arg(car));
}

}  // namespace vornak::editor
