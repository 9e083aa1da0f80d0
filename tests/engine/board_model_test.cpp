// The board model's whole-board operations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/board_model.h"
#include "support/recording_display.h"

namespace {

using punktivo::BoardModel;

using punktivo::testing::DisplayCall;
using punktivo::testing::RecordingDisplay;

void fillSomeGivens(BoardModel& m) {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) m.board[r][c] = uint8_t((r + c) % 9 + 1);
  m.givens[1][1] = m.board[1][1];
  m.givens[5][7] = m.board[5][7];
  m.givens[9][9] = m.board[9][9];
  m.candidates[2][3][4] = true;
  m.candidates[9][9][9] = true;
}

TEST(BoardModel, StartBoardHoldsTheDotPatternWithoutDigits) {
  RecordingDisplay display;
  BoardModel m(display);
  m.loadStartBoard();
  // Spot checks from both tables; dotsDown is stored column first.
  EXPECT_EQ(m.dotsRight[1][2], 2);
  EXPECT_EQ(m.dotsRight[1][8], 1);
  EXPECT_EQ(m.dotsRight[3][1], 1);
  EXPECT_EQ(m.dotsRight[9][4], 1);
  EXPECT_EQ(m.dotsDown[8][1], 2);  // between (1, 8) and (2, 8)
  EXPECT_EQ(m.dotsDown[1][1], 1);
  EXPECT_EQ(m.dotsDown[9][6], 2);  // between (6, 9) and (7, 9)
  EXPECT_EQ(m.dotsDown[1][8], 2);  // between (8, 1) and (9, 1)
  EXPECT_EQ(m.dotsDown[8][8], 1);
  int right = 0, down = 0;
  for (int i = 0; i <= 9; ++i) {
    EXPECT_EQ(m.dotsRight[i][9], 0);
    EXPECT_EQ(m.dotsDown[i][9], 0);
    EXPECT_EQ(m.dotsRight[0][i], 0);
    EXPECT_EQ(m.dotsDown[0][i], 0);
    for (int j = 0; j <= 9; ++j) {
      right += m.dotsRight[i][j] != 0;
      down += m.dotsDown[i][j] != 0;
      EXPECT_EQ(m.board[i][j], 0);
      EXPECT_EQ(m.givens[i][j], 0);
    }
  }
  EXPECT_EQ(right, 29);
  EXPECT_EQ(down, 18);
  EXPECT_EQ(display.calls, std::vector<DisplayCall>{{DisplayCall::Dots}});
}

TEST(BoardModel, RestartKeepsGivensAndDropsEverythingElse) {
  RecordingDisplay display;
  BoardModel m(display);
  fillSomeGivens(m);
  const auto solutionBefore = m.board;
  m.restartBoard();
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      EXPECT_EQ(m.board[r][c], m.givens[r][c] != 0 ? solutionBefore[r][c] : 0) << r << c;
      for (int d = 1; d <= 9; ++d) EXPECT_FALSE(m.candidates[r][c][d]);
    }
  EXPECT_EQ(display.calls, std::vector<DisplayCall>{{DisplayCall::MainScreen}});
}

TEST(BoardModel, RestartDrawsNothingInQuietMode) {
  RecordingDisplay display;
  BoardModel m(display);
  fillSomeGivens(m);
  m.quietMode = true;
  m.restartBoard();
  m.loadStartBoard();
  EXPECT_TRUE(display.calls.empty());
  EXPECT_EQ(m.board[5][7], m.givens[5][7]);
  EXPECT_EQ(m.board[5][6], 0);
}

TEST(BoardModel, ClearRemovesDotsToo) {
  RecordingDisplay display;
  BoardModel m(display);
  m.loadStartBoard();
  fillSomeGivens(m);
  m.unsolvedFlag = true;
  m.clearBoard();
  EXPECT_FALSE(m.unsolvedFlag);
  for (int i = 0; i <= 9; ++i)
    for (int j = 0; j <= 9; ++j) {
      EXPECT_EQ(m.board[i][j], 0);
      EXPECT_EQ(m.givens[i][j], 0);
      EXPECT_EQ(m.dotsRight[i][j], 0);
      EXPECT_EQ(m.dotsDown[i][j], 0);
    }
  EXPECT_FALSE(m.candidates[2][3][4]);
  m.restartBoard();
  EXPECT_EQ(m.board[1][1], 0);
}

TEST(BoardModel, CompletenessCountsDigitsOnly) {
  punktivo::NullDisplay none;
  BoardModel m(none);
  // Every digit nine times, but row 1 repeats digits: still "complete".
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) m.board[r][c] = uint8_t(r);
  EXPECT_TRUE(m.isBoardComplete());
  for (int d = 1; d <= 9; ++d) EXPECT_EQ(m.digitCount[d], 9);
  EXPECT_EQ(m.digitCount[0], 0);
  m.board[4][4] = 0;
  EXPECT_FALSE(m.isBoardComplete());
  EXPECT_EQ(m.digitCount[0], 1);
  EXPECT_EQ(m.digitCount[4], 8);
}

TEST(BoardModel, StoreSolutionCopiesTheBoardAndLevelNamesKeepTheirBlanks) {
  punktivo::NullDisplay none;
  BoardModel m(none);
  fillSomeGivens(m);
  m.storeSolution();
  EXPECT_EQ(m.solution, m.board);
  punktivo::Settings settings;
  settings.fillLevelNames();
  EXPECT_EQ(settings.levelNames[0], "  Leicht ");
  EXPECT_EQ(settings.levelNames[1], "  Mittel ");
  EXPECT_EQ(settings.levelNames[2], " Schwer ");
  EXPECT_EQ(settings.levelNames[3], " Extrem ");
  EXPECT_EQ(settings.difficulty, 0);
  EXPECT_TRUE(settings.puzzleSymmetry);
  EXPECT_FALSE(settings.showCandidates);
}

}  // namespace
