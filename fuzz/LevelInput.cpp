// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "LevelInput.h"

#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "Controls.h"
#include "GameError.h"
#include "LevelLoader.h"
#include "MovementTick.h"
#include "RecordingWindow.h"
#include "SystemFiles.h"

namespace vornak::fuzzing {

namespace {

constexpr std::size_t HeaderSize = 5;
constexpr int TicksPerInput = 60;

void WriteOrRemove(const std::filesystem::path& path, bool present, const std::string& bytes) {
    std::filesystem::remove(path);
    if (present) {
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
}

void RequireUnchanged(const std::filesystem::path& path, bool present, const std::string& bytes) {
    if (!present) {
        return;
    }
    std::ifstream file(path, std::ios::binary);
    const std::string now{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (now != bytes) {
        std::abort();  // the loader wrote into an existing level file
    }
}

}  // namespace

LevelFiles SplitLevelInput(const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, HeaderSize> header{};
    for (std::size_t i = 0; i < HeaderSize && i < size; ++i) {
        header[i] = data[i];
    }
    LevelFiles files;
    files.hasTilesMap = (header[0] & 1U) == 0;
    files.hasBlocksMap = (header[0] & 2U) == 0;
    files.hasCars = (header[0] & 4U) == 0;
    const char* body = reinterpret_cast<const char*>(data) + std::min(size, HeaderSize);
    std::size_t remaining = size > HeaderSize ? size - HeaderSize : 0;
    auto take = [&](std::size_t wanted) {
        const std::size_t length = std::min(wanted, remaining);
        std::string part(body, length);
        body += length;
        remaining -= length;
        return part;
    };
    files.tilesMap = take(header[1] | (std::size_t{header[2]} << 8U));
    files.blocksMap = take(header[3] | (std::size_t{header[4]} << 8U));
    files.cars = take(remaining);
    return files;
}

std::string JoinLevelInput(const LevelFiles& files) {
    std::string joined;
    joined += static_cast<char>((files.hasTilesMap ? 0 : 1) | (files.hasBlocksMap ? 0 : 2) |
                                (files.hasCars ? 0 : 4));
    for (const std::string* part : {&files.tilesMap, &files.blocksMap}) {
        joined += static_cast<char>(part->size() & 0xFFU);
        joined += static_cast<char>((part->size() >> 8U) & 0xFFU);
    }
    return joined + files.tilesMap + files.blocksMap + files.cars;
}

void RunLevelInput(const std::uint8_t* data, std::size_t size,
                   const std::filesystem::path& directory) {
    const LevelFiles files = SplitLevelInput(data, size);
    WriteOrRemove(directory / TilesMapFileName, files.hasTilesMap, files.tilesMap);
    WriteOrRemove(directory / BlocksMapFileName, files.hasBlocksMap, files.blocksMap);
    WriteOrRemove(directory / CarsFileName, files.hasCars, files.cars);

    GameState state;
    testing::RecordingWindow window;
    window.recording = false;
    bool loaded = true;
    try {
        LevelLoader(state, window, SystemFiles(), directory);
    } catch (const GameError&) {
        loaded = false;
    }
    RequireUnchanged(directory / TilesMapFileName, files.hasTilesMap, files.tilesMap);
    RequireUnchanged(directory / BlocksMapFileName, files.hasBlocksMap, files.blocksMap);
    RequireUnchanged(directory / CarsFileName, files.hasCars, files.cars);
    if (!loaded) {
        return;
    }
    constexpr std::array<int, 9> Keys{KeyUp, KeyDown, KeyLeft, KeyRight, 'W', 'S', 'A', 'D', 0};
    for (int tick = 0; tick < TicksPerInput; ++tick) {
        if (size > 0) {
            const std::uint8_t choice = data[static_cast<std::size_t>(tick) % size];
            picKeyReceiver_KeyDown(state, Keys[choice % Keys.size()], 0);
        }
        MovementTick(state, window, directory);
    }
}

}  // namespace vornak::fuzzing
