// The fast engine against the literal reference: every operation on many random boards,
// comparing the whole model, the solver's own state and the display calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "engine/rules.h"
#include "engine/solver.h"
#include "literal_solver.h"
#include "test_boards.h"

namespace punktivo {
namespace {

using testing::DisplayCall;
using testing::RecordingDisplay;

int draw(std::mt19937_64& rng, int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

// The state one operation starts from; both sides get an identical copy.
struct Scenario {
  Grid board{}, givens{}, solution{}, boardBackup{}, dotsRight{}, dotsDown{};
  CandidateFlags candidates{};
  bool quietMode = false, unsolvedFlag = false, showCandidates = false, boardFull = false;
  bool guessActive = false;
  int16_t fitCount = 0, fitDigit = 0, fitRow = 0, fitCol = 0, guessFirst = 0, guessSecond = 0,
          stallCount = 0;
};

// Both sides of one comparison.
struct Sides {
  RecordingDisplay fastDisplay, literalDisplay;
  BoardModel fast{fastDisplay}, literal{literalDisplay};
  Settings fastSettings, literalSettings;
  Solver fastSolver{fast, fastSettings};
  literal::LiteralSolver literalSolver{literal, literalSettings};
  std::vector<int> fastResults, literalResults;  // results of the tests, in call order

  explicit Sides(const Scenario& s) {
    for (BoardModel* m : {&fast, &literal}) {
      m->board = s.board;
      m->givens = s.givens;
      m->solution = s.solution;
      m->boardBackup = s.boardBackup;
      m->dotsRight = s.dotsRight;
      m->dotsDown = s.dotsDown;
      m->candidates = s.candidates;
      m->quietMode = s.quietMode;
      m->unsolvedFlag = s.unsolvedFlag;
    }
    fastSettings.showCandidates = literalSettings.showCandidates = s.showCandidates;
    auto seed = [&](auto& solver) {
      solver.guessActive = s.guessActive;
      solver.fitCount = s.fitCount;
      solver.fitDigit = s.fitDigit;
      solver.fitRow = s.fitRow;
      solver.fitCol = s.fitCol;
      solver.guessFirst = s.guessFirst;
      solver.guessSecond = s.guessSecond;
      solver.stallCount = s.stallCount;
    };
    seed(fastSolver);
    seed(literalSolver);
  }

  // The first difference between the two sides, or "" when they agree in everything
  // except the duplicate test's scratch counts.
  std::string difference() const {
    std::ostringstream out;
    auto grid = [&](const char* name, const Grid& a, const Grid& b) {
      if (a != b)
        out << name << " differs:\nfast\n" << testing::gridText(a) << "literal\n"
            << testing::gridText(b);
    };
    grid("board", fast.board, literal.board);
    grid("givens", fast.givens, literal.givens);
    grid("solution", fast.solution, literal.solution);
    grid("boardBackup", fast.boardBackup, literal.boardBackup);
    if (fast.dotsRight != literal.dotsRight) out << "dotsRight differ\n";
    if (fast.dotsDown != literal.dotsDown) out << "dotsDown differ\n";
    if (fast.candidates != literal.candidates) out << "candidates differ\n";
    if (fast.candidatesStore != literal.candidatesStore) out << "candidatesStore differs\n";
    if (fast.digitCount != literal.digitCount) out << "digitCount differs\n";
    if (fast.quietMode != literal.quietMode) out << "quietMode differs\n";
    if (fast.unsolvedFlag != literal.unsolvedFlag) out << "unsolvedFlag differs\n";
    auto value = [&](const char* name, int a, int b) {
      if (a != b) out << name << ": fast " << a << ", literal " << b << "\n";
    };
    value("guessActive", fastSolver.guessActive, literalSolver.guessActive);
    value("fitCount", fastSolver.fitCount, literalSolver.fitCount);
    value("fitDigit", fastSolver.fitDigit, literalSolver.fitDigit);
    value("fitRow", fastSolver.fitRow, literalSolver.fitRow);
    value("fitCol", fastSolver.fitCol, literalSolver.fitCol);
    value("guessFirst", fastSolver.guessFirst, literalSolver.guessFirst);
    value("guessSecond", fastSolver.guessSecond, literalSolver.guessSecond);
    value("stallCount", fastSolver.stallCount, literalSolver.stallCount);
    if (fastResults != literalResults) out << "test results differ\n";
    const auto& a = fastDisplay.calls;
    const auto& b = literalDisplay.calls;
    if (a != b) {
      size_t i = 0;
      while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
      out << "display calls differ at call " << i << " of " << a.size() << "/" << b.size()
          << ": fast " << (i < a.size() ? testing::callText(a[i]) : "end") << ", literal "
          << (i < b.size() ? testing::callText(b[i]) : "end") << "\n";
    }
    return out.str();
  }
};

// One operation, run the same way on both sides.
struct Operation {
  const char* name;
  std::function<void(Sides&, const Scenario&)> run;
};

const std::vector<Operation>& operations() {
  static const std::vector<Operation> ops = {
      {"fit tests",
       [](Sides& s, const Scenario&) {
         for (int r = 1; r <= 9; ++r)
           for (int c = 1; c <= 9; ++c) {
             if (s.fast.board[r][c] != 0) continue;
             for (int d = 1; d <= 9; ++d) {
               s.fastResults.push_back(s.fastSolver.fitsPlain(c, r, d));
               s.fastResults.push_back(s.fastSolver.fitsAll(c, r, d));
               s.literalResults.push_back(s.literalSolver.fitsPlain(c, r, d));
               s.literalResults.push_back(s.literalSolver.fitsAll(c, r, d));
             }
           }
       }},
      {"rule tests",
       [](Sides& s, const Scenario&) {
         s.fastResults.push_back(hasNoDuplicates(s.fast));
         s.literalResults.push_back(literal::hasNoDuplicates(s.literal));
         for (int r = 1; r <= 7; r += 3)
           for (int c = 1; c <= 7; c += 3) {
             s.fastResults.push_back(boxHasNoDuplicates(s.fast, c, r));
             s.literalResults.push_back(literal::boxHasNoDuplicates(s.literal, c, r));
           }
         for (int r = 1; r <= 9; ++r)
           for (int c = 1; c <= 9; ++c) {
             if (s.fast.board[r][c] == 0) continue;
             s.fastResults.push_back(checkRowDots(s.fast, c, r));
             s.fastResults.push_back(checkColumnDots(s.fast, c, r));
             s.literalResults.push_back(literal::checkRowDots(s.literal, c, r));
             s.literalResults.push_back(literal::checkColumnDots(s.literal, c, r));
           }
         s.fastResults.push_back(isBoardConsistent(s.fast));
         s.literalResults.push_back(literal::isBoardConsistent(s.literal));
       }},
      {"deriveDots",
       [](Sides& s, const Scenario&) {
         deriveDots(s.fast);
         literal::deriveDots(s.literal);
       }},
      {"deriveDotsFromSolution",
       [](Sides& s, const Scenario&) {
         deriveDotsFromSolution(s.fast, s.fastSolver);
         literal::deriveDotsFromSolution(s.literal, s.literalSolver);
       }},
      {"computeCandidates",
       [](Sides& s, const Scenario&) {
         s.fastSolver.computeCandidates();
         s.literalSolver.computeCandidates();
       }},
      {"solveWithCandidates",
       [](Sides& s, const Scenario&) {
         s.fastSolver.solveWithCandidates();
         s.literalSolver.solveWithCandidates();
       }},
      {"solveByRules",
       [](Sides& s, const Scenario&) {
         s.fastSolver.solveByRules();
         s.literalSolver.solveByRules();
       }},
      {"computeSolution",
       [](Sides& s, const Scenario&) {
         s.fastSolver.computeSolution();
         s.literalSolver.computeSolution();
       }},
      {"solveCommand",
       [](Sides& s, const Scenario& scenario) {
         // Each side's flag as the game's error check keeps it: redrawn boards are checked again.
         bool fastFull = scenario.boardFull, literalFull = scenario.boardFull;
         s.fastDisplay.onRedrawBoard = [&] { fastFull = testing::everyDigitNineTimes(s.fast.board); };
         s.literalDisplay.onRedrawBoard = [&] { literalFull = testing::everyDigitNineTimes(s.literal.board); };
         s.fastSolver.solveCommand(fastFull);
         s.literalSolver.solveCommand(literalFull);
         s.fastResults.push_back(fastFull);
         s.literalResults.push_back(literalFull);
       }},
      {"refreshCandidates",
       [](Sides& s, const Scenario&) {
         s.fastSolver.refreshCandidates();
         s.literalSolver.refreshCandidates();
       }},
  };
  return ops;
}

Grid randomDots(std::mt19937_64& rng, int maxCode) {
  Grid dots{};
  for (int i = 1; i <= 9; ++i)
    for (int j = 1; j <= 8; ++j) dots[i][j] = uint8_t(draw(rng, maxCode + 1));
  return dots;
}

Grid randomDigits(std::mt19937_64& rng, int emptyPercent) {
  Grid grid{};
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (draw(rng, 100) >= emptyPercent) grid[r][c] = uint8_t(draw(rng, 9) + 1);
  return grid;
}

// The dots of a filled board, as the game derives them.
void dotsOf(const Grid& full, Grid& right, Grid& down) {
  NullDisplay none;
  BoardModel m(none);
  m.board = full;
  deriveDots(m);
  right = m.dotsRight;
  down = m.dotsDown;
}

// A few dots changed to arbitrary codes, codes outside 0-2 included.
void disturbDots(std::mt19937_64& rng, Grid& right, Grid& down) {
  const int changes = draw(rng, 6) + 1;
  for (int k = 0; k < changes; ++k) {
    Grid& dots = draw(rng, 2) ? right : down;
    const int code = draw(rng, 3) == 0 ? draw(rng, 256) : draw(rng, 4);
    dots[draw(rng, 9) + 1][draw(rng, 8) + 1] = uint8_t(code);
  }
}

// The parts of a scenario that every family draws the same way.
void randomiseRest(std::mt19937_64& rng, Scenario& s) {
  s.quietMode = draw(rng, 2);
  s.unsolvedFlag = draw(rng, 2);
  s.showCandidates = draw(rng, 2);
  s.boardFull = draw(rng, 2);
  s.guessActive = draw(rng, 8) == 0;
  s.boardBackup = randomDigits(rng, 50);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      for (int d = 1; d <= 9; ++d) s.candidates[r][c][d] = draw(rng, 6) == 0;
  s.fitCount = int16_t(draw(rng, 10));
  s.fitDigit = int16_t(draw(rng, 10));
  s.fitRow = int16_t(draw(rng, 10));
  s.fitCol = int16_t(draw(rng, 10));
  s.guessFirst = int16_t(draw(rng, 10));
  s.guessSecond = int16_t(draw(rng, 10));
  s.stallCount = int16_t(draw(rng, 10));
}

// A puzzle as the game makes them: a solution, its dots, some givens, maybe entries.
Scenario puzzle(std::mt19937_64& rng, int keepPercent) {
  Scenario s;
  const Grid full = testing::randomSolution(rng);
  s.solution = full;
  dotsOf(full, s.dotsRight, s.dotsDown);
  s.givens = testing::keepSome(full, keepPercent, rng);
  s.board = s.givens;
  return s;
}

// Runs every operation on the scenario; returns false after the first difference.
bool compareAll(const Scenario& scenario, const char* family, int index) {
  for (const Operation& op : operations()) {
    Sides sides(scenario);
    op.run(sides, scenario);
    const std::string diff = sides.difference();
    if (!diff.empty()) {
      ADD_FAILURE() << family << " board " << index << ", " << op.name
                    << (scenario.quietMode ? " (quiet)" : "") << ":\n"
                    << testing::gridText(scenario.board) << diff;
      return false;
    }
  }
  return true;
}

// Finds puzzles that the rule solver completes only by guessing.
Scenario guessPuzzle(std::mt19937_64& rng) {
  for (;;) {
    Scenario s = puzzle(rng, 25 + draw(rng, 15));
    NullDisplay none;
    BoardModel m(none);
    Settings settings;
    Solver solver(m, settings);
    m.quietMode = true;
    m.board = s.board;
    solver.guessActive = true;  // singles only
    solver.solveByRules();
    if (m.isBoardComplete()) continue;
    m.board = s.board;
    solver.guessActive = false;
    solver.solveByRules();
    if (!m.isBoardComplete()) continue;
    // Dots that impose nothing, so the candidate solver stalls as the rule solver does.
    for (int i = 1; i <= 9; ++i)
      for (int j = 1; j <= 8; ++j) {
        s.dotsRight[i][j] = 3;
        s.dotsDown[i][j] = 3;
      }
    return s;
  }
}

struct Family {
  const char* name;
  int boards;
  std::function<Scenario(std::mt19937_64&)> make;
};

void PrintTo(const Family& family, std::ostream* out) { *out << family.name; }

class Differential : public ::testing::TestWithParam<Family> {};

// The sanitizer builds compare the first boards of every family (the same sequence, cut short):
// the same code paths under the sanitizers' eyes in a quarter of the time. The normal build
// compares them all.
#ifndef PUNKTIVO_DIFFERENTIAL_SHARE
#define PUNKTIVO_DIFFERENTIAL_SHARE 1
#endif

TEST_P(Differential, FastEngineMatchesLiteralReference) {
  const Family& family = GetParam();
  const int boards = std::max(1, family.boards / PUNKTIVO_DIFFERENTIAL_SHARE);
  std::mt19937_64 rng(std::hash<std::string>{}(family.name));
  int compared = 0;
  for (int i = 0; i < boards; ++i) {
    Scenario s = family.make(rng);
    randomiseRest(rng, s);
    if (!compareAll(s, family.name, i)) break;
    ++compared;
  }
  EXPECT_EQ(compared, boards);
  RecordProperty("boards", compared);
  std::cout << "[ boards   ] " << family.name << ": " << compared << " boards, "
            << operations().size() << " operations each\n";
}

const Family kFamilies[] = {
    {"puzzles", 500, [](std::mt19937_64& rng) { return puzzle(rng, 20 + draw(rng, 50)); }},
    {"puzzles_with_entries", 400,
     [](std::mt19937_64& rng) {
       Scenario s = puzzle(rng, 20 + draw(rng, 50));
       // Player entries, right or wrong, in some empty cells.
       for (int k = draw(rng, 8); k > 0; --k) {
         const int r = draw(rng, 9) + 1, c = draw(rng, 9) + 1;
         if (s.board[r][c] == 0)
           s.board[r][c] = uint8_t(draw(rng, 2) ? s.solution[r][c] : draw(rng, 9) + 1);
       }
       return s;
     }},
    {"puzzles_with_odd_dots", 400,
     [](std::mt19937_64& rng) {
       Scenario s = puzzle(rng, 20 + draw(rng, 50));
       disturbDots(rng, s.dotsRight, s.dotsDown);
       return s;
     }},
    {"random_digits", 1000,
     [](std::mt19937_64& rng) {
       Scenario s;
       s.board = randomDigits(rng, draw(rng, 101));
       s.dotsRight = randomDots(rng, draw(rng, 2) ? 2 : 255);
       s.dotsDown = randomDots(rng, draw(rng, 2) ? 2 : 255);
       s.solution = randomDigits(rng, 20);
       return s;
     }},
    {"one_duplicate", 500,
     [](std::mt19937_64& rng) {
       Scenario s = puzzle(rng, 20 + draw(rng, 60));
       // Copy a digit into an empty cell of its row, column or box.
       for (;;) {
         const int r = draw(rng, 9) + 1, c = draw(rng, 9) + 1;
         const int r2 = draw(rng, 3) == 0 ? r : (r - 1) / 3 * 3 + 1 + draw(rng, 3);
         const int c2 = r2 == r ? draw(rng, 9) + 1 : draw(rng, 2) ? c : (c - 1) / 3 * 3 + 1 + draw(rng, 3);
         if (s.board[r][c] == 0 || s.board[r2][c2] != 0) continue;
         s.board[r2][c2] = s.board[r][c];
         break;
       }
       return s;
     }},
    {"full_boards", 1000,
     [](std::mt19937_64& rng) {
       Scenario s;
       const Grid full = testing::randomSolution(rng);
       s.board = s.solution = full;
       s.givens = testing::keepSome(full, 35, rng);
       dotsOf(full, s.dotsRight, s.dotsDown);
       if (draw(rng, 2)) disturbDots(rng, s.dotsRight, s.dotsDown);
       if (draw(rng, 2)) s.board[draw(rng, 9) + 1][draw(rng, 9) + 1] = uint8_t(draw(rng, 9) + 1);
       if (draw(rng, 4) == 0) s.board[draw(rng, 9) + 1][draw(rng, 9) + 1] = 0;
       return s;
     }},
    {"empty_boards", 100,
     [](std::mt19937_64& rng) {
       Scenario s;
       if (draw(rng, 2)) {
         NullDisplay none;
         BoardModel m(none);
         m.loadStartBoard();
         s.dotsRight = m.dotsRight;
         s.dotsDown = m.dotsDown;
       } else {
         s.dotsRight = randomDots(rng, 3);
         s.dotsDown = randomDots(rng, 3);
       }
       return s;
     }},
    {"ten_round_board", 40,
     [](std::mt19937_64& rng) {
       Scenario s;
       s.board = s.givens = testing::gridFrom(testing::kTenRoundGivens);
       s.solution = testing::gridFrom(testing::kTenRoundSolution);
       if (draw(rng, 2)) {
         dotsOf(s.solution, s.dotsRight, s.dotsDown);
         if (draw(rng, 2)) disturbDots(rng, s.dotsRight, s.dotsDown);
       } else {
         s.dotsRight = randomDots(rng, 3);
         s.dotsDown = randomDots(rng, 3);
       }
       return s;
     }},
    {"guess_puzzles", 150, [](std::mt19937_64& rng) { return guessPuzzle(rng); }},
};

INSTANTIATE_TEST_SUITE_P(Boards, Differential, ::testing::ValuesIn(kFamilies),
                         [](const auto& family) { return std::string(family.param.name); });

}  // namespace
}  // namespace punktivo
