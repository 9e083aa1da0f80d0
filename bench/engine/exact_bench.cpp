// The exact solution counter and the exact solve on the stock collections' records, and on
// puzzles with no givens at all: the dots of a stock solution alone, where they pin it down.
// Reported, never asserted: run with --benchmark_repetitions=N and read the medians.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "engine/exact_solver.h"
#include "engine/rules.h"
#include "storage/board_file.h"
#include "storage/data_files.h"

namespace punktivo {
namespace {

struct Puzzle {
  Grid givens{}, dotsRight{}, dotsDown{};
};

// Every record of the four shipped collections, as stored: board = solution.
std::vector<BoardModel> stockRecords(NullDisplay& display) {
  std::vector<BoardModel> records;
  SeededRandom unused(0);
  for (int level = 0; level < 4; ++level)
    for (int slot = 0; slot < kRecordsPerFile; ++slot) {
      BoardModel& model = records.emplace_back(display);
      model.quietMode = true;
      BoardFile file(model, unused);
      file.boardFileName = (std::filesystem::path(PUNKTIVO_SOURCE_DATA_DIR) / collectionFileName(level)).string();
      if (!file.loadBoardRecord(slot).loaded()) records.pop_back();
    }
  return records;
}

std::vector<Puzzle> stockPuzzles() {
  NullDisplay display;
  std::vector<Puzzle> puzzles;
  for (const BoardModel& m : stockRecords(display)) puzzles.push_back({m.givens, m.dotsRight, m.dotsDown});
  return puzzles;
}

// The stock solutions' dots without a single given, kept where they have one solution.
std::vector<Puzzle> dotsOnlyPuzzles() {
  NullDisplay display;
  std::vector<Puzzle> puzzles;
  for (BoardModel& m : stockRecords(display)) {
    deriveDots(m);
    if (countSolutions(Grid{}, m.dotsRight, m.dotsDown, 2) == 1) puzzles.push_back({Grid{}, m.dotsRight, m.dotsDown});
  }
  return puzzles;
}

template <class Op>
void runOn(benchmark::State& state, const std::vector<Puzzle>& puzzles, Op op) {
  if (puzzles.empty()) {
    state.SkipWithError("no puzzles");
    return;
  }
  for (auto _ : state)
    for (const Puzzle& p : puzzles) benchmark::DoNotOptimize(op(p));
  state.counters["puzzles"] = double(puzzles.size());
  state.counters["per_puzzle"] = benchmark::Counter(double(state.iterations() * puzzles.size()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void registerAll() {
  const std::vector<std::pair<std::string, std::vector<Puzzle>>> sets = {
      {"stock", stockPuzzles()},
      {"dotsOnly", dotsOnlyPuzzles()},
  };
  for (const auto& [name, puzzles] : sets) {
    benchmark::RegisterBenchmark(("countSolutions/" + name).c_str(), [puzzles = puzzles](benchmark::State& s) {
      runOn(s, puzzles, [](const Puzzle& p) { return countSolutions(p.givens, p.dotsRight, p.dotsDown, 2); });
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("solveExact/" + name).c_str(), [puzzles = puzzles](benchmark::State& s) {
      runOn(s, puzzles, [](const Puzzle& p) { return solveExact(p.givens, p.dotsRight, p.dotsDown).solutions; });
    })->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace
}  // namespace punktivo

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  punktivo::registerAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
