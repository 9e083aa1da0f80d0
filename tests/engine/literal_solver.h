// The rules and the solver written the slow, literal way: every fit test writes the
// trial digit into the board and checks the whole board for duplicates. The engine's
// fast solver is compared against it, operation by operation.
#pragma once

#include "engine/board_model.h"

namespace punktivo::literal {

bool hasNoDuplicates(BoardModel& model);
bool boxHasNoDuplicates(BoardModel& model, int firstColumn, int firstRow);
bool checkRowDots(BoardModel& model, int column, int row);
bool checkColumnDots(BoardModel& model, int column, int row);
bool isBoardConsistent(BoardModel& model);
void deriveDots(BoardModel& model);

class LiteralSolver {
 public:
  LiteralSolver(BoardModel& model, Settings& settings) : model_(model), settings_(settings) {}

  bool fitsPlain(int column, int row, int digit);
  bool fitsAll(int column, int row, int digit);

  void computeCandidates();
  void solveWithCandidates();
  void solveByRules();
  void computeSolution();
  // boardFull is read after the solve, whose redraw runs the error check again.
  void solveCommand(const bool& boardFull);
  void refreshCandidates();

  bool guessActive = false;
  int16_t fitCount = 0;
  int16_t fitDigit = 0, fitRow = 0, fitCol = 0;
  int16_t guessFirst = 0, guessSecond = 0;
  int16_t stallCount = 0;

  // For picking test boards: the last round of singles of the latest rule-solver run
  // that placed a digit (0 when none did).
  int lastPlacingRound = 0;

 private:
  void fillBoxSingles(int firstColumn, int firstRow);
  void fillRowSingles(int row);
  void fillColumnSingles(int column);
  void guessStep();
  void guessInRow(int row);
  void placeAndDraw(int row, int column, int digit);

  int round_ = 0;
  BoardModel& model_;
  Settings& settings_;
};

void deriveDotsFromSolution(BoardModel& model, LiteralSolver& solver);

}  // namespace punktivo::literal
