// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// MovementTick alone, with the picture load mocked out: pure bookkeeping.
#include <benchmark/benchmark.h>

#include <array>

#include "MovementTick.h"
#include "RecordingWindow.h"

namespace vornak::bench {
namespace {

const std::filesystem::path ProgramDir = "/usr/lib/vornak";

// Both cars drive the length of a free row and back: four sliding ticks for every tick that
// starts a move, as in play.
void MovementTickLap(benchmark::State& run) {
    constexpr int TicksPerLap = 5 * (GridColumns - 1);
    GameState start;
    start.CarX(1) = 1;
    start.CarY(1) = 5;
    start.CarX(2) = 1;
    start.CarY(2) = 9;
    start.CarRequest(1) = "right";
    start.CarRequest(2) = "right";
    testing::RecordingWindow startWindow;
    startWindow.recording = false;
    startWindow.carLeft = {0, 0, 0};
    startWindow.carTop = {0, CellOrigin(5), CellOrigin(9)};
    for (auto _ : run) {
        GameState state = start;
        testing::RecordingWindow window = startWindow;
        for (int tick = 0; tick < TicksPerLap; ++tick) {
            MovementTick(state, window, ProgramDir);
        }
        benchmark::DoNotOptimize(state);
    }
    run.counters["per_tick"] = benchmark::Counter(
        TicksPerLap, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(MovementTickLap);

// The floor: what any tick must do, reading both cars' positions through the interface.
void MovementTickFloor(benchmark::State& run) {
    testing::RecordingWindow window;
    WindowOperations* operations = &window;
    benchmark::DoNotOptimize(operations);  // keeps the calls virtual, as in a real tick
    for (auto _ : run) {
        for (int car = 1; car <= CarCount; ++car) {
            benchmark::DoNotOptimize(operations->CarLeft(car) + operations->CarTop(car));
        }
    }
    run.counters["per_tick"] = benchmark::Counter(
        1, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(MovementTickFloor);

}  // namespace
}  // namespace vornak::bench
