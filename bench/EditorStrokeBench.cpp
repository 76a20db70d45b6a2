// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// A wall stroke dragged across the whole field in the editor, one frame per cell: the slowest
// frame must stay within 16 ms, the budget of a 60 Hz screen. The checker's run after an edit is
// timed as a frame of its own, since it can fall between two moves of a slow drag.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>

#include "EditorWindow.h"

namespace vornak::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

void Send(QWidget* view, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, view->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(view, &event);
}

void EditorStroke(benchmark::State& run) {
    editor::EditorWindow window(editor::Installation{{}, VORNAK_LEVEL_DIR}, VORNAK_LEVEL_DIR);
    window.inform = [](const QString& /*message*/) {};
    window.show();
    QApplication::processEvents();
    editor::LevelView* view = window.View();
    view->SetTool(editor::Tool::Walls);
    const int side = 16 * view->Zoom();
    double slowestMove = 0;
    double slowestCheck = 0;
    for (auto _ : run) {
        // Row by row, as a level maker sweeping the field: each move paints one cell.
        Send(view, QEvent::MouseButtonPress, QPoint(side / 2, side / 2), Qt::LeftButton);
        for (int cell = 1; cell < 300; ++cell) {
            const int row = cell / 20;
            const int column = row % 2 == 0 ? cell % 20 : 19 - cell % 20;
            const auto start = Clock::now();
            Send(view, QEvent::MouseMove, QPoint(column * side + side / 2, row * side + side / 2),
                 Qt::LeftButton);
            view->repaint();
            slowestMove = std::max(slowestMove, Milliseconds(Clock::now() - start));
        }
        Send(view, QEvent::MouseButtonRelease, QPoint(side / 2, 14 * side + side / 2),
             Qt::NoButton);
        const auto start = Clock::now();
        window.CheckNow();
        view->repaint();
        slowestCheck = std::max(slowestCheck, Milliseconds(Clock::now() - start));
        window.Document().UndoStack().undo();
    }
    run.counters["slowest_move_frame_ms"] = slowestMove;
    run.counters["slowest_check_frame_ms"] = slowestCheck;
}
BENCHMARK(EditorStroke)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vornak::bench
