// New puzzles by disguise of stock records.
#include "engine/generator.h"

#include <cassert>
#include <utility>

#include "engine/rules.h"

namespace punktivo {

namespace {

constexpr uint16_t kAllDigits = 0x3FE;  // bits 1..9

bool sameCells(const Grid& a, const Grid& b) {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (a[r][c] != b[r][c]) return false;
  return true;
}

// The record just read can be disguised: a complete solution, every given on its digit.
bool isUsableRecord(const BoardModel& model) {
  if (!isValidSolution(model.board)) return false;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (model.givens[r][c] != 0 && model.givens[r][c] != model.board[r][c]) return false;
  return true;
}

}  // namespace

bool isValidSolution(const Grid& grid) {
  for (int k = 0; k < 9; ++k) {
    uint16_t row = 0, column = 0, box = 0;
    for (int m = 0; m < 9; ++m) {
      const int boxRow = k / 3 * 3 + m / 3 + 1, boxColumn = k % 3 * 3 + m % 3 + 1;
      row |= uint16_t(1u << (grid[k + 1][m + 1] & 15));
      column |= uint16_t(1u << (grid[m + 1][k + 1] & 15));
      box |= uint16_t(1u << (grid[boxRow][boxColumn] & 15));
    }
    if (row != kAllDigits || column != kAllDigits || box != kAllDigits) return false;
  }
  return true;
}

std::optional<Grid> knownSolution(const BoardModel& model) {
  for (const Grid* digits : {&model.board, &model.givens}) {
    const ExactSolution exact = solveExact(*digits, model.dotsRight, model.dotsDown);
    if (exact.unique()) return exact.grid;
  }
  return std::nullopt;
}

// --- transformations ------------------------------------------------------------------

void Generator::swapRows(int a, int b) {
  assert(a >= 1 && a <= 9 && b >= 1 && b <= 9);
  for (int c = 1; c <= 9; ++c) {
    std::swap(model_.board[a][c], model_.board[b][c]);
    std::swap(model_.givens[a][c], model_.givens[b][c]);
    if (carried_ != nullptr) std::swap((*carried_)[a][c], (*carried_)[b][c]);
  }
}

void Generator::swapColumns(int a, int b) {
  assert(a >= 1 && a <= 9 && b >= 1 && b <= 9);
  for (int r = 1; r <= 9; ++r) {
    std::swap(model_.board[r][a], model_.board[r][b]);
    std::swap(model_.givens[r][a], model_.givens[r][b]);
    if (carried_ != nullptr) std::swap((*carried_)[r][a], (*carried_)[r][b]);
  }
}

void Generator::swapBands(int a, int b) {
  for (int k = 1; k <= 3; ++k) swapRows(3 * (a - 1) + k, 3 * (b - 1) + k);
}

void Generator::swapStacks(int a, int b) {
  for (int k = 1; k <= 3; ++k) swapColumns(3 * (a - 1) + k, 3 * (b - 1) + k);
}

void Generator::swapMiddleLines() {
  swapRows(4, 6);
  swapColumns(4, 6);
}

void Generator::flipVertical() {
  for (int i = 1; i <= 4; ++i) swapRows(i, 10 - i);
}

void Generator::flipHorizontal() {
  for (int i = 1; i <= 4; ++i) swapColumns(i, 10 - i);
}

void Generator::rotateQuarter() {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      model_.boardBackup[10 - c][r] = model_.board[r][c];
      model_.solution[10 - c][r] = model_.givens[r][c];
    }
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      model_.board[r][c] = model_.boardBackup[r][c];
      model_.givens[r][c] = model_.solution[r][c];
    }
  if (carried_ != nullptr) {
    const Grid before = *carried_;
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) (*carried_)[10 - c][r] = before[r][c];
  }
}

void Generator::permuteDigits() {
  model_.digitFree.fill(true);
  model_.digitMap.fill(0);
  for (int k = 1; k <= 9; ++k) {
    int d;
    do {
      d = random_.random(9) + 1;
    } while (d < 1 || d > 9 || !model_.digitFree[d]);
    model_.digitMap[k] = uint8_t(d);
    model_.digitFree[d] = false;
  }
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      assert(model_.board[r][c] <= 9 && model_.givens[r][c] <= 9);
      model_.board[r][c] = model_.digitMap[model_.board[r][c]];
      model_.givens[r][c] = model_.digitMap[model_.givens[r][c]];
      if (carried_ != nullptr) (*carried_)[r][c] = model_.digitMap[(*carried_)[r][c]];
    }
}

// --- shuffle --------------------------------------------------------------------------

void Generator::shuffleBoard() {
  // Every draw is its own statement: the order of the draws is part of the behaviour
  // (a seed replays a game), and C++ leaves the order of operands unspecified.
  if (settings_.puzzleSymmetry && settings_.difficulty != 3) {
    // Each step maps a cell and its half-turn partner (10-r, 10-c) to partners again.
    const int rounds = random_.random(50) + 50;
    for (int round = 0; round < rounds; ++round) {
      const int i = random_.random(2) + 1;
      swapRows(i, i + 1);
      swapRows(10 - i, 9 - i);
      const int j = random_.random(2) + 1;
      swapColumns(j, j + 1);
      swapColumns(10 - j, 9 - j);
      swapStacks(1, 3);
      if (random_.random(2) == 0) swapBands(1, 3);
      if (random_.random(2) == 0) swapMiddleLines();
      if (random_.random(2) == 0) flipVertical();
      if (random_.random(2) == 0) flipHorizontal();
      if (random_.random(2) == 0) rotateQuarter();
      permuteDigits();
    }
  } else {
    const int rounds = random_.random(100) + 100;
    for (int round = 0; round < rounds; ++round) {
      const int i = random_.random(2) + 1;
      swapRows(i, i + 1);
      const int inStack = random_.random(2) + 1;
      const int stack = random_.random(3);
      const int j = inStack + 3 * stack;
      swapColumns(j, j + 1);
      const int stackA = random_.random(3) + 1;
      const int stackB = random_.random(3) + 1;
      swapStacks(stackA, stackB);
      const int bandA = random_.random(3) + 1;
      const int bandB = random_.random(3) + 1;
      swapBands(bandA, bandB);
      if (random_.random(2) == 0) flipVertical();
      if (random_.random(2) == 0) flipHorizontal();
      if (random_.random(2) == 0) rotateQuarter();
      permuteDigits();
    }
  }
  model_.storeSolution();
}

std::optional<Grid> Generator::shuffleBoardCarryingSolution() {
  std::optional<Grid> known = knownSolution(model_);
  carried_ = known ? &*known : nullptr;
  shuffleBoard();
  carried_ = nullptr;
  return known;
}

// --- new game -------------------------------------------------------------------------

bool Generator::solverFinishes() {
  if (!model_.isBoardComplete()) return false;
  if (!requireUnique) return true;
  return sameCells(model_.board, model_.solution) &&
         countSolutions(model_.givens, model_.dotsRight, model_.dotsDown, 2) == 1;
}

GenerateResult Generator::generateGame(const RecordReader& readRecord) {
  GenerateResult result;
  // A failed new game leaves the player's board as it was.
  const BoardModel before = model_;
  const QuietScope quiet(model_);

  bool finished = false;
  while (!finished && result.attempts < maxAttempts) {
    ++result.attempts;
    const int slot = random_.random(4);
    if (!readRecord || !readRecord(slot)) continue;
    ++result.recordsRead;
    // The file is not trusted: a record without a complete solution cannot be disguised
    // into a puzzle whose solution is known.
    if (!isUsableRecord(model_)) {
      ++result.badRecords;
      continue;
    }
    shuffleBoard();
    deriveDotsFromSolution(model_, solver_);
    model_.restartBoard();
    solver_.solveWithCandidates();
    if (!model_.isBoardComplete()) continue;
    if (!solverFinishes()) {
      ++result.notUnique;
      continue;
    }
    finished = true;
    result.slot = slot;
  }

  if (!finished) {
    model_ = before;
    result.status = result.recordsRead > result.badRecords ? GenerateStatus::kUnsolvable
                                                           : GenerateStatus::kNoRecord;
    return result;
  }

  if (settings_.difficulty == kLevelExtreme) {
    if (showBusy) showBusy(true);
    reduceGivens();
    if (showBusy) showBusy(false);
  } else {
    if (!model_.quietMode) model_.display().drawMainScreen();
    deriveDotsFromSolution(model_, solver_);
  }
  result.status = GenerateStatus::kGenerated;
  return result;
}

void Generator::reduceGivens() {
  const QuietScope quiet(model_);
  deriveDotsFromSolution(model_, solver_);
  const Grid dotsRight = model_.dotsRight;
  const Grid dotsDown = model_.dotsDown;
  // Start from the givens, not from the full board the caller leaves: on the full board the
  // first given visited would be judged with every other cell still filled, and would
  // always go. So each given is tested against the givens that remain at its turn.
  model_.restartBoard();
  for (int c = 1; c <= 9; ++c)
    for (int r = 1; r <= 9; ++r) {
      const uint8_t d = model_.board[r][c];
      if (d == 0) continue;
      model_.board[r][c] = 0;
      model_.givens[r][c] = 0;
      solver_.solveWithCandidates();
      if (!solverFinishes()) {
        model_.board[r][c] = d;
        model_.givens[r][c] = d;
      }
      // A successful guess in the solver's fallback re-derives the dots from the board it
      // found; the puzzle's dots must not change under the tests.
      model_.dotsRight = dotsRight;
      model_.dotsDown = dotsDown;
      model_.restartBoard();
    }
}

}  // namespace punktivo
