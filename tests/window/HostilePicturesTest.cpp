// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <fstream>
#include <string>
#include <tuple>

#include "FuzzInputs.h"
#include "GameError.h"
#include "PictureFile.h"
#include "WindowTestLevel.h"
#include "frmGame.h"

namespace vornak {
namespace {

using testing::TestData;
using testing::WindowTestLevel;

long PeakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Pictures that lie about what they are fail with the file's name, and a header that claims
// a huge picture never makes the game reserve memory for it.
TEST(HostilePictures, FailWithTheFileNameAndWithoutBigAllocations) {
    const long peakBefore = PeakResidentKilobytes();
    struct Case {
        const char* file;
        const char* format;
    };
    for (const Case& lie :
         {Case{"truncated.bmp", "bmp"}, Case{"truncated.gif", "gif"}, Case{"empty.bmp", "bmp"},
          Case{"empty.gif", "gif"}, Case{"text.gif", "gif"}, Case{"png.bmp", "bmp"},
          Case{"huge.bmp", "bmp"}, Case{"huge.gif", "gif"}, Case{"no-such-file.gif", "gif"}}) {
        SCOPED_TRACE(lie.file);
        const std::filesystem::path file = TestData / "lies" / lie.file;
        try {
            LoadPicture(file, lie.format);
            ADD_FAILURE() << "the picture loaded";
        } catch (const GameError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(file.string() + " ", 0), 0U) << error.what();
        }
    }
    EXPECT_LT(PeakResidentKilobytes() - peakBefore, 100 * 1024) << "kilobytes more at peak";
}

// A picture that is a pipe or a device fails at once: the pipe must not block the open, and
// /dev/zero must not be read until the size limit.
TEST(HostilePictures, PipesAndDevicesAreRefused) {
    WindowTestLevel level;
    ASSERT_EQ(mkfifo((level / "Tilep.bmp").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", level / "Car1up.gif");
    for (const auto& [name, format, kind] : {std::tuple{"Tilep.bmp", "bmp", "a named pipe"},
                                             std::tuple{"Car1up.gif", "gif", "a device"}}) {
        try {
            LoadPicture(level / name, format);
            ADD_FAILURE() << name << " loaded";
        } catch (const GameError& error) {
            EXPECT_EQ(error.Reason(),
                      std::string("is ") + kind + ", not a file the game can read as a picture");
        }
    }
}

// Every picture input the fuzzer was seeded with or ever broke the game with loads or fails
// cleanly, as a tile and as a car.
TEST(HostilePictures, FuzzSeedsAndFindingsLoadOrFailCleanly) {
    const auto inputs = testing::FuzzInputs({"corpus/picture", "regressions/picture"});
    for (const std::filesystem::path& input : inputs) {
        for (const char* format : {"bmp", "gif"}) {
            SCOPED_TRACE(input.string() + " as " + format);
            try {
                LoadPicture(input, format);
            } catch (const GameError&) {
            }
        }
    }
    EXPECT_GE(inputs.size(), 5U);
}

// A picture that is neither 16 x 16 nor broken still loads: the design draws it at its size.
TEST(HostilePictures, OddSizedPicturesStillLoad) {
    WindowTestLevel level;
    level.WriteTile('w', Qt::red, 40);
    EXPECT_EQ(LoadPicture(level / "Tilew.bmp", "bmp").size(), QSize(40, 40));
}

// A storm of keys, repeats, clicks and ticks at the real window leaves it working, with the
// keys still steering.
TEST(WindowStorm, RandomInputNeverBreaksTheWindow) {
    WindowTestLevel level;
    level.WriteTile('g', Qt::gray);
    level.Write("TilesMap.txt", std::string(300, 'g'));
    level.Write("BlocksMap.txt",
                "####################\r\n#  #          #    #\r\n# ## #   #  ##   ##");
    level.Write("Cars.txt", "2\r\n2\r\nright\r\n19\r\n2\r\nleft\r\n");
    for (const char* heading : {"up", "down", "left", "right"}) {
        level.CopyCar("red16.gif", std::string("Car1") + heading + ".gif");
        level.CopyCar("blue16.gif", std::string("Car2") + heading + ".gif");
    }
    frmGame window(level.Path());
    QStringList failures;
    window.SetFailureReporter([&failures](const QString& message) { failures << message; });
    ASSERT_TRUE(window.Form_Load());
    window.ShowCentred();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    const quint32 seed = QRandomGenerator::global()->generate();
    SCOPED_TRACE("seed " + std::to_string(seed));
    QRandomGenerator random(seed);
    const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right,  Qt::Key_Up, Qt::Key_Down,  Qt::Key_W,
                            Qt::Key_A,    Qt::Key_S,      Qt::Key_D,  Qt::Key_Space, Qt::Key_Return,
                            Qt::Key_Tab,  Qt::Key_Escape, Qt::Key_Q};
    for (int event = 0; event < 10000; ++event) {
        const quint32 choice = random.bounded(100U);
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        if (choice < 70) {
            const Qt::Key key = keys[random.bounded(static_cast<quint32>(std::size(keys)))];
            QTest::sendKeyEvent(QTest::KeyAction::Press, target, key, QString(), Qt::NoModifier);
            if (random.bounded(4U) == 0) {
                QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
                QCoreApplication::sendEvent(target, &repeat);
            }
            QTest::sendKeyEvent(QTest::KeyAction::Release, target, key, QString(), Qt::NoModifier);
        } else if (choice < 75) {
            QTest::mouseClick(window.cmdRun(), Qt::LeftButton);
        } else {
            window.tmrMainLoop_Timer();
        }
        if (event % 500 == 0) {
            QCoreApplication::processEvents();
        }
    }
    EXPECT_TRUE(failures.isEmpty()) << failures.join("\n").toStdString();
    QTest::mouseClick(window.cmdRun(), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), window.picKeyReceiver());
}

}  // namespace
}  // namespace vornak
