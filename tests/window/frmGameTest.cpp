// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <cmath>

#include <QPaintEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "Controls.h"
#include "WindowTestLevel.h"
#include "frmGame.h"

namespace vornak {
namespace {

using testing::WindowTestLevel;

const QColor Grey(0x60, 0x60, 0x60);
const QColor Red(0xFF, 0, 0);
const QColor Blue(0, 0, 0xFF);

// Records the rectangles that the playfield is asked to paint.
class PaintRecorder : public QObject {
  public:
    QRegion painted;
    int paints = 0;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }
};

class frmGameTest : public ::testing::Test {
  protected:
    frmGameTest() {
        level.WriteTile('g', Grey);
        level.Write("TilesMap.txt", std::string(300, 'g'));
        level.Write("Cars.txt", "3\r\n5\r\nright\r\n6\r\n5\r\nleft\r\n");
        for (const char* heading : {"up", "down", "left", "right"}) {
            level.CopyCar("red16.gif", std::string("Car1") + heading + ".gif");
            level.CopyCar("blue16.gif", std::string("Car2") + heading + ".gif");
        }
    }

    // Loads the level and shows the window, as main does.
    frmGame& Start() {
        window = std::make_unique<frmGame>(level.Path());
        window->SetFailureReporter([this](const QString& message) { failures << message; });
        EXPECT_TRUE(window->Form_Load()) << failures.join("\n").toStdString();
        window->ShowCentred();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    QColor PixelAt(int x, int y) const { return window->grab().toImage().pixelColor(x, y); }

    WindowTestLevel level;
    std::unique_ptr<frmGame> window;
    QStringList failures;
};

// The window and its elements stand where the game's layout puts them.
TEST_F(frmGameTest, ElementsStartInTheirPlaces) {
    frmGame game(level.Path());
    EXPECT_EQ(game.windowTitle(), "Vornak");
    EXPECT_EQ(game.size(), QSize(417, 241));
    EXPECT_EQ(game.minimumSize(), game.maximumSize()) << "the player cannot resize it";
    EXPECT_FALSE(game.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(game.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(game.cmdRun()->geometry(), QRect(328, 8, 81, 25));
    EXPECT_EQ(game.cmdRun()->text(), "Start!");
    EXPECT_EQ(game.picKeyReceiver()->geometry(), QRect(328, 72, 81, 9));
    std::vector<QWidget*> tabOrder;
    for (QWidget* widget = game.nextInFocusChain(); widget != &game;
         widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0) {
            tabOrder.push_back(widget);
        }
    }
    EXPECT_EQ(tabOrder, (std::vector<QWidget*>{game.picKeyReceiver(), game.cmdRun()}));
    EXPECT_EQ(game.tmrMainLoop().interval(), 50);
    EXPECT_EQ(game.tmrMainLoop().timerType(), Qt::PreciseTimer);
    EXPECT_FALSE(game.tmrMainLoop().isActive());
    EXPECT_EQ(game.CarLeft(1), 376);
    EXPECT_EQ(game.CarTop(2), 40);
    EXPECT_EQ(game.CarLeft(2), 392);
    game.SetCarLeft(1, 36);
    EXPECT_EQ(game.CarLeft(1), 36.0) << "a whole number written reads back exactly";
}

// Tile k shows at column k mod 20 and row k div 20; the strip right of the playfield and the
// row below it show the window's background.
TEST_F(frmGameTest, TilesFillThePlayfieldInReadingOrder) {
    level.WriteTile('0', Qt::yellow);
    level.WriteTile('1', Qt::cyan);
    level.WriteTile('2', Qt::magenta);
    level.WriteTile('3', Qt::darkGreen);
    std::string map(300, 'g');
    map[0] = '0';
    map[19] = '1';
    map[20] = '2';
    map[299] = '3';
    level.Write("TilesMap.txt", map);
    level.Write("Cars.txt", "30\n30\nup\n30\n30\nup\n");
    Start();
    const QImage screen = window->grab().toImage();
    EXPECT_EQ(screen.pixelColor(0, 0), QColor(Qt::yellow));
    EXPECT_EQ(screen.pixelColor(15, 15), QColor(Qt::yellow));
    EXPECT_EQ(screen.pixelColor(304, 0), QColor(Qt::cyan));
    EXPECT_EQ(screen.pixelColor(319, 15), QColor(Qt::cyan));
    EXPECT_EQ(screen.pixelColor(0, 16), QColor(Qt::magenta));
    EXPECT_EQ(screen.pixelColor(304, 224), QColor(Qt::darkGreen));
    EXPECT_EQ(screen.pixelColor(319, 239), QColor(Qt::darkGreen));
    EXPECT_EQ(screen.pixelColor(16, 0), Grey);
    const QColor background = window->palette().window().color();
    EXPECT_EQ(screen.pixelColor(100, 240), background);
    EXPECT_EQ(screen.pixelColor(320, 100), background);
}

// Cars lie above every tile and car 1 above car 2; transparent car pixels show what is below,
// and a tile without a picture shows the background.
TEST_F(frmGameTest, CarsStackAboveTilesWithTransparency) {
    level.Write("TilesMap.txt", std::string(21, 'g'));
    Start();
    EXPECT_EQ(PixelAt(32 + 8, 64 + 8), Red);
    EXPECT_EQ(PixelAt(32 + 1, 64 + 1), window->palette().window().color())
        << "tile (3, 5) was never given a picture";
    window->SetCarLeft(1, 0);
    window->SetCarTop(1, 0);
    EXPECT_EQ(PixelAt(1, 1), Grey) << "the tile shows through the car's transparent corner";
    EXPECT_EQ(PixelAt(8, 8), Red);
    window->SetCarLeft(2, 0);
    window->SetCarTop(2, 0);
    EXPECT_EQ(PixelAt(8, 8), Red) << "car 1 is drawn above car 2";
    window->SetCarLeft(1, 8);
    EXPECT_EQ(PixelAt(7, 7), Blue);
    EXPECT_EQ(PixelAt(12, 8), Red);
}

// A picture larger than a cell grows right and down; the higher tile index is drawn on top.
TEST_F(frmGameTest, LargeTilesGrowRightAndDown) {
    level.WriteTile('L', Qt::yellow, 32);
    level.Write("TilesMap.txt", "L");
    level.Write("Cars.txt", "30\n30\nup\n30\n30\nup\n");
    Start();
    EXPECT_EQ(PixelAt(31, 31), QColor(Qt::yellow));
    level.Write("TilesMap.txt", "Lg");
    window = nullptr;
    Start();
    EXPECT_EQ(PixelAt(20, 4), Grey) << "tile 1 lies above tile 0";
    EXPECT_EQ(PixelAt(4, 20), QColor(Qt::yellow));
    EXPECT_EQ(PixelAt(20, 20), QColor(Qt::yellow));
}

// The button starts, pauses and resumes the clock, and the keys keep steering after each click.
TEST_F(frmGameTest, ClicksCycleTheClockAndLeaveTheKeysSteering) {
    Start();
    EXPECT_EQ(QApplication::focusWidget(), window->picKeyReceiver());
    const std::pair<bool, QString> expected[] = {
        {true, "Pause"}, {false, "Unpause"}, {true, "Pause"}};
    for (const auto& [running, caption] : expected) {
        QTest::mouseClick(window->cmdRun(), Qt::LeftButton);
        EXPECT_EQ(window->tmrMainLoop().isActive(), running);
        EXPECT_EQ(window->cmdRun()->text(), caption);
        EXPECT_EQ(QApplication::focusWidget(), window->picKeyReceiver());
    }
    QTest::mouseClick(window->playfield(), Qt::LeftButton, {}, QPoint(40, 70));
    EXPECT_EQ(QApplication::focusWidget(), window->picKeyReceiver())
        << "the playfield takes no focus";

    for (const Qt::Key arrow : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Down, Qt::Key_Right}) {
        QTest::keyClick(window->picKeyReceiver(), arrow);
        EXPECT_EQ(QApplication::focusWidget(), window->picKeyReceiver());
    }
    QTest::keyClick(window->picKeyReceiver(), Qt::Key_W, Qt::ShiftModifier);
    EXPECT_EQ(window->State().CarRequest(1), "right");
    EXPECT_EQ(window->State().CarRequest(2), "up");
    QTest::keyClick(window->picKeyReceiver(), Qt::Key_Space);
    EXPECT_EQ(window->State().CarRequest(2), "up");
}

// A Tab pressed by mistake leaves the keys on the button; a click on the playfield or the
// window's empty part gives them back without pressing the button.
TEST_F(frmGameTest, AClickOutsideTheControlsGivesTheKeysBack) {
    Start();
    for (const QPoint where : {QPoint(40, 70), QPoint(360, 200)}) {
        QTest::keyClick(window->picKeyReceiver(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), window->cmdRun());
        QWidget* target = window->childAt(where) != nullptr ? window->childAt(where) : window.get();
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window.get(), where));
        EXPECT_EQ(QApplication::focusWidget(), window->picKeyReceiver()) << where.x();
        EXPECT_FALSE(window->tmrMainLoop().isActive());
    }
}

// When the window comes back to the front, the keys steer again at once.
TEST_F(frmGameTest, ActivationGivesTheFocusToTheKeyReceiver) {
    Start();
    QWidget other;
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    window->setFocus();  // the window itself, not one of its elements
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(QApplication::focusWidget(), window->picKeyReceiver());
}

// Every set-picture call reads the file anew: an edited picture shows on the next move.
TEST_F(frmGameTest, PicturesAreNeverCached) {
    Start();
    EXPECT_EQ(PixelAt(40, 72), Red);
    level.CopyCar("blue16.gif", "Car1right.gif");
    window->picKeyReceiver_KeyDown(KeyRight, 0);
    window->tmrMainLoop_Timer();
    EXPECT_EQ(PixelAt(40, 72), Blue);
}

// A GIF with several frames shows its first.
TEST_F(frmGameTest, AnimatedCarShowsItsFirstFrame) {
    level.CopyCar("twoframes.gif", "Car1right.gif");
    Start();
    EXPECT_EQ(PixelAt(40, 72), QColor(Qt::green));
}

// A tick repaints only the moving car's old and new places; a tick without movement paints
// nothing.
TEST_F(frmGameTest, TicksRepaintOnlyWhatMoved) {
    Start();
    PaintRecorder recorder;
    window->playfield()->installEventFilter(&recorder);
    QTest::qWait(20);
    recorder.painted = {};
    recorder.paints = 0;
    window->tmrMainLoop_Timer();
    QTest::qWait(20);
    EXPECT_EQ(recorder.paints, 0) << "nothing requested, nothing moved";

    window->picKeyReceiver_KeyDown(KeyRight, 0);
    window->tmrMainLoop_Timer();  // starts the move
    window->tmrMainLoop_Timer();  // slides 4 pixels
    QTest::qWait(20);
    EXPECT_GT(recorder.paints, 0);
    EXPECT_TRUE(QRegion(QRect(32, 64, 20, 16)).contains(recorder.painted.boundingRect()))
        << "painted " << recorder.painted.boundingRect().x() << ","
        << recorder.painted.boundingRect().y() << " " << recorder.painted.boundingRect().width()
        << "x" << recorder.painted.boundingRect().height();
}

// A failure at load shows one message naming the file and never shows the window; a failure
// during play stops the clock first.
TEST_F(frmGameTest, FailuresAreReportedOnceAndStopTheGame) {
    std::filesystem::remove(level / "Car2left.gif");
    frmGame game(level.Path());
    QStringList messages;
    game.SetFailureReporter([&messages](const QString& message) { messages << message; });
    EXPECT_FALSE(game.Form_Load());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QString::fromStdString((level / "Car2left.gif").string())));
    EXPECT_FALSE(game.isVisible());

    level.CopyCar("blue16.gif", "Car2left.gif");
    std::filesystem::remove(level / "Car1down.gif");
    Start();
    QTest::mouseClick(window->cmdRun(), Qt::LeftButton);
    window->picKeyReceiver_KeyDown(KeyDown, 0);
    window->tmrMainLoop_Timer();
    window->tmrMainLoop_Timer();
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].contains("Car1down.gif")) << failures[0].toStdString();
    EXPECT_FALSE(window->tmrMainLoop().isActive());
    EXPECT_TRUE(window->HasFailed());
}

// Closing the window ends the program normally.
TEST_F(frmGameTest, ClosingTheWindowEndsTheEventLoopWithStatusZero) {
    Start();
    QTimer::singleShot(0, window.get(), [this] { window->close(); });
    EXPECT_EQ(QApplication::exec(), 0);
}

// On a scaled screen every picture pixel becomes a block of one colour: scaled, never blurred.
// At any desktop scale the zoom counts device pixels, at least the scale rounded up on a screen
// with room for it, and every game pixel is an exact square of them, cars' edges included.
// ctest runs this on a 1920 x 1080 screen at several scales.
TEST_F(frmGameTest, HighDpiScalingKeepsPixelsSharp) {
    QImage checker(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            checker.setPixelColor(x, y, (x + y) % 2 == 0 ? Qt::black : Qt::white);
        }
    }
    checker.save(QString::fromStdString((level / "Tilec.bmp").string()), "BMP");
    level.Write("TilesMap.txt", std::string(300, 'c'));
    level.Write("Cars.txt", "2\n2\nup\n5\n3\nup\n");
    Start();
    const double ratio = window->devicePixelRatioF();
    if (ratio <= 1.0) {
        ASSERT_FALSE(qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) << "the scale was not applied";
        GTEST_SKIP() << "the screen is not scaled; ctest runs this again at several scales";
    }
    const int zoom = window->Zoom();
    EXPECT_GE(zoom, static_cast<int>(std::ceil(ratio - 1e-6)));
    const QImage frame = window->playfield()->Frame();
    const QImage shown = window->playfield()->grab().toImage();
    ASSERT_GE(shown.width(), 320 * zoom);
    int wrong = 0;
    for (int y = 0; y < 240 * zoom; ++y) {
        for (int x = 0; x < 320 * zoom; ++x) {
            wrong += shown.pixel(x, y) != frame.pixel(x / zoom, y / zoom) ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0) << "device pixels that are not their game pixel's colour, at zoom " << zoom
                        << " and scale " << ratio;
}

}  // namespace
}  // namespace vornak
