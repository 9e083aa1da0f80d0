// The step solver: one hint and a whole logical solve on the stock records and on dots-only
// puzzles, the hint before the hardest step, and making puzzles. Reported, never asserted:
// run with --benchmark_repetitions=N and read the medians (each iteration is one puzzle).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "engine/exact_solver.h"
#include "engine/grade.h"
#include "engine/puzzle_maker.h"
#include "engine/step_solver.h"
#include "storage/board_file.h"
#include "storage/data_files.h"

namespace punktivo {
namespace {

struct Puzzle {
  Grid digits{}, dotsRight{}, dotsDown{};
};

std::vector<Puzzle> stockPuzzles() {
  std::vector<Puzzle> puzzles;
  NullDisplay display;
  SeededRandom unused(0);
  for (int level = 0; level < 4; ++level)
    for (int slot = 0; slot < kRecordsPerFile; ++slot) {
      BoardModel model(display);
      model.quietMode = true;
      BoardFile file(model, unused);
      file.boardFileName = (std::filesystem::path(PUNKTIVO_SOURCE_DATA_DIR) / collectionFileName(level)).string();
      if (file.loadBoardRecord(slot).loaded()) puzzles.push_back({model.givens, model.dotsRight, model.dotsDown});
    }
  return puzzles;
}

// Dots of random grids that decide the grid alone and that the step solver finishes.
std::vector<Puzzle> dotsOnlyPuzzles() {
  std::vector<Puzzle> puzzles;
  SeededRandom random(5);
  while (puzzles.size() < 32) {
    Puzzle p;
    dotsOfGrid(randomFullGrid(random), p.dotsRight, p.dotsDown);
    if (countSolutions(p.digits, p.dotsRight, p.dotsDown, 2) == 1 && solveLogically(p.digits, p.dotsRight, p.dotsDown).solved)
      puzzles.push_back(p);
  }
  return puzzles;
}

const std::vector<Puzzle>& stock() {
  static const std::vector<Puzzle> puzzles = stockPuzzles();
  return puzzles;
}
const std::vector<Puzzle>& dotsOnly() {
  static const std::vector<Puzzle> puzzles = dotsOnlyPuzzles();
  return puzzles;
}

void hint(benchmark::State& state, const std::vector<Puzzle>& puzzles) {
  size_t i = 0;
  for (auto _ : state) {
    const Puzzle& p = puzzles[i++ % puzzles.size()];
    const StepSolver solver(p.digits, p.dotsRight, p.dotsDown);
    benchmark::DoNotOptimize(solver.nextStep());
  }
}

void solveLogic(benchmark::State& state, const std::vector<Puzzle>& puzzles) {
  size_t i = 0;
  for (auto _ : state) {
    const Puzzle& p = puzzles[i++ % puzzles.size()];
    benchmark::DoNotOptimize(solveLogically(p.digits, p.dotsRight, p.dotsDown));
  }
}

// The position just before the first step of the hardest technique a puzzle needs: every
// easier technique is tried and fails there, so this is the dearest hint of the solve.
void hintBeforeHardestStep(benchmark::State& state) {
  std::vector<StepSolver> positions;
  for (const Puzzle& p : dotsOnly()) {
    const LogicRun run = solveLogically(p.digits, p.dotsRight, p.dotsDown, true);
    StepSolver solver(p.digits, p.dotsRight, p.dotsDown);
    for (const Step& step : run.trail) {
      if (step.technique == run.hardest) break;
      solver.apply(step);
    }
    positions.push_back(solver);
  }
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(positions[i++ % positions.size()].nextStep());
}

void make(benchmark::State& state, bool noGivens) {
  SeededRandom random(9);
  MakeOptions options;
  options.noGivens = noGivens;
  for (auto _ : state) benchmark::DoNotOptimize(makePuzzle(options, random));
}

BENCHMARK_CAPTURE(hint, stock, stock())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(hint, dotsOnly, dotsOnly())->Unit(benchmark::kMicrosecond);
BENCHMARK(hintBeforeHardestStep)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(solveLogic, stock, stock())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(solveLogic, dotsOnly, dotsOnly())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(make, extrem, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(make, noGivens, true)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace punktivo

BENCHMARK_MAIN();
