// The solver. Its fit tests read digit masks instead of trying each digit on the whole
// board; the masks give the same answers (tests/engine compares both on many boards).
#include "engine/solver.h"

#include <bit>
#include <cassert>

#include "engine/rules.h"

namespace punktivo {

namespace {

int highestDigit(uint16_t mask) { return std::bit_width(mask) - 1; }
int lowestDigit(uint16_t mask) { return std::countr_zero(mask); }
bool singleDigit(uint16_t mask) { return mask != 0 && (mask & (mask - 1)) == 0; }

// Digit sets have 10 bits; tables avoid a library call for the count on plain x86-64.
struct MaskTables {
  uint8_t count[1024]{};
  std::array<bool, 10> flags[1024]{};
  constexpr MaskTables() {
    for (int m = 0; m < 1024; ++m)
      for (int d = 0; d < 10; ++d)
        if ((m >> d) & 1) {
          ++count[m];
          flags[m][d] = true;
        }
  }
};
constexpr MaskTables kMasks;
int digitCount(uint16_t mask) { return kMasks.count[mask]; }

// kDotCompatible[code][b]: the digits a that keep the rule of code with neighbour b.
struct DotTable {
  uint16_t compatible[3][10]{};
  constexpr DotTable() {
    for (int code = 0; code <= 2; ++code)
      for (int b = 1; b <= 9; ++b)
        for (int a = 1; a <= 9; ++a) {
          const bool consecutive = a - b == 1 || b - a == 1;
          const bool doubled = a == 2 * b || b == 2 * a;
          const bool holds = code == 0 ? !consecutive && !doubled : code == 1 ? consecutive : doubled;
          if (holds) compatible[code][b] |= uint16_t(1u << a);
        }
  }
};
constexpr DotTable kDots;

uint16_t neighbourFits(int code, int neighbour) {
  if (neighbour == 0 || code > 2) return DigitMasks::kAllDigits;  // not tested / no rule
  return kDots.compatible[code][neighbour];
}

inline uint16_t cellDotFits(const BoardModel& model, int row, int column) {
  uint16_t fits = DigitMasks::kAllDigits;
  if (column < 9) fits &= neighbourFits(model.dotsRight[row][column], model.board[row][column + 1]);
  if (column >= 2) fits &= neighbourFits(model.dotsRight[row][column - 1], model.board[row][column - 1]);
  if (row < 9) fits &= neighbourFits(model.dotsDown[column][row], model.board[row + 1][column]);
  if (row >= 2) fits &= neighbourFits(model.dotsDown[column][row - 1], model.board[row - 1][column]);
  return fits;
}

}  // namespace

void DigitMasks::rebuild(const Grid& board) {
  rows_.fill(0);
  columns_.fill(0);
  boxes_.fill(0);
  duplicate_ = false;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      const uint8_t d = board[r][c];
      assert(d <= 9);  // the file reader keeps digits in range
      if (d != 0) place(c, r, d);
    }
}

uint16_t dotFits(const BoardModel& model, int column, int row) {
  return cellDotFits(model, row, column);
}

bool Solver::fitsPlain(int column, int row, int digit) {
  assert(model_.board[row][column] == 0);
  masks_.rebuild(model_.board);
  return masks_.fitsPlain(column, row, digit);
}

bool Solver::fitsAll(int column, int row, int digit) {
  return fitsPlain(column, row, digit) && ((dotFits(model_, column, row) >> digit) & 1u);
}

void Solver::place(int column, int row, int digit) {
  model_.board[row][column] = uint8_t(digit);
  masks_.place(column, row, digit);
  if (!model_.quietMode) model_.display().drawPlayerCell(column, row, digit);
}

void Solver::computeCandidates() {
  masks_.rebuild(model_.board);
  computeCandidatesNow();
  storeMarks();
}

void Solver::computeCandidatesNow() {
  auto& marks = marks_;
  for (int r = 0; r <= 9; ++r) marks[r].fill(0);
  for (int c = 1; c <= 9; ++c)
    for (int r = 1; r <= 9; ++r)
      if (model_.board[r][c] == 0) marks[r][c] = masks_.plainFits(c, r) & cellDotFits(model_, r, c);

  // Single propagation. Filled cells carry no marks, so clearing them changes nothing.
  // Marks only ever shrink, so a single that was spread once and is still the same
  // single would clear nothing new: each cell is spread at most once.
  std::array<std::array<bool, 10>, 10> spread{};
  for (int round = 0; round < 3; ++round)
    for (int c = 1; c <= 9; ++c)
      for (int r = 1; r <= 9; ++r) {
        const uint16_t single = marks[r][c];
        if (!singleDigit(single) || spread[r][c]) continue;
        spread[r][c] = true;
        const uint16_t keep = uint16_t(~single);
        for (int k = 1; k <= 9; ++k) {
          if (k != r) marks[k][c] &= keep;
          if (k != c) marks[r][k] &= keep;
        }
        const int firstRow = (r - 1) / 3 * 3 + 1, firstColumn = (c - 1) / 3 * 3 + 1;
        for (int br = firstRow; br < firstRow + 3; ++br)
          for (int bc = firstColumn; bc < firstColumn + 3; ++bc)
            if (br != r && bc != c) marks[br][bc] &= keep;
      }
}

void Solver::storeMarks() {
  for (int r = 0; r <= 9; ++r)
    for (int c = 0; c <= 9; ++c) model_.candidates[r][c] = kMasks.flags[marks_[r][c]];
}

void Solver::solveWithCandidates() {
  masks_.rebuild(model_.board);
  stallCount = 0;
  do {
    computeCandidatesNow();
    ++stallCount;
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        // marks_ holds the candidates as digit sets; filled cells have none.
        if (!singleDigit(marks_[r][c])) continue;
        // Not drawn one by one; the board is drawn once at the end.
        const int digit = lowestDigit(marks_[r][c]);
        model_.board[r][c] = uint8_t(digit);
        masks_.place(c, r, digit);
        stallCount = 0;
      }
  } while (!(stallCount > 0 || model_.isBoardComplete()));
  // Nobody looks at the flags between passes; the last computation is what stays.
  storeMarks();
  if (!model_.isBoardComplete()) solveByRules();
  if (!model_.quietMode) model_.display().redrawBoard();
}

void Solver::solveByRules() {
  masks_.rebuild(model_.board);
  // Ten rounds. A round that places nothing leaves board and scan state as they were,
  // so the rounds after it would repeat it exactly; they are skipped.
  for (int round = 0; round < 10; ++round)
    if (!roundOfSingles()) break;
  if (!guessActive && !model_.isBoardComplete()) guessStep();
  model_.unsolvedFlag = !model_.isBoardComplete();
  if (!model_.quietMode) model_.display().drawDots();
}

bool Solver::roundOfSingles() {
  placedThisRound_ = false;
  for (int firstColumn = 1; firstColumn <= 7; firstColumn += 3)
    for (int firstRow = 1; firstRow <= 7; firstRow += 3) fillBoxSingles(firstColumn, firstRow);
  for (int k = 1; k <= 9; ++k) {
    fillRowSingles(k);
    fillColumnSingles(k);
  }
  return placedThisRound_;
}

void Solver::fillBoxSingles(int firstColumn, int firstRow) {
  // Cells with a single fitting digit.
  for (int c = firstColumn; c < firstColumn + 3; ++c)
    for (int r = firstRow; r < firstRow + 3; ++r) {
      if (model_.board[r][c] != 0) continue;
      const uint16_t fits = masks_.plainFits(c, r);
      fitCount = int16_t(digitCount(fits));
      if (fitCount == 0) continue;
      fitDigit = int16_t(highestDigit(fits));
      fitRow = int16_t(r);
      fitCol = int16_t(c);
      if (fitCount == 1) {
        place(c, r, fitDigit);
        placedThisRound_ = true;
      }
    }
  // Digits with a single cell in the box.
  const int box = DigitMasks::boxOf(firstColumn, firstRow);
  for (int d = 1; d <= 9; ++d) {
    fitCount = 0;
    const uint16_t bit = uint16_t(1u << d);
    if (masks_.hasDuplicate() || (masks_.box(box) & bit)) continue;
    for (int c = firstColumn; c < firstColumn + 3; ++c)
      for (int r = firstRow; r < firstRow + 3; ++r)
        if (model_.board[r][c] == 0 && !((masks_.row(r) | masks_.column(c)) & bit)) {
          ++fitCount;
          fitDigit = int16_t(d);
          fitRow = int16_t(r);
          fitCol = int16_t(c);
        }
    if (fitCount == 1) {
      place(fitCol, fitRow, d);
      placedThisRound_ = true;
    }
  }
}

void Solver::fillRowSingles(int row) {
  for (int d = 1; d <= 9; ++d) {
    fitCount = 0;
    const uint16_t bit = uint16_t(1u << d);
    if (masks_.hasDuplicate() || (masks_.row(row) & bit)) continue;
    for (int c = 1; c <= 9; ++c)
      if (model_.board[row][c] == 0 &&
          !((masks_.column(c) | masks_.box(DigitMasks::boxOf(c, row))) & bit)) {
        ++fitCount;
        fitDigit = int16_t(d);
        fitRow = int16_t(row);
        fitCol = int16_t(c);
      }
    if (fitCount == 1) {
      place(fitCol, row, d);
      placedThisRound_ = true;
    }
  }
}

void Solver::fillColumnSingles(int column) {
  for (int d = 1; d <= 9; ++d) {
    fitCount = 0;
    const uint16_t bit = uint16_t(1u << d);
    if (masks_.hasDuplicate() || (masks_.column(column) & bit)) continue;
    for (int r = 1; r <= 9; ++r)
      if (model_.board[r][column] == 0 &&
          !((masks_.row(r) | masks_.box(DigitMasks::boxOf(column, r))) & bit)) {
        ++fitCount;
        fitDigit = int16_t(d);
        fitRow = int16_t(r);
        fitCol = int16_t(column);
      }
    if (fitCount == 1) {
      place(column, fitRow, d);
      placedThisRound_ = true;
    }
  }
}

void Solver::guessStep() {
  guessActive = true;
  model_.boardBackup = model_.board;
  for (int r = 1; r <= 9; ++r) {
    guessInRow(r);
    if (model_.isBoardComplete()) {
      deriveDots(model_);
      break;
    }
  }
  guessActive = false;
}

void Solver::restoreFromBackup() {
  model_.board = model_.boardBackup;
  masks_.rebuild(model_.board);
}

void Solver::guessInRow(int row) {
  for (int c = 1; c <= 9; ++c) {
    if (model_.board[row][c] != 0) continue;
    const uint16_t fits = masks_.plainFits(c, row);
    fitCount = int16_t(digitCount(fits));
    if (fitCount > 0) {
      fitDigit = int16_t(highestDigit(fits));
      fitRow = int16_t(row);
      fitCol = int16_t(c);
    }
    // A third fit clears both, so guessSecond != 0 exactly when two digits fit.
    guessFirst = guessSecond = 0;
    if (fitCount == 1 || fitCount == 2) guessFirst = int16_t(lowestDigit(fits));
    if (fitCount == 2) guessSecond = int16_t(highestDigit(fits));
    if (guessSecond == 0) continue;

    const int second = guessSecond;
    place(c, row, guessFirst);
    solveByRules();
    if (model_.isBoardComplete()) {
      deriveDots(model_);
      return;
    }
    restoreFromBackup();
    place(c, row, second);
    solveByRules();
    if (model_.isBoardComplete()) {
      deriveDots(model_);
      return;
    }
    model_.board = model_.boardBackup;
    model_.board[row][c] = 0;
    masks_.rebuild(model_.board);
    if (!model_.quietMode) model_.display().drawPlayerCell(c, row, 0);
  }
  if (!model_.quietMode) model_.display().redrawBoard();
}

void Solver::computeSolution() {
  const QuietScope quiet(model_);
  const Grid kept = model_.board;
  solveWithCandidates();
  model_.unsolvedFlag = !model_.isBoardComplete();
  model_.solution = model_.board;
  model_.board = kept;
}

void Solver::solveCommand(const bool& boardFull) {
  solveWithCandidates();
  // boardFull as the check in the redraw above left it.
  if (!(boardFull && hasNoDuplicates(model_)) && !isBoardConsistent(model_)) {
    model_.restartBoard();
    if (!model_.quietMode) model_.display().redrawBoard();
    solveByRules();
  }
}

void Solver::refreshCandidates() {
  if (settings_.showCandidates) {
    model_.display().endTimedGame();
    computeCandidates();
  }
  if (!model_.quietMode) model_.display().drawCandidateMarks();
}

}  // namespace punktivo
