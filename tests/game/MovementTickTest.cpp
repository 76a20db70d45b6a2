// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "GameState.h"
#include "MovementTick.h"
#include "PathText.h"
#include "RecordingWindow.h"

namespace vornak {
namespace {

using testing::RecordingWindow;

const std::filesystem::path ProgramDir = "/level";

class MovementTickTest : public ::testing::Test {
  protected:
    // Puts a car at rest on its cell, as the loader leaves it.
    void Place(int car, std::int32_t column, std::int32_t row) {
        state.CarX(car) = column;
        state.CarY(car) = row;
        window.carLeft.at(car) = CellOrigin(column);
        window.carTop.at(car) = CellOrigin(row);
    }
    void Tick(int times = 1) {
        for (int i = 0; i < times; ++i) {
            MovementTick(state, window, ProgramDir);
        }
    }
    bool AtRestOn(int car, int column, int row) const {
        return state.CarX(car) == column && state.CarY(car) == row &&
               window.carLeft.at(car) == CellOrigin(column) &&
               window.carTop.at(car) == CellOrigin(row);
    }

    GameState state;
    RecordingWindow window;
};

// A move starts without sliding, slides 4 pixels on each of the next four ticks, and the car
// arrives and starts its next move on the fifth.
TEST_F(MovementTickTest, MoveTakesFiveTicksAndTheNextStartsOnArrival) {
    Place(1, 3, 5);
    Place(2, 18, 12);
    state.CarRequest(1) = "right";

    Tick();
    EXPECT_FALSE(state.Blocks(3, 5));
    EXPECT_TRUE(state.Blocks(4, 5));
    EXPECT_TRUE(state.CarMoving(1));
    EXPECT_EQ(state.CarX(1), 4);
    EXPECT_EQ(state.CarDirection(1), "right");
    EXPECT_EQ(window.carPictures[1], ProgramDir / "Car1right.gif");
    EXPECT_EQ(window.carLeft[1], 32);

    for (const double expected : {36, 40, 44, 48}) {
        Tick();
        EXPECT_EQ(window.carLeft[1], expected);
        EXPECT_EQ(window.carTop[1], 64);
    }
    Tick();
    EXPECT_TRUE(state.CarMoving(1)) << "tick 6 rests and starts the next move at once";
    EXPECT_EQ(state.CarX(1), 5);
    EXPECT_EQ(window.carLeft[1], 48);
    EXPECT_FALSE(state.Blocks(4, 5));
    EXPECT_TRUE(state.Blocks(5, 5));
    EXPECT_EQ(window.carPictureLoads.size(), 2U) << "the picture is read anew on every move start";
}

// A car that arrives in front of a wall comes to rest and waits there, trying every tick.
TEST_F(MovementTickTest, ArrivalInFrontOfAWallEndsTheMove) {
    Place(1, 3, 5);
    state.Blocks(5, 5) = true;
    state.CarRequest(1) = "right";
    Tick(6);
    EXPECT_FALSE(state.CarMoving(1));
    EXPECT_TRUE(AtRestOn(1, 4, 5));
    Tick(20);
    EXPECT_TRUE(AtRestOn(1, 4, 5));
    state.Blocks(5, 5) = false;
    Tick();
    EXPECT_EQ(state.CarX(1), 5) << "the standing request goes on as soon as the cell frees";
}

// Blocked requests, toward a wall or past any edge of the grid, leave the car and its picture
// exactly as they were.
TEST_F(MovementTickTest, BlockedRequestsLeaveTheCarStanding) {
    struct Case {
        int column;
        int row;
        const char* request;
    };
    for (const Case& blocked : {Case{1, 7, "left"}, Case{20, 7, "right"}, Case{9, 1, "up"},
                                Case{9, 15, "down"}, Case{10, 10, "down"}, Case{10, 10, ""}}) {
        SCOPED_TRACE(std::string(blocked.request) + " from column " +
                     std::to_string(blocked.column) + " row " + std::to_string(blocked.row));
        state = GameState{};
        window = RecordingWindow{};
        state.Blocks(10, 11) = true;
        Place(1, blocked.column, blocked.row);
        state.CarDirection(1) = "up";
        state.CarRequest(1) = blocked.request;
        Tick(3);
        EXPECT_TRUE(AtRestOn(1, blocked.column, blocked.row));
        EXPECT_EQ(state.CarDirection(1), "up");
        EXPECT_TRUE(window.carPictureLoads.empty());
    }
}

// A request that is not one of the four exact words is no request at all.
TEST_F(MovementTickTest, OnlyExactDirectionWordsMoveACar) {
    Place(1, 5, 5);
    state.CarRequest(1) = "Right";
    Tick(2);
    EXPECT_TRUE(AtRestOn(1, 5, 5));
}

// A new request never turns a car mid-cell; a reverse request brings it straight back.
TEST_F(MovementTickTest, RequestsTakeEffectOnlyOnArrival) {
    Place(1, 5, 5);
    state.CarRequest(1) = "right";
    Tick(2);
    state.CarRequest(1) = "left";
    Tick(3);
    EXPECT_EQ(window.carLeft[1], 80) << "still sliding right after the reverse request";
    Tick();
    EXPECT_EQ(state.CarX(1), 5);
    EXPECT_EQ(state.CarDirection(1), "left");
    EXPECT_EQ(window.carPictures[1], ProgramDir / "Car1left.gif");
}

// Car 1 is handled first, so it wins a free cell that both cars want on the same tick.
TEST_F(MovementTickTest, CarOneWinsATie) {
    Place(1, 3, 5);
    Place(2, 5, 5);
    state.CarRequest(1) = "right";
    state.CarRequest(2) = "left";
    Tick();
    EXPECT_EQ(state.CarX(1), 4);
    EXPECT_TRUE(AtRestOn(2, 5, 5));
}

// Start cells are not marked, so two cars side by side that have not moved can swap.
TEST_F(MovementTickTest, UnmovedNeighboursSwapCells) {
    Place(1, 3, 5);
    Place(2, 4, 5);
    state.CarRequest(1) = "right";
    state.CarRequest(2) = "left";
    Tick();
    EXPECT_EQ(state.CarX(1), 4);
    EXPECT_EQ(state.CarX(2), 3);
    EXPECT_TRUE(state.Blocks(3, 5));
    EXPECT_FALSE(state.Blocks(4, 5)) << "car 2 freed the cell that car 1 is entering";
}

// Once both have moved, each closes its own cell: face to face, both wait for good.
TEST_F(MovementTickTest, CarsThatHaveMovedBlockEachOther) {
    Place(1, 2, 5);
    Place(2, 5, 5);
    state.CarRequest(1) = "right";
    state.CarRequest(2) = "left";
    Tick(30);
    EXPECT_TRUE(AtRestOn(1, 3, 5));
    EXPECT_TRUE(AtRestOn(2, 4, 5));
    EXPECT_TRUE(state.Blocks(3, 5));
    EXPECT_TRUE(state.Blocks(4, 5));
}

// The cell being left frees at once: a car right behind follows in step, 16 pixels back.
TEST_F(MovementTickTest, CarTwoFollowsCarOneInStep) {
    Place(1, 3, 5);
    Place(2, 2, 5);
    state.Blocks(3, 5) = state.Blocks(2, 5) = true;  // as if both had already moved
    state.CarRequest(1) = state.CarRequest(2) = "right";
    for (int tick = 1; tick <= 40; ++tick) {
        Tick();
        ASSERT_TRUE(state.CarMoving(2)) << "tick " << tick;
        ASSERT_EQ(window.carLeft[1] - window.carLeft[2], 16) << "tick " << tick;
    }
}

// Car 2 in front: car 1 sees the closed cell first and starts one tick late, so it runs 20
// pixels behind, and 16 on the ticks where car 2 starts its next move.
TEST_F(MovementTickTest, CarOneFollowsCarTwoOneTickLate) {
    Place(2, 3, 5);
    Place(1, 2, 5);
    state.Blocks(3, 5) = state.Blocks(2, 5) = true;
    state.CarRequest(1) = state.CarRequest(2) = "right";
    Tick();
    EXPECT_FALSE(state.CarMoving(1));
    for (int tick = 2; tick <= 40; ++tick) {
        Tick();
        const double expectedGap = tick % 5 == 1 ? 16 : 20;
        ASSERT_EQ(window.carLeft[2] - window.carLeft[1], expectedGap) << "tick " << tick;
    }
}

// A start cell keeps what the blocks map gave it; the first move frees it even when it was a
// wall, and until then the other car may drive in.
TEST_F(MovementTickTest, StartCellsAreNotMarkedUntilTheFirstMove) {
    Place(1, 3, 5);
    Place(2, 5, 5);
    state.Blocks(3, 5) = true;
    state.CarRequest(2) = "left";
    Tick(6);
    EXPECT_TRUE(AtRestOn(2, 4, 5)) << "car 2 stops before the wall under car 1";
    state.Blocks(3, 5) = false;
    state.CarRequest(2) = "left";
    Tick(5);
    EXPECT_TRUE(AtRestOn(2, 3, 5)) << "car 2 now overlaps car 1, which has not moved";
    state.CarRequest(2) = "";
    state.CarRequest(1) = "up";
    Tick();
    EXPECT_FALSE(state.Blocks(3, 5)) << "car 1's move frees the cell car 2 stands in";
    EXPECT_TRUE(state.Blocks(3, 4));
}

// Starts outside the grid read and write no cell outside it; at the 32-bit limits nothing
// overflows (the sanitizer run checks the arithmetic).
TEST_F(MovementTickTest, StartsOutsideTheGridAreSafe) {
    Place(1, 0, 5);
    Place(2, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min());
    state.Blocks(3, 5) = true;
    state.CarRequest(1) = "right";
    for (const char* request : {"up", "down", "left", "right"}) {
        state.CarRequest(2) = request;
        Tick(5);
    }
    EXPECT_TRUE(AtRestOn(1, 2, 5)) << "car 1 drove in from column 0";
    EXPECT_TRUE(AtRestOn(2, std::numeric_limits<std::int32_t>::max(),
                         std::numeric_limits<std::int32_t>::min()));

    Place(1, 21, 5);
    state.CarRequest(1) = "left";
    Tick();
    EXPECT_EQ(state.CarX(1), 20) << "from column 21 the car may drive into the grid";
}

// A car picture that cannot be read stops the game with the picture's name.
TEST_F(MovementTickTest, UnreadableCarPictureFails) {
    Place(1, 3, 5);
    state.CarRequest(1) = "down";
    window.failingPictures.insert(ProgramDir / "Car1down.gif");
    try {
        Tick();
        FAIL() << "expected a failure";
    } catch (const GameError& error) {
        EXPECT_EQ(std::string(error.what()).rfind(PathText(ProgramDir / "Car1down.gif") + " ", 0),
                  0U)
            << error.what();
    }
}

}  // namespace
}  // namespace vornak
