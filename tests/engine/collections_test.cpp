// The shipped stock collections in data/: every record a sound puzzle that new games can
// disguise, read with the game's own reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "engine/collection_check.h"
#include "engine/generator.h"
#include "engine/rules.h"
#include "engine/solver.h"
#include "generator_support.h"
#include "storage/board_file.h"
#include "storage/data_files.h"

namespace punktivo {
namespace {

using testing::givenCount;
using testing::givensOnBoard;
using testing::halfTurnSymmetric;

struct LevelRange {
  int fewest, most;
};
// The given counts the collections are made with, easy to extreme.
constexpr LevelRange kGivens[4] = {{36, 40}, {28, 31}, {24, 27}, {22, 25}};

std::filesystem::path collectionPath(int level) {
  return std::filesystem::path(PUNKTIVO_SOURCE_DATA_DIR) / collectionFileName(level);
}

class CollectionsTest : public ::testing::Test {
 protected:
  NullDisplay display;
  BoardModel model{display};
  Settings settings;
  Solver solver{model, settings};
  SeededRandom random{11};
  Generator generator{model, settings, solver, random};
  BoardFile file{model, random};

  void SetUp() override { model.quietMode = true; }

  void load(int level, int slot) {
    file.boardFileName = collectionPath(level).string();
    const LoadResult result = file.loadBoardRecord(slot);
    ASSERT_TRUE(result.loaded()) << file.boardFileName << ": " << result.describe();
  }

  // From the givens, the candidate solver reaches board (the solution); the model is put back.
  bool solverReaches(const Grid& solution) {
    const Grid board = model.board;
    model.restartBoard();
    solver.solveWithCandidates();
    const bool reached = model.isBoardComplete() && model.board == solution;
    model.board = board;
    return reached;
  }
};

TEST_F(CollectionsTest, EveryRecordIsASoundPuzzle) {
  for (int level = 0; level < 4; ++level) {
    EXPECT_EQ(std::filesystem::file_size(collectionPath(level)), kBoardFileSize);
    for (int slot = 0; slot < 4; ++slot) {
      SCOPED_TRACE(::testing::Message() << collectionFileName(level) << " record " << slot + 1);
      load(level, slot);
      const Grid solution = model.board;
      ASSERT_TRUE(isValidSolution(solution));
      ASSERT_TRUE(givensOnBoard(model.givens, solution));
      const int count = givenCount(model.givens);
      EXPECT_GE(count, kGivens[level].fewest);
      EXPECT_LE(count, kGivens[level].most);
      EXPECT_TRUE(halfTurnSymmetric(model.givens));  // the symmetry option has a pattern to keep

      BoardModel derived = model;
      deriveDots(derived);
      EXPECT_EQ(model.dotsRight, derived.dotsRight);
      EXPECT_EQ(model.dotsDown, derived.dotsDown);
      EXPECT_EQ(model.candidates, CandidateFlags{});

      EXPECT_EQ(countSolutions(model.givens, model.dotsRight, model.dotsDown, 2), 1);
      EXPECT_TRUE(solverReaches(solution));
    }
  }
}

TEST_F(CollectionsTest, DisguisesAreAlmostAlwaysFinished) {
  constexpr int kDisguises = 200;
  for (int level = 0; level < 4; ++level)
    for (int slot = 0; slot < 4; ++slot) {
      SCOPED_TRACE(::testing::Message() << collectionFileName(level) << " record " << slot + 1);
      settings.difficulty = int16_t(level);
      int finished = 0;
      for (int k = 0; k < kDisguises; ++k) {
        load(level, slot);
        settings.puzzleSymmetry = k % 2 == 0;
        generator.shuffleBoard();
        deriveDotsFromSolution(model, solver);
        finished += solverReaches(model.solution) &&
                    countSolutions(model.givens, model.dotsRight, model.dotsDown, 2) == 1;
      }
      // The collections are made to finish about 98% of disguises; a new game rarely needs
      // a second draw.
      EXPECT_GE(finished, kDisguises * 9 / 10);
    }
}

TEST_F(CollectionsTest, EveryFirstRecordMeetsTheQualityBarWithItsPassesCounted) {
  for (int level = 0; level < 4; ++level) {
    SCOPED_TRACE(collectionFileName(level));
    load(level, 0);
    const RecordQuality quality = checkRecord(model, 20, true, 5);
    EXPECT_TRUE(quality.meetsBar());
    EXPECT_EQ(quality.solutions, 1);
    // Every disguise starts from its givens, so the candidate solver needs a pass at least.
    EXPECT_GE(quality.meanPasses, 1.0);
    // A given off the solution: no disguise is tried, and none is counted as finished.
    model.givens[1][1] = model.board[1][1] % 9 + 1;
    const RecordQuality broken = checkRecord(model, 20, true, 5);
    EXPECT_FALSE(broken.meetsBar());
    EXPECT_EQ(broken.disguisesFinished, 0);
    EXPECT_EQ(broken.meanPasses, 0.0);
  }
}

TEST_F(CollectionsTest, NewGamesAtEveryLevelComeFromTheShippedFiles) {
  double meanGivens[4] = {};
  for (int level = 0; level < 4; ++level) {
    settings.difficulty = int16_t(level);
    file.boardFileName = collectionPath(level).string();
    int recordGivens[4];
    for (int slot = 0; slot < 4; ++slot) {
      load(level, slot);
      recordGivens[slot] = givenCount(model.givens);
      meanGivens[level] += recordGivens[slot] / 4.0;
    }
    for (uint64_t seed = 1; seed <= 20; ++seed) {
      SCOPED_TRACE(::testing::Message() << collectionFileName(level) << " seed " << seed);
      random.reseed(seed);
      const GenerateResult result =
          generator.generateGame([&](int slot) { return file.loadBoardRecord(slot).loaded(); });
      ASSERT_TRUE(result.generated());
      if (level < 3)
        EXPECT_EQ(givenCount(model.givens), recordGivens[result.slot]);
      else
        EXPECT_LT(givenCount(model.givens), recordGivens[result.slot]);
      EXPECT_EQ(countSolutions(model.givens, model.dotsRight, model.dotsDown, 2), 1);
      EXPECT_TRUE(solverReaches(model.solution));
    }
  }
  EXPECT_GT(meanGivens[0], meanGivens[1]);
  EXPECT_GT(meanGivens[1], meanGivens[2]);
  EXPECT_GT(meanGivens[2], meanGivens[3]);
}

// "Brett mischen" on a game left on the board (its givens, one right digit of the player's):
// the same draws as the plain shuffle; where the rule solver completes the shuffled board,
// exactly the plain shuffle's result; where it cannot, the dots of the puzzle's own solution,
// so the disguise keeps its givens and its one solution.
TEST_F(CollectionsTest, ShufflingAGameKeepsItsPuzzleWhereTheRuleSolverCannotFinishIt) {
  int ruleSolverStuck = 0, unique = 0;  // disguises the rule solver cannot complete; of them unique
  for (int level = 0; level < 4; ++level) {
    settings.difficulty = int16_t(level);
    file.boardFileName = collectionPath(level).string();
    for (uint64_t seed = 1; seed <= 40; ++seed) {
      SCOPED_TRACE(::testing::Message() << collectionFileName(level) << " seed " << seed);
      random.reseed(seed);
      ASSERT_TRUE(generator.generateGame([&](int slot) { return file.loadBoardRecord(slot).loaded(); }).generated());
      const Grid solution = solveExact(model.givens, model.dotsRight, model.dotsDown).grid;
      model.restartBoard();
      [&] {  // one right digit of the player's, in the first empty cell
        for (int r = 1; r <= 9; ++r)
          for (int c = 1; c <= 9; ++c)
            if (model.board[r][c] == 0) {
              model.board[r][c] = solution[r][c];
              return;
            }
      }();
      const BoardModel left = model;

      random.reseed(seed * 7);
      generator.shuffleBoard();
      const BoardModel shuffled = model;
      deriveDotsFromSolution(model, solver);
      const BoardModel plain = model;
      model = shuffled;
      solver.solveByRules();
      bool finished = true;
      for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c) finished = finished && model.board[r][c] != 0;

      model = left;
      random.reseed(seed * 7);
      const std::optional<Grid> known = generator.shuffleBoardCarryingSolution();
      ASSERT_TRUE(known.has_value());
      ASSERT_EQ(model.board, shuffled.board);
      ASSERT_EQ(model.givens, shuffled.givens);
      // The solution handed out is the caller's: a later shuffle leaves it alone.
      const Grid handedOut = *known;
      const BoardModel carried = model;
      generator.shuffleBoard();
      ASSERT_EQ(*known, handedOut);
      model = carried;
      deriveDotsFromSolution(model, solver, known);
      EXPECT_EQ(model.solution, plain.solution);
      if (finished) {
        EXPECT_EQ(model.dotsRight, plain.dotsRight);
        EXPECT_EQ(model.dotsDown, plain.dotsDown);
      } else {
        ++ruleSolverStuck;
        EXPECT_EQ(givenCount(model.givens), givenCount(left.givens));
        // The carried solution is the puzzle's own, moved as the board was, and the dots
        // are its dots: it solves the disguise.
        EXPECT_TRUE(givensOnBoard(model.board, *known));
        EXPECT_EQ(countSolutions(*known, model.dotsRight, model.dotsDown, 2), 1);
        // The line swaps and the digit permutation make a new set of dots: with few givens
        // now and then a second solution fits them (3 of the 119 disguises here).
        unique += countSolutions(model.givens, model.dotsRight, model.dotsDown, 2) == 1;
      }
    }
  }
  // The harder levels do meet the case the carried solution is for.
  EXPECT_GT(ruleSolverStuck, 0);
  EXPECT_GE(unique * 10, ruleSolverStuck * 9);
}

}  // namespace
}  // namespace punktivo
