#include <gtest/gtest.h>

#include <QListWidget>
#include <QProcess>
#include <QTest>

#include "EditorWindow.h"
#include "FuzzInputs.h"
#include "LevelDirectory.h"

namespace vornak::editor {
namespace {

using vornak::testing::LevelDirectory;

// The editor on a copy of the bundled circuit, with the game of this build.
class EditorWindowTest : public ::testing::Test {
  protected:
    EditorWindowTest() {
        for (const auto& entry : std::filesystem::directory_iterator(VORNAK_CIRCUIT_DIR)) {
            std::filesystem::copy_file(entry.path(), level / entry.path().filename().string());
        }
        window = std::make_unique<EditorWindow>(Installation{VORNAK_GAME, VORNAK_CIRCUIT_DIR},
                                                level.Path());
        window->confirm = [](const QString& /*question*/) { return true; };
        window->inform = [this](const QString& message) { messages << message; };
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // The middle of a cell of the playfield, in the view's coordinates.
    QPoint Cell(int column, int row) const {
        const int side = 16 * window->View()->Zoom();
        return {(column - 1) * side + side / 2, (row - 1) * side + side / 2};
    }
    bool Wall(int column, int row) const {
        return window->Document().Content().walls[static_cast<std::size_t>((row - 1) * 20 + column - 1)];
    }
    char Tile(int column, int row) const {
        return window->Document().Content().tiles[static_cast<std::size_t>((row - 1) * 20 + column - 1)];
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->View(), static_cast<Qt::Key>(key), modifiers);
    }

    LevelDirectory level;
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
    QTest::mouseMove(view, Cell(5, 2));
    QTest::mouseMove(view, Cell(6, 2));
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
    const std::filesystem::path folder =
        std::filesystem::path(game->program().toStdString()).parent_path();
    EXPECT_EQ(vornak::testing::ReadBytes(folder / "BlocksMap.txt").substr(22, 5), "#  # ")
        << "the unsaved wall is played";
    game->kill();
    EXPECT_TRUE(QTest::qWaitFor([this] { return window->Game() == nullptr; }, 10000));
    EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace
}  // namespace vornak::editor
