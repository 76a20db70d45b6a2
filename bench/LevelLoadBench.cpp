// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// Level load through the real window's picture loading, against the floor of reading and
// decoding the same 300 tile files with Qt's BMP reader and nothing else.
#include <benchmark/benchmark.h>

#include <QImageReader>
#include <vector>

#include "BenchLevel.h"
#include "LevelLoader.h"
#include "SystemFiles.h"
#include "frmGame.h"

namespace vornak::bench {
namespace {

void LevelLoad(benchmark::State& run) {
    BenchLevel level;
    frmGame window(level.Path());
    for (auto _ : run) {
        GameState state;
        LevelLoader(state, window, SystemFiles(), level.Path());
        benchmark::DoNotOptimize(state);
    }
}
BENCHMARK(LevelLoad)->Unit(benchmark::kMillisecond);

void LevelLoadFloor(benchmark::State& run) {
    BenchLevel level;
    std::vector<QString> files;
    for (int tile = 0; tile < TileCount; ++tile) {
        const char kind = BenchLevel::TileKinds[tile % 8];
        files.push_back(QString::fromStdString(
            (TilePicturePath(level.Path(), static_cast<unsigned char>(kind))).string()));
    }
    for (auto _ : run) {
        for (const QString& file : files) {
            QImage picture = QImageReader(file, "bmp").read();
            benchmark::DoNotOptimize(picture);
        }
    }
}
BENCHMARK(LevelLoadFloor)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vornak::bench
