// The game core's commands: the mistake rule and what a digit entered reports, the notes it
// tidies, the solved timed game, and undo through the core.
#include <gtest/gtest.h>

#include "engine/game_core.h"
#include "engine/rules.h"
#include "support/recording_display.h"

namespace {

using punktivo::GameCore;
using punktivo::Status;

class GameCoreTest : public ::testing::Test {
 protected:
  GameCoreTest() : core(display, 1) {
    // A solution known for the cells the tests use: row 1 holds 1-9 in order.
    for (int c = 1; c <= 9; ++c) core.model().solution[1][c] = uint8_t(c);
    core.game().timedGame = true;
  }
  punktivo::testing::RecordingDisplay display;
  GameCore core;
};

TEST_F(GameCoreTest, TheThirdWrongDigitEndsTheTimedGameAndEveryEntryIsDrawn) {
  EXPECT_FALSE(core.enterDigit(1, 1, 1).mistake);
  // A cell without a known solution digit judges nothing.
  EXPECT_FALSE(core.enterDigit(1, 2, 5).mistake);
  for (int wrong = 1; wrong <= 3; ++wrong) {
    const punktivo::EntryOutcome outcome = core.enterDigit(2, 1, 9);
    EXPECT_TRUE(outcome.mistake);
    EXPECT_EQ(core.game().mistakeCount, wrong);
    EXPECT_EQ(outcome.timedGameEnded, wrong == 3);
    EXPECT_EQ(bool(core.game().timedGame), wrong < 3);
  }
  EXPECT_EQ(display.count(punktivo::testing::DisplayCall::PlayerCell), 5);
  // Quiet, the model changes and nothing is drawn.
  core.model().quietMode = true;
  core.enterDigit(3, 1, 3);
  EXPECT_EQ(core.model().board[1][3], 3);
  EXPECT_EQ(display.count(punktivo::testing::DisplayCall::PlayerCell), 5);
}

TEST_F(GameCoreTest, TidyNotesTakesTheDigitFromTheCellsThatSeeItOnly) {
  punktivo::BoardModel& model = core.model();
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) model.candidates[r][c][4] = true;
  core.settings().tidyNotes = false;
  EXPECT_TRUE(core.enterDigit(4, 1, 4).notesTidied.empty());
  core.settings().tidyNotes = true;
  const auto tidied = core.enterDigit(4, 1, 4).notesTidied;
  // Row 1 (8 others), column 4 (8 others), and box 2's other two rows outside the column (4).
  EXPECT_EQ(tidied.size(), 20U);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      const bool sees = (r == 1 || c == 4 || (r <= 3 && c >= 4 && c <= 6)) && !(r == 1 && c == 4);
      EXPECT_EQ(model.candidates[r][c][4], !sees) << "R" << r << "C" << c;
    }
  EXPECT_TRUE(core.enterDigit(5, 1, 0).notesTidied.empty()) << "an emptied cell tidies nothing";
}

TEST_F(GameCoreTest, OnlyATimedGameTheCheckFoundSolvedEnds) {
  punktivo::BoardModel& model = core.model();
  EXPECT_EQ(core.status(), Status::kNone);
  EXPECT_FALSE(core.endSolvedTimedGame());
  // A full valid grid with its dots: the check calls it solved.
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) model.board[r][c] = model.solution[r][c] = uint8_t(((r - 1) * 3 + (r - 1) / 3 + c - 1) % 9 + 1);
  punktivo::deriveDots(model);
  core.countDigits();
  EXPECT_EQ(core.checkStatus().status, Status::kSolved);
  EXPECT_TRUE(core.boardFull());
  core.game().timedGame = false;
  EXPECT_FALSE(core.endSolvedTimedGame());
  EXPECT_FALSE(core.game().boardSolved);
  core.game().timedGame = true;
  EXPECT_TRUE(core.endSolvedTimedGame());
  EXPECT_TRUE(core.game().boardSolved);
  // One digit taken away: no longer solved.
  model.board[5][5] = 0;
  core.countDigits();
  EXPECT_EQ(core.checkStatus().status, Status::kNoMistakes);
  core.game().boardSolved = false;
  EXPECT_FALSE(core.endSolvedTimedGame());
}

TEST_F(GameCoreTest, AStepOfTheCoreIsUndoneAndRedone) {
  core.step([&] { core.toggleCandidate(2, 3, 7); });
  core.step([&] { core.enterDigit(1, 1, 1); });
  core.step([] {});  // nothing changed: no step
  ASSERT_TRUE(core.undo(false));
  EXPECT_EQ(core.model().board[1][1], 0);
  EXPECT_TRUE(core.model().candidates[3][2][7]);
  ASSERT_TRUE(core.undo(false));
  EXPECT_FALSE(core.model().candidates[3][2][7]);
  EXPECT_FALSE(core.undo(false));
  ASSERT_TRUE(core.undo(true));
  EXPECT_TRUE(core.model().candidates[3][2][7]);
  core.freshHistory();
  EXPECT_FALSE(core.undo(true));
}

}  // namespace
