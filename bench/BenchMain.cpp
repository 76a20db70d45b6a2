// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// Runs the benchmarks in an offscreen Qt application, then prints each figure beside its floor.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstring>
#include <iostream>
#include <map>
#include <string>

namespace vornak::bench {
extern int ClockTicks;
}

namespace {

// Remembers each benchmark's time per iteration, for the ratios.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> seconds;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                seconds[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }
};

void PrintRatio(const RecordingReporter& reporter, const std::string& figure,
                const std::string& floor, double figureScale, double target) {
    const auto measured = reporter.seconds.find(figure);
    const auto base = reporter.seconds.find(floor);
    if (measured == reporter.seconds.end() || base == reporter.seconds.end()) {
        return;
    }
    const double ratio = measured->second * figureScale / base->second;
    std::cout << figure << " / " << floor << " = " << ratio;
    if (target > 0) {
        std::cout << "  (target at most " << target << ")";
    }
    std::cout << "\n";
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--brief") == 0) {
            vornak::bench::ClockTicks = 20;
            argv[i] = const_cast<char*>("--benchmark_min_time=0.01");
        }
    }
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::cout << "\nRatios to the floor, in time per iteration:\n";
    PrintRatio(reporter, "LevelLoad", "LevelLoadFloor", 1.0, 1.3);
    PrintRatio(reporter, "TickWithRepaint", "TickWithRepaintFloor", 1.0, 0);
    // A lap is 95 ticks; the floor is one tick's unavoidable reads.
    PrintRatio(reporter, "MovementTickLap", "MovementTickFloor", 1.0 / 95.0, 0);
    benchmark::Shutdown();
    return 0;
}
