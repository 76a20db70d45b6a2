// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <xkbcommon/xkbcommon.h>

#include "Controls.h"
#include "KeyReceiver.h"
#include "VirtualKeys.h"
#include "WindowTestLevel.h"
#include "frmGame.h"

namespace vornak {
namespace {

using testing::WindowTestLevel;

class DesktopTest : public ::testing::Test {
  protected:
    DesktopTest() {
        level.Write("Cars.txt", "3\r\n5\r\nright\r\n4\r\n5\r\nleft\r\n");
        for (const char* heading : {"up", "down", "left", "right"}) {
            level.CopyCar("red16.gif", std::string("Car1") + heading + ".gif");
            level.CopyCar("blue16.gif", std::string("Car2") + heading + ".gif");
        }
        level.WriteTile('g', Qt::darkGray);
        level.Write("TilesMap.txt", std::string(300, 'g'));
    }

    frmGame& Start() {
        window = std::make_unique<frmGame>(level.Path());
        window->SetFailureReporter(
            [](const QString& message) { ADD_FAILURE() << message.toStdString(); });
        EXPECT_TRUE(window->Form_Load());
        window->ShowCentred();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }

    // What is on screen now, without painting anything anew.
    QImage Screen() const {
        return window->screen()
            ->grabWindow(window->winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    WindowTestLevel level;
    std::unique_ptr<frmGame> window;
};

int DifferingPixels(const QImage& a, const QImage& b) {
    int differing = std::abs(a.width() * a.height() - b.width() * b.height());
    for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            differing += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return differing;
}

// Whatever the screen's scale, the screen after any run of ticks is exactly a full repaint of the
// same state, and a fully tiled playfield shows no background between tiles. ctest runs this
// under several QT_SCALE_FACTOR values.
TEST_F(DesktopTest, PartialRepaintsMatchAFullRepaintAtEveryScale) {
    // Patterned cell-sized tiles, and every seventh one larger than a cell, overlapping.
    for (const auto& [character, side] : {std::pair{'p', 16}, std::pair{'L', 24}}) {
        QImage pattern(side, side, QImage::Format_RGB32);
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                pattern.setPixel(x, y, qRgb(40 + x * 8, 40 + y * 8, side * 4));
            }
        }
        pattern.save(QString::fromStdString(
            (level / ("Tile" + std::string(1, character) + ".bmp")).string()));
    }
    std::string map(300, 'p');
    for (std::size_t tile = 0; tile < map.size(); tile += 7) {
        map[tile] = 'L';
    }
    level.Write("TilesMap.txt", map);
    for (const int zoom : {1, 2}) {
        Start();
        window->SetZoom(zoom);
        QTest::qWait(50);
        // The zoom counts device pixels, whatever the desktop's scale.
        const double scale = zoom;
        const QImage first = Screen();
        const QRgb background = window->palette().window().color().rgb();
        int gaps = 0;
        for (int y = 0; y < static_cast<int>(240 * scale); ++y) {
            for (int x = 0; x < static_cast<int>(320 * scale); ++x) {
                gaps += first.pixel(x, y) == background ? 1 : 0;
            }
        }
        EXPECT_EQ(gaps, 0) << "background between tiles at scale " << scale;
        // A fractional desktop scale leaves a device column or row past the frame; it is the
        // background from the first paint on, as after a full repaint.
        // The playfield is opaque: what its own paint leaves out, nothing else paints.
        const QImage field =
            window->playfield()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int edge = 0;
        for (int y = 0; y < field.height(); ++y) {
            for (int x = 0; x < field.width(); ++x) {
                const bool past = x >= 417 * zoom || y >= 241 * zoom;
                edge += past && field.pixel(x, y) != background ? 1 : 0;
            }
        }
        EXPECT_EQ(edge, 0) << "edge pixels not the background, " << field.width() << " x "
                           << field.height() << " at zoom " << zoom;

        // The cars swap cells through each other, then wander; their transparent corners
        // overlap tiles and each other.
        const int keys[] = {KeyRight, KeyDown, KeyLeft, KeyUp};
        int differing = 0;
        for (int tick = 0; tick < 120; ++tick) {
            if (tick % 15 == 0) {
                window->picKeyReceiver_KeyDown(keys[(tick / 15) % 4], 0);
                window->picKeyReceiver_KeyDown(keys[(tick / 15 + 1) % 4] == KeyRight ? 68 : 83, 0);
            }
            window->tmrMainLoop_Timer();
            const QImage afterTick = Screen();
            window->repaint();
            differing += DifferingPixels(afterTick, Screen());
        }
        std::cout << "scale " << scale << ": " << differing << " pixels differ\n";
        EXPECT_EQ(differing, 0) << "at scale " << scale;
    }
}

}  // namespace
}  // namespace vornak

namespace vornak {
namespace {

// The zoom fills at most half the screen each way, whole numbers only, on top of any desktop
// scaling (which has already made the available size smaller).
TEST(WindowZoom, GrowsWithTheScreen) {
    EXPECT_EQ(frmGame::ChooseZoom({1280, 800}), 1);
    EXPECT_EQ(frmGame::ChooseZoom({1366, 768}), 1);
    EXPECT_EQ(frmGame::ChooseZoom({1920, 1080}), 2);
    EXPECT_EQ(frmGame::ChooseZoom({2560, 1440}), 2);
    EXPECT_EQ(frmGame::ChooseZoom({3840, 2160}), 4);
    EXPECT_EQ(frmGame::ChooseZoom({300, 200}), 1) << "never below 1";
}

// At zoom 2 every game pixel is a 2 x 2 block, the elements keep their places in proportion, and
// the logic still reads and writes positions in game pixels.
TEST_F(DesktopTest, ZoomScalesEverythingButTheLogic) {
    Start();
    window->SetZoom(2);
    EXPECT_EQ(window->size(), QSize(834, 482));
    EXPECT_EQ(window->cmdRun()->geometry(), QRect(656, 16, 162, 50));
    EXPECT_EQ(window->picKeyReceiver()->geometry(), QRect(656, 144, 162, 18));
    EXPECT_EQ(window->CarLeft(1), 32.0);
    const QImage frame = window->playfield()->Frame();
    const QImage shown = window->playfield()->grab().toImage();
    for (const QPoint at : {QPoint(32, 64), QPoint(40, 72), QPoint(63, 79), QPoint(0, 239)}) {
        EXPECT_EQ(shown.pixel(at * 2), frame.pixel(at));
        EXPECT_EQ(shown.pixel(at * 2 + QPoint(1, 1)), frame.pixel(at));
    }
}

// The mouse never takes the keys from the players: a right-click on the button, or a press
// dragged off it, leaves the focus on the key receiver. From the keyboard, Enter presses the
// button as Space does.
TEST_F(DesktopTest, TheButtonTakesTheFocusOnlyByTab) {
    Start();
    QPushButton* button = window->cmdRun();
    QTest::mouseClick(button, Qt::RightButton);
    EXPECT_EQ(QApplication::focusWidget(), window->picKeyReceiver());
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseMove(button, QPoint(-20, -20));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_EQ(QApplication::focusWidget(), window->picKeyReceiver());
    EXPECT_FALSE(window->ClockEnabled()) << "a press dragged off is no click";

    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        QTest::keyClick(window->picKeyReceiver(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), button);
        const bool before = window->ClockEnabled();
        QTest::keyClick(button, key);
        EXPECT_NE(window->ClockEnabled(), before) << "key " << key;
        EXPECT_EQ(QApplication::focusWidget(), window->picKeyReceiver());
    }
}

// Windows numbers letter keys by the layout: where the unshifted keys type a to z, only those
// keys are letters, so Dvorak's comma and BÉPO's é (both where W is on a US keyboard) steer
// nothing; where they do not, every letter key is the letter at its US place, whatever it types,
// so Hebrew's apostrophe and Russian's TSE steer car 2 up.
TEST_F(DesktopTest, LetterKeysFollowTheLayoutAsOnWindows) {
    constexpr unsigned UsWPlace = 25;  // XKB key code of the key where W stands on a US keyboard
    struct Layout {
        const char* name;
        const char* variant;
        bool wPlaceSteersUp;
    };
    Start();
    auto* receiver = dynamic_cast<KeyReceiver*>(window->picKeyReceiver());
    ASSERT_NE(receiver, nullptr);
    for (const Layout& layout : {Layout{"us", "dvorak", false}, Layout{"fr", "bepo", false},
                                 Layout{"ru", "", true}, Layout{"il", "", true}}) {
        SCOPED_TRACE(std::string(layout.name) + "(" + layout.variant + ")");
        ASSERT_TRUE(receiver->Layout().UseLayoutNamed(layout.name, layout.variant));
        xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        const xkb_rule_names names{nullptr, nullptr, layout.name, layout.variant, nullptr};
        xkb_keymap* keymap =
            xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        ASSERT_NE(keymap, nullptr);
        // What Qt makes of a key: its unshifted symbol, upper-cased.
        const auto press = [&](xkb_keycode_t key) {
            const xkb_keysym_t* symbols = nullptr;
            xkb_keymap_key_get_syms_by_level(keymap, key, 0, 0, &symbols);
            const char32_t typed = xkb_keysym_to_utf32(symbols[0]);
            const auto qtKey = static_cast<int>(QChar::toUpper(typed));
            QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier, key, symbols[0], 0,
                            QString::fromUcs4(&typed, 1));
            QApplication::sendEvent(window->picKeyReceiver(), &event);
        };
        const auto labelled = [&](xkb_keysym_t letter) {
            for (xkb_keycode_t key = 8; key < 256; ++key) {
                const xkb_keysym_t* symbols = nullptr;
                if (xkb_keymap_key_get_syms_by_level(keymap, key, 0, 0, &symbols) > 0 &&
                    symbols[0] == letter) {
                    return key;
                }
            }
            return xkb_keycode_t{0};
        };
        const std::string& request = window->State().CarRequest(2);
        window->picKeyReceiver_KeyDown('S', 0);
        press(UsWPlace);
        EXPECT_EQ(request, layout.wPlaceSteersUp ? "up" : "down");
        if (!layout.wPlaceSteersUp) {
            press(labelled(XKB_KEY_d));
            EXPECT_EQ(request, "right") << "the key labelled D";
            press(labelled(XKB_KEY_w));
            EXPECT_EQ(request, "up") << "the key labelled W";
        }
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
    }
}

// A screen reader can name and explain each element, and the window shows the game's icon.
TEST_F(DesktopTest, ElementsHaveNamesAndTheWindowItsIcon) {
    Start();
    for (QWidget* element : {static_cast<QWidget*>(window->playfield()), window->picKeyReceiver(),
                             static_cast<QWidget*>(window->cmdRun())}) {
        EXPECT_FALSE(element->accessibleName().isEmpty());
        EXPECT_FALSE(element->accessibleDescription().isEmpty());
    }
    EXPECT_FALSE(window->windowIcon().isNull());
}

// 300 tiles of 1024 x 1024 keep only what can show in the window. Runs in a process of its own
// (a ctest entry), since the peak is the process's.
TEST(LargeTiles, MemoryStaysBounded) {
    if (!qEnvironmentVariableIsSet("VORNAK_MEMORY_TEST")) {
        GTEST_SKIP() << "run through its own ctest entry";
    }
    WindowTestLevel level;
    level.WriteTile('h', Qt::darkGreen, 1024);
    level.Write("TilesMap.txt", std::string(300, 'h'));
    level.Write("Cars.txt", "1\n1\nup\n2\n1\nup\n");
    level.CopyCar("red16.gif", "Car1up.gif");
    level.CopyCar("blue16.gif", "Car2up.gif");
    frmGame game(level.Path());
    ASSERT_TRUE(game.Form_Load());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long peakMebibytes = usage.ru_maxrss / 1024;
    std::cout << "peak resident memory with 300 tiles of 1024 x 1024: " << peakMebibytes
              << " MiB\n";
    EXPECT_LT(peakMebibytes, 160);
    EXPECT_EQ(game.playfield()->Frame().pixelColor(416, 240), QColor(Qt::darkGreen));
}

}  // namespace
}  // namespace vornak
