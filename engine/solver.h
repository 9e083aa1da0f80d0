// The solver: candidate computation with all rules, the candidate solver, the rule
// solver with its single guess step, and the operations built on them.
#pragma once

#include <cstdint>

#include "engine/board_model.h"

namespace punktivo {

class Solver {
 public:
  Solver(BoardModel& model, Settings& settings) : model_(model), settings_(settings) {}

  // Fit tests: the digit written into the empty cell (r, c) keeps the whole board free of
  // duplicates (plain rules), and in addition keeps the cell's dot rules (all rules).
  // No digit fits anywhere while the board already holds a duplicate.
  bool fitsPlain(int row, int column, int digit);
  bool fitsAll(int row, int column, int digit);

  void computeCandidates();
  void solveWithCandidates();
  void solveByRules();
  void computeSolution();
  // The engine side of "Brett lösen"; boardFull is the flag of the last error check.
  void solveCommand(bool boardFull);
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
  void place(int row, int column, int digit);  // writes and, unless quiet, draws

  BoardModel& model_;
  Settings& settings_;
};

}  // namespace punktivo
