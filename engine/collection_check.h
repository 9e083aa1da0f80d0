// The quality bar of a stock record: a sound puzzle that new games can disguise again and
// again. Shared by the collection maker and `punktivo-tool validate`.
#pragma once

#include <cstdint>
#include <utility>

#include "engine/board_model.h"
#include "engine/generator.h"
#include "engine/random.h"
#include "engine/solver.h"

namespace punktivo {

// A quiet engine of its own for trying puzzles; nobody else's model is touched.
class PuzzleTrial {
 public:
  explicit PuzzleTrial(uint64_t seed);
  PuzzleTrial(const PuzzleTrial&) = delete;
  PuzzleTrial& operator=(const PuzzleTrial&) = delete;

  BoardModel& model() { return model_; }

  // board = solution = grid, the given givens, the dots of grid, no candidate marks.
  void load(const Grid& grid, const Grid& givens);

  // From the givens (with the current dots) the candidate solver reaches the solution. The
  // board is put back.
  bool solverReaches();

  // The game's test of a finished puzzle: from the givens the candidate solver reaches the
  // solution, and the puzzle has exactly one solution under all rules. The board is put back.
  bool finishes();

  // One disguise as a new game makes it (the symmetric path when `symmetric` and the level
  // allows it, then the dots of the shuffled solution), judged by finishes(). With `passes`,
  // also the candidate-solver passes the disguise takes.
  bool disguiseFinishes(const Grid& grid, const Grid& givens, int level, bool symmetric,
                        int* passes = nullptr);

  // Passes of the candidate solver from the givens (candidate computations, as
  // solveWithCandidates makes them), and whether they alone finish the board, without the
  // rule solver's fallback. The board is put back.
  std::pair<int, bool> candidatePasses();

 private:
  NullDisplay display_;
  BoardModel model_{display_};
  Settings settings_;
  Solver solver_{model_, settings_};
  SeededRandom random_;
  Generator generator_{model_, settings_, solver_, random_};
};

// A record is good enough when at least this share of its disguises is finished.
inline constexpr int kMinDisguisesFinishedPercent = 90;

struct RecordQuality {
  bool validSolution = false;      // the board image is a complete, valid sudoku
  bool givensOnSolution = false;   // every given stands on a board cell of the same digit
  bool dotsMatchSolution = false;  // the stored dots are those of the board
  int givens = 0;
  // Of the givens with the dots of the board, under all rules: 0, 1 or 2 (two or more).
  int solutions = 0;
  // From those givens and dots the candidate solver reaches the board.
  bool candidateSolverFinishes = false;
  int disguises = 0;
  int disguisesFinished = 0;  // by the game's test; 0 for a record the game cannot use
  double meanPasses = 0;      // candidate-solver passes, mean over the disguises run

  double disguiseShare() const { return disguises > 0 ? double(disguisesFinished) / disguises : 0; }
  bool meetsBar() const;
};

// Judges the record in `record` (board, givens, dots; the model is not changed), trying
// `disguises` disguises of it from a random stream seeded with `seed`. `symmetric` picks the
// shuffle's symmetric path, otherwise its free path (as at "Extrem").
RecordQuality checkRecord(const BoardModel& record, int disguises, bool symmetric, uint64_t seed);

}  // namespace punktivo
