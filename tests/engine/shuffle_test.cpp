// The transformations and the shuffle: what each does to board and givens, the order of the
// random draws of a round, and what every shuffle keeps.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

#include "engine/generator.h"
#include "engine/rules.h"
#include "engine/solver.h"
#include "generator_support.h"

namespace punktivo {
namespace {

using testing::givenCount;
using testing::givensOf;
using testing::givensOnBoard;
using testing::gridOf;
using testing::halfTurnSymmetric;
using testing::kGrid;
using testing::ScriptedRandom;
using testing::symmetricPattern;

// Maps a cell of the new board to the cell of the old board it came from.
using CellMap = std::function<std::pair<int, int>(int r, int c)>;

class ShuffleTest : public ::testing::Test {
 protected:
  NullDisplay display;
  BoardModel model{display};
  Settings settings;
  Solver solver{model, settings};
  ScriptedRandom scripted;
  Generator generator{model, settings, solver, scripted};

  void SetUp() override {
    model.quietMode = true;
    model.board = gridOf(kGrid);
    model.givens = givensOf(model.board, symmetricPattern);
  }

  // board and givens after == before moved by `from`, cell for cell.
  void expectMoved(const BoardModel& before, const CellMap& from) {
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        const auto [oldR, oldC] = from(r, c);
        ASSERT_EQ(model.board[r][c], before.board[oldR][oldC]) << r << "," << c;
        ASSERT_EQ(model.givens[r][c], before.givens[oldR][oldC]) << r << "," << c;
      }
  }
};

int swapped(int x, int a, int b) { return x == a ? b : x == b ? a : x; }

TEST_F(ShuffleTest, LineSwapsMoveBoardAndGivensTogether) {
  BoardModel before = model;
  generator.swapRows(2, 7);
  expectMoved(before, [](int r, int c) { return std::pair(swapped(r, 2, 7), c); });

  before = model;
  generator.swapColumns(9, 1);
  expectMoved(before, [](int r, int c) { return std::pair(r, swapped(c, 1, 9)); });

  before = model;
  generator.swapBands(3, 1);
  expectMoved(before, [](int r, int c) { return std::pair(r <= 3 ? r + 6 : r >= 7 ? r - 6 : r, c); });

  before = model;
  generator.swapStacks(1, 2);
  expectMoved(before, [](int r, int c) { return std::pair(r, c <= 3 ? c + 3 : c <= 6 ? c - 3 : c); });

  before = model;
  generator.swapMiddleLines();
  expectMoved(before, [](int r, int c) { return std::pair(swapped(r, 4, 6), swapped(c, 4, 6)); });
}

TEST_F(ShuffleTest, SwappingABandOrStackWithItselfChangesNothing) {
  const BoardModel before = model;
  generator.swapBands(2, 2);
  generator.swapStacks(3, 3);
  for (int k = 1; k <= 3; ++k) {
    generator.swapBands(k, k);
    generator.swapStacks(k, k);
  }
  EXPECT_EQ(model.board, before.board);
  EXPECT_EQ(model.givens, before.givens);
}

TEST_F(ShuffleTest, FlipsMirrorTheBoard) {
  BoardModel before = model;
  generator.flipVertical();
  expectMoved(before, [](int r, int c) { return std::pair(10 - r, c); });

  before = model;
  generator.flipHorizontal();
  expectMoved(before, [](int r, int c) { return std::pair(r, 10 - c); });
}

TEST_F(ShuffleTest, QuarterTurnCarriesTopRightToTopLeftThroughItsScratchArrays) {
  const BoardModel before = model;
  generator.rotateQuarter();
  // new[i][j] = old[j][10-i]
  expectMoved(before, [](int i, int j) { return std::pair(j, 10 - i); });
  EXPECT_EQ(model.board[1][1], before.board[1][9]);
  // Built in boardBackup and solution: solution now holds the turned givens.
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      EXPECT_EQ(model.boardBackup[r][c], model.board[r][c]);
      EXPECT_EQ(model.solution[r][c], model.givens[r][c]);
    }

  generator.rotateQuarter();
  generator.rotateQuarter();
  generator.rotateQuarter();
  EXPECT_EQ(model.board, before.board);
  EXPECT_EQ(model.givens, before.givens);
}

TEST_F(ShuffleTest, DigitPermutationIsOneToOneAndKeepsEmptyCellsEmpty) {
  model.board[5][5] = 0;  // a player's empty cell beside the givens
  model.givens[5][5] = 0;
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    SeededRandom random(seed);
    Generator seeded(model, settings, solver, random);
    const BoardModel before = model;
    seeded.permuteDigits();
    std::set<int> images;
    for (int d = 1; d <= 9; ++d) images.insert(model.digitMap[d]);
    EXPECT_EQ(images, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(model.digitMap[0], 0);
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        ASSERT_EQ(model.board[r][c], model.digitMap[before.board[r][c]]);
        ASSERT_EQ(model.givens[r][c], model.digitMap[before.givens[r][c]]);
      }
    EXPECT_EQ(model.board[5][5], 0);
    EXPECT_EQ(givenCount(model.givens), givenCount(before.givens));
  }
}

TEST_F(ShuffleTest, DigitPermutationDrawsAgainUntilTheDigitIsFree) {
  // Draws give 5, 5 (taken), 5 (taken), 1, 9, 9 (taken), 2, 3, 4, 6, 7, 8.
  scripted.script = {4, 4, 4, 0, 8, 8, 1, 2, 3, 5, 6, 7};
  generator.permuteDigits();
  EXPECT_EQ(scripted.asked, std::vector<int>(12, 9));
  const std::array<uint8_t, 10> expected{0, 5, 1, 9, 2, 3, 4, 6, 7, 8};
  EXPECT_EQ(model.digitMap, expected);
  for (int d = 1; d <= 9; ++d) EXPECT_FALSE(model.digitFree[d]);
  EXPECT_EQ(model.board[1][1], expected[kGrid[0][0]]);
}

// n asked for by one default round of each path (every random(9) hits a free digit).
std::vector<int> roundDraws(bool symmetric) {
  std::vector<int> draws = symmetric ? std::vector<int>{2, 2, 2, 2, 2, 2, 2}
                                     : std::vector<int>{2, 2, 3, 3, 3, 3, 3, 2, 2, 2};
  draws.insert(draws.end(), 9, 9);
  return draws;
}

void applyDigitMap(BoardModel& model, const std::array<uint8_t, 10>& map) {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      model.board[r][c] = map[model.board[r][c]];
      model.givens[r][c] = map[model.givens[r][c]];
    }
}

TEST_F(ShuffleTest, SymmetricRoundDrawsInItsOrder) {
  settings.difficulty = 2;
  settings.puzzleSymmetry = true;
  scripted.script = {0,                    // 50 rounds
                     1,                    // i = 2
                     0,                    // j = 1
                     1,                    // no band swap
                     0,                    // middle lines
                     1,                    // no vertical flip
                     0,                    // horizontal flip
                     0,                    // quarter turn
                     8, 7, 6, 5, 4, 3, 2, 1, 0};  // digit d becomes 10 - d
  BoardModel expected = model;
  Generator reference(expected, settings, solver, scripted);
  generator.shuffleBoard();

  std::vector<int> draws{50};
  for (int round = 0; round < 50; ++round) {
    const auto more = roundDraws(true);
    draws.insert(draws.end(), more.begin(), more.end());
  }
  EXPECT_EQ(scripted.asked, draws);

  reference.swapRows(2, 3);
  reference.swapRows(8, 7);
  reference.swapColumns(1, 2);
  reference.swapColumns(9, 8);
  reference.swapStacks(1, 3);
  reference.swapMiddleLines();
  reference.flipHorizontal();
  reference.rotateQuarter();
  applyDigitMap(expected, {0, 9, 8, 7, 6, 5, 4, 3, 2, 1});
  for (int round = 1; round < 50; ++round) {  // all draws 0: everything happens
    reference.swapRows(1, 2);
    reference.swapRows(9, 8);
    reference.swapColumns(1, 2);
    reference.swapColumns(9, 8);
    reference.swapStacks(1, 3);
    reference.swapBands(1, 3);
    reference.swapMiddleLines();
    reference.flipVertical();
    reference.flipHorizontal();
    reference.rotateQuarter();
  }
  EXPECT_EQ(model.board, expected.board);
  EXPECT_EQ(model.givens, expected.givens);
  EXPECT_EQ(model.solution, model.board);
}

TEST_F(ShuffleTest, FreeRoundDrawsInItsOrder) {
  settings.difficulty = 3;  // the free path whatever the option says
  settings.puzzleSymmetry = true;
  scripted.script = {0,                    // 100 rounds
                     1,                    // i = 2
                     1, 2,                 // j = 2 + 3 * 2 = 8
                     0, 2,                 // stacks 1 and 3
                     1, 1,                 // bands 2 and 2
                     0,                    // vertical flip
                     1,                    // no horizontal flip
                     1,                    // no quarter turn
                     1, 2, 3, 4, 5, 6, 7, 8, 0};  // d becomes d + 1, 9 becomes 1
  BoardModel expected = model;
  Generator reference(expected, settings, solver, scripted);
  generator.shuffleBoard();

  std::vector<int> draws{100};
  for (int round = 0; round < 100; ++round) {
    const auto more = roundDraws(false);
    draws.insert(draws.end(), more.begin(), more.end());
  }
  EXPECT_EQ(scripted.asked, draws);

  reference.swapRows(2, 3);
  reference.swapColumns(8, 9);
  reference.swapStacks(1, 3);
  reference.flipVertical();
  applyDigitMap(expected, {0, 2, 3, 4, 5, 6, 7, 8, 9, 1});
  for (int round = 1; round < 100; ++round) {  // all draws 0: rows 1-2, columns 1-2, flips, turn
    reference.swapRows(1, 2);
    reference.swapColumns(1, 2);
    reference.flipVertical();
    reference.flipHorizontal();
    reference.rotateQuarter();
  }
  EXPECT_EQ(model.board, expected.board);
  EXPECT_EQ(model.givens, expected.givens);
  EXPECT_EQ(model.solution, model.board);
}

TEST_F(ShuffleTest, PathFollowsTheSymmetryOptionAndTheLevel) {
  struct Case {
    int difficulty;
    bool symmetry;
    int firstDraw;  // random(50) starts the symmetric path, random(100) the free one
  };
  for (const Case& c : {Case{0, true, 50}, Case{2, true, 50}, Case{3, true, 100}, Case{0, false, 100},
                        Case{3, false, 100}}) {
    settings.difficulty = int16_t(c.difficulty);
    settings.puzzleSymmetry = c.symmetry;
    scripted.asked.clear();
    generator.shuffleBoard();
    ASSERT_FALSE(scripted.asked.empty());
    EXPECT_EQ(scripted.asked.front(), c.firstDraw) << c.difficulty << " " << c.symmetry;
  }
}

TEST(ShuffleInvariants, EveryShuffleKeepsAValidPuzzleAndTheSymmetricPathItsSymmetry) {
  NullDisplay display;
  BoardModel model(display);
  model.quietMode = true;
  Settings settings;
  Solver solver(model, settings);
  SeededRandom random(0);
  Generator generator(model, settings, solver, random);

  const Grid grid = gridOf(kGrid);
  const Grid givens = givensOf(grid, symmetricPattern);
  ASSERT_TRUE(halfTurnSymmetric(givens));
  int freeLostSymmetry = 0;
  std::set<Grid> boards;
  for (uint64_t seed = 1; seed <= 400; ++seed) {
    random.reseed(seed);
    settings.difficulty = int16_t(seed % 4);
    settings.puzzleSymmetry = seed % 8 < 6;
    model.board = grid;
    model.givens = givens;
    deriveDots(model);
    model.candidates[2][3][4] = true;
    const Grid dotsRight = model.dotsRight, dotsDown = model.dotsDown;
    const auto candidates = model.candidates;

    generator.shuffleBoard();
    SCOPED_TRACE(seed);
    ASSERT_TRUE(isValidSolution(model.board));
    ASSERT_TRUE(givensOnBoard(model.givens, model.board));
    ASSERT_EQ(givenCount(model.givens), givenCount(givens));
    ASSERT_EQ(model.solution, model.board);
    // Dots and marks are never transformed; the caller derives the dots afresh.
    ASSERT_EQ(model.dotsRight, dotsRight);
    ASSERT_EQ(model.dotsDown, dotsDown);
    ASSERT_EQ(model.candidates, candidates);
    const bool symmetricPath = settings.puzzleSymmetry && settings.difficulty != 3;
    if (symmetricPath) ASSERT_TRUE(halfTurnSymmetric(model.givens));
    else if (!halfTurnSymmetric(model.givens)) ++freeLostSymmetry;
    boards.insert(model.board);
  }
  // The free path really is another path, and shuffles differ from seed to seed.
  EXPECT_GT(freeLostSymmetry, 0);
  EXPECT_EQ(boards.size(), 400u);
}

}  // namespace
}  // namespace punktivo
