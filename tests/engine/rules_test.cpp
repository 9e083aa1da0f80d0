// The rules as tests: duplicates, dot rules, consistency and dot derivation.
#include <gtest/gtest.h>

#include "engine/rules.h"
#include "engine/solver.h"
#include "literal_solver.h"
#include "test_boards.h"

namespace punktivo {
namespace {

using testing::gridFrom;
using testing::kStartSolution;

struct RulesTest : ::testing::Test {
  NullDisplay none;
  BoardModel model{none};

  bool passesEveryRule() {
    if (!hasNoDuplicates(model) || !isBoardConsistent(model)) return false;
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c)
        if (!checkRowDots(model, c, r) || !checkColumnDots(model, c, r)) return false;
    return true;
  }
};

// Counts the fillings of an empty board under all rules, stopping at `limit`.
int countFillings(BoardModel& model, int cell, int limit) {
  if (cell == 81) return 1;
  const int r = cell / 9 + 1, c = cell % 9 + 1;
  int found = 0;
  for (int d = 1; d <= 9 && found < limit; ++d) {
    bool clash = false;
    for (int k = 1; k <= 9; ++k) clash |= model.board[r][k] == d || model.board[k][c] == d;
    const int br = (r - 1) / 3 * 3 + 1, bc = (c - 1) / 3 * 3 + 1;
    for (int i = br; i < br + 3; ++i)
      for (int j = bc; j < bc + 3; ++j) clash |= model.board[i][j] == d;
    if (clash) continue;
    model.board[r][c] = uint8_t(d);
    if (checkRowDots(model, c, r) && checkColumnDots(model, c, r))
      found += countFillings(model, cell + 1, limit - found);
    model.board[r][c] = 0;
  }
  return found;
}

TEST_F(RulesTest, StartBoardSolutionPassesEveryRule) {
  model.loadStartBoard();
  model.board = gridFrom(kStartSolution);
  EXPECT_TRUE(passesEveryRule());
  EXPECT_TRUE(model.isBoardComplete());
}

TEST_F(RulesTest, StartBoardDotsAreThoseOfItsSolution) {
  // Derivation and the two start tables (dotsDown column first) must agree cell for cell.
  model.loadStartBoard();
  const Grid right = model.dotsRight, down = model.dotsDown;
  model.board = gridFrom(kStartSolution);
  deriveDots(model);
  EXPECT_EQ(model.dotsRight, right);
  EXPECT_EQ(model.dotsDown, down);
}

TEST_F(RulesTest, StartBoardDotsAdmitExactlyOneFilling) {
  model.loadStartBoard();
  EXPECT_EQ(countFillings(model, 0, 2), 1);
}

TEST_F(RulesTest, ChangingAnyDigitOfTheStartSolutionBreaksARule) {
  model.loadStartBoard();
  const Grid solution = gridFrom(kStartSolution);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      for (int d = 1; d <= 9; ++d) {
        if (d == solution[r][c]) continue;
        model.board = solution;
        model.board[r][c] = uint8_t(d);
        EXPECT_FALSE(passesEveryRule()) << "digit " << d << " at (" << r << ", " << c << ")";
      }
}

TEST_F(RulesTest, DuplicatesInColumnRowOrBoxAreEachFound) {
  EXPECT_TRUE(hasNoDuplicates(model));  // an empty board
  model.board[2][7] = 5;
  model.board[9][7] = 5;  // same column only
  EXPECT_FALSE(hasNoDuplicates(model));
  model.board = {};
  model.board[4][1] = 8;
  model.board[4][9] = 8;  // same row only
  EXPECT_FALSE(hasNoDuplicates(model));
  model.board = {};
  model.board[7][4] = 3;
  model.board[9][6] = 3;  // same box only
  EXPECT_FALSE(hasNoDuplicates(model));
  EXPECT_FALSE(boxHasNoDuplicates(model, 4, 7));
  EXPECT_TRUE(boxHasNoDuplicates(model, 7, 7));
  EXPECT_TRUE(boxHasNoDuplicates(model, 4, 4));
  model.board[9][6] = 4;
  EXPECT_TRUE(hasNoDuplicates(model));
}

TEST_F(RulesTest, NoDotForbidsConsecutiveAndDoubledPairsBothWays) {
  struct Case {
    int a, b;
    bool passes;
  };
  for (const Case& k : {Case{2, 4, false}, Case{4, 2, false}, Case{3, 4, false},
                        Case{4, 3, false}, Case{3, 5, true}, Case{9, 1, true}, Case{3, 6, false}}) {
    model.board = {};
    model.board[5][3] = uint8_t(k.a);
    model.board[5][4] = uint8_t(k.b);
    EXPECT_EQ(checkRowDots(model, 3, 5), k.passes) << k.a << " left of " << k.b;
    EXPECT_EQ(checkRowDots(model, 4, 5), k.passes) << k.b << " right of " << k.a;
    model.board = {};
    model.board[3][5] = uint8_t(k.a);
    model.board[4][5] = uint8_t(k.b);
    EXPECT_EQ(checkColumnDots(model, 5, 3), k.passes) << k.a << " above " << k.b;
    EXPECT_EQ(checkColumnDots(model, 5, 4), k.passes) << k.b << " below " << k.a;
  }
}

TEST_F(RulesTest, WhiteAndBlackDotsHoldOnlyForTheirPairs) {
  struct Case {
    uint8_t code;
    int a, b;
    bool passes;
  };
  for (const Case& k : {Case{kWhiteDot, 1, 2, true}, Case{kBlackDot, 1, 2, true},
                        Case{kWhiteDot, 2, 4, false}, Case{kBlackDot, 3, 4, false},
                        Case{kWhiteDot, 8, 7, true}, Case{kBlackDot, 8, 4, true},
                        Case{kWhiteDot, 5, 5, false}, Case{kBlackDot, 9, 3, false}}) {
    model.board = {};
    model.dotsRight = {};
    model.dotsDown = {};
    model.board[2][6] = uint8_t(k.a);
    model.board[2][7] = uint8_t(k.b);
    model.dotsRight[2][6] = k.code;
    EXPECT_EQ(checkRowDots(model, 6, 2), k.passes) << int(k.code) << ": " << k.a << "," << k.b;
    EXPECT_EQ(checkRowDots(model, 7, 2), k.passes);
    model.board = {};
    model.board[6][2] = uint8_t(k.a);
    model.board[7][2] = uint8_t(k.b);
    model.dotsDown[2][6] = k.code;  // column first
    EXPECT_EQ(checkColumnDots(model, 2, 6), k.passes);
    EXPECT_EQ(checkColumnDots(model, 2, 7), k.passes);
    // Rows do not leak into columns: the same pair side by side has no dot there.
    EXPECT_TRUE(checkRowDots(model, 2, 6));
  }
}

TEST_F(RulesTest, CodesOutsideZeroToTwoImposeNothing) {
  for (uint8_t code : {uint8_t(3), uint8_t(7), uint8_t(255)}) {
    for (auto [a, b] : {std::pair{2, 4}, {3, 4}, {5, 9}, {6, 6}}) {
      model.board = {};
      model.board[8][8] = uint8_t(a);
      model.board[8][9] = uint8_t(b);
      model.dotsRight[8][8] = code;
      EXPECT_TRUE(checkRowDots(model, 8, 8));
      EXPECT_TRUE(checkRowDots(model, 8, 9));
    }
    EXPECT_TRUE(dotRuleHolds(code, 1, 2));
  }
}

TEST_F(RulesTest, EdgeCellsAreTestedOnlyAgainstTheirNeighbours) {
  // Garbage where no neighbour exists must never be read.
  for (int i = 0; i <= 9; ++i) {
    model.board[0][i] = model.board[i][0] = 4;
    model.dotsRight[i][9] = model.dotsRight[i][0] = kWhiteDot;
    model.dotsDown[i][9] = model.dotsDown[i][0] = kWhiteDot;
  }
  model.board[3][9] = 5;
  model.board[3][8] = 1;  // no dot between 1 and 5: fine
  EXPECT_TRUE(checkRowDots(model, 9, 3));
  model.dotsRight[3][8] = kBlackDot;
  EXPECT_FALSE(checkRowDots(model, 9, 3));

  model.board[1][4] = 5;
  model.board[2][4] = 9;  // below, no dot: fine
  EXPECT_TRUE(checkColumnDots(model, 4, 1));
  EXPECT_TRUE(checkRowDots(model, 4, 1));
  model.dotsDown[4][1] = kWhiteDot;
  EXPECT_FALSE(checkColumnDots(model, 4, 1));

  model.board[9][1] = 3;
  model.board[8][1] = 6;
  model.dotsDown[1][8] = kBlackDot;
  EXPECT_TRUE(checkColumnDots(model, 1, 9));
  EXPECT_TRUE(checkRowDots(model, 1, 9));
  model.dotsDown[1][8] = kNoDot;
  EXPECT_FALSE(checkColumnDots(model, 1, 9));
}

TEST_F(RulesTest, DotsBesideEmptyCellsAreNeverTested) {
  model.board[5][5] = 4;
  model.dotsRight[5][4] = model.dotsRight[5][5] = kWhiteDot;
  model.dotsDown[5][4] = model.dotsDown[5][5] = kBlackDot;
  EXPECT_TRUE(checkRowDots(model, 5, 5));
  EXPECT_TRUE(checkColumnDots(model, 5, 5));
  EXPECT_TRUE(isBoardConsistent(model));
  model.board[5][6] = 9;  // a filled neighbour is tested
  EXPECT_FALSE(checkRowDots(model, 5, 5));
  EXPECT_FALSE(isBoardConsistent(model));
}

TEST_F(RulesTest, ConsistencyOfPartlyFilledBoards) {
  EXPECT_TRUE(isBoardConsistent(model));  // empty board
  model.loadStartBoard();
  EXPECT_TRUE(isBoardConsistent(model));

  // An empty cell that sees all nine digits admits none. Dots here impose nothing.
  model = BoardModel(none);
  for (int i = 1; i <= 9; ++i)
    for (int j = 1; j <= 8; ++j) model.dotsRight[i][j] = model.dotsDown[i][j] = 3;
  const int seen[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (int k = 0; k < 4; ++k) model.board[1][k + 6] = uint8_t(seen[k]);  // row 1
  for (int k = 4; k < 8; ++k) model.board[k - 1][1] = uint8_t(seen[k]);  // column 1, rows 4-7
  model.board[2][2] = 9;                                                 // box 1
  ASSERT_TRUE(hasNoDuplicates(model));
  EXPECT_FALSE(isBoardConsistent(model));
  model.board[2][2] = 0;
  EXPECT_TRUE(isBoardConsistent(model));
}

TEST_F(RulesTest, AnyDuplicateMakesEveryEmptyCellFail) {
  const Grid solution = gridFrom(kStartSolution);
  model.board = solution;
  deriveDots(model);
  model.board[9][9] = 0;
  EXPECT_TRUE(isBoardConsistent(model));
  // A duplicate far away from the empty cell still leaves that cell no digit.
  model.board[1][1] = model.board[1][2];
  model.dotsRight = {};
  model.dotsDown = {};
  for (int i = 1; i <= 9; ++i)
    for (int j = 1; j <= 8; ++j) model.dotsRight[i][j] = model.dotsDown[i][j] = 3;
  EXPECT_FALSE(isBoardConsistent(model));
  // With no empty cell left, the same duplicate is consistent (dots hold).
  model.board[9][9] = solution[9][9];
  EXPECT_TRUE(isBoardConsistent(model));
  EXPECT_FALSE(hasNoDuplicates(model));
}

TEST_F(RulesTest, FullBoardWithRepeatedDigitsButFittingDotsIsConsistent) {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) model.board[r][c] = uint8_t((r + c) % 2 ? 1 : 5);
  deriveDots(model);
  EXPECT_TRUE(isBoardConsistent(model));
  EXPECT_FALSE(hasNoDuplicates(model));
  model.dotsRight[4][4] = kWhiteDot;
  EXPECT_FALSE(isBoardConsistent(model));
}

TEST_F(RulesTest, DerivationGivesBlackForOneAndTwoAndTreatsEmptyAsZero) {
  deriveDots(model);
  EXPECT_EQ(model.dotsRight, Grid{});  // empty board: no dots at all
  EXPECT_EQ(model.dotsDown, Grid{});

  model.dotsRight[6][9] = 2;  // stray codes are cleared too
  model.board[5][5] = 1;
  model.board[5][6] = 2;
  model.board[6][5] = 2;
  model.board[5][4] = 0;
  model.board[4][5] = 0;
  deriveDots(model);
  EXPECT_EQ(model.dotsRight[5][5], kBlackDot);  // 1 and 2: both rules hold, black wins
  EXPECT_EQ(model.dotsDown[5][5], kBlackDot);
  EXPECT_EQ(model.dotsRight[5][4], kWhiteDot);  // empty (0) next to 1
  EXPECT_EQ(model.dotsDown[5][4], kWhiteDot);
  EXPECT_EQ(model.dotsRight[5][6], kNoDot);     // 2 next to empty
  EXPECT_EQ(model.dotsRight[6][5], kNoDot);     // 2 next to empty, not 2 = 2 * 0
  EXPECT_EQ(model.dotsRight[6][9], kNoDot);
  EXPECT_EQ(model.dotsRight[1][1], kNoDot);     // two empty cells

  model.board = {};
  model.board[2][8] = 3;
  model.board[2][9] = 6;
  model.board[3][8] = 4;
  deriveDots(model);
  EXPECT_EQ(model.dotsRight[2][8], kBlackDot);
  EXPECT_EQ(model.dotsDown[8][2], kWhiteDot);  // (2,8)-(3,8), column first
  EXPECT_EQ(model.dotsRight[8][2], kNoDot);
}

TEST_F(RulesTest, DotsFromSolutionLeaveTheBoardAndKeepItInSolution) {
  Settings settings;
  Solver solver(model, settings);
  testing::RecordingDisplay screen;
  model.setDisplay(screen);
  // A few givens that the rule solver completes by singles.
  const Grid full = gridFrom(kStartSolution);
  model.board = full;
  for (int c = 1; c <= 9; ++c) model.board[c][c] = model.board[c][10 - c] = 0;
  const Grid before = model.board;
  model.solution = {};
  deriveDotsFromSolution(model, solver);
  EXPECT_EQ(model.board, before);
  EXPECT_EQ(model.solution, before);
  BoardModel expected(none);
  expected.board = full;
  deriveDots(expected);
  EXPECT_EQ(model.dotsRight, expected.dotsRight);
  EXPECT_EQ(model.dotsDown, expected.dotsDown);
  // Not quiet: the rule solver's 17 placements are drawn, then the dots.
  ASSERT_EQ(screen.calls.size(), 18u);
  EXPECT_EQ(screen.calls.back().kind, testing::DisplayCall::Dots);
}

}  // namespace
}  // namespace punktivo
