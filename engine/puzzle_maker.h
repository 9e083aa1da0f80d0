// Fresh puzzles from nothing, for puzzle authors: a random full grid, the dots of its solution,
// and givens taken away while the puzzle keeps one solution and the step solver its grade.
#pragma once

#include <optional>

#include "engine/board_model.h"
#include "engine/grade.h"
#include "engine/random.h"

namespace punktivo {

// A random complete sudoku grid.
Grid randomFullGrid(RandomSource& random);

// The dots the digits of a full grid make (the game's own derivation).
void dotsOfGrid(const Grid& full, Grid& dotsRight, Grid& dotsDown);

struct MadePuzzle {
  Grid solution{}, givens{}, dotsRight{}, dotsDown{};
  LogicRun run;    // the step solver on the puzzle
  int grids = 0;   // full grids tried
};

struct MakeOptions {
  int level = kLevelExtreme;              // fewest givens kept: as the stock collections, none at "Extrem"
  Grade hardest = Grade::kFiendish;       // the step solver must finish at or below this grade
  bool noGivens = false;                  // dots only: the dots alone decide
  int maxGrids = 200;                     // full grids tried before giving up
};

// Nothing when no grid within maxGrids made a puzzle.
std::optional<MadePuzzle> makePuzzle(const MakeOptions& options, RandomSource& random);

}  // namespace punktivo
