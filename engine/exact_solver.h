// The exact solver: counts and finds the solutions of a puzzle under every rule, dots and the
// absence of a dot included, by constraint propagation and backtracking. Unlike the game's
// solver it always finishes, also on boards with no digits at all.
#pragma once

#include "engine/board_model.h"

namespace punktivo {

// Solutions of the puzzle given by the fixed `digits` (a byte outside 1-9 counts as an empty
// cell) and the dot codes, counted up to `limit`: a result of `limit` means "that many or
// more", a limit below 1 gives 0. The rules are the game's own (dotRuleHolds): every digit
// once per row, column and box; code 0 forbids consecutive digits and the ratio 1:2, code 1
// asks for consecutive digits, code 2 for the ratio 1:2 (so {1, 2} keeps both 1 and 2); other
// codes impose nothing. Fixed digits that already break a rule give 0.
int countSolutions(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown, int limit = 2);

struct ExactSolution {
  int solutions = 0;  // 0, 1, or 2 for two or more; -1 when a bound on the work came first
  Grid grid{};        // the one solution when solutions == 1, otherwise all 0
  bool unique() const { return solutions == 1; }
};

// The solution of the puzzle when it has exactly one, or how many it has (0, or 2 for two
// or more).
ExactSolution solveExact(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown);

// No bound on the work.
constexpr long kUnbounded = -1;

// solveExact with at most `maxSteps` steps of work (kUnbounded: no bound): a guess is one step,
// real puzzles take a handful, a nearly empty board without a solution thousands. solutions
// is -1 when the steps ran out before the answer was known. Bounds the work one input may
// cost where many are tried in a row.
ExactSolution solveExactWithin(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown, long maxSteps);

}  // namespace punktivo
