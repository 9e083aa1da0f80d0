// Every step of the step solver is true: on the stock collections, on generated games of all
// four levels, on dots-only puzzles and on thinned random puzzles, no placement differs from
// the solution and no removal takes the solution's digit.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "engine/exact_solver.h"
#include "engine/generator.h"
#include "engine/grade.h"
#include "engine/puzzle_maker.h"
#include "engine/step_solver.h"
#include "storage/board_file.h"
#include "storage/data_files.h"
#include "test_boards.h"

namespace punktivo {
namespace {

#ifndef PUNKTIVO_DIFFERENTIAL_SHARE
#define PUNKTIVO_DIFFERENTIAL_SHARE 1
#endif
constexpr int kShare = PUNKTIVO_DIFFERENTIAL_SHARE;

struct Tally {
  int puzzles = 0, solved = 0, steps = 0;
};

// Runs the step solver to its end on the puzzle whose solution is `truth` and checks every
// step against it; the puzzle's givens must stand on truth.
void expectTrueSteps(const Grid& givens, const Grid& dotsRight, const Grid& dotsDown, const Grid& truth,
                     Tally& tally) {
  StepSolver solver(givens, dotsRight, dotsDown);
  ++tally.puzzles;
  while (auto step = solver.nextStep()) {
    ++tally.steps;
    for (const Placement& p : step->placements)
      ASSERT_EQ(p.digit, truth[p.cell.row][p.cell.column])
          << step->text << "\n" << testing::gridText(givens) << testing::gridText(solver.digits());
    for (const Removal& r : step->removals)
      ASSERT_EQ(r.digits & (1u << truth[r.cell.row][r.cell.column]), 0u)
          << step->text << "\n" << testing::gridText(givens) << testing::gridText(solver.digits());
    ASSERT_FALSE(step->placements.empty() && step->removals.empty()) << step->text;
    // The explanation names every cell it changes.
    for (const Placement& p : step->placements)
      ASSERT_NE(step->text.find(cellName(p.cell)), std::string::npos) << step->text;
    for (const Removal& r : step->removals)
      ASSERT_NE(step->text.find(cellName(r.cell)), std::string::npos) << step->text;
    solver.apply(*step);
  }
  ASSERT_FALSE(solver.broken()) << testing::gridText(givens);
  if (solver.solved()) {
    ++tally.solved;
    EXPECT_EQ(solver.digits(), truth);
  }
}

void report(const char* what, const Tally& t) {
  std::cout << what << ": " << t.solved << " of " << t.puzzles << " solved, " << t.steps << " steps\n";
}

std::string collectionPath(int level) {
  return (std::filesystem::path(PUNKTIVO_SOURCE_DATA_DIR) / collectionFileName(level)).string();
}

TEST(StepProperty, StockRecordsAndGeneratedGamesOfEveryLevel) {
  Tally stock, generated;
  for (int level = 0; level < 4; ++level) {
    NullDisplay display;
    BoardModel model(display);
    model.quietMode = true;
    Settings settings;
    settings.difficulty = int16_t(level);
    Solver solver(model, settings);
    SeededRandom random(uint64_t(100 + level));
    Generator generator(model, settings, solver, random);
    BoardFile file(model, random);
    file.boardFileName = collectionPath(level);
    for (int slot = 0; slot < kRecordsPerFile; ++slot) {
      ASSERT_TRUE(file.loadBoardRecord(slot).loaded()) << file.boardFileName;
      expectTrueSteps(model.givens, model.dotsRight, model.dotsDown, model.board, stock);
    }
    const auto records = file.collectionRecords(level);
    file.boardFileName = collectionPath(level);
    for (int game = 0; game < 250 / kShare; ++game) {
      ASSERT_TRUE(generator.generateGame(records).generated());
      const ExactSolution exact = solveExact(model.givens, model.dotsRight, model.dotsDown);
      ASSERT_TRUE(exact.unique());
      ASSERT_EQ(exact.grid, model.solution);
      expectTrueSteps(model.givens, model.dotsRight, model.dotsDown, exact.grid, generated);
      if (HasFatalFailure()) return;
    }
  }
  report("stock records", stock);
  report("generated games", generated);
  EXPECT_EQ(stock.puzzles, 16);
}

// Random full grids with their dots, no givens at all: whether or not the dots decide, no
// step may contradict the grid they came from.
TEST(StepProperty, DotsOnlyPuzzles) {
  SeededRandom random(7);
  Tally unique, all;
  for (int k = 0; k < 1000 / kShare; ++k) {
    const Grid full = randomFullGrid(random);
    Grid right{}, down{};
    dotsOfGrid(full, right, down);
    const bool decided = countSolutions(Grid{}, right, down, 2) == 1;
    expectTrueSteps(Grid{}, right, down, full, decided ? unique : all);
    if (HasFatalFailure()) return;
  }
  report("dots-only, one solution", unique);
  report("dots-only, several", all);
  EXPECT_GT(unique.solved, 0);
}

// Random grids thinned to a few givens, with all their dots: many hard positions.
TEST(StepProperty, ThinnedRandomPuzzles) {
  SeededRandom random(8);
  std::mt19937_64 rng(9);
  Tally tally;
  for (int k = 0; k < 2000 / kShare; ++k) {
    const Grid full = randomFullGrid(random);
    Grid right{}, down{};
    dotsOfGrid(full, right, down);
    expectTrueSteps(testing::keepSome(full, k % 25, rng), right, down, full, tally);
    if (HasFatalFailure()) return;
  }
  report("thinned", tally);
}

}  // namespace
}  // namespace punktivo
