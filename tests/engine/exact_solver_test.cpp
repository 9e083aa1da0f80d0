// The exact solver against the literal count on the stock collections, on random puzzles with
// one, none and several solutions, on dots without a single given, and on the counter's board
// families (nearly empty boards, most of them without a solution, among them).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "engine/exact_solver.h"
#include "engine/rules.h"
#include "count_boards.h"
#include "exact_reference.h"
#include "storage/board_file.h"
#include "storage/data_files.h"
#include "test_boards.h"

namespace punktivo {
namespace {

#ifndef PUNKTIVO_DIFFERENTIAL_SHARE
#define PUNKTIVO_DIFFERENTIAL_SHARE 1
#endif

using testing::CountFamily;
using testing::dotsOf;
using testing::Puzzle;

// The exact count, the exact solve and the literal count agree on the puzzle; the count.
int expectAgreement(const Puzzle& p) {
  Grid literalFirst{};
  const int literalCount = literal::countSolutions(p.givens, p.dotsRight, p.dotsDown, 2, &literalFirst);
  EXPECT_EQ(countSolutions(p.givens, p.dotsRight, p.dotsDown, 2), literalCount) << testing::gridText(p.givens);
  const ExactSolution exact = solveExact(p.givens, p.dotsRight, p.dotsDown);
  EXPECT_EQ(exact.solutions, literalCount) << testing::gridText(p.givens);
  EXPECT_EQ(exact.grid, literalCount == 1 ? literalFirst : Grid{}) << testing::gridText(p.givens);
  return literalCount;
}

int draw(std::mt19937_64& rng, int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

TEST(ExactSolver, EveryStockRecordHasItsBoardAsOnlySolution) {
  NullDisplay display;
  SeededRandom unused(0);
  for (int level = 0; level < 4; ++level)
    for (int slot = 0; slot < kRecordsPerFile; ++slot) {
      BoardModel model(display);
      model.quietMode = true;
      BoardFile file(model, unused);
      file.boardFileName = (std::filesystem::path(PUNKTIVO_SOURCE_DATA_DIR) / collectionFileName(level)).string();
      ASSERT_TRUE(file.loadBoardRecord(slot).loaded()) << file.boardFileName;
      SCOPED_TRACE(file.boardFileName + ":" + std::to_string(slot + 1));
      EXPECT_EQ(expectAgreement({model.givens, model.dotsRight, model.dotsDown}), 1);
      EXPECT_EQ(solveExact(model.givens, model.dotsRight, model.dotsDown).grid, model.board);
    }
}

// Random boards from the dots of a random solution: givens thinned out, a dot code changed,
// a given clashing, many dots made free (a code that imposes nothing). Every outcome must
// turn up, so that each is compared.
TEST(ExactSolver, AgreesWithTheLiteralCountOnRandomPuzzles) {
  std::mt19937_64 rng(15);
  std::map<int, int> outcomes;
  for (int k = 0; k < 120; ++k) {
    const Grid full = testing::randomSolution(rng);
    Puzzle p = dotsOf(full);
    p.givens = testing::keepSome(full, 5 + draw(rng, 30), rng);
    switch (k % 4) {
      case 0:  // thinned: full is a solution, maybe not the only one
        break;
      case 1: {  // one dot changed: often no solution left
        Grid& dots = draw(rng, 2) == 0 ? p.dotsRight : p.dotsDown;
        uint8_t& code = dots[1 + draw(rng, 9)][1 + draw(rng, 8)];
        code = uint8_t((code + 1 + draw(rng, 2)) % 3);
        break;
      }
      case 2: {  // a given changed to another digit of its row
        const int r = 1 + draw(rng, 9), c = 1 + draw(rng, 9);
        p.givens[r][c] = full[r][c % 9 + 1];
        break;
      }
      default:  // most dots free, some unknown codes: several solutions
        for (Grid* dots : {&p.dotsRight, &p.dotsDown})
          for (int i = 1; i <= 9; ++i)
            for (int j = 1; j <= 8; ++j)
              if (draw(rng, 10) < 8) (*dots)[i][j] = uint8_t(draw(rng, 2) == 0 ? 3 : 200);
        p.givens = testing::keepSome(full, 30, rng);
        break;
    }
    SCOPED_TRACE(k);
    ++outcomes[expectAgreement(p)];
  }
  EXPECT_GT(outcomes[0], 10);
  EXPECT_GT(outcomes[1], 10);
  EXPECT_GT(outcomes[2], 10);
}

// Dot sudokus as published: no givens, the dots alone; the start board and a few random
// solutions' dots (the literal count takes longer on these).
TEST(ExactSolver, SolvesDotsWithoutGivens) {
  Puzzle start;
  NullDisplay display;
  BoardModel model(display);
  model.quietMode = true;
  model.loadStartBoard();
  start.dotsRight = model.dotsRight;
  start.dotsDown = model.dotsDown;
  EXPECT_EQ(expectAgreement(start), 1);
  EXPECT_EQ(solveExact(Grid{}, start.dotsRight, start.dotsDown).grid, testing::gridFrom(testing::kStartSolution));

  std::mt19937_64 rng(7);
  for (int k = 0; k < 12; ++k) {
    const Grid full = testing::randomSolution(rng);
    const Puzzle p = dotsOf(full);
    const int solutions = expectAgreement(p);
    if (solutions == 1) {
      EXPECT_EQ(solveExact(Grid{}, p.dotsRight, p.dotsDown).grid, full);
    }
    EXPECT_NE(solutions, 0);  // full itself is one
  }
}

// The nearly empty families make the search run long, so that the box tables take over; the
// literal count needs up to two seconds for one of them, so they are few.
TEST(ExactSolver, AgreesWithTheLiteralCountOnEveryBoardFamily) {
  for (const CountFamily family : testing::kCountFamilies) {
    const bool slow = family == CountFamily::nearEmpty || family == CountFamily::clearedFew;
    const int boards = std::max(2, (slow ? 4 : 100) / PUNKTIVO_DIFFERENTIAL_SHARE);
    std::mt19937_64 rng(uint64_t(family) + 31);
    std::map<int, int> outcomes;
    for (int k = 0; k < boards; ++k) {
      SCOPED_TRACE(std::string(testing::familyName(family)) + " " + std::to_string(k));
      ++outcomes[expectAgreement(testing::makeCountBoard(family, rng))];
    }
    if (family == CountFamily::nearEmpty) {
      EXPECT_GT(outcomes[0], 0);
    }
    if (family == CountFamily::validPuzzle) {
      EXPECT_GT(outcomes[1], 0);
    }
    if (family == CountFamily::oneWrongDigit) {
      EXPECT_EQ(outcomes[0], boards);
    }
  }
}

// The puzzle turned over (rows become columns) or by half a turn: the rules see the same
// puzzle, so the count is the same and a single solution turns with it. Boxes alike in digits
// and inner dots share one table of fillings; a box that differs only in its upright dots, or
// one met in another order, must not take another's.
Puzzle transposed(const Puzzle& p) {
  Puzzle t;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) t.givens[c][r] = p.givens[r][c];
  t.dotsRight = p.dotsDown;  // dotsDown is stored column first: the same image
  t.dotsDown = p.dotsRight;
  return t;
}

Puzzle halfTurned(const Puzzle& p) {
  Puzzle t;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      t.givens[10 - r][10 - c] = p.givens[r][c];
      if (c < 9) t.dotsRight[10 - r][9 - c] = p.dotsRight[r][c];
      if (c < 9) t.dotsDown[10 - r][9 - c] = p.dotsDown[r][c];  // [column][row]: r is the column
    }
  return t;
}

TEST(ExactSolver, CountsTheSameOnTheTurnedBoard) {
  std::map<int, int> outcomes;
  for (const CountFamily family : {CountFamily::nearEmpty, CountFamily::clearedFew, CountFamily::randomDots}) {
    std::mt19937_64 rng(uint64_t(family) + 57);
    for (int k = 0; k < 30; ++k) {
      SCOPED_TRACE(std::string(testing::familyName(family)) + " " + std::to_string(k));
      const Puzzle p = testing::makeCountBoard(family, rng);
      const ExactSolution answer = solveExact(p.givens, p.dotsRight, p.dotsDown);
      ++outcomes[answer.solutions];
      for (const auto turn : {transposed, halfTurned}) {
        const Puzzle turned = turn(p);
        const ExactSolution other = solveExact(turned.givens, turned.dotsRight, turned.dotsDown);
        EXPECT_EQ(other.solutions, answer.solutions);
        EXPECT_EQ(other.grid, turn({answer.grid, {}, {}}).givens);
      }
    }
  }
  EXPECT_GT(outcomes[0], 0);
  EXPECT_GT(outcomes[2], 0);
}

// Counted to the end rather than to two: nearly empty boards with dozens or hundreds of
// fillings, where the search walks the whole tree with the box tables, count the same turned.
TEST(ExactSolver, CountsEveryFillingTheSameOnTheTurnedBoard) {
  Puzzle whiteDot;  // no digits, one white dot: every other neighbour pair unrelated
  whiteDot.dotsRight[1][2] = kWhiteDot;
  Puzzle oneGiven;  // a cleared board with one given
  oneGiven.givens[2][3] = 7;
  for (const Puzzle& p : {whiteDot, oneGiven}) {
    const int all = countSolutions(p.givens, p.dotsRight, p.dotsDown, 100000);
    EXPECT_GT(all, 50);
    EXPECT_EQ(countSolutions(p.givens, p.dotsRight, p.dotsDown, all - 1), all - 1);
    for (const auto turn : {transposed, halfTurned}) {
      const Puzzle turned = turn(p);
      EXPECT_EQ(countSolutions(turned.givens, turned.dotsRight, turned.dotsDown, 100000), all);
    }
  }
}

// A bound on the work: too few steps leave the answer open, enough give the full answer.
TEST(ExactSolver, ABoundOnStepsLeavesTheAnswerOpenOrGivesTheFullOne) {
  Puzzle blackDot;  // a cleared board with one black dot: no filling fits, found the long way
  blackDot.dotsRight[1][1] = kBlackDot;
  EXPECT_EQ(solveExactWithin(blackDot.givens, blackDot.dotsRight, blackDot.dotsDown, 10).solutions, -1);
  EXPECT_EQ(solveExactWithin(blackDot.givens, blackDot.dotsRight, blackDot.dotsDown, 200).solutions, -1);
  EXPECT_EQ(solveExactWithin(blackDot.givens, blackDot.dotsRight, blackDot.dotsDown, kUnbounded).solutions,
            countSolutions(blackDot.givens, blackDot.dotsRight, blackDot.dotsDown));

  const Grid full = testing::gridFrom(testing::kStartSolution);
  const Puzzle start = dotsOf(full);
  const ExactSolution bounded = solveExactWithin(Grid{}, start.dotsRight, start.dotsDown, 1000);
  EXPECT_EQ(bounded.solutions, 1);
  EXPECT_EQ(bounded.grid, full);
  EXPECT_EQ(solveExactWithin(Grid{}, start.dotsRight, start.dotsDown, 0).solutions, -1);

  // Cut off anywhere, in the plain search, while the tables are built or in the search with
  // them: the answer is open or the full one, never a wrong one.
  std::mt19937_64 rng(3);
  int decided = 0, open = 0;
  for (int k = 0; k < 6; ++k) {
    const Puzzle p = testing::makeCountBoard(CountFamily::nearEmpty, rng);
    const ExactSolution answer = solveExact(p.givens, p.dotsRight, p.dotsDown);
    for (const long steps : {40L, 100L, 300L, 1000L, 3000L}) {
      const ExactSolution cut = solveExactWithin(p.givens, p.dotsRight, p.dotsDown, steps);
      if (cut.solutions == -1) {
        ++open;
        continue;
      }
      ++decided;
      EXPECT_EQ(cut.solutions, answer.solutions) << k << " " << steps;
      EXPECT_EQ(cut.grid, answer.grid) << k << " " << steps;
    }
  }
  EXPECT_GT(decided, 0);
  EXPECT_GT(open, 0);
}

TEST(ExactSolver, CountsUpToTheLimitAndKeepsThePairOneTwoUnderBothDots) {
  const Grid full = testing::gridFrom(testing::kStartSolution);
  Puzzle p = dotsOf(full);
  // 1 and 2 stand side by side in row 1 (columns 2, 3) with a black dot: a white one holds too,
  // no dot does not.
  ASSERT_EQ(p.dotsRight[1][2], kBlackDot);
  p.dotsRight[1][2] = kWhiteDot;
  EXPECT_EQ(countSolutions(full, p.dotsRight, p.dotsDown), 1);
  p.dotsRight[1][2] = kNoDot;
  EXPECT_EQ(countSolutions(full, p.dotsRight, p.dotsDown), 0);
  EXPECT_EQ(solveExact(full, p.dotsRight, p.dotsDown).grid, Grid{});

  // No rule at all: an empty board has more fillings than any limit.
  Grid free{};
  for (auto& row : free) row.fill(9);
  EXPECT_EQ(countSolutions(Grid{}, free, free, 50), 50);
  EXPECT_EQ(countSolutions(Grid{}, free, free, 1), 1);
  EXPECT_EQ(countSolutions(Grid{}, free, free, 0), 0);
  const ExactSolution several = solveExact(Grid{}, free, free);
  EXPECT_EQ(several.solutions, 2);
  EXPECT_EQ(several.grid, Grid{});
  // A byte that is no digit counts as an empty cell.
  Grid givens = full;
  givens[5][5] = 14;
  EXPECT_EQ(solveExact(givens, dotsOf(full).dotsRight, dotsOf(full).dotsDown).grid, full);
}

}  // namespace
}  // namespace punktivo
