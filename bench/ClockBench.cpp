// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The real clock, offscreen: the period over many ticks, and what follows a stalled handler.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "BenchLevel.h"
#include "frmGame.h"

namespace vornak::bench {

int ClockTicks = 200;  // fewer for the brief run that CI makes

namespace {

using Clock = std::chrono::steady_clock;

void ClockSteadiness(benchmark::State& run) {
    BenchLevel level;
    frmGame window(level.Path());
    window.Form_Load();
    std::vector<Clock::time_point> ticks;
    bool stalled = false;
    const int stallAt = ClockTicks;
    QEventLoop loop;
    QObject::connect(&window.tmrMainLoop(), &QTimer::timeout, &loop, [&] {
        ticks.push_back(Clock::now());
        if (static_cast<int>(ticks.size()) == stallAt && !stalled) {
            stalled = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        if (static_cast<int>(ticks.size()) == stallAt + 10) {
            window.SetClockEnabled(false);
            loop.quit();
        }
    });
    for (auto _ : run) {
        window.SetClockEnabled(true);
        loop.exec();
    }
    std::vector<double> periods;
    for (int i = 1; i < stallAt; ++i) {
        periods.push_back(
            std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count());
    }
    double sum = 0;
    for (const double period : periods) {
        sum += period;
    }
    const double mean = sum / static_cast<double>(periods.size());
    const auto within = std::count_if(periods.begin(), periods.end(),
                                      [](double period) { return std::abs(period - 50.0) <= 2.0; });
    // After the stall, a burst would show as periods far shorter than the clock's.
    int burst = 0;
    for (std::size_t i = static_cast<std::size_t>(stallAt); i < ticks.size(); ++i) {
        if (std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count() < 25.0) {
            ++burst;
        }
    }
    run.counters["mean_period_ms"] = mean;
    run.counters["within_2ms_pct"] =
        100.0 * static_cast<double>(within) / static_cast<double>(periods.size());
    run.counters["catch_up_ticks"] = burst;
}
BENCHMARK(ClockSteadiness)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vornak::bench
