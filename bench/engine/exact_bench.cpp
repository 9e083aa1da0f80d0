// The exact solution counter and the exact solve on the stock collections' records, and on
// puzzles with no givens at all: the dots of a stock solution alone, where they pin it down.
// Beside them the slow cases of the editor's count: a cleared board (no dot anywhere, so no
// neighbours may be consecutive or double) with a few givens, or a few dots and no givens,
// where the count has to search widely to find out that nothing or more than one fits.
// And the counter's board families (count_boards.h), 10 000 boards each (or
// PUNKTIVO_COUNT_BOARDS), every board timed on its own (the thread's processor time, which
// other jobs on the machine do not stretch): median and maximum per family, and by the number of
// givens and dots where there are few.
// Reported, never asserted: run with --benchmark_repetitions=N and read the medians.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/exact_solver.h"
#include "engine/rules.h"
#include "storage/board_file.h"
#include "storage/data_files.h"
#include "count_boards.h"

namespace punktivo {
namespace {

using testing::Puzzle;

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

// Cleared boards with a few random givens (`givens` set) or a few random dots, from a fixed
// seed so that every run measures the same boards.
std::vector<Puzzle> sparsePuzzles(bool givens, uint64_t seed) {
  std::mt19937_64 rng(seed);
  const auto draw = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
  std::vector<Puzzle> puzzles(20);
  for (Puzzle& p : puzzles) {
    const int n = draw(1, 4);
    for (int k = 0; k < n; ++k) {
      if (givens) {
        p.givens[draw(1, 9)][draw(1, 9)] = uint8_t(draw(1, 9));
      } else {
        Grid& dots = draw(0, 1) == 0 ? p.dotsRight : p.dotsDown;
        dots[draw(1, 9)][draw(1, 8)] = uint8_t(draw(kWhiteDot, kBlackDot));
      }
    }
  }
  return puzzles;
}

// The cleared board with the one dot that took the count longest of all 288 such boards (a
// white dot between r8c4 and r8c5; no filling fits).
Puzzle slowestOneDot() {
  Puzzle p;
  p.dotsRight[8][4] = kWhiteDot;
  return p;
}

template <class Op>
void runOn(benchmark::State& state, const std::vector<Puzzle>& puzzles, Op op) {
  if (puzzles.empty()) {
    state.SkipWithError("no puzzles");
    return;
  }
  // Beside the total: the mean time of the slowest puzzle, and how many puzzles have no, one
  // or several solutions.
  std::vector<double> seconds(puzzles.size());
  std::array<int, 3> outcomes{};
  bool first = true;
  for (auto _ : state) {
    for (size_t i = 0; i < puzzles.size(); ++i) {
      const auto start = std::chrono::steady_clock::now();
      const int solutions = op(puzzles[i]);
      benchmark::DoNotOptimize(solutions);
      seconds[i] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (first) ++outcomes[size_t(std::clamp(solutions, 0, 2))];
    }
    first = false;
  }
  state.counters["slowest_us"] = *std::max_element(seconds.begin(), seconds.end()) * 1e6 / double(state.iterations());
  state.counters["none"] = outcomes[0];
  state.counters["unique"] = outcomes[1];
  state.counters["several"] = outcomes[2];
  state.counters["puzzles"] = double(puzzles.size());
  state.counters["per_puzzle"] = benchmark::Counter(double(state.iterations() * puzzles.size()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// How many boards of each family: 10 000 unless PUNKTIVO_COUNT_BOARDS says otherwise.
size_t familySize() {
  const char* text = std::getenv("PUNKTIVO_COUNT_BOARDS");
  const long n = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
  return n > 0 ? size_t(n) : 10000;
}

// The processor time this thread has used, in microseconds.
double threadMicros() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e6 + double(now.tv_nsec) * 1e-3;
}

// Givens and white or black dots of a puzzle.
int cluesOf(const Puzzle& p) {
  int clues = 0;
  for (int i = 1; i <= 9; ++i)
    for (int j = 1; j <= 9; ++j)
      clues += int(p.givens[i][j] >= 1 && p.givens[i][j] <= 9) + int(p.dotsRight[i][j] == kWhiteDot) +
               int(p.dotsRight[i][j] == kBlackDot) + int(p.dotsDown[i][j] == kWhiteDot) + int(p.dotsDown[i][j] == kBlackDot);
  return clues;
}

// One pass over the family per iteration, every board timed on its own; the counters give the
// median and the maximum of the last pass's board times and the outcomes, and for the boards
// with at most kFewClues givens and dots the same by their number (where the nearly empty
// boards differ most).
constexpr int kFewClues = 6;

void countFamily(benchmark::State& state, const std::vector<Puzzle>& puzzles) {
  std::vector<double> micros(puzzles.size());
  std::array<int, 3> outcomes{};
  for (auto _ : state) {
    outcomes = {};
    for (size_t i = 0; i < puzzles.size(); ++i) {
      const Puzzle& p = puzzles[i];
      const double start = threadMicros();
      const int solutions = countSolutions(p.givens, p.dotsRight, p.dotsDown, 2);
      benchmark::DoNotOptimize(solutions);
      micros[i] = threadMicros() - start;
      ++outcomes[size_t(std::clamp(solutions, 0, 2))];
    }
  }
  std::array<std::vector<double>, kFewClues + 1> byClues;
  for (size_t i = 0; i < puzzles.size(); ++i)
    if (const int clues = cluesOf(puzzles[i]); clues <= kFewClues) byClues[size_t(clues)].push_back(micros[i]);
  for (int clues = 0; clues <= kFewClues; ++clues) {
    std::vector<double>& few = byClues[size_t(clues)];
    if (few.empty()) continue;
    std::sort(few.begin(), few.end());
    const std::string suffix = "_clues" + std::to_string(clues);
    state.counters["median_us" + suffix] = few[few.size() / 2];
    state.counters["max_us" + suffix] = few.back();
  }
  std::sort(micros.begin(), micros.end());
  state.counters["median_us"] = micros[micros.size() / 2];
  state.counters["max_us"] = micros.back();
  state.counters["none"] = outcomes[0];
  state.counters["unique"] = outcomes[1];
  state.counters["several"] = outcomes[2];
  state.counters["puzzles"] = double(puzzles.size());
}

void registerFamilies() {
  const size_t n = familySize();
  for (const testing::CountFamily family : testing::kCountFamilies) {
    std::mt19937_64 rng(uint64_t(family) + 100);
    std::vector<Puzzle> puzzles(n);
    for (Puzzle& p : puzzles) p = testing::makeCountBoard(family, rng);
    benchmark::RegisterBenchmark((std::string("countFamily/") + testing::familyName(family)).c_str(),
                                 [puzzles = std::move(puzzles)](benchmark::State& s) { countFamily(s, puzzles); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
  }
}

void registerAll() {
  const std::vector<std::pair<std::string, std::vector<Puzzle>>> sets = {
      {"stock", stockPuzzles()},
      {"dotsOnly", dotsOnlyPuzzles()},
      {"clearedFewGivens", sparsePuzzles(true, 1)},
      {"clearedFewDots", sparsePuzzles(false, 2)},
      {"clearedOneDotSlowest", {slowestOneDot()}},
  };
  for (const auto& [name, puzzles] : sets) {
    benchmark::RegisterBenchmark(("countSolutions/" + name).c_str(), [puzzles = puzzles](benchmark::State& s) {
      runOn(s, puzzles, [](const Puzzle& p) { return countSolutions(p.givens, p.dotsRight, p.dotsDown, 2); });
    })->Unit(benchmark::kMicrosecond);
    // The exact solve searches as the count does; the slow sets are timed once.
    if (name.starts_with("cleared")) continue;
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
  punktivo::registerFamilies();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
