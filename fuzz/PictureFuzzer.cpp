// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// libFuzzer entry: arbitrary bytes as a BMP tile and as a GIF car, through the window's real
// picture loading.
#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzDirectory.h"
#include "GameError.h"
#include "PictureFile.h"

namespace {

void TryPicture(const std::filesystem::path& file, const char* format, const std::uint8_t* data,
                std::size_t size) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        vornak::LoadPicture(file, format);
    } catch (const vornak::GameError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The image plugins (GIF among them) are found through the application object.
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path directory =
        vornak::fuzzing::FuzzDirectory("vornak-picture-fuzz");
    TryPicture(directory / "Tilex.bmp", "bmp", data, size);
    TryPicture(directory / "Car1up.gif", "gif", data, size);
    return 0;
}
