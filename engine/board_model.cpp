// Whole-board operations of the board model and the built-in start board.
#include "engine/board_model.h"

namespace punktivo {

namespace {

// The start board: 81 codes of dotsRight row by row, then 81 codes of dotsDown
// row by row (the code at (r, c) joins (r, c) and (r+1, c)).
constexpr uint8_t kStartDotsRight[9][9] = {
    {0, 2, 0, 0, 0, 0, 0, 1, 0}, {0, 1, 0, 1, 0, 2, 1, 0, 0}, {1, 2, 0, 0, 2, 0, 2, 1, 0},
    {2, 1, 0, 0, 0, 1, 0, 1, 0}, {0, 2, 0, 0, 0, 0, 0, 2, 0}, {1, 0, 0, 0, 0, 1, 0, 1, 0},
    {0, 0, 1, 0, 2, 0, 0, 1, 0}, {1, 2, 0, 0, 0, 1, 0, 1, 0}, {1, 0, 0, 1, 0, 0, 0, 0, 0},
};
constexpr uint8_t kStartDotsDown[9][9] = {
    {1, 0, 0, 0, 0, 1, 0, 2, 0}, {0, 0, 0, 0, 0, 0, 0, 1, 0}, {0, 0, 0, 0, 2, 0, 1, 0, 0},
    {0, 1, 1, 0, 0, 1, 0, 0, 0}, {1, 0, 0, 2, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 2},
    {0, 0, 0, 0, 0, 0, 1, 0, 0}, {2, 0, 2, 2, 0, 0, 0, 1, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0},
};

}  // namespace

void Settings::fillLevelNames() {
  levelNames = {"  Leicht ", "  Mittel ", " Schwer ", " Extrem "};
}

void BoardModel::loadStartBoard() {
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 9; ++c) {
      dotsRight[r][c] = kStartDotsRight[r - 1][c - 1];
      dotsDown[c][r] = kStartDotsDown[r - 1][c - 1];
    }
  }
  // The start screen shows the pattern: dots without digits.
  if (!quietMode) display().drawDots();
}

void BoardModel::clearCandidates() {
  for (auto& row : candidates)
    for (auto& cell : row) cell.fill(false);
}

void BoardModel::clearBoard() {
  unsolvedFlag = false;
  board = {};
  givens = {};
  dotsRight = {};
  dotsDown = {};
  clearCandidates();
  if (!quietMode) display().drawMainScreen();
}

void BoardModel::restartBoard() {
  clearCandidates();
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (givens[r][c] == 0) board[r][c] = 0;
  if (!quietMode) display().drawMainScreen();
}

void BoardModel::storeSolution() {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) solution[r][c] = board[r][c];
}

bool BoardModel::isBoardComplete() {
  digitCount.fill(0);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      // A byte from outside (a damaged file) must not index past the counts.
      const uint8_t d = board[r][c];
      ++digitCount[d <= 9 ? d : 0];
    }
  for (int d = 1; d <= 9; ++d)
    if (digitCount[d] != 9) return false;
  return true;
}

}  // namespace punktivo
