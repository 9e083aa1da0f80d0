// punktivo-make-collections: builds the four stock collections ("leicht.ptv" ... "extrem.ptv")
// from random sudoku grids of our own, deterministically from a seed, and reports how each
// record fares when the game disguises it.
//
// A record: a random complete grid as board, its dots, and a half-turn symmetric set of givens
// thinned pair by pair while the puzzle stays sound: the candidate solver finishes it to the
// grid, it has exactly one solution under all rules, and so do a sample of its disguises.
//
// The shipped files: punktivo-make-collections --out data   (default seed)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/board_model.h"
#include "engine/collection_check.h"
#include "engine/generator.h"
#include "engine/random.h"
#include "engine/rules.h"
#include "engine/solver.h"
#include "storage/board_file.h"
#include "storage/data_files.h"

namespace punktivo {
namespace {

constexpr uint64_t kDefaultSeed = 20240611;

struct LevelPlan {
  int givensTarget;    // thin down to this many givens (or one fewer: pairs go together)
  int sampleDisguises; // disguises each removal must survive
  double minPasses;    // mean candidate-solver passes over disguises, at least
};
// Chosen by measurement (see the report of a run): fewer givens and longer solves from
// "Leicht" to "Schwer"; "Extrem" is thinned further by every new game.
constexpr LevelPlan kPlans[4] = {{38, 24, 1.0}, {30, 24, 1.4}, {26, 24, 2.0}, {24, 24, 1.8}};

constexpr int kPassSample = 64;

constexpr const char* kUsage =
    "usage: punktivo-make-collections [--seed S] [--out DIR] [--level 0-3] [--check N]\n"
    "  writes leicht.ptv, mittel.ptv, schwer.ptv, extrem.ptv into DIR (default .)\n"
    "  --check N: disguises per record for the report (default 1000)\n";

// A random complete sudoku grid: cells in order, digits tried in random order.
class GridMaker {
 public:
  explicit GridMaker(RandomSource& random) : random_(random) {}

  Grid make() {
    Grid grid{};
    rows_.fill(0), columns_.fill(0), boxes_.fill(0);
    const bool ok = fill(grid, 0);
    if (!ok) std::abort();  // an empty grid always has a filling
    return grid;
  }

 private:
  static int boxOf(int r, int c) { return (r - 1) / 3 * 3 + (c - 1) / 3; }

  bool fill(Grid& grid, int cell) {
    if (cell == 81) return true;
    const int r = cell / 9 + 1, c = cell % 9 + 1;
    int order[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (int k = 8; k > 0; --k) std::swap(order[k], order[random_.random(k + 1)]);
    for (int d : order) {
      const uint16_t bit = uint16_t(1u << d);
      if ((rows_[r] | columns_[c] | boxes_[boxOf(r, c)]) & bit) continue;
      grid[r][c] = uint8_t(d);
      rows_[r] |= bit, columns_[c] |= bit, boxes_[boxOf(r, c)] |= bit;
      if (fill(grid, cell + 1)) return true;
      rows_[r] &= uint16_t(~bit), columns_[c] &= uint16_t(~bit), boxes_[boxOf(r, c)] &= uint16_t(~bit);
      grid[r][c] = 0;
    }
    return false;
  }

  RandomSource& random_;
  std::array<uint16_t, 10> rows_{}, columns_{};
  std::array<uint16_t, 9> boxes_{};
};

int givenCount(const Grid& givens) {
  int n = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) n += givens[r][c] != 0;
  return n;
}

struct Record {
  Grid grid{}, givens{};
  int grids = 0;  // grids tried until this one worked
};

// Thins the givens of random grids until one reaches the level's target.
Record makeRecord(int level, RandomSource& random, PuzzleTrial& trial) {
  const LevelPlan plan = kPlans[level];
  GridMaker maker(random);
  std::vector<std::pair<int, int>> pairs;  // (r, c) with its partner (10-r, 10-c)
  for (int r = 1; r <= 5; ++r)
    for (int c = 1; c <= 9; ++c)
      if (r < 5 || c <= 5) pairs.emplace_back(r, c);
  Record record;
  for (;;) {
    ++record.grids;
    record.grid = maker.make();
    record.givens = record.grid;
    for (int k = int(pairs.size()) - 1; k > 0; --k) std::swap(pairs[k], pairs[random.random(k + 1)]);
    int count = 81;
    for (const auto& [r, c] : pairs) {
      if (count <= plan.givensTarget) break;
      const int pr = 10 - r, pc = 10 - c;
      const int size = (r == pr && c == pc) ? 1 : 2;
      if (count - size < plan.givensTarget - 1) continue;
      record.givens[r][c] = record.givens[pr][pc] = 0;
      trial.load(record.grid, record.givens);
      bool sound = trial.finishes();
      for (int k = 0; sound && k < plan.sampleDisguises; ++k)
        sound = trial.disguiseFinishes(record.grid, record.givens, level, k % 4 != 3);
      if (sound) {
        count -= size;
      } else {
        record.givens[r][c] = record.grid[r][c];
        record.givens[pr][pc] = record.grid[pr][pc];
      }
    }
    if (count > plan.givensTarget) continue;
    // Fewer givens alone hardly slow the dots down; keep grids whose disguises take the
    // candidate solver long enough for the level.
    long passSum = 0;
    for (int k = 0; k < kPassSample; ++k) {
      int passes = 0;
      trial.disguiseFinishes(record.grid, record.givens, level, k % 2 == 0, &passes);
      passSum += passes;
    }
    if (double(passSum) / kPassSample >= plan.minPasses) return record;
  }
}

struct Options {
  uint64_t seed = kDefaultSeed;
  std::filesystem::path out = ".";
  std::optional<int> level;
  int check = 1000;
};

std::optional<Options> parseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    try {
      if (arg == "--seed" && hasValue) {
        options.seed = std::stoull(argv[++i]);
      } else if (arg == "--out" && hasValue) {
        options.out = argv[++i];
      } else if (arg == "--level" && hasValue) {
        const int level = std::stoi(argv[++i]);
        if (level < 0 || level > 3) return std::nullopt;
        options.level = level;
      } else if (arg == "--check" && hasValue) {
        options.check = std::stoi(argv[++i]);
        if (options.check < 0) return std::nullopt;
      } else {
        return std::nullopt;
      }
    } catch (const std::exception&) {
      return std::nullopt;
    }
  }
  return options;
}

int run(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::cout << kUsage;
    return 0;
  }
  const auto options = parseOptions(argc, argv);
  if (!options) {
    std::cerr << kUsage;
    return 2;
  }
  for (int level = 0; level < 4; ++level) {
    if (options->level && *options->level != level) continue;
    // Each level has its own streams, so one level can be rebuilt alone.
    const uint64_t levelSeed = options->seed * 4 + uint64_t(level);
    SeededRandom random(levelSeed);
    SeededRandom filler(levelSeed ^ 0x5eedf111e5ULL);
    PuzzleTrial trial(levelSeed + 17);
    PuzzleTrial checker(levelSeed + 31);

    NullDisplay display;
    BoardModel model(display);
    model.quietMode = true;
    BoardFile file(model, filler);
    file.boardFileName = (options->out / collectionFileName(level)).string();
    for (int slot = 0; slot < 4; ++slot) {
      const Record record = makeRecord(level, random, trial);
      model.board = record.grid;
      model.givens = record.givens;
      deriveDots(model);
      model.clearCandidates();
      const SaveResult saved = file.saveBoardRecord(slot);
      if (!saved.saved()) {
        std::cerr << "punktivo-make-collections: " << file.boardFileName << ": "
                  << saved.describe() << '\n';
        return 1;
      }

      // The report: the record as stored, and its disguises as new games make them.
      checker.load(record.grid, record.givens);
      const bool finishes = checker.finishes();
      const auto [passes, alone] = checker.candidatePasses();
      std::printf("%s:%d givens=%d grids=%d finishes=%d passes=%d candidatesAlone=%d",
                  collectionFileName(level), slot + 1, givenCount(record.givens), record.grids,
                  finishes ? 1 : 0, passes, alone ? 1 : 0);
      if (options->check > 0) {
        // The same judge as `punktivo-tool validate`; "Extrem" games only take the free path.
        double passSum = 0;
        int passRuns = 0;
        bool meetsBar = true;
        if (level != 3) {
          const RecordQuality symmetric = checkRecord(model, options->check, true, levelSeed + 31);
          std::printf(" symmetric=%d/%d", symmetric.disguisesFinished, symmetric.disguises);
          passSum += symmetric.meanPasses, ++passRuns;
          meetsBar = meetsBar && symmetric.meetsBar();
        }
        const RecordQuality free = checkRecord(model, options->check, false, levelSeed + 37);
        std::printf(" free=%d/%d", free.disguisesFinished, free.disguises);
        passSum += free.meanPasses, ++passRuns;
        meetsBar = meetsBar && free.meetsBar();
        std::printf(" meanPasses=%.2f meetsBar=%d", passSum / passRuns, meetsBar ? 1 : 0);
      }
      std::printf("\n");
      std::fflush(stdout);
    }
  }
  return 0;
}

}  // namespace
}  // namespace punktivo

int main(int argc, char** argv) { return punktivo::run(argc, argv); }
