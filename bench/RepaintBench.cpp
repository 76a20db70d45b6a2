// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// A tick in the real window (offscreen), with the paint it causes, and the area it paints.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPaintEvent>

#include "BenchLevel.h"
#include "Controls.h"
#include "frmGame.h"

namespace vornak::bench {
namespace {

class PaintedArea : public QObject {
  public:
    long pixels = 0;
    long paints = 0;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            for (const QRect& rect : static_cast<QPaintEvent*>(event)->region()) {
                pixels += static_cast<long>(rect.width()) * rect.height();
            }
            ++paints;
        }
        return false;
    }
};

struct ShownGame {
    BenchLevel level;
    frmGame window{level.Path()};
    PaintedArea painted;

    ShownGame() {
        window.Form_Load();
        window.ShowCentred();
        QApplication::processEvents();
        window.playfield()->installEventFilter(&painted);
    }
};

// Both cars shuttle along the start straight, turning round before the kerbs.
void TickWithRepaint(benchmark::State& run) {
    ShownGame game;
    long ticks = 0;
    for (auto _ : run) {
        if (ticks % 40 == 0) {
            const bool left = (ticks / 40) % 2 == 0;
            game.window.picKeyReceiver_KeyDown(left ? KeyLeft : KeyRight, 0);
            game.window.picKeyReceiver_KeyDown(left ? 'A' : 'D', 0);
        }
        game.window.tmrMainLoop_Timer();
        QApplication::processEvents();
        ++ticks;
    }
    run.counters["painted_px_per_tick"] =
        static_cast<double>(game.painted.pixels) / static_cast<double>(ticks);
}
BENCHMARK(TickWithRepaint)->Unit(benchmark::kMicrosecond);

// A tick in which nothing moves must paint nothing at all.
void IdleTick(benchmark::State& run) {
    ShownGame game;
    for (auto _ : run) {
        game.window.tmrMainLoop_Timer();
        QApplication::processEvents();
    }
    run.counters["paints"] = static_cast<double>(game.painted.paints);
}
BENCHMARK(IdleTick)->Unit(benchmark::kMicrosecond);

// The floor: repainting two moving cars' old and new rectangles with no game logic at all.
void TickWithRepaintFloor(benchmark::State& run) {
    ShownGame game;
    int x = 0;
    for (auto _ : run) {
        x = (x + 4) % 256;
        game.window.playfield()->update(QRect(x, 176, 20, 16));
        game.window.playfield()->update(QRect(x, 192, 20, 16));
        QApplication::processEvents();
    }
}
BENCHMARK(TickWithRepaintFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vornak::bench
