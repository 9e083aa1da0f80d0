// Fast against literal solver on the same boards: fit tests, candidates, both solvers.
// Run with --benchmark_repetitions=N and compare the medians of one run.
#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "engine/rules.h"
#include "engine/solver.h"
#include "literal_solver.h"
#include "test_boards.h"

namespace punktivo {
namespace {

struct Board {
  Grid board{}, dotsRight{}, dotsDown{};
};

Grid dotsImposingNothing() {
  Grid dots{};
  for (int i = 1; i <= 9; ++i)
    for (int j = 1; j <= 8; ++j) dots[i][j] = 3;
  return dots;
}

// Runs fn on a quiet model, a fresh solver pair per model; used to pick boards.
struct Probe {
  NullDisplay none;
  BoardModel model{none};
  Settings settings;
  Solver solver{model, settings};
  explicit Probe(const Board& b) {
    model.quietMode = true;
    model.board = b.board;
    model.dotsRight = b.dotsRight;
    model.dotsDown = b.dotsDown;
  }
};

// Puzzles as the game plays them: the dots of a solution and few givens, which the
// candidate solver finishes.
std::vector<Board> dottedPuzzles() {
  std::mt19937_64 rng(1);
  std::vector<Board> boards;
  while (boards.size() < 8) {
    const Grid full = testing::randomSolution(rng);
    Board b;
    Probe dots(b);
    dots.model.board = full;
    deriveDots(dots.model);
    b.dotsRight = dots.model.dotsRight;
    b.dotsDown = dots.model.dotsDown;
    b.board = testing::keepSome(full, 22, rng);
    Probe p(b);
    p.solver.solveWithCandidates();
    if (p.model.board == full) boards.push_back(b);
  }
  return boards;
}

// Plain-rule puzzles that the rule solver finishes only by its guess step.
std::vector<Board> guessPuzzles() {
  std::mt19937_64 rng(2);
  std::vector<Board> boards;
  while (boards.size() < 8) {
    Board b;
    b.dotsRight = b.dotsDown = dotsImposingNothing();
    b.board = testing::keepSome(testing::randomSolution(rng), 30, rng);
    Probe singles(b);
    singles.solver.guessActive = true;
    singles.solver.solveByRules();
    if (singles.model.isBoardComplete()) continue;
    Probe p(b);
    p.solver.solveWithCandidates();
    if (p.model.isBoardComplete()) boards.push_back(b);
  }
  return boards;
}

// Boards the solver cannot finish although it guesses: every trial fails.
std::vector<Board> unsolvableBoards() {
  std::mt19937_64 rng(3);
  std::vector<Board> boards;
  while (boards.size() < 8) {
    Board b;
    b.dotsRight = b.dotsDown = dotsImposingNothing();
    b.board = testing::keepSome(testing::randomSolution(rng), 24, rng);
    Probe singles(b);
    singles.solver.guessActive = true;
    singles.solver.solveByRules();
    Probe p(b);
    p.solver.solveWithCandidates();
    if (p.model.isBoardComplete()) continue;
    // Keep boards on which the guess step had cells with two fits to try.
    bool twoFits = false;
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        if (singles.model.board[r][c] != 0) continue;
        DigitMasks masks;
        masks.rebuild(singles.model.board);
        twoFits |= std::popcount(masks.plainFits(c, r)) == 2;
      }
    if (twoFits) boards.push_back(b);
  }
  return boards;
}

template <class SolverType>
void runOnBoards(benchmark::State& state, const std::vector<Board>& boards,
                 const std::function<void(SolverType&)>& op) {
  NullDisplay none;
  BoardModel model(none);
  Settings settings;
  SolverType solver(model, settings);
  model.quietMode = true;
  for (auto _ : state) {
    for (const Board& b : boards) {
      model.board = b.board;
      model.dotsRight = b.dotsRight;
      model.dotsDown = b.dotsDown;
      op(solver);
      benchmark::DoNotOptimize(model.board);
    }
  }
  state.counters["per_board"] = benchmark::Counter(
      double(state.iterations() * boards.size()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// All 729 plain fit tests of a board, with the masks current (fast) or by writing the
// digit and checking the whole board (literal).
void fitTests(benchmark::State& state, bool fast, bool allRules) {
  const std::vector<Board> boards = dottedPuzzles();
  NullDisplay none;
  BoardModel model(none);
  Settings settings;
  literal::LiteralSolver literalSolver(model, settings);
  int64_t tests = 0;
  for (auto _ : state) {
    for (const Board& b : boards) {
      model.board = b.board;
      model.dotsRight = b.dotsRight;
      model.dotsDown = b.dotsDown;
      DigitMasks masks;
      if (fast) masks.rebuild(model.board);
      int fits = 0;
      for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c) {
          if (model.board[r][c] != 0) continue;
          if (fast) {
            const uint16_t dots = allRules ? dotFits(model, c, r) : DigitMasks::kAllDigits;
            for (int d = 1; d <= 9; ++d) fits += masks.fitsPlain(c, r, d) && ((dots >> d) & 1);
          } else {
            for (int d = 1; d <= 9; ++d)
              fits += allRules ? literalSolver.fitsAll(c, r, d) : literalSolver.fitsPlain(c, r, d);
          }
          tests += 9;
        }
      benchmark::DoNotOptimize(fits);
    }
  }
  state.counters["per_test"] =
      benchmark::Counter(double(tests), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void registerAll() {
  const std::vector<std::pair<std::string, std::vector<Board>>> sets = {
      {"dotted_puzzles", dottedPuzzles()},
      {"guess_puzzles", guessPuzzles()},
      {"unsolvable", unsolvableBoards()},
  };
  for (bool allRules : {false, true})
    for (bool fast : {true, false}) {
      const std::string name = std::string("fitTest/") + (allRules ? "all" : "plain") + "/" +
                               (fast ? "fast" : "literal");
      benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& s) { fitTests(s, fast, allRules); });
    }
  using Fast = std::function<void(Solver&)>;
  using Literal = std::function<void(literal::LiteralSolver&)>;
  const std::vector<std::tuple<std::string, Fast, Literal>> ops = {
      {"computeCandidates", [](Solver& s) { s.computeCandidates(); },
       [](literal::LiteralSolver& s) { s.computeCandidates(); }},
      {"solveWithCandidates", [](Solver& s) { s.solveWithCandidates(); },
       [](literal::LiteralSolver& s) { s.solveWithCandidates(); }},
      {"solveByRules", [](Solver& s) { s.solveByRules(); },
       [](literal::LiteralSolver& s) { s.solveByRules(); }},
  };
  for (const auto& [op, fastOp, literalOp] : ops)
    for (const auto& [setName, boards] : sets) {
      benchmark::RegisterBenchmark((op + "/" + setName + "/fast").c_str(),
                                   [boards = boards, fastOp = fastOp](benchmark::State& s) {
                                     runOnBoards<Solver>(s, boards, fastOp);
                                   });
      benchmark::RegisterBenchmark((op + "/" + setName + "/literal").c_str(),
                                   [boards = boards, literalOp = literalOp](benchmark::State& s) {
                                     runOnBoards<literal::LiteralSolver>(s, boards, literalOp);
                                   });
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
