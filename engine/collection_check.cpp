// Trying stock puzzles as new games would use them, and the quality bar built on that.
#include "engine/collection_check.h"

#include "engine/rules.h"

namespace punktivo {

PuzzleTrial::PuzzleTrial(uint64_t seed) : random_(seed) {
  model_.quietMode = true;
  settings_.fillLevelNames();
}

void PuzzleTrial::load(const Grid& grid, const Grid& givens) {
  model_.board = grid;
  model_.givens = givens;
  model_.solution = grid;
  deriveDots(model_);
  model_.clearCandidates();
}

bool PuzzleTrial::solverReaches() {
  const Grid solution = model_.solution;
  model_.restartBoard();
  solver_.solveWithCandidates();
  const bool reached = model_.isBoardComplete() && model_.board == solution;
  model_.board = solution;
  return reached;
}

bool PuzzleTrial::finishes() {
  return solverReaches() && countSolutions(model_.givens, model_.dotsRight, model_.dotsDown, 2) == 1;
}

bool PuzzleTrial::disguiseFinishes(const Grid& grid, const Grid& givens, int level, bool symmetric,
                                   int* passes) {
  settings_.difficulty = int16_t(level);
  settings_.puzzleSymmetry = symmetric;
  model_.board = grid;
  model_.givens = givens;
  generator_.shuffleBoard();
  deriveDotsFromSolution(model_, solver_);
  if (passes) *passes = candidatePasses().first;
  return finishes();
}

std::pair<int, bool> PuzzleTrial::candidatePasses() {
  const Grid solution = model_.solution;
  model_.restartBoard();
  int passes = 0;
  bool placed = true;
  while (placed && !model_.isBoardComplete()) {
    solver_.computeCandidates();
    ++passes;
    placed = false;
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        if (model_.board[r][c] != 0) continue;
        int count = 0, digit = 0;
        for (int d = 1; d <= 9; ++d)
          if (model_.candidates[r][c][d]) ++count, digit = d;
        if (count == 1) model_.board[r][c] = uint8_t(digit), placed = true;
      }
  }
  const bool alone = model_.isBoardComplete();
  model_.board = solution;
  return {passes, alone};
}

bool RecordQuality::meetsBar() const {
  return validSolution && givensOnSolution && dotsMatchSolution && solutions == 1 &&
         candidateSolverFinishes && disguises > 0 &&
         disguisesFinished * 100 >= disguises * kMinDisguisesFinishedPercent;
}

namespace {

int givenCount(const Grid& givens) {
  int n = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) n += givens[r][c] != 0;
  return n;
}

bool givensOn(const Grid& givens, const Grid& board) {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (givens[r][c] != 0 && givens[r][c] != board[r][c]) return false;
  return true;
}

// Only the places that join two cells count; the rest of the images is never read.
bool sameDots(const BoardModel& a, const BoardModel& b) {
  for (int line = 1; line <= 9; ++line)
    for (int k = 1; k <= 8; ++k)  // dotsRight[row][column], dotsDown[column][row]
      if (a.dotsRight[line][k] != b.dotsRight[line][k] || a.dotsDown[line][k] != b.dotsDown[line][k])
        return false;
  return true;
}

}  // namespace

RecordQuality checkRecord(const BoardModel& record, int disguises, bool symmetric, uint64_t seed) {
  RecordQuality quality;
  quality.validSolution = isValidSolution(record.board);
  quality.givensOnSolution = givensOn(record.givens, record.board);
  quality.givens = givenCount(record.givens);

  // The puzzle the record stands for: its givens with the dots of its board. The stored dots
  // only have to agree, since new games derive their own anyway.
  PuzzleTrial trial(seed);
  BoardModel& model = trial.model();
  trial.load(record.board, record.givens);
  quality.dotsMatchSolution = sameDots(model, record);
  quality.solutions = countSolutions(model.givens, model.dotsRight, model.dotsDown, 2);
  quality.candidateSolverFinishes = trial.solverReaches();

  // A new game drops a record without a complete solution under its givens unseen.
  if (!quality.validSolution || !quality.givensOnSolution) {
    quality.disguises = disguises;
    return quality;
  }
  long passSum = 0;
  for (int k = 0; k < disguises; ++k) {
    int passes = 0;
    quality.disguisesFinished += trial.disguiseFinishes(record.board, record.givens, 0, symmetric, &passes);
    passSum += passes;
    ++quality.disguises;
  }
  if (quality.disguises > 0) quality.meanPasses = double(passSum) / quality.disguises;
  return quality;
}

}  // namespace punktivo
