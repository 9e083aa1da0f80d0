// The rules of the puzzle as tests, and the one place where dots are made.
#include "engine/rules.h"

#include <cassert>

#include "engine/solver.h"

namespace punktivo {

bool dotRuleHolds(int code, int a, int b) {
  const bool consecutive = a - b == 1 || b - a == 1;
  const bool doubled = a == 2 * b || b == 2 * a;
  switch (code) {
    case kNoDot:
      return !consecutive && !doubled;
    case kWhiteDot:
      return consecutive;
    case kBlackDot:
      return doubled;
    default:
      return true;  // a code the game never writes imposes nothing
  }
}

namespace {

// Counts one digit into dupCount; digits in the model are 0-9 (the file reader sanitises).
void countDigit(BoardModel& model, uint8_t digit) {
  assert(digit <= 9);
  ++model.dupCount[digit];
}

bool countsHaveDuplicate(const BoardModel& model) {
  for (int d = 1; d <= 9; ++d)
    if (model.dupCount[d] >= 2) return true;
  return false;
}

}  // namespace

bool hasNoDuplicates(BoardModel& model) {
  for (int c = 1; c <= 9; ++c) {
    model.dupCount.fill(0);
    for (int r = 1; r <= 9; ++r) countDigit(model, model.board[r][c]);
    if (countsHaveDuplicate(model)) return false;
  }
  for (int r = 1; r <= 9; ++r) {
    model.dupCount.fill(0);
    for (int c = 1; c <= 9; ++c) countDigit(model, model.board[r][c]);
    if (countsHaveDuplicate(model)) return false;
  }
  for (int firstRow = 1; firstRow <= 7; firstRow += 3)
    for (int firstColumn = 1; firstColumn <= 7; firstColumn += 3)
      if (!boxHasNoDuplicates(model, firstColumn, firstRow)) return false;
  return true;
}

bool boxHasNoDuplicates(BoardModel& model, int firstColumn, int firstRow) {
  model.dupCount.fill(0);
  for (int c = firstColumn; c < firstColumn + 3; ++c)
    for (int r = firstRow; r < firstRow + 3; ++r) countDigit(model, model.board[r][c]);
  return !countsHaveDuplicate(model);
}

bool checkRowDots(const BoardModel& model, int column, int row) {
  const int a = model.board[row][column];
  if (column < 9) {
    const int b = model.board[row][column + 1];
    if (b != 0 && !dotRuleHolds(model.dotsRight[row][column], a, b)) return false;
  }
  if (column >= 2) {
    const int b = model.board[row][column - 1];
    if (b != 0 && !dotRuleHolds(model.dotsRight[row][column - 1], a, b)) return false;
  }
  return true;
}

bool checkColumnDots(const BoardModel& model, int column, int row) {
  const int a = model.board[row][column];
  if (row < 9) {
    const int b = model.board[row + 1][column];
    if (b != 0 && !dotRuleHolds(model.dotsDown[column][row], a, b)) return false;
  }
  if (row >= 2) {
    const int b = model.board[row - 1][column];
    if (b != 0 && !dotRuleHolds(model.dotsDown[column][row - 1], a, b)) return false;
  }
  return true;
}

bool isBoardConsistent(BoardModel& model) {
  // Every empty cell must admit a digit. The trial is global: a duplicate anywhere
  // leaves no digit for any empty cell, which the masks report as an empty fit set.
  DigitMasks masks;
  masks.rebuild(model.board);
  for (int c = 1; c <= 9; ++c)
    for (int r = 1; r <= 9; ++r)
      if (model.board[r][c] == 0 && masks.plainFits(c, r) == 0) return false;
  for (int c = 1; c <= 9; ++c)
    for (int r = 1; r <= 9; ++r)
      if (model.board[r][c] != 0 &&
          (!checkRowDots(model, c, r) || !checkColumnDots(model, c, r)))
        return false;
  return true;
}

namespace {

uint8_t derivedCode(int a, int b) {
  uint8_t code = kNoDot;
  if (a - b == 1 || b - a == 1) code = kWhiteDot;
  // Black overwrites white, so {1, 2} is black; two empty cells (0, 0) get nothing.
  if (a + b != 0 && (a == 2 * b || b == 2 * a)) code = kBlackDot;
  return code;
}

bool hasEmptyCell(const Grid& grid) {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (grid[r][c] == 0) return true;
  return false;
}

}  // namespace

void deriveDots(BoardModel& model) {
  model.dotsRight = {};
  model.dotsDown = {};
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 8; ++c)
      model.dotsRight[r][c] = derivedCode(model.board[r][c], model.board[r][c + 1]);
  for (int r = 1; r <= 8; ++r)
    for (int c = 1; c <= 9; ++c)
      model.dotsDown[c][r] = derivedCode(model.board[r][c], model.board[r + 1][c]);
}

void deriveDotsFromSolution(BoardModel& model, Solver& solver) { deriveDotsFromSolution(model, solver, std::nullopt); }

void deriveDotsFromSolution(BoardModel& model, Solver& solver, const std::optional<Grid>& known) {
  assert(&solver.model() == &model);
  model.solution = model.board;
  solver.solveByRules();
  if (known && hasEmptyCell(model.board)) model.board = *known;
  deriveDots(model);
  model.board = model.solution;
}

}  // namespace punktivo
