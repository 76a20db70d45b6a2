// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QColor>
#include <QImage>
#include <filesystem>
#include <string>

#include "LevelDirectory.h"

namespace vornak::testing {

inline const std::filesystem::path TestData = VORNAK_TEST_DATA;

// A level folder with solid-colour tiles and the test car pictures.
class WindowTestLevel : public LevelDirectory {
  public:
    void WriteTile(char character, QColor colour, int side = 16) const {
        QImage tile(side, side, QImage::Format_RGB32);
        tile.fill(colour);
        tile.save(QString::fromStdString(
                      (Path() / ("Tile" + std::string(1, character) + ".bmp")).string()),
                  "BMP");
    }
    void CopyCar(const std::string& testPicture, const std::string& name) const {
        std::filesystem::copy_file(TestData / testPicture, Path() / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
};

}  // namespace vornak::testing
