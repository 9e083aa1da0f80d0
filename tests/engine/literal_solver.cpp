// The literal rules and solver: every step done the plain, slow way, no shortcuts.
#include "literal_solver.h"

namespace punktivo::literal {

namespace {

bool dupCountHasTwo(const BoardModel& model) {
  for (int d = 1; d <= 9; ++d)
    if (model.dupCount[d] >= 2) return true;
  return false;
}

// Whether digits a and b break the rule of dot code `code`.
bool breaksDot(int code, int a, int b) {
  if (code == 0) return a - b == 1 || b - a == 1 || a == 2 * b || b == 2 * a;
  if (code == 1) return !(a - b == 1 || b - a == 1);
  if (code == 2) return !(a == 2 * b || b == 2 * a);
  return false;
}

}  // namespace

bool hasNoDuplicates(BoardModel& model) {
  for (int c = 1; c <= 9; ++c) {
    for (int d = 0; d <= 9; ++d) model.dupCount[d] = 0;
    for (int r = 1; r <= 9; ++r) model.dupCount[model.board[r][c]]++;
    if (dupCountHasTwo(model)) return false;
  }
  for (int r = 1; r <= 9; ++r) {
    for (int d = 0; d <= 9; ++d) model.dupCount[d] = 0;
    for (int c = 1; c <= 9; ++c) model.dupCount[model.board[r][c]]++;
    if (dupCountHasTwo(model)) return false;
  }
  for (int r = 1; r <= 7; r += 3)
    for (int c = 1; c <= 7; c += 3)
      if (!boxHasNoDuplicates(model, c, r)) return false;
  return true;
}

bool boxHasNoDuplicates(BoardModel& model, int firstColumn, int firstRow) {
  for (int d = 0; d <= 9; ++d) model.dupCount[d] = 0;
  for (int c = firstColumn; c <= firstColumn + 2; ++c)
    for (int r = firstRow; r <= firstRow + 2; ++r) model.dupCount[model.board[r][c]]++;
  return !dupCountHasTwo(model);
}

bool checkRowDots(BoardModel& model, int column, int row) {
  const int a = model.board[row][column];
  if (column < 9 && model.board[row][column + 1] != 0 &&
      breaksDot(model.dotsRight[row][column], a, model.board[row][column + 1]))
    return false;
  if (column >= 2 && model.board[row][column - 1] != 0 &&
      breaksDot(model.dotsRight[row][column - 1], a, model.board[row][column - 1]))
    return false;
  return true;
}

bool checkColumnDots(BoardModel& model, int column, int row) {
  const int a = model.board[row][column];
  if (row < 9 && model.board[row + 1][column] != 0 &&
      breaksDot(model.dotsDown[column][row], a, model.board[row + 1][column]))
    return false;
  if (row >= 2 && model.board[row - 1][column] != 0 &&
      breaksDot(model.dotsDown[column][row - 1], a, model.board[row - 1][column]))
    return false;
  return true;
}

bool isBoardConsistent(BoardModel& model) {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      if (model.board[r][c] != 0) continue;
      bool admits = false;
      for (int d = 1; d <= 9 && !admits; ++d) {
        model.board[r][c] = uint8_t(d);
        admits = hasNoDuplicates(model);
        model.board[r][c] = 0;
      }
      if (!admits) return false;
    }
  for (int c = 1; c <= 9; ++c)
    for (int r = 1; r <= 9; ++r)
      if (model.board[r][c] != 0)
        if (!checkRowDots(model, c, r) || !checkColumnDots(model, c, r)) return false;
  return true;
}

void deriveDots(BoardModel& model) {
  for (int i = 0; i <= 9; ++i)
    for (int j = 0; j <= 9; ++j) {
      model.dotsRight[i][j] = 0;
      model.dotsDown[i][j] = 0;
    }
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 8; ++c) {
      const int a = model.board[r][c], b = model.board[r][c + 1];
      if (a - b == 1 || b - a == 1) model.dotsRight[r][c] = 1;
      if (a + b != 0 && (a == 2 * b || b == 2 * a)) model.dotsRight[r][c] = 2;
    }
  for (int r = 1; r <= 8; ++r)
    for (int c = 1; c <= 9; ++c) {
      const int a = model.board[r][c], b = model.board[r + 1][c];
      if (a - b == 1 || b - a == 1) model.dotsDown[c][r] = 1;
      if (a + b != 0 && (a == 2 * b || b == 2 * a)) model.dotsDown[c][r] = 2;
    }
}

void deriveDotsFromSolution(BoardModel& model, LiteralSolver& solver) {
  model.solution = model.board;
  solver.solveByRules();
  deriveDots(model);
  model.board = model.solution;
}

bool LiteralSolver::fitsPlain(int column, int row, int digit) {
  model_.board[row][column] = uint8_t(digit);
  const bool fits = hasNoDuplicates(model_);
  model_.board[row][column] = 0;
  return fits;
}

bool LiteralSolver::fitsAll(int column, int row, int digit) {
  model_.board[row][column] = uint8_t(digit);
  const bool fits = hasNoDuplicates(model_) && checkRowDots(model_, column, row) &&
                    checkColumnDots(model_, column, row);
  model_.board[row][column] = 0;
  return fits;
}

void LiteralSolver::placeAndDraw(int row, int column, int digit) {
  if (digit != 0) lastPlacingRound = round_;
  model_.board[row][column] = uint8_t(digit);
  if (!model_.quietMode) model_.display().drawPlayerCell(column, row, digit);
}

void LiteralSolver::computeCandidates() {
  for (int r = 0; r <= 9; ++r)
    for (int c = 0; c <= 9; ++c)
      for (int d = 0; d <= 9; ++d) model_.candidates[r][c][d] = false;
  for (int c = 1; c <= 9; ++c)
    for (int r = 1; r <= 9; ++r)
      if (model_.board[r][c] == 0)
        for (int d = 1; d <= 9; ++d)
          if (fitsAll(c, r, d)) model_.candidates[r][c][d] = true;
  for (int round = 1; round <= 3; ++round)
    for (int c = 1; c <= 9; ++c)
      for (int r = 1; r <= 9; ++r) {
        if (model_.board[r][c] != 0) continue;
        int count = 0, single = 0;
        for (int d = 1; d <= 9; ++d)
          if (model_.candidates[r][c][d]) ++count, single = d;
        if (count != 1) continue;
        for (int k = 1; k <= 9; ++k)
          if (k != r && model_.board[k][c] == 0) model_.candidates[k][c][single] = false;
        for (int k = 1; k <= 9; ++k)
          if (k != c && model_.board[r][k] == 0) model_.candidates[r][k][single] = false;
        const int br = (r - 1) / 3 * 3 + 1, bc = (c - 1) / 3 * 3 + 1;
        for (int i = br; i <= br + 2; ++i)
          for (int j = bc; j <= bc + 2; ++j)
            if (i != r && j != c) model_.candidates[i][j][single] = false;
      }
}

void LiteralSolver::solveWithCandidates() {
  stallCount = 0;
  for (;;) {
    computeCandidates();
    stallCount = stallCount + 1;
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        if (model_.board[r][c] != 0) continue;
        int count = 0, single = 0;
        for (int d = 1; d <= 9; ++d)
          if (model_.candidates[r][c][d]) ++count, single = d;
        if (count == 1) {
          model_.board[r][c] = uint8_t(single);
          stallCount = 0;
        }
      }
    if (stallCount > 0) break;
    if (model_.isBoardComplete()) break;
  }
  if (!model_.isBoardComplete()) solveByRules();
  if (!model_.quietMode) model_.display().redrawBoard();
}

void LiteralSolver::solveByRules() {
  lastPlacingRound = 0;
  for (int round = 1; round <= 10; ++round) {
    round_ = round;
    for (int bc = 1; bc <= 7; bc += 3)
      for (int br = 1; br <= 7; br += 3) fillBoxSingles(bc, br);
    for (int k = 1; k <= 9; ++k) {
      fillRowSingles(k);
      fillColumnSingles(k);
    }
  }
  round_ = 0;
  if (!guessActive) {
    if (!model_.isBoardComplete()) guessStep();
  }
  model_.unsolvedFlag = !model_.isBoardComplete();
  if (!model_.quietMode) model_.display().drawDots();
}

void LiteralSolver::fillBoxSingles(int firstColumn, int firstRow) {
  for (int c = firstColumn; c <= firstColumn + 2; ++c)
    for (int r = firstRow; r <= firstRow + 2; ++r) {
      if (model_.board[r][c] != 0) continue;
      fitCount = 0;
      for (int d = 1; d <= 9; ++d)
        if (fitsPlain(c, r, d)) {
          fitCount = fitCount + 1;
          fitDigit = int16_t(d);
          fitRow = int16_t(r);
          fitCol = int16_t(c);
        }
      if (fitCount == 1) placeAndDraw(r, c, fitDigit);
    }
  for (int d = 1; d <= 9; ++d) {
    fitCount = 0;
    for (int c = firstColumn; c <= firstColumn + 2; ++c)
      for (int r = firstRow; r <= firstRow + 2; ++r)
        if (model_.board[r][c] == 0 && fitsPlain(c, r, d)) {
          fitCount = fitCount + 1;
          fitDigit = int16_t(d);
          fitRow = int16_t(r);
          fitCol = int16_t(c);
        }
    if (fitCount == 1) placeAndDraw(fitRow, fitCol, d);
  }
}

void LiteralSolver::fillRowSingles(int row) {
  for (int d = 1; d <= 9; ++d) {
    fitCount = 0;
    for (int c = 1; c <= 9; ++c)
      if (model_.board[row][c] == 0 && fitsPlain(c, row, d)) {
        fitCount = fitCount + 1;
        fitDigit = int16_t(d);
        fitRow = int16_t(row);
        fitCol = int16_t(c);
      }
    if (fitCount == 1) placeAndDraw(fitRow, fitCol, d);
  }
}

void LiteralSolver::fillColumnSingles(int column) {
  for (int d = 1; d <= 9; ++d) {
    fitCount = 0;
    for (int r = 1; r <= 9; ++r)
      if (model_.board[r][column] == 0 && fitsPlain(column, r, d)) {
        fitCount = fitCount + 1;
        fitDigit = int16_t(d);
        fitRow = int16_t(r);
        fitCol = int16_t(column);
      }
    if (fitCount == 1) placeAndDraw(fitRow, fitCol, d);
  }
}

void LiteralSolver::guessStep() {
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

void LiteralSolver::guessInRow(int row) {
  for (int c = 1; c <= 9; ++c) {
    if (model_.board[row][c] != 0) continue;
    fitCount = 0;
    guessFirst = 0;
    guessSecond = 0;
    for (int d = 1; d <= 9; ++d)
      if (fitsPlain(c, row, d)) {
        fitCount = fitCount + 1;
        fitDigit = int16_t(d);
        fitRow = int16_t(row);
        fitCol = int16_t(c);
        if (fitCount == 1) guessFirst = int16_t(d);
        if (fitCount == 2) guessSecond = int16_t(d);
        if (fitCount == 3) {
          guessFirst = 0;
          guessSecond = 0;
        }
      }
    if (guessSecond == 0) continue;
    placeAndDraw(row, c, guessFirst);
    solveByRules();
    if (model_.isBoardComplete()) {
      deriveDots(model_);
      return;
    }
    model_.board = model_.boardBackup;
    placeAndDraw(row, c, guessSecond);
    solveByRules();
    if (model_.isBoardComplete()) {
      deriveDots(model_);
      return;
    }
    model_.board = model_.boardBackup;
    placeAndDraw(row, c, 0);
  }
  if (!model_.quietMode) model_.display().redrawBoard();
}

void LiteralSolver::computeSolution() {
  // Quiet while it works; the caller's quietMode comes back afterwards.
  const bool quiet = model_.quietMode;
  model_.quietMode = true;
  const Grid copy = model_.board;
  solveWithCandidates();
  model_.unsolvedFlag = !model_.isBoardComplete();
  model_.solution = model_.board;
  model_.board = copy;
  model_.quietMode = quiet;
}

void LiteralSolver::solveCommand(const bool& boardFull) {
  solveWithCandidates();
  if (!(boardFull && hasNoDuplicates(model_)) && !isBoardConsistent(model_)) {
    model_.restartBoard();
    if (!model_.quietMode) model_.display().redrawBoard();
    solveByRules();
  }
}

void LiteralSolver::refreshCandidates() {
  if (settings_.showCandidates) {
    model_.display().endTimedGame();
    computeCandidates();
  }
  if (!model_.quietMode) model_.display().drawCandidateMarks();
}

}  // namespace punktivo::literal
