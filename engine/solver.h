// The solver: candidate computation with all rules, the candidate solver, the rule
// solver with its single guess step, and the operations built on them.
#pragma once

#include <array>
#include <cstdint>

#include "engine/board_model.h"

namespace punktivo {

// Digit sets of the rows, columns and boxes of a board (bit d = digit d), and whether
// the board holds a duplicate. They answer the fit test exactly as writing the trial
// digit and testing the whole board for duplicates would: a digit fits an empty cell
// when no unit of the cell holds it and the board has no duplicate anywhere.
class DigitMasks {
 public:
  static constexpr uint16_t kAllDigits = 0x3FE;  // bits 1..9

  static int boxOf(int column, int row) { return (row - 1) / 3 * 3 + (column - 1) / 3 + 1; }

  void rebuild(const Grid& board);
  // Records digit d written into the empty cell (column, row).
  void place(int column, int row, int digit) {
    const uint16_t bit = uint16_t(1u << digit);
    const int box = boxOf(column, row);
    if ((rows_[row] | columns_[column] | boxes_[box]) & bit) duplicate_ = true;
    rows_[row] |= bit;
    columns_[column] |= bit;
    boxes_[box] |= bit;
  }

  bool hasDuplicate() const { return duplicate_; }
  // Digits of the units of (column, row), the cell's own digit included.
  uint16_t used(int column, int row) const {
    return rows_[row] | columns_[column] | boxes_[boxOf(column, row)];
  }
  // The digits that fit the empty cell (column, row) under the plain rules.
  uint16_t plainFits(int column, int row) const {
    return duplicate_ ? 0 : uint16_t(~used(column, row) & kAllDigits);
  }
  bool fitsPlain(int column, int row, int digit) const {
    return (plainFits(column, row) >> digit) & 1u;
  }
  uint16_t row(int r) const { return rows_[r]; }
  uint16_t column(int c) const { return columns_[c]; }
  uint16_t box(int b) const { return boxes_[b]; }

 private:
  std::array<uint16_t, 10> rows_{}, columns_{}, boxes_{};
  bool duplicate_ = false;
};

// The digits a that keep the dot rules of the empty cell (column, row) against its
// filled neighbours, as checkRowDots and checkColumnDots would with a in the cell.
uint16_t dotFits(const BoardModel& model, int column, int row);

class Solver {
 public:
  Solver(BoardModel& model, Settings& settings) : model_(model), settings_(settings) {}

  BoardModel& model() { return model_; }

  // Fit tests: the digit written into the empty cell (c, r) keeps the whole board free of
  // duplicates (plain rules), and in addition keeps the cell's dot rules (all rules).
  // No digit fits anywhere while the board already holds a duplicate.
  bool fitsPlain(int column, int row, int digit);
  bool fitsAll(int column, int row, int digit);

  void computeCandidates();
  void solveWithCandidates();
  void solveByRules();
  void computeSolution();
  // The engine side of "Brett lösen". boardFull is the flag the error check keeps; it is
  // read after the solve, since the redraw at the end of the solve runs the check again.
  void solveCommand(const bool& boardFull);
  void refreshCandidates();

  bool guessActive = false;
  int16_t fitCount = 0;
  int16_t fitDigit = 0, fitRow = 0, fitCol = 0;
  int16_t guessFirst = 0, guessSecond = 0;
  int16_t stallCount = 0;

 private:
  void fillBoxSingles(int firstColumn, int firstRow);
  void fillRowSingles(int row);
  void fillColumnSingles(int column);
  void guessStep();
  void guessInRow(int row);
  void place(int column, int row, int digit);  // writes and, unless quiet, draws
  void computeCandidatesNow();                 // into marks_, with masks_ current
  void storeMarks();                           // marks_ into candidates
  bool roundOfSingles();                       // true when it placed a digit
  void restoreFromBackup();

  BoardModel& model_;
  Settings& settings_;
  // Kept current by the solver's own placements; rebuilt at every public entry,
  // since the game changes the board between calls.
  DigitMasks masks_;
  // The candidates of the last computation as digit sets, [r][c].
  std::array<std::array<uint16_t, 10>, 10> marks_{};
  bool placedThisRound_ = false;
};

}  // namespace punktivo
