// New games per level from the shipped collections, the given reduction and one shuffle.
// Reported, never asserted: run with --benchmark_repetitions=N and read the medians.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "engine/generator.h"
#include "engine/rules.h"
#include "engine/solver.h"
#include "storage/board_file.h"
#include "storage/data_files.h"

namespace punktivo {
namespace {

std::string collection(int level) {
  return (std::filesystem::path(PUNKTIVO_SOURCE_DATA_DIR) / collectionFileName(level)).string();
}

struct Engine {
  NullDisplay display;
  BoardModel model{display};
  Settings settings;
  Solver solver{model, settings};
  SeededRandom random{1};
  Generator generator{model, settings, solver, random};
  BoardFile file{model, random};
};

// The whole new-game road as the game runs it, the record read from its file each draw.
void BM_GenerateGame(benchmark::State& state) {
  Engine e;
  e.settings.difficulty = int16_t(state.range(0));
  e.file.boardFileName = collection(int(state.range(0)));
  uint64_t seed = 0;
  int attempts = 0, games = 0;
  for (auto _ : state) {
    e.random.reseed(++seed);
    e.model.quietMode = false;
    const GenerateResult result =
        e.generator.generateGame(e.file.records());
    if (!result.generated()) state.SkipWithError("no game");
    attempts += result.attempts;
    ++games;
  }
  state.counters["attempts/game"] = double(attempts) / games;
}
BENCHMARK(BM_GenerateGame)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// The reduction alone, on disguised records of extrem.ptv.
void BM_ReduceGivens(benchmark::State& state) {
  Engine e;
  e.model.quietMode = true;
  e.settings.difficulty = 3;
  e.file.boardFileName = collection(3);
  uint64_t seed = 0;
  for (auto _ : state) {
    state.PauseTiming();
    e.random.reseed(++seed);
    e.file.loadBoardRecord(int(seed % 4));
    e.generator.shuffleBoard();
    state.ResumeTiming();
    e.generator.reduceGivens();
  }
}
BENCHMARK(BM_ReduceGivens)->Unit(benchmark::kMicrosecond);

void BM_ShuffleBoard(benchmark::State& state) {
  Engine e;
  e.model.quietMode = true;
  e.settings.difficulty = int16_t(state.range(0));
  e.file.boardFileName = collection(0);
  e.file.loadBoardRecord(0);
  for (auto _ : state) e.generator.shuffleBoard();
}
BENCHMARK(BM_ShuffleBoard)->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace punktivo

BENCHMARK_MAIN();
