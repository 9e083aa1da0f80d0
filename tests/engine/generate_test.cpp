// New games: the loop over records, its bound, the given reduction at "Extrem", and the exact
// solution counter that judges the result.
#include <gtest/gtest.h>

#include <vector>

#include "engine/generator.h"
#include "engine/new_game.h"
#include "engine/rules.h"
#include "engine/solver.h"
#include "generator_support.h"
#include "support/recording_display.h"

namespace punktivo {
namespace {

using testing::givenCount;
using testing::givensOf;
using testing::givensOnBoard;
using testing::gridOf;
using testing::kGrid;
using testing::ScriptedRandom;

struct Record {
  Grid board{}, givens{};
};

// Records of the same grid with many givens: every disguise is finished by the solver. Their
// given counts differ (61, 65, 68, 70), so a game tells which record it came from.
std::vector<Record> generousRecords() {
  std::vector<Record> records;
  for (int k = 0; k < 4; ++k) {
    Record record;
    record.board = gridOf(kGrid);
    record.givens = givensOf(record.board, [k](int r, int c) { return (r * 9 + c) % (k + 4) != 0; });
    records.push_back(record);
  }
  return records;
}

class GenerateTest : public ::testing::Test {
 protected:
  testing::RecordingDisplay display;
  BoardModel model{display};
  Settings settings;
  Solver solver{model, settings};
  SeededRandom random{1};
  Generator generator{model, settings, solver, random};
  std::vector<Record> records = generousRecords();
  std::vector<int> slotsRead;

  // Reads a record as the board file does: the images replace the model's.
  Generator::RecordReader reader() {
    return [this](int slot) {
      slotsRead.push_back(slot);
      if (slot < 0 || slot >= int(records.size())) return false;
      model.board = records[slot].board;
      model.givens = records[slot].givens;
      model.dotsRight = {};
      model.dotsDown = {};
      return true;
    };
  }

  // From the givens alone the candidate solver reaches the solution; the board is put back.
  bool solverReachesSolution() {
    const Grid board = model.board;
    model.restartBoard();
    solver.solveWithCandidates();
    const bool reached = model.isBoardComplete() && model.board == model.solution;
    model.board = board;
    return reached;
  }

  void expectSoundPuzzle() {
    ASSERT_TRUE(isValidSolution(model.solution));
    ASSERT_TRUE(givensOnBoard(model.givens, model.solution));
    BoardModel derived = model;
    derived.board = model.solution;
    deriveDots(derived);
    EXPECT_EQ(model.dotsRight, derived.dotsRight);
    EXPECT_EQ(model.dotsDown, derived.dotsDown);
    EXPECT_EQ(countSolutions(model.givens, model.dotsRight, model.dotsDown, 2), 1);
    EXPECT_TRUE(solverReachesSolution());
  }

  // A game in progress, distinct in every array the generator touches.
  void setUpGameInProgress() {
    model.quietMode = false;
    model.board = gridOf(kGrid);
    model.givens = givensOf(model.board, [](int r, int c) { return (r + c) % 3 == 0; });
    model.restartBoard();
    model.board[1][1] = 7;  // a player's digit
    deriveDots(model);
    model.solution = gridOf(kGrid);
    model.boardBackup[4][4] = 9;
    model.candidates[2][2][5] = true;
    model.unsolvedFlag = true;
    model.digitMap[3] = 8;
  }

  void expectModelEquals(const BoardModel& before) {
    EXPECT_EQ(model.board, before.board);
    EXPECT_EQ(model.givens, before.givens);
    EXPECT_EQ(model.solution, before.solution);
    EXPECT_EQ(model.boardBackup, before.boardBackup);
    EXPECT_EQ(model.dotsRight, before.dotsRight);
    EXPECT_EQ(model.dotsDown, before.dotsDown);
    EXPECT_EQ(model.candidates, before.candidates);
    EXPECT_EQ(model.digitMap, before.digitMap);
    EXPECT_EQ(model.quietMode, before.quietMode);
    EXPECT_EQ(model.unsolvedFlag, before.unsolvedFlag);
  }
};

TEST_F(GenerateTest, EasyToHardGamesKeepTheRecordsGivens) {
  for (int difficulty = 0; difficulty <= 2; ++difficulty)
    for (uint64_t seed = 1; seed <= 15; ++seed) {
      SCOPED_TRACE(::testing::Message() << "difficulty " << difficulty << " seed " << seed);
      settings.difficulty = int16_t(difficulty);
      settings.puzzleSymmetry = seed % 3 != 0;
      random.reseed(seed);
      slotsRead.clear();
      model.quietMode = false;
      display.calls.clear();

      const GenerateResult result = generator.generateGame(reader());
      EXPECT_TRUE(display.calls.empty()) << "the work is unseen";
      EXPECT_FALSE(model.quietMode);  // as the caller had it
      ASSERT_TRUE(result.generated());
      EXPECT_EQ(result.attempts, 1);
      ASSERT_EQ(slotsRead, std::vector<int>{result.slot});
      EXPECT_EQ(givenCount(model.givens), givenCount(records[result.slot].givens));
      // The solved board, as the dispatch expects it before its restart.
      EXPECT_EQ(model.board, model.solution);
      expectSoundPuzzle();
    }
}

TEST_F(GenerateTest, RecordIsTheFirstDrawThenTheShuffleDraws) {
  ScriptedRandom scripted;
  scripted.script = {2};
  Generator scriptedGenerator(model, settings, solver, scripted);
  settings.difficulty = 1;
  const GenerateResult result = scriptedGenerator.generateGame(reader());
  ASSERT_TRUE(result.generated());
  EXPECT_EQ(result.slot, 2);
  EXPECT_EQ(slotsRead, std::vector<int>{2});
  ASSERT_GE(scripted.asked.size(), 2u);
  EXPECT_EQ(scripted.asked[0], 4);
  EXPECT_EQ(scripted.asked[1], 50);  // the symmetric shuffle's number of rounds
}

TEST_F(GenerateTest, ExtremeGameKeepsOnlyNeededGivens) {
  settings.difficulty = 3;
  std::vector<bool> busy;
  generator.showBusy = [&](bool on) { busy.push_back(on); };
  for (uint64_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    random.reseed(seed);
    busy.clear();
    const GenerateResult result = generator.generateGame(reader());
    ASSERT_TRUE(result.generated());
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    EXPECT_LT(givenCount(model.givens), givenCount(records[result.slot].givens));
    EXPECT_EQ(model.board, model.givens);  // only the givens remain
    expectSoundPuzzle();

    // Every given left is needed: without it the puzzle is no longer finished soundly.
    const Grid givens = model.givens;
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        if (givens[r][c] == 0) continue;
        model.givens[r][c] = model.board[r][c] = 0;
        const bool stillFinished = solverReachesSolution() &&
                                   countSolutions(model.givens, model.dotsRight, model.dotsDown, 2) == 1;
        EXPECT_FALSE(stillFinished) << "given at " << r << "," << c << " could go";
        model.givens = model.board = givens;
      }
  }
  // No busy pointer below "Extrem".
  settings.difficulty = 0;
  busy.clear();
  ASSERT_TRUE(generator.generateGame(reader()).generated());
  EXPECT_TRUE(busy.empty());
}

// The reduction judged as the plain rule has it: a given goes when the candidate solver still
// completes the board without it.
TEST_F(GenerateTest, PlainReductionTestsEveryGivenAgainstTheRemainingOnes) {
  generator.requireUnique = false;
  settings.difficulty = 3;
  int neededTopLeft = 0;
  for (uint64_t seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE(seed);
    random.reseed(seed);
    model.quietMode = true;
    model.board = gridOf(kGrid);
    model.givens = model.board;
    generator.shuffleBoard();
    generator.reduceGivens();
    EXPECT_TRUE(model.quietMode);
    EXPECT_EQ(model.board, model.givens);

    // The solver completes the board from what remains ...
    const Grid givens = model.givens;
    solver.solveWithCandidates();
    EXPECT_TRUE(model.isBoardComplete());
    // ... and fails when any one remaining given is taken out.
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        if (givens[r][c] == 0) continue;
        model.board = model.givens = givens;
        model.board[r][c] = model.givens[r][c] = 0;
        solver.solveWithCandidates();
        EXPECT_FALSE(model.isBoardComplete()) << "given at " << r << "," << c << " could go";
      }
    model.board = model.givens = givens;

    // The first cell visited, (1, 1), is judged like any other; judged on the full board it
    // would always go. Its given is seldom needed, being tested first, so turn the puzzle by
    // half: the last cell visited, whose given is often needed, becomes (1, 1).
    if (givens[9][9] == 0) continue;
    model.board = model.solution;
    generator.flipVertical();
    generator.flipHorizontal();
    const Grid turnedSolution = model.board, turnedGivens = model.givens;
    deriveDots(model);
    model.board = turnedGivens;
    model.board[1][1] = model.givens[1][1] = 0;
    solver.solveWithCandidates();
    if (model.isBoardComplete()) continue;  // the turned puzzle does without it
    model.board = turnedSolution;
    model.givens = turnedGivens;
    generator.reduceGivens();
    EXPECT_EQ(model.givens[1][1], turnedGivens[1][1]);
    ++neededTopLeft;
  }
  EXPECT_GT(neededTopLeft, 0);
}

TEST_F(GenerateTest, ReductionLeavesTheDotsAndKeepsQuietModeOfTheCaller) {
  model.board = gridOf(kGrid);
  model.givens = model.board;
  model.quietMode = false;
  generator.reduceGivens();
  EXPECT_FALSE(model.quietMode);
  EXPECT_TRUE(display.calls.empty());  // the work itself is unseen
  BoardModel derived = model;
  derived.board = gridOf(kGrid);
  deriveDots(derived);
  EXPECT_EQ(model.dotsRight, derived.dotsRight);
  EXPECT_EQ(model.dotsDown, derived.dotsDown);
  EXPECT_EQ(model.solution, gridOf(kGrid));
  EXPECT_LT(givenCount(model.givens), 20);
}

TEST_F(GenerateTest, NoRecordReadEndsInAReportedFailureWithTheBoardUnchanged) {
  setUpGameInProgress();
  const BoardModel before = model;
  int reads = 0;
  const GenerateResult result = generator.generateGame([&](int) { return ++reads, false; });
  EXPECT_FALSE(result.generated());
  EXPECT_EQ(result.status, GenerateStatus::kNoRecord);
  EXPECT_EQ(result.attempts, Generator::kDefaultMaxAttempts);
  EXPECT_EQ(reads, Generator::kDefaultMaxAttempts);
  EXPECT_EQ(result.recordsRead, 0);
  expectModelEquals(before);

  // An empty reader is no reader.
  EXPECT_EQ(generator.generateGame({}).status, GenerateStatus::kNoRecord);
  expectModelEquals(before);
}

TEST_F(GenerateTest, RecordsTheSolverCannotFinishEndInAReportedFailure) {
  // Solutions without givens: the dots alone give the candidate solver no single to start.
  for (auto& record : records) record.givens = {};
  setUpGameInProgress();
  const BoardModel before = model;
  generator.maxAttempts = 9;
  const GenerateResult result = generator.generateGame(reader());
  EXPECT_EQ(result.status, GenerateStatus::kUnsolvable);
  EXPECT_EQ(result.attempts, 9);
  EXPECT_EQ(result.recordsRead, 9);
  EXPECT_EQ(slotsRead.size(), 9u);
  expectModelEquals(before);
}

TEST_F(GenerateTest, BrokenRecordsAreNotDisguised) {
  // Record 0: digits repeated in two columns; 1: a given on a different digit; 2: a board
  // with an empty cell. Record 3 is fine and must be the one the game is made from.
  std::swap(records[0].board[1][1], records[0].board[1][2]);
  records[0].givens = givensOf(records[0].board, [](int, int) { return true; });
  records[1].givens[5][5] = uint8_t(records[1].board[5][5] % 9 + 1);
  records[2].board[9][9] = 0;
  records[2].givens[9][9] = 0;
  setUpGameInProgress();
  const GenerateResult result = generator.generateGame(reader());
  ASSERT_TRUE(result.generated());
  EXPECT_EQ(result.slot, 3);
  EXPECT_EQ(result.badRecords, result.attempts - 1);
  expectSoundPuzzle();

  // Only broken records: nothing usable was read.
  records.pop_back();
  setUpGameInProgress();
  const BoardModel before = model;
  const GenerateResult failed = generator.generateGame(reader());
  EXPECT_EQ(failed.status, GenerateStatus::kNoRecord);
  EXPECT_EQ(failed.recordsRead, failed.badRecords);
  EXPECT_GT(failed.badRecords, 0);
  expectModelEquals(before);
}

TEST_F(GenerateTest, UnfinishableRecordsAreSkippedUntilAGoodOneIsDrawn) {
  records[0].givens = records[1].givens = records[2].givens = {};
  for (uint64_t seed = 1; seed <= 10; ++seed) {
    random.reseed(seed);
    const GenerateResult result = generator.generateGame(reader());
    ASSERT_TRUE(result.generated());
    EXPECT_EQ(result.slot, 3);
    EXPECT_EQ(givenCount(model.givens), givenCount(records[3].givens));
  }
}

// Taken as "the solver completes the board", some finished games have a second solution under
// all rules (the solver's fallback guesses). The generator draws again instead, and the
// reduction keeps a given whose removal would allow a second solution.
TEST_F(GenerateTest, EveryGameHasExactlyOneSolution) {
  settings.difficulty = 3;
  int plainMultiple = 0;
  for (uint64_t seed = 1; seed <= 300; ++seed) {
    generator.requireUnique = false;
    random.reseed(seed);
    ASSERT_TRUE(generator.generateGame(reader()).generated());
    plainMultiple += countSolutions(model.givens, model.dotsRight, model.dotsDown, 2) != 1;

    generator.requireUnique = true;
    random.reseed(seed);
    ASSERT_TRUE(generator.generateGame(reader()).generated());
    ASSERT_EQ(countSolutions(model.givens, model.dotsRight, model.dotsDown, 2), 1) << seed;
    ASSERT_TRUE(solverReachesSolution()) << seed;
  }
  // The fault is real for these records, so the check above has something to catch.
  EXPECT_GT(plainMultiple, 0);
}

TEST_F(GenerateTest, ANewGameIsReadiedForPlayOnlyOnceItsPuzzleIsMade) {
  setUpGameInProgress();
  GameState game;
  game.mistakeCount = 2;
  const BoardModel before = model;
  bool shown = false;
  const auto beforeBoardShown = [&] {
    shown = true;
    // The clock starts on a timed game whose board still holds the whole solution.
    EXPECT_TRUE(game.timedGame);
    EXPECT_EQ(model.board, model.solution);
    EXPECT_EQ(model.candidates, BoardModel(display).candidates);
    model.quietMode = false;
  };
  EXPECT_FALSE(startNewGame(generator, model, game, [](int) { return false; }, beforeBoardShown).generated());
  EXPECT_FALSE(shown);
  EXPECT_FALSE(game.timedGame);
  EXPECT_EQ(game.mistakeCount, 0);
  expectModelEquals(before);

  game.mistakeCount = 2;
  ASSERT_TRUE(startNewGame(generator, model, game, reader(), beforeBoardShown).generated());
  EXPECT_TRUE(shown);
  EXPECT_EQ(game.mistakeCount, 0);
  EXPECT_FALSE(model.unsolvedFlag);
  EXPECT_EQ(model.board, model.givens);
  expectSoundPuzzle();
}

TEST(CountSolutions, CountsUnderEveryRuleUpToTheLimit) {
  NullDisplay display;
  BoardModel model(display);
  model.quietMode = true;
  const Grid grid = gridOf(kGrid);

  // The start board's dots alone pin down one filling.
  model.loadStartBoard();
  EXPECT_EQ(countSolutions(Grid{}, model.dotsRight, model.dotsDown), 1);
  // The grid with its own dots, from any subset of its digits: exactly one.
  model.board = grid;
  deriveDots(model);
  EXPECT_EQ(countSolutions(grid, model.dotsRight, model.dotsDown), 1);
  SeededRandom random(4);
  for (int k = 0; k < 20; ++k) {
    const Grid givens = givensOf(grid, [&](int, int) { return random.random(3) == 0; });
    EXPECT_EQ(countSolutions(givens, model.dotsRight, model.dotsDown, 5), 1);
  }

  // Givens that break a rule: a repeated digit, a dot that does not hold.
  Grid clash = grid;
  clash[1][1] = clash[1][2];
  EXPECT_EQ(countSolutions(clash, model.dotsRight, model.dotsDown), 0);
  Grid wrongDot = model.dotsRight;
  wrongDot[1][1] = kWhiteDot;  // 4 beside 1
  EXPECT_EQ(countSolutions(grid, wrongDot, model.dotsDown), 0);
  // "No dot" is a rule: 1 beside 2 needs a dot.
  Grid noDots{};
  EXPECT_EQ(countSolutions(givensOf(grid, [](int r, int c) { return r == 1 && c <= 3; }), noDots,
                           noDots),
            0);

  // Codes the game never writes impose nothing: an empty board then has many fillings.
  Grid free{};
  for (auto& row : free) row.fill(7);
  EXPECT_EQ(countSolutions(Grid{}, free, free, 2), 2);
  EXPECT_EQ(countSolutions(Grid{}, free, free, 1), 1);
  EXPECT_EQ(countSolutions(Grid{}, free, free, 0), 0);
}

TEST(ValidSolution, NeedsEveryDigitOncePerUnit) {
  Grid grid = gridOf(kGrid);
  EXPECT_TRUE(isValidSolution(grid));
  std::swap(grid[1][1], grid[1][2]);  // rows still fine, columns not
  EXPECT_FALSE(isValidSolution(grid));
  grid = gridOf(kGrid);
  grid[5][5] = 0;
  EXPECT_FALSE(isValidSolution(grid));
  grid[5][5] = 14;  // a byte no digit
  EXPECT_FALSE(isValidSolution(grid));
}

}  // namespace
}  // namespace punktivo
