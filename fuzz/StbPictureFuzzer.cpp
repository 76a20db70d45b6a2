// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// libFuzzer entry: arbitrary bytes as a BMP tile and as a GIF car, through the browser's
// decoding (stb_image, with the header checks and the fixes around it), from memory as the page
// reads them. stb_image has a history of memory faults on hostile files.
#include <cstdint>
#include <string>

#include "GameError.h"
#include "MemoryFileOpener.h"
#include "Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vornak::MemoryFileOpener files;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    files.Put("Tilex.bmp", bytes);
    files.Put("Car1up.gif", bytes);
    for (const auto& [name, format] : {std::pair{"Tilex.bmp", vornak::PictureFormat::Bmp},
                                       std::pair{"Car1up.gif", vornak::PictureFormat::Gif}}) {
        try {
            const vornak::Picture picture = vornak::DecodePicture(files, name, format);
            if (picture.pixels.size() != static_cast<std::size_t>(picture.width) *
                                             static_cast<std::size_t>(picture.height)) {
                __builtin_trap();
            }
        } catch (const vornak::GameError&) {
        }
    }
    return 0;
}
