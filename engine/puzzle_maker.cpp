// Fresh puzzles from nothing: random grid, its dots, givens thinned under the exact counter
// and the step solver.
#include "engine/puzzle_maker.h"

#include <algorithm>
#include <array>
#include <functional>
#include <numeric>
#include <vector>

#include "engine/exact_solver.h"
#include "engine/rules.h"

namespace punktivo {

namespace {

// The fewest givens a made puzzle keeps per level, as the stock collections have them.
constexpr int kFewestGivens[4] = {36, 28, 24, 0};

bool fits(const Grid& grid, int r, int c, int d) {
  for (int i = 1; i <= 9; ++i)
    if (grid[r][i] == d || grid[i][c] == d) return false;
  const int r0 = (r - 1) / 3 * 3 + 1, c0 = (c - 1) / 3 * 3 + 1;
  for (int i = r0; i < r0 + 3; ++i)
    for (int j = c0; j < c0 + 3; ++j)
      if (grid[i][j] == d) return false;
  return true;
}

// Draws a random order of 0..n-1.
template <size_t N>
std::array<int, N> shuffled(RandomSource& random) {
  std::array<int, N> order{};
  std::iota(order.begin(), order.end(), 0);
  for (size_t i = N - 1; i > 0; --i) std::swap(order[i], order[size_t(random.random(int(i) + 1))]);
  return order;
}

bool solvedAtOrBelow(const LogicRun& run, Grade hardest) {
  return run.solved && int(run.grade) <= int(hardest);
}

}  // namespace

Grid randomFullGrid(RandomSource& random) {
  Grid grid{};
  // Cell by cell in reading order, digits in a random order; a full grid is always reached.
  std::function<bool(int)> fill = [&](int cell) {
    if (cell == 81) return true;
    const int r = cell / 9 + 1, c = cell % 9 + 1;
    for (int k : shuffled<9>(random)) {
      if (!fits(grid, r, c, k + 1)) continue;
      grid[r][c] = uint8_t(k + 1);
      if (fill(cell + 1)) return true;
    }
    grid[r][c] = 0;
    return false;
  };
  fill(0);
  return grid;
}

void dotsOfGrid(const Grid& full, Grid& dotsRight, Grid& dotsDown) {
  NullDisplay display;
  BoardModel model(display);
  model.quietMode = true;
  model.board = full;
  deriveDots(model);
  dotsRight = model.dotsRight;
  dotsDown = model.dotsDown;
}

std::optional<MadePuzzle> makePuzzle(const MakeOptions& options, RandomSource& random) {
  const int level = std::clamp(options.level, 0, 3);
  for (int grids = 1; grids <= options.maxGrids; ++grids) {
    MadePuzzle made;
    made.grids = grids;
    made.solution = randomFullGrid(random);
    dotsOfGrid(made.solution, made.dotsRight, made.dotsDown);
    const auto judge = [&](const Grid& givens) {
      return countSolutions(givens, made.dotsRight, made.dotsDown, 2) == 1 &&
             solvedAtOrBelow(solveLogically(givens, made.dotsRight, made.dotsDown), options.hardest);
    };
    if (options.noGivens) {
      if (!judge(Grid{})) continue;
    } else {
      made.givens = made.solution;
      if (!judge(made.givens)) continue;  // cannot happen for a full grid, but stays honest
      // Givens leave in half-turn pairs in a random order, while the puzzle stays sound.
      int count = 81;
      for (int k : shuffled<41>(random)) {
        const int r = k / 9 + 1, c = k % 9 + 1;
        const int pair = (r == 5 && c == 5) ? 1 : 2;
        if (count - pair < kFewestGivens[level]) continue;
        Grid fewer = made.givens;
        fewer[r][c] = 0;
        fewer[10 - r][10 - c] = 0;
        if (!judge(fewer)) continue;
        made.givens = fewer;
        count -= pair;
      }
    }
    made.run = solveLogically(made.givens, made.dotsRight, made.dotsDown);
    return made;
  }
  return std::nullopt;
}

}  // namespace punktivo
