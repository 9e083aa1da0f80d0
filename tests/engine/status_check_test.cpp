// The error check's decision: message, colour, beep and boardFull for the cases the
// status panel distinguishes.
#include "engine/status_check.h"

#include <gtest/gtest.h>

#include "support/boards.h"

namespace punktivo {
namespace {

using testing::kStartSolution;

class StatusCheckTest : public ::testing::Test {
 protected:
  NullDisplay display;
  BoardModel model{display};

  void SetUp() override {
    model.quietMode = true;
    model.loadStartBoard();
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) model.solution[r][c] = uint8_t(kStartSolution[r - 1][c - 1]);
  }
  // Puts the solution on the board: as givens, or as player digits.
  void fillBoard(bool asGivens) {
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        model.board[r][c] = model.solution[r][c];
        model.givens[r][c] = asGivens ? model.solution[r][c] : 0;
      }
  }
  // The caller counts before the check, as the statistics panel does.
  StatusResult check(bool previousBoardFull = false) {
    model.isBoardComplete();
    return evaluateStatus(model, previousBoardFull);
  }
};

TEST_F(StatusCheckTest, EmptyBoardHasNoErrors) {
  const StatusResult result = check();
  EXPECT_EQ(result.statusMessage, "Keine Fehler! ");
  EXPECT_FALSE(result.red);
  EXPECT_FALSE(result.beep);
  EXPECT_FALSE(result.boardFull);
}

TEST_F(StatusCheckTest, PlayerDigitsRightSoFarHaveNoErrors) {
  model.board[1][1] = 4;
  model.board[5][5] = 5;
  model.givens[9][9] = model.board[9][9] = 4;
  const StatusResult result = check();
  EXPECT_EQ(result.statusMessage, "Keine Fehler! ");
  EXPECT_FALSE(result.red);
}

TEST_F(StatusCheckTest, WrongPlayerDigitIsRedWithoutBeep) {
  // 6 at (1, 1) conflicts with nothing on an otherwise empty board, but it is not the solution.
  model.board[1][1] = 6;
  const StatusResult result = check();
  EXPECT_EQ(result.statusMessage, "Falsche Zahl! ");
  EXPECT_TRUE(result.red);
  EXPECT_FALSE(result.beep);
}

TEST_F(StatusCheckTest, PlayerDigitsWithoutASolutionCountAsWrong) {
  model.solution = {};
  model.board[3][3] = 3;
  const StatusResult result = check();
  EXPECT_EQ(result.statusMessage, "Falsche Zahl! ");
  EXPECT_TRUE(result.red);
  EXPECT_FALSE(result.beep);
}

TEST_F(StatusCheckTest, DuplicateGivensBeep) {
  model.dotsRight = {};
  model.dotsDown = {};
  model.givens[2][1] = model.board[2][1] = 7;
  model.givens[2][9] = model.board[2][9] = 7;
  const StatusResult result = check();
  EXPECT_EQ(result.statusMessage, "Falsche Zahl! ");
  EXPECT_TRUE(result.red);
  EXPECT_TRUE(result.beep);
}

TEST_F(StatusCheckTest, BrokenDotRuleBetweenNeighboursBeeps) {
  model.dotsRight = {};
  model.dotsDown = {};
  // 3 beside 4 with no dot between them: consecutive digits need a white dot.
  model.givens[4][4] = model.board[4][4] = 3;
  model.givens[4][5] = model.board[4][5] = 4;
  StatusResult result = check();
  EXPECT_EQ(result.statusMessage, "Falsche Zahl! ");
  EXPECT_TRUE(result.beep);
  model.dotsRight[4][4] = kWhiteDot;
  result = check();
  EXPECT_EQ(result.statusMessage, "Keine Fehler! ");
  EXPECT_FALSE(result.beep);
}

TEST_F(StatusCheckTest, SolvedBoardIsBlack) {
  fillBoard(false);
  const StatusResult result = check();
  EXPECT_EQ(result.statusMessage, "Brett gelöst!!!");
  EXPECT_FALSE(result.red);
  EXPECT_FALSE(result.beep);
  EXPECT_TRUE(result.boardFull);
}

TEST_F(StatusCheckTest, FullBoardWithoutDuplicatesIsSolvedEvenWithWrongDigits) {
  // A relabelled solution (d -> 10 - d) is still a sudoku, but every player digit
  // except the 5s differs from the solution.
  fillBoard(false);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) model.board[r][c] = static_cast<uint8_t>(10 - model.board[r][c]);
  const StatusResult result = check();
  EXPECT_EQ(result.statusMessage, "Brett gelöst!!!");
  EXPECT_TRUE(result.red);
  EXPECT_FALSE(result.beep);
  EXPECT_TRUE(result.boardFull);
}

TEST_F(StatusCheckTest, FullBoardBreakingDotsIsSolvedButRedWithBeep) {
  // No wrong digit, no duplicates, but without its dots the board breaks many dot rules:
  // the consistency test fails (red, beep), and the full board still reads as solved.
  fillBoard(true);
  model.dotsRight = {};
  model.dotsDown = {};
  const StatusResult result = check();
  EXPECT_EQ(result.statusMessage, "Brett gelöst!!!");
  EXPECT_TRUE(result.red);
  EXPECT_TRUE(result.beep);
  EXPECT_TRUE(result.boardFull);
}

TEST_F(StatusCheckTest, FullBoardWithDuplicatesIsNotSolved) {
  // Swap two digits inside row 1: every digit still nine times, but columns repeat.
  fillBoard(true);
  std::swap(model.board[1][1], model.board[1][2]);
  model.givens = model.board;
  model.solution = model.board;
  const StatusResult result = check();
  EXPECT_TRUE(result.boardFull);
  EXPECT_EQ(result.statusMessage, "Falsche Zahl! ");
  EXPECT_TRUE(result.beep);
}

TEST_F(StatusCheckTest, UnsolvableShortCutsAndKeepsBoardFull) {
  model.unsolvedFlag = true;
  fillBoard(false);
  for (bool previous : {false, true}) {
    const StatusResult result = check(previous);
    EXPECT_EQ(result.statusMessage, "Nicht lösbar!!!");
    EXPECT_TRUE(result.red);
    EXPECT_FALSE(result.beep);
    EXPECT_EQ(result.boardFull, previous);
  }
  model.board = {};
  EXPECT_TRUE(check(true).boardFull);
}

TEST_F(StatusCheckTest, UsesTheCountTheCallerLeft) {
  fillBoard(false);
  model.digitCount = {};  // no count since the board was filled
  StatusResult result = evaluateStatus(model, true);
  EXPECT_FALSE(result.boardFull);
  EXPECT_EQ(result.statusMessage, "Keine Fehler! ");
  model.isBoardComplete();
  result = evaluateStatus(model, false);
  EXPECT_TRUE(result.boardFull);
  EXPECT_EQ(result.statusMessage, "Brett gelöst!!!");
}

TEST_F(StatusCheckTest, CheckLeavesTheBoardAsItWas) {
  model.board[1][1] = 4;
  model.board[2][2] = 8;
  model.givens[2][1] = model.board[2][1] = 5;
  const Grid before = model.board;
  check();
  EXPECT_EQ(model.board, before);
}

}  // namespace
}  // namespace punktivo
