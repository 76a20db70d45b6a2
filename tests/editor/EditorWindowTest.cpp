// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <algorithm>
#include <chrono>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <csignal>

#include "CircuitCopy.h"
#include "EditorWindow.h"
#include "FuzzInputs.h"
#include "LevelDirectory.h"
#include "PictureFile.h"

namespace vornak::editor {
namespace {

using vornak::testing::LevelDirectory;
using vornak::testing::ReadBytes;

// The editor on a copy of the bundled circuit, with the game of this build.
class EditorWindowTest : public ::testing::Test {
  protected:
    EditorWindowTest() {
        QSettings(QStringLiteral("vornak"), QStringLiteral("vornak-editor")).clear();
        window = std::make_unique<EditorWindow>(Installation{VORNAK_GAME, VORNAK_CIRCUIT_DIR},
                                                level.Path());
        window->confirm = [](const QString& /*question*/) { return true; };
        window->inform = [this](const QString& message) { messages << message; };
        window->resize(1200, 900);  // room for the whole playfield at zoom 2
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::qWait(20);  // the docks take their sizes just after the window shows
    }

    // The middle of a cell of the playfield, in the view's coordinates.
    QPoint Cell(int column, int row) const {
        const int side = 16 * window->View()->Zoom();
        return {(column - 1) * side + side / 2, (row - 1) * side + side / 2};
    }
    bool Wall(int column, int row) const {
        return window->Document()
            .Content()
            .walls[static_cast<std::size_t>((row - 1) * 20 + column - 1)];
    }
    char Tile(int column, int row) const {
        return window->Document()
            .Content()
            .tiles[static_cast<std::size_t>((row - 1) * 20 + column - 1)];
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->View(), static_cast<Qt::Key>(key), modifiers);
    }

    vornak::testing::CircuitCopy level;
    std::unique_ptr<EditorWindow> window;
    QStringList messages;
};

// B sets walls with the left button and clears them with the right; a drag is one stroke, which
// Ctrl+Z takes back whole and Ctrl+Shift+Z brings back; Shift+drag fills a rectangle.
TEST_F(EditorWindowTest, WallToolPaintsStrokesAndRectangles) {
    LevelView* view = window->View();
    Key(Qt::Key_B);
    ASSERT_EQ(view->CurrentTool(), Tool::Walls);
    ASSERT_FALSE(Wall(4, 2));
    QTest::mousePress(view, Qt::LeftButton, {}, Cell(4, 2));
    QTest::mouseMove(view, Cell(6, 2));  // a quick pointer skips (5, 2)
    QTest::mouseRelease(view, Qt::LeftButton, {}, Cell(6, 2));
    EXPECT_TRUE(Wall(4, 2) && Wall(5, 2) && Wall(6, 2));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Wall(4, 2) || Wall(5, 2) || Wall(6, 2)) << "one stroke, one step";
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(Wall(4, 2) && Wall(6, 2));

    QTest::mouseClick(view, Qt::RightButton, {}, Cell(5, 2));
    EXPECT_FALSE(Wall(5, 2));

    QTest::mousePress(view, Qt::LeftButton, Qt::ShiftModifier, Cell(6, 5));
    QTest::mouseMove(view, Cell(7, 6));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::ShiftModifier, Cell(7, 6));
    EXPECT_TRUE(Wall(6, 5) && Wall(7, 5) && Wall(6, 6) && Wall(7, 6));
    EXPECT_TRUE(window->Document().IsModified());
    EXPECT_TRUE(window->windowTitle().startsWith('*'));
}

// Ctrl+Z in the middle of a drag ends the stroke first and undoes it whole; the rest of the drag
// paints nothing, and Ctrl+Shift+Z brings the stroke back.
TEST_F(EditorWindowTest, UndoDuringADragEndsTheStrokeFirst) {
    LevelView* view = window->View();
    Key(Qt::Key_B);
    QTest::mousePress(view, Qt::LeftButton, {}, Cell(4, 2));
    QTest::mouseMove(view, Cell(6, 2));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Wall(4, 2) || Wall(5, 2) || Wall(6, 2)) << "the stroke so far is undone";
    QTest::mouseMove(view, Cell(8, 2));
    QTest::mouseRelease(view, Qt::LeftButton, {}, Cell(8, 2));
    EXPECT_FALSE(Wall(7, 2) || Wall(8, 2)) << "the drag went on painting after the undo";
    EXPECT_FALSE(Wall(4, 2)) << "the release brought the undone stroke back";
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(Wall(4, 2) && Wall(5, 2) && Wall(6, 2)) << "the redo was lost";
}

// A shift pressed while a button is held ends the stroke first: undo takes back the shift alone,
// then the stroke.
TEST_F(EditorWindowTest, ACommandDuringADragIsAStepOfItsOwn) {
    LevelView* view = window->View();
    Key(Qt::Key_B);
    QTest::mousePress(view, Qt::LeftButton, {}, Cell(4, 2));
    QTest::mouseMove(view, Cell(6, 2));
    Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(Wall(5, 2) && Wall(6, 2) && Wall(7, 2)) << "the shift moved the stroke's walls";
    QTest::mouseRelease(view, Qt::LeftButton, {}, Cell(6, 2));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Wall(4, 2) && Wall(5, 2) && Wall(6, 2) && !Wall(7, 2))
        << "undo took the shift alone";
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Wall(4, 2) || Wall(5, 2) || Wall(6, 2)) << "then the stroke";
}

// Ctrl+N starts the untitled level the editor opens with when given no folder, after asking
// about unsaved changes; making a folder from the circuit is a command of its own.
TEST_F(EditorWindowTest, CtrlNStartsAnUntitledLevel) {
    LevelView* view = window->View();
    Key(Qt::Key_B);
    QTest::mouseClick(view, Qt::LeftButton, {}, Cell(4, 2));
    int asked = 0;
    window->askAboutUnsaved = [&asked] {
        ++asked;
        return EditorWindow::Unsaved::Cancel;
    };
    Key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(window->Document().IsUntitled()) << "Cancel keeps the level";
    window->askAboutUnsaved = [] { return EditorWindow::Unsaved::Discard; };
    Key(Qt::Key_S);
    QTest::mouseClick(view, Qt::LeftButton, {}, Cell(4, 2));
    Key(Qt::Key_C, Qt::ControlModifier);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(view->Pasting());
    Key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(window->Document().IsUntitled());
    EXPECT_FALSE(view->Pasting()) << "the old level's cells float over the new one";
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("New level")));
    EXPECT_FALSE(window->Document().IsModified());
    EXPECT_EQ(ReadBytes(level / "BlocksMap.txt").find('\0'), std::string::npos)
        << "nothing was written to the level left";
}

// A selection or a Shift+rectangle dragged past the grid reaches its edge.
TEST_F(EditorWindowTest, RectanglesDraggedPastTheGridReachItsEdge) {
    LevelView* view = window->View();
    Key(Qt::Key_S);
    QTest::mousePress(view, Qt::LeftButton, {}, Cell(18, 13));
    QTest::mouseMove(view, Cell(25, 19));
    QTest::mouseRelease(view, Qt::LeftButton, {}, Cell(25, 19));
    ASSERT_TRUE(view->Selection().has_value());
    EXPECT_EQ(*view->Selection(), (CellArea{17, 12, 19, 14}));
    Key(Qt::Key_B);
    QTest::mousePress(view, Qt::LeftButton, Qt::ShiftModifier, Cell(3, 3));
    QTest::mouseMove(view, QPoint(-40, -40));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::ShiftModifier, QPoint(-40, -40));
    EXPECT_TRUE(Wall(1, 1) && Wall(2, 2) && Wall(3, 3) && Wall(1, 3));
}

// A stroke ends when its button goes up, even where the view cannot see it (over a dialog):
// the pointer moving on with no button held paints nothing. A stroke under way marks the
// level modified.
TEST_F(EditorWindowTest, NothingIsPaintedWithoutAButtonHeld) {
    LevelView* view = window->View();
    Key(Qt::Key_B);
    QTest::mousePress(view, Qt::LeftButton, {}, Cell(4, 2));
    EXPECT_TRUE(Wall(4, 2));
    EXPECT_TRUE(window->windowTitle().startsWith('*')) << "modified while the stroke runs";
    QMouseEvent unheld(QEvent::MouseMove, QPointF(Cell(6, 2)),
                       view->mapToGlobal(QPointF(Cell(6, 2))), Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
    QApplication::sendEvent(view, &unheld);
    EXPECT_FALSE(Wall(6, 2)) << "painted with no button held";
    EXPECT_EQ(window->Document().UndoStack().count(), 1) << "the stroke ended as one step";
}

// T paints the selected tile with the left button and picks the tile under the pointer with the
// right; the status line names the cell under the pointer.
TEST_F(EditorWindowTest, TileToolPaintsAndPicks) {
    LevelView* view = window->View();
    Key(Qt::Key_B);
    Key(Qt::Key_T);
    ASSERT_EQ(view->CurrentTool(), Tool::Tiles);
    QTest::mouseClick(view, Qt::RightButton, {}, Cell(1, 1));
    EXPECT_EQ(view->CurrentTile(), Tile(1, 1));
    EXPECT_EQ(window->Palette()->currentItem()->text(), QString(QLatin1Char(Tile(1, 1))));
    ASSERT_NE(Tile(5, 5), Tile(1, 1));
    QTest::mouseClick(view, Qt::LeftButton, {}, Cell(5, 5));
    EXPECT_EQ(Tile(5, 5), Tile(1, 1));
    QTest::mouseMove(view, Cell(5, 4));
    EXPECT_EQ(window->StatusText(), QStringLiteral("Column 5, row 4 — tile 'b' — wall"));
}

// 1 and 2 place the cars; the arrows turn the car in hand, and only with a car tool.
TEST_F(EditorWindowTest, CarToolsPlaceAndTurnTheCars) {
    LevelView* view = window->View();
    Key(Qt::Key_Left);
    EXPECT_EQ(window->Document().Content().cars[0].heading, "down") << "no car in hand";
    Key(Qt::Key_1);
    QTest::mouseClick(view, Qt::LeftButton, {}, Cell(12, 13));
    Key(Qt::Key_Left);
    Key(Qt::Key_2);
    QTest::mouseClick(view, Qt::LeftButton, {}, Cell(12, 14));
    Key(Qt::Key_Up);
    const LevelContent& content = window->Document().Content();
    EXPECT_EQ(content.cars[0], (CarStart{12, 13, "left"}));
    EXPECT_EQ(content.cars[1], (CarStart{12, 14, "up"}));
    const QImage frame = view->grab().toImage();
    const int side = 16 * view->Zoom();
    EXPECT_NE(frame.pixelColor(11 * side + side / 2, 12 * side + side / 2),
              frame.pixelColor(11 * side + side / 2, 11 * side + side / 2 - side))
        << "car 1 shows on its new cell";
}

// Ctrl+plus and Ctrl+minus change the whole zoom; the view grows with it.
TEST_F(EditorWindowTest, ZoomKeys) {
    LevelView* view = window->View();
    ASSERT_EQ(view->Zoom(), 2);
    Key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(view->Zoom(), 3);
    EXPECT_EQ(view->size(), QSize(960, 720));
    Key(Qt::Key_Minus, Qt::ControlModifier);
    Key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(view->Zoom(), 1);
}

// A finding that would stop the game blocks Play and, clicked, selects its cell; a clean level
// plays: F5 starts the real game in a folder of its own, which goes when the game ends.
TEST_F(EditorWindowTest, FindingsBlockPlayAndPlayStartsTheGame) {
    std::filesystem::remove(level / "Tileb.bmp");
    window->CheckNow();
    EXPECT_FALSE(window->Play());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_GE(window->View()->SelectedCell(), 0) << "the error's cell is selected";
    EXPECT_EQ(window->Game(), nullptr);

    std::filesystem::copy_file(VORNAK_CIRCUIT_DIR "/Tileb.bmp", level / "Tileb.bmp");
    window->View()->SetTool(Tool::Walls);
    QTest::mouseClick(window->View(), Qt::LeftButton, {}, Cell(4, 2));  // unsaved
    ASSERT_TRUE(window->Play());
    QProcess* game = window->Game();
    ASSERT_NE(game, nullptr);
    ASSERT_TRUE(game->waitForStarted(10000));
    const std::filesystem::path folder = game->arguments().value(0).toStdString();
    EXPECT_EQ(ReadBytes(folder / "BlocksMap.txt").substr(22, 5), "#  # ")
        << "the unsaved wall is played";
    game->kill();
    EXPECT_TRUE(QTest::qWaitFor([this] { return window->Game() == nullptr; }, 10000));
    EXPECT_FALSE(std::filesystem::exists(folder));
}

// The play folder goes where the level can be written: with no runtime folder and no temporary
// folder, the level plays from ~/.cache/vornak-editor. When the game cannot start, F5 says why,
// leaves no folder behind, keeps the level, and works again the next time.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const std::filesystem::path& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value.c_str());
    }
    ~ScopedEnvironment() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

TEST(EditorPlay, FindsAPlaceWhereTheGameStarts) {
    vornak::testing::CircuitCopy level;
    LevelDirectory home;
    LevelDirectory broken;
    broken.Write("vornak", "not a program");
    const ScopedEnvironment runtime("XDG_RUNTIME_DIR", level / "no-runtime");
    const ScopedEnvironment temporary("TMPDIR", level / "no-tmp");
    const ScopedEnvironment homeFolder("HOME", home.Path());
    {
        QStringList messages;
        EditorWindow window(Installation{VORNAK_GAME, VORNAK_CIRCUIT_DIR}, level.Path());
        window.inform = [&messages](const QString& message) { messages << message; };
        ASSERT_TRUE(window.Play()) << messages.join('\n').toStdString();
        EXPECT_EQ(
            std::filesystem::path(window.Game()->arguments().value(0).toStdString()).parent_path(),
            home / ".cache/vornak-editor");
        window.Game()->kill();
        EXPECT_TRUE(QTest::qWaitFor([&window] { return window.Game() == nullptr; }, 10000));

        // A game that cannot run, such as a broken installation.
        EditorWindow stuck(Installation{broken / "vornak", VORNAK_CIRCUIT_DIR}, level.Path());
        stuck.inform = [&messages](const QString& message) { messages << message; };
        messages.clear();
        EXPECT_FALSE(stuck.Play());
        EXPECT_FALSE(stuck.Play());
        ASSERT_EQ(messages.size(), 2);
        EXPECT_TRUE(messages[1].startsWith("The game cannot be started"))
            << messages[1].toStdString();
        EXPECT_TRUE(std::filesystem::is_empty(home / ".cache/vornak-editor"));
    }
}

// At start, the editor removes the play folders that killed editors left: their lock is free,
// or they never got their name. A folder whose lock is held, one made in the last minute whatever
// its lock says (another editor may be between its steps), and a link are left alone. Checking a
// level needs no folder at all: it works with no temporary folder anywhere.
TEST(EditorPlay, LeftoverPlayFoldersGoAndCheckingNeedsNoFolder) {
    vornak::testing::CircuitCopy level;
    LevelDirectory temporary;
    const ScopedEnvironment runtime("XDG_RUNTIME_DIR", temporary / "none");
    const ScopedEnvironment noTemporary("TMPDIR", temporary.Path());
    const ScopedEnvironment home("HOME", temporary / "none");
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* name :
         {"vornak-play-left", "vornak-play-held", "vornak-play-young", ".vornak-making-left"}) {
        std::filesystem::create_directories(temporary / name / "inside");
        temporary.Write(std::string(name) + "/.lock", PlayFolder::MarkerOf(temporary / name));
        if (std::string(name) != "vornak-play-young") {
            std::filesystem::last_write_time(temporary / name, old);
        }
    }
    // A level maker's copy (cp -a keeps the marker) and a folder renamed by hand are theirs.
    ASSERT_EQ(std::system(("cp -a " + (temporary / "vornak-play-left").string() + " " +
                           (temporary / "vornak-play-copy").string())
                              .c_str()),
              0);
    std::filesystem::create_directories(temporary / "vornak-play-was/inside");
    temporary.Write("vornak-play-was/.lock", PlayFolder::MarkerOf(temporary / "vornak-play-was"));
    std::filesystem::rename(temporary / "vornak-play-was", temporary / "vornak-play-mine");
    std::filesystem::last_write_time(temporary / "vornak-play-copy", old);
    std::filesystem::last_write_time(temporary / "vornak-play-mine", old);
    std::filesystem::create_directory_symlink(temporary / "vornak-play-left",
                                              temporary / "vornak-play-link");
    const int held = ::open((temporary / "vornak-play-held/.lock").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    {
        EditorWindow window(Installation{VORNAK_GAME, VORNAK_CIRCUIT_DIR}, level.Path());
        EXPECT_FALSE(std::filesystem::exists(temporary / "vornak-play-left"));
        EXPECT_FALSE(std::filesystem::exists(temporary / ".vornak-making-left"));
        EXPECT_TRUE(std::filesystem::exists(temporary / "vornak-play-held/inside"));
        EXPECT_TRUE(std::filesystem::exists(temporary / "vornak-play-young/inside"));
        EXPECT_TRUE(std::filesystem::is_symlink(temporary / "vornak-play-link"));
        EXPECT_TRUE(std::filesystem::exists(temporary / "vornak-play-copy/inside"));
        EXPECT_TRUE(std::filesystem::exists(temporary / "vornak-play-mine/inside"));

        const ScopedEnvironment gone("TMPDIR", temporary / "none");
        window.Document().SetTile(0, 'z');
        window.CheckNow();
        ASSERT_FALSE(window.Diagnostics().empty());
        EXPECT_NE(window.Diagnostics()[0].message.find("Tilez.bmp"), std::string::npos)
            << window.Diagnostics()[0].message;
    }
    ::close(held);
}

// New from the circuit makes a new level folder from the bundled circuit. A tile and a car imported
// from ordinary pictures show at once and are edits like any other: Ctrl+Z takes them back, nothing
// on disk changes until Ctrl+S, which writes pictures that the game reads.
TEST_F(EditorWindowTest, ImportsAreEditsWrittenOnSave) {
    LevelDirectory parent;
    const std::filesystem::path made = parent / "my level";
    window->chooseNewFolder = [&made](const QString& /*title*/, const QString& /*start*/) {
        return QString::fromStdString(made.string());
    };
    window->NewFromCircuit();
    ASSERT_EQ(window->Document().Folder(), made);
    EXPECT_EQ(ReadBytes(made / "BlocksMap.txt"), ReadBytes(level / "BlocksMap.txt"));

    QImage photo(32, 32, QImage::Format_RGB32);
    photo.fill(Qt::cyan);
    photo.save(QString::fromStdString((parent / "photo.png").string()));
    QImage car(16, 16, QImage::Format_RGB32);
    car.fill(Qt::magenta);
    for (int x = 2; x < 14; ++x) {
        car.setPixelColor(x, 8, Qt::red);
    }
    car.save(QString::fromStdString((parent / "car.png").string()));
    std::string picture = "photo.png";
    window->choosePicture = [&](const QString& /*title*/, const QString& /*filter*/) {
        return QString::fromStdString((parent / picture).string());
    };
    window->chooseItem = [](const QString& /*question*/, const QStringList& items) {
        return items.front();
    };
    // The picker offers a letter no tile uses, in either case, and shows those in use.
    QStringList offered;
    window->chooseCharacter = [&offered](const QString& /*question*/, const QString& suggested,
                                         const QString& used) {
        offered << suggested << used;
        return QStringLiteral("x");
    };
    window->ImportTile();
    EXPECT_EQ(offered, (QStringList{"a", ".^bgstv"}));
    EXPECT_EQ(window->Palette()->currentItem()->text(), "x");
    EXPECT_EQ(window->View()->CurrentTile(), 'x');
    EXPECT_EQ(window->View()->TilePicture('x').pixelColor(3, 3), QColor(Qt::cyan));
    EXPECT_FALSE(std::filesystem::exists(made / "Tilex.bmp")) << "written before the save";
    int kept = 0;  // an import is kept for a crash at once, outside the level
    for (const auto& entry : std::filesystem::directory_iterator(Recovery::Place())) {
        kept += std::filesystem::exists(entry.path() / "snapshot/Tilex.bmp") ? 1 : 0;
    }
    EXPECT_EQ(kept, 1);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(window->View()->TilePicture('x').isNull()) << "undo takes the import back";
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);

    picture = "car.png";
    window->chooseColour = [](QColor initial, const QString& /*title*/) { return initial; };
    QStringList questions;
    window->confirm = [&questions](const QString& question) {
        questions << question;
        return true;
    };
    window->ImportCar();
    ASSERT_EQ(questions.size(), 1) << "asked before replacing the car's pictures";
    EXPECT_TRUE(questions[0].contains("Car1up.gif"));
    const std::string oldCar = ReadBytes(made / "Car1up.gif");
    EXPECT_EQ(ReadBytes(made / "Car1up.gif"), oldCar);
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(LoadPicture(made / "Tilex.bmp", "bmp").pixelColor(3, 3), QColor(Qt::cyan));
    const QImage up = LoadPicture(made / "Car1up.gif", "gif");
    EXPECT_EQ(qAlpha(up.pixel(0, 0)), 0) << "the colour around the car shows the road";
    EXPECT_EQ(up.pixelColor(8, 5), QColor(Qt::red)) << "the car is turned to face up";
    EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
}

// Work done on the level's files in another program, and another level's pictures in a folder it
// is saved into, go only after a question that names them; a new level from the circuit that
// cannot copy a file says which, and leaves no level behind.
TEST_F(EditorWindowTest, SavingAsksBeforeReplacingWorkDoneElsewhere) {
    QStringList questions;
    bool answer = false;
    window->confirm = [&](const QString& question) {
        questions << question;
        return answer;
    };
    window->View()->SetTool(Tool::Walls);
    QTest::mouseClick(window->View(), Qt::LeftButton, {}, Cell(4, 2));
    const std::string edited = level.Read("BlocksMap.txt") + "# by hand";
    level.Write("BlocksMap.txt", edited);
    EXPECT_FALSE(window->Save());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("\nBlocksMap.txt: changed on disk"))
        << questions[0].toStdString();
    EXPECT_EQ(level.Read("BlocksMap.txt"), edited);

    // The folder chooser starts beside the level in hand, and later where it was last used.
    LevelDirectory other;
    std::filesystem::create_directory(other / "saved");
    other.Write("saved/Tileb.bmp", "my own wall");
    QStringList starts;
    window->chooseNewFolder = [&other, &starts](const QString& /*title*/, const QString& start) {
        starts << start;
        return QString::fromStdString((other / "saved").string());
    };
    Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[1].contains("\nTileb.bmp: is there already"))
        << questions[1].toStdString();
    EXPECT_EQ(other.Read("saved/Tileb.bmp"), "my own wall");
    EditorWindow untitled(Installation{VORNAK_GAME, VORNAK_CIRCUIT_DIR}, {});
    untitled.chooseNewFolder = window->chooseNewFolder;
    untitled.confirm = [](const QString& /*question*/) { return false; };
    untitled.Save();
    EXPECT_EQ(starts, (QStringList{QString::fromStdString(level.Path().parent_path().string()),
                                   QString::fromStdString(other.Path().string())}));
    answer = true;
    EXPECT_TRUE(window->Save());
    EXPECT_EQ(ReadBytes(level / "BlocksMap.txt").substr(22, 5), "#  # ");

    // A file that not even root can read: a kernel attribute that can only be written.
    const std::filesystem::path unreadable = "/sys/bus/platform/uevent";
    if (!std::filesystem::is_regular_file(unreadable)) {
        GTEST_SKIP() << "no " << unreadable << " on this system";
    }
    vornak::testing::CircuitCopy circuit;
    std::filesystem::remove(circuit / "Car1up.gif");
    std::filesystem::create_symlink(unreadable, circuit / "Car1up.gif");
    EditorWindow fromBroken(Installation{VORNAK_GAME, circuit.Path()}, level.Path());
    fromBroken.inform = [this](const QString& message) { messages << message; };
    fromBroken.chooseNewFolder = [&other](const QString& /*title*/, const QString& /*start*/) {
        return QString::fromStdString((other / "new").string());
    };
    fromBroken.NewFromCircuit();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("cannot copy Car1up.gif")) << messages[0].toStdString();
    EXPECT_FALSE(std::filesystem::exists(other / "new"));
    EXPECT_EQ(fromBroken.Document().Folder(), level.Path());
}

// A row of BlocksMap.txt that lost a space shifts every later wall, and the checker names each
// wall that no longer fits its tile. The editor shows each of those once, as the checker prints
// it, and clicking one selects the cell the game fills from that place in the file.
TEST_F(EditorWindowTest, FindingsOfTheSavedFilesShowOnce) {
    std::string blocks = level.Read("BlocksMap.txt");
    blocks.erase(23, 1);  // row 2 is one cell short
    level.Write("BlocksMap.txt", blocks);
    window =
        std::make_unique<EditorWindow>(Installation{VORNAK_GAME, VORNAK_CIRCUIT_DIR}, level.Path());
    window->CheckNow();
    const std::vector<Diagnostic> checker = CheckLevel(level.Path());
    ASSERT_GT(checker.size(), 10U);
    const auto printed = [](std::vector<Diagnostic> findings) {
        std::vector<std::string> lines;
        for (Diagnostic& finding : findings) {
            finding.file = finding.file.filename();
            if (finding.message.rfind("in the saved file: ", 0) == 0) {
                finding.message.erase(0, 19);
            }
            lines.push_back(FormatDiagnostic(finding));
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    EXPECT_EQ(printed(window->Diagnostics()), printed(checker));
    // Line 3, column 2 of the file is the game's cell (1, 3), since row 2 is one cell short.
    const auto second = std::find_if(
        window->Diagnostics().begin(), window->Diagnostics().end(),
        [](const Diagnostic& finding) { return finding.line == 3 && finding.column == 2; });
    ASSERT_NE(second, window->Diagnostics().end());
    const int row = static_cast<int>(second - window->Diagnostics().begin()) +
                    static_cast<int>(window->Document().Rewrites().size());
    window->Findings()->setCurrentRow(row);
    EXPECT_EQ(window->View()->SelectedCell(), 2 * 20);
}

// A folder whose name is not UTF-8 (Latin-1 "café" here) still takes an imported tile on save.
TEST_F(EditorWindowTest, TileImportInAFolderWhoseNameIsNotUtf8) {
    const std::filesystem::path latin1 = level / "caf\xe9";
    std::filesystem::create_directory(latin1);
    for (const auto& entry : std::filesystem::directory_iterator(VORNAK_CIRCUIT_DIR)) {
        std::filesystem::copy_file(entry.path(), latin1 / entry.path().filename());
    }
    window = std::make_unique<EditorWindow>(Installation{VORNAK_GAME, VORNAK_CIRCUIT_DIR}, latin1);
    window->inform = [this](const QString& message) { messages << message; };
    QImage photo(16, 16, QImage::Format_RGB32);
    photo.fill(Qt::cyan);
    photo.save(QString::fromStdString((level / "photo.png").string()));
    window->choosePicture = [this](const QString& /*title*/, const QString& /*filter*/) {
        return QString::fromStdString((level / "photo.png").string());
    };
    window->chooseCharacter = [](const QString& /*question*/, const QString& /*suggested*/,
                                 const QString& /*used*/) { return QStringLiteral("x"); };
    window->ImportTile();
    ASSERT_TRUE(window->Save()) << messages.join('\n').toStdString();
    EXPECT_EQ(LoadPicture(latin1 / "Tilex.bmp", "bmp").pixelColor(3, 3), QColor(Qt::cyan));
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

// Every tool has its key; H hides the walls and W no longer does. S selects by dragging; Ctrl+C
// and Ctrl+V float a copy that a left click puts down, Escape drops a paste, Delete clears, and
// each is one undo step. Ctrl+Shift+arrow shifts the selection, or the level when there is none.
// The status line follows each edit.
TEST_F(EditorWindowTest, ToolKeysSelectionsAndShifts) {
    LevelView* view = window->View();
    const std::pair<Qt::Key, Tool> keys[] = {{Qt::Key_F, Tool::Fill},   {Qt::Key_B, Tool::Walls},
                                             {Qt::Key_S, Tool::Select}, {Qt::Key_1, Tool::Car1},
                                             {Qt::Key_2, Tool::Car2},   {Qt::Key_T, Tool::Tiles}};
    for (const auto& [key, tool] : keys) {
        Key(key);
        EXPECT_EQ(view->CurrentTool(), tool) << QKeySequence(key).toString().toStdString();
    }
    Key(Qt::Key_W);
    EXPECT_TRUE(view->WallsShown());
    Key(Qt::Key_H);
    EXPECT_FALSE(view->WallsShown());
    Key(Qt::Key_G);
    EXPECT_TRUE(view->GridShown());

    // The top-left corner of the circuit (grass, tyres, walls all round) onto open road.
    Key(Qt::Key_S);
    QTest::mousePress(view, Qt::LeftButton, {}, Cell(1, 1));
    QTest::mouseMove(view, Cell(2, 2));
    QTest::mouseRelease(view, Qt::LeftButton, {}, Cell(2, 2));
    Key(Qt::Key_C, Qt::ControlModifier);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(view->Pasting());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(view->Pasting());
    EXPECT_TRUE(view->Selection().has_value()) << "Escape drops the paste first";
    Key(Qt::Key_V, Qt::ControlModifier);
    Key(Qt::Key_B);
    EXPECT_FALSE(view->Pasting()) << "another tool drops the paste";
    Key(Qt::Key_S);
    Key(Qt::Key_V, Qt::ControlModifier);
    QTest::mouseMove(view, Cell(6, 13));
    QTest::mouseClick(view, Qt::LeftButton, {}, Cell(6, 13));
    EXPECT_EQ(Tile(6, 13), Tile(1, 1));
    EXPECT_EQ(Tile(7, 14), Tile(2, 2));
    EXPECT_TRUE(Wall(6, 13) && Wall(7, 13) && Wall(6, 14) && !Wall(7, 14));
    EXPECT_EQ(window->StatusText(), QStringLiteral("Column 6, row 13 — tile 't' — wall"))
        << "the status line follows the edit";
    EXPECT_EQ(window->Document().UndoStack().count(), 1);
    Key(Qt::Key_Delete);
    EXPECT_FALSE(Wall(1, 1) || Wall(2, 2));
    EXPECT_EQ(Tile(1, 1), '.') << "road is what most free cells show";
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Wall(6, 13)) << "the paste was one step";
    EXPECT_TRUE(Wall(1, 1));

    // With a selection, Ctrl+Shift+arrow shifts it alone, round within it; without, the level.
    ASSERT_EQ(view->Selection(), (CellArea{0, 0, 1, 1}));
    window->Document().SetTile(0, 'b');
    const char below = Tile(1, 3);
    Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Tile(2, 1), 'b');
    EXPECT_EQ(Tile(1, 3), below);
    EXPECT_EQ(view->Selection(), (CellArea{0, 0, 1, 1}));
    Key(Qt::Key_Escape);
    ASSERT_FALSE(view->Selection().has_value());
    const char corner = Tile(20, 15);
    Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Tile(1, 15), corner);
    EXPECT_EQ(window->Document().Content().cars[0].column, 3);
    Key(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Tile(20, 15), corner);

    messages.clear();
    Key(Qt::Key_F1);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("Ctrl+Shift+arrow"));
}

// Painting a tile gives the cell the wall state that tile has in the level, for a whole stroke
// and for a fill alike, unless the level maker turns that off.
TEST_F(EditorWindowTest, WallsFollowTiles) {
    LevelView* view = window->View();
    view->SetTile('b');
    QTest::mousePress(view, Qt::LeftButton, {}, Cell(4, 2));
    QTest::mouseMove(view, Cell(5, 2));
    QTest::mouseRelease(view, Qt::LeftButton, {}, Cell(5, 2));
    EXPECT_TRUE(Wall(4, 2) && Wall(5, 2)) << "tyres are a wall";
    view->SetTile('.');
    Key(Qt::Key_F);
    QTest::mouseClick(view, Qt::LeftButton, {}, Cell(4, 2));
    EXPECT_EQ(Tile(5, 2), '.');
    EXPECT_FALSE(Wall(4, 2) || Wall(5, 2)) << "road is open";
    window->Document().SetWallsFollowTiles(false);
    Key(Qt::Key_T);
    view->SetTile('b');
    QTest::mouseClick(view, Qt::LeftButton, {}, Cell(4, 2));
    EXPECT_EQ(Tile(4, 2), 'b');
    EXPECT_FALSE(Wall(4, 2));

    // A new level of road alone takes the kind of tyres from the bundled circuit.
    window = std::make_unique<EditorWindow>(Installation{VORNAK_GAME, VORNAK_CIRCUIT_DIR},
                                            std::filesystem::path());
    window->View()->SetTile('b');
    QTest::mouseClick(window->View(), Qt::LeftButton, {}, Cell(4, 2));
    EXPECT_TRUE(Wall(4, 2));
}

// The zoom, the walls and grid shown, and the recent levels outlive the window; Save as makes
// the folder it is given.
TEST_F(EditorWindowTest, RemembersZoomAndRecentLevelsAndSaveAsMakesItsFolder) {
    Key(Qt::Key_Plus, Qt::ControlModifier);
    Key(Qt::Key_H);
    Key(Qt::Key_G);
    LevelDirectory parent;
    const std::filesystem::path made = parent / "new" / "level";
    window->chooseNewFolder = [&made](const QString& /*title*/, const QString& /*start*/) {
        return QString::fromStdString(made.string());
    };
    Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(window->Document().Folder(), made);
    EXPECT_EQ(ReadBytes(made / "TilesMap.txt"), ReadBytes(level / "TilesMap.txt"));
    EXPECT_TRUE(window->close());
    window = std::make_unique<EditorWindow>(Installation{VORNAK_GAME, VORNAK_CIRCUIT_DIR},
                                            std::filesystem::path());
    EXPECT_EQ(window->View()->Zoom(), 3);
    EXPECT_FALSE(window->View()->WallsShown());
    EXPECT_TRUE(window->View()->GridShown());
    for (QAction* action : window->findChildren<QAction*>()) {
        if (action->text() == "Show &walls" || action->text() == "Show &grid") {
            EXPECT_EQ(action->isChecked(), action->text() == "Show &grid")
                << "the menu's check and the view agree";
        }
    }
    const auto recent = [this] {
        QList<QAction*> actions;
        for (QMenu* menu : window->findChildren<QMenu*>()) {
            if (menu->title() == "Open &Recent") {
                actions = menu->actions();
            }
        }
        return actions;
    };
    ASSERT_EQ(recent().size(), 2);
    EXPECT_EQ(recent()[0]->text(), QString::fromStdString(made.string()));
    EXPECT_EQ(recent()[1]->text(), QString::fromStdString(level.Path().string()));

    // A recent level removed since is said to be gone, and leaves the list.
    window->inform = [this](const QString& message) { messages << message; };
    std::filesystem::remove_all(made);
    recent()[0]->trigger();
    EXPECT_TRUE(window->Document().IsUntitled());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].endsWith("is no longer there."));
    EXPECT_EQ(recent().size(), 1);
}

// What the checker says of the files on disk shows even where the editor's reading hides it (a
// 301st tile is dropped); F5 plays the level as it stands all the same, and a save that changes
// the file asks.
TEST_F(EditorWindowTest, ErrorsInTheSavedFilesShowButTheLevelAsItStandsPlays) {
    level.Write("TilesMap.txt", ReadBytes(level / "TilesMap.txt") + "g");
    window =
        std::make_unique<EditorWindow>(Installation{VORNAK_GAME, VORNAK_CIRCUIT_DIR}, level.Path());
    window->inform = [this](const QString& message) { messages << message; };
    QStringList questions;
    window->confirm = [&questions](const QString& question) {
        questions << question;
        return true;
    };
    window->CheckNow();
    QStringList findings;
    for (int row = 0; row < window->Findings()->count(); ++row) {
        findings << window->Findings()->item(row)->text();
    }
    EXPECT_TRUE(findings.join('\n').contains(
        "TilesMap.txt:16:1: error: in the saved file: tile character 301 is one too many"))
        << findings.join('\n').toStdString();
    ASSERT_TRUE(window->Play()) << messages.join('\n').toStdString();
    window->Game()->kill();
    EXPECT_TRUE(QTest::qWaitFor([this] { return window->Game() == nullptr; }, 10000));
    ASSERT_TRUE(window->Save());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("TilesMap.txt cannot be read by the game"));
}

// The question names what another program changed; what it writes while the question is open
// is not lost, but asked about in its turn. Save As into another folder asks nothing about
// rewriting this folder's files, and lets the maker keep or remove another level's files there.
TEST_F(EditorWindowTest, TheSaveQuestionKeepsUpWithTheDisk) {
    std::string blocks = ReadBytes(level / "BlocksMap.txt");
    blocks.erase(std::remove(blocks.begin(), blocks.end(), '\r'), blocks.end());  // LF ends
    level.Write("BlocksMap.txt", blocks);
    QStringList questions;
    const auto openAgain = [&] {
        window = std::make_unique<EditorWindow>(Installation{VORNAK_GAME, VORNAK_CIRCUIT_DIR},
                                                level.Path());
        window->resize(1200, 900);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->inform = [this](const QString& message) { messages << message; };
        window->confirm = [&questions](const QString& question) {
            questions << question;
            return true;
        };
        EXPECT_FALSE(window->Document().IsModified());
        window->View()->SetTool(Tool::Walls);
        QTest::mouseClick(window->View(), Qt::LeftButton, {}, Cell(4, 2));
    };
    openAgain();
    LevelDirectory other;
    other.Write("Tileq.bmp", "another level's tile");
    window->chooseNewFolder = [&other](const QString& /*title*/, const QString& /*start*/) {
        return QString::fromStdString(other.Path().string());
    };
    QStringList choices;
    window->choose = [&choices](const QString& question, const QStringList& answers) {
        choices << question;
        return static_cast<int>(answers.indexOf("Remove them"));
    };
    Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(questions.isEmpty()) << questions.join("\n---\n").toStdString();
    ASSERT_EQ(choices.size(), 1);
    EXPECT_TRUE(choices[0].contains("\nTileq.bmp")) << choices[0].toStdString();
    EXPECT_FALSE(std::filesystem::exists(other / "Tileq.bmp"));
    EXPECT_EQ(window->Document().Folder(), other.Path());
    EXPECT_EQ(level.Read("BlocksMap.txt"), blocks);

    openAgain();
    window->confirm = [&](const QString& question) {
        questions << question;
        if (questions.size() == 2) {
            level.Write("Cars.txt", "written while the question was open");
        }
        return questions.size() < 3;
    };
    level.Write("TilesMap.txt", level.Read("TilesMap.txt") + "x");
    EXPECT_FALSE(window->Save());
    ASSERT_EQ(questions.size(), 3) << questions.join("\n---\n").toStdString();
    EXPECT_TRUE(questions[0].contains("BlocksMap.txt is not written as the editor writes it"));
    EXPECT_TRUE(questions[1].contains("TilesMap.txt: changed"));
    EXPECT_FALSE(questions[1].contains("Cars.txt"));
    EXPECT_TRUE(questions[2].contains("Cars.txt: changed")) << questions[2].toStdString();
    EXPECT_EQ(level.Read("Cars.txt"), "written while the question was open");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("Cars.txt changed on disk while the level was being saved"));
}

// A game that crashes says so; closing the editor while its game runs asks first, and a game
// left running keeps its folder.
TEST_F(EditorWindowTest, TheGamesEndIsReportedAndClosingAsksAboutIt) {
    ASSERT_TRUE(window->Play());
    ::kill(static_cast<pid_t>(window->Game()->processId()), SIGSEGV);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->Game() == nullptr; }, 10000));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("signal 11")) << messages[0].toStdString();

    ASSERT_TRUE(window->Play());
    const qint64 game = window->Game()->processId();
    const std::filesystem::path folder = window->Game()->arguments().value(0).toStdString();
    int answer = -1;
    window->choose = [&answer](const QString& question, const QStringList& /*answers*/) {
        EXPECT_TRUE(question.contains("still playing"));
        return answer;
    };
    EXPECT_FALSE(window->close()) << "Cancel keeps the editor";
    answer = 1;
    EXPECT_TRUE(window->close());
    window.reset();
    QTest::qWait(100);
    EXPECT_EQ(::kill(static_cast<pid_t>(game), 0), 0) << "the game left running still runs";
    EXPECT_TRUE(std::filesystem::exists(folder / "Cars.txt"));
    ::kill(static_cast<pid_t>(game), SIGKILL);
}

// Tool icons are drawn at the size shown, each on transparency: the select tool's frame is
// empty inside, however many icons were drawn before it.
TEST(ToolIcons, AreDrawnOnTransparency) {
    for (const int side : {24, 48}) {
        for (const Tool tool : {Tool::Walls, Tool::Car1, Tool::Fill}) {
            EXPECT_EQ(qAlpha(ToolIcon(tool).pixmap(side).toImage().pixel(side / 2, side / 2)), 255);
        }
        const QImage select = ToolIcon(Tool::Select).pixmap(side).toImage();
        EXPECT_EQ(qAlpha(select.pixel(side / 2, side / 2)), 0) << side;
        EXPECT_EQ(qAlpha(select.pixel(side / 8, side / 2)), 255) << side;
    }
}

// Closing with unsaved changes asks first: Cancel keeps the window, Save saves and closes.
TEST_F(EditorWindowTest, ClosingWithUnsavedChangesAsks) {
    int asked = 0;
    EditorWindow::Unsaved answer = EditorWindow::Unsaved::Cancel;
    window->askAboutUnsaved = [&] {
        ++asked;
        return answer;
    };
    window->View()->SetTool(Tool::Walls);
    QTest::mouseClick(window->View(), Qt::LeftButton, {}, Cell(4, 2));
    EXPECT_FALSE(window->close());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(window->isVisible());
    answer = EditorWindow::Unsaved::Save;
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ReadBytes(level / "BlocksMap.txt").substr(22, 5), "#  # ");
}

// When the game stops with a failure, the editor shows the game's message.
TEST(EditorPlay, ShowsTheGamesFailure) {
    LevelDirectory game;
    game.Write("vornak", "#!/bin/sh\necho 'Vornak: Car1up.gif is missing' >&2\nexit 1\n");
    std::filesystem::permissions(game / "vornak", std::filesystem::perms::owner_all);
    EditorWindow window(Installation{game / "vornak", VORNAK_CIRCUIT_DIR}, VORNAK_CIRCUIT_DIR);
    QStringList messages;
    window.inform = [&messages](const QString& message) { messages << message; };
    ASSERT_TRUE(window.Play());
    ASSERT_TRUE(QTest::qWaitFor([&window] { return window.Game() == nullptr; }, 10000));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "The game stopped:\n\nCar1up.gif is missing");
}

// An editor that ended without saving leaves its level outside the level's folder, and the next
// editor offers it, with the level's name, as one step to undo; another program's change to an
// open level shows in the status line within a second.
TEST_F(EditorWindowTest, UnsavedWorkOutlivesACrashAndChangesElsewhereShowAtOnce) {
    LevelDirectory state;
    const ScopedEnvironment stateHome("XDG_STATE_HOME", state.Path());
    const std::string cars = level.Read("Cars.txt");
    level.Write("Cars.txt", "changed elsewhere");
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return window->DiskStatusText().contains("Cars.txt"); }, 1000));
    level.Write("Cars.txt", cars);
    EXPECT_TRUE(QTest::qWaitFor([this] { return window->DiskStatusText().isEmpty(); }, 1000));

    {
        LevelDocument crashed;
        crashed.Open(level.Path());
        crashed.SetWall(21, true);
        ASSERT_EQ(crashed.AddPictures({{"Tilex.bmp", "imported"}}, "Import"), "");
        Recovery kept;  // ends without a discard, as a crash leaves it
        ASSERT_EQ(kept.Keep(crashed), "");
        EXPECT_TRUE(Recovery::LeftBehind().empty()) << "held while its editor runs";
    }
    ASSERT_EQ(Recovery::LeftBehind().size(), 1U);
    QString offered;
    window->choose = [&offered](const QString& question, const QStringList& /*answers*/) {
        offered = question;
        return 0;
    };
    window->OfferRecovery();
    EXPECT_TRUE(offered.contains(QString::fromStdString(level.Path().string())))
        << offered.toStdString();
    EXPECT_TRUE(Wall(2, 2));
    EXPECT_EQ(window->Document().HeldPictures().at("Tilex.bmp"), "imported");
    EXPECT_TRUE(Recovery::LeftBehind().empty()) << "now this editor's own";
    window->Document().UndoStack().undo();
    EXPECT_FALSE(Wall(2, 2));
    EXPECT_EQ(window->Document().HeldPictures().at("Tilex.bmp"), std::nullopt);
    window->Document().UndoStack().redo();
    ASSERT_TRUE(window->Save());
    EXPECT_TRUE(std::filesystem::is_empty(Recovery::Place())) << "a save leaves nothing to recover";
    EXPECT_EQ(level.Read("Tilex.bmp"), "imported");
}

}  // namespace
}  // namespace vornak::editor
