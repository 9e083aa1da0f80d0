// The solver: fit tests, candidates, the two solvers, the guess step and the commands
// built on them, with what each of them draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "engine/rules.h"
#include "engine/solver.h"
#include "literal_solver.h"
#include "test_boards.h"

namespace punktivo {
namespace {

using testing::DisplayCall;
using testing::gridFrom;

// The full board without its two diagonals: 17 cells that singles fill.
Grid withoutDiagonals(Grid grid) {
  for (int c = 1; c <= 9; ++c) grid[c][c] = grid[c][10 - c] = 0;
  return grid;
}

Grid withoutRows(Grid grid, std::initializer_list<int> rows) {
  for (int r : rows)
    for (int c = 1; c <= 9; ++c) grid[r][c] = 0;
  return grid;
}

int emptyCells(const Grid& grid) {
  int n = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) n += grid[r][c] == 0;
  return n;
}

struct SolverTest : ::testing::Test {
  testing::RecordingDisplay screen;
  BoardModel model{screen};
  Settings settings;
  Solver solver{model, settings};
  const Grid full = gridFrom(testing::kStartSolution);

  // Dots that impose nothing, so only the plain rules count.
  void dotsWithoutRules() {
    for (int i = 1; i <= 9; ++i)
      for (int j = 1; j <= 8; ++j) model.dotsRight[i][j] = model.dotsDown[i][j] = 3;
  }
  int count(DisplayCall::Kind kind) const {
    return int(std::count_if(screen.calls.begin(), screen.calls.end(),
                             [&](const DisplayCall& c) { return c.kind == kind; }));
  }
  std::vector<DisplayCall> redrawsThenDots(int redraws) const {
    std::vector<DisplayCall> calls(redraws, DisplayCall{DisplayCall::RedrawBoard});
    calls.push_back({DisplayCall::Dots});
    return calls;
  }
};

TEST_F(SolverTest, NoDigitFitsAnywhereWhileTheBoardHoldsADuplicate) {
  model.board[9][2] = 6;
  model.board[9][8] = 6;
  model.board[1][1] = 3;
  const Grid before = model.board;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      for (int d = 1; d <= 9; ++d)
        if (model.board[r][c] == 0) {
          ASSERT_FALSE(solver.fitsPlain(c, r, d)) << r << "," << c << ": " << d;
          ASSERT_FALSE(solver.fitsAll(c, r, d));
        }
  EXPECT_EQ(model.board, before);
  model.board[9][8] = 0;
  EXPECT_TRUE(solver.fitsPlain(5, 5, 6));
  EXPECT_TRUE(solver.fitsPlain(5, 5, 3));
  EXPECT_FALSE(solver.fitsPlain(1, 5, 3));  // same column as the 3
  EXPECT_FALSE(solver.fitsPlain(5, 9, 6));  // same row as the 6
  EXPECT_FALSE(solver.fitsPlain(3, 7, 6));  // same box
}

TEST_F(SolverTest, AllRulesFitTestAddsTheCellsDots) {
  model.board[5][5] = 4;
  model.dotsRight[5][5] = kBlackDot;  // (5,5)-(5,6)
  model.dotsRight[5][4] = kWhiteDot;  // (5,4)-(5,5)
  std::set<int> right, left, below;
  for (int d = 1; d <= 9; ++d) {
    if (solver.fitsAll(6, 5, d)) right.insert(d);
    if (solver.fitsAll(4, 5, d)) left.insert(d);
    if (solver.fitsAll(5, 6, d)) below.insert(d);
    EXPECT_TRUE(solver.fitsPlain(6, 5, d) || d == 4);
  }
  EXPECT_EQ(right, (std::set<int>{2, 8}));
  EXPECT_EQ(left, (std::set<int>{3, 5}));
  EXPECT_EQ(below, (std::set<int>{1, 6, 7, 9}));  // no dot: not 3, 5, 2, 8; 4 is taken
}

TEST_F(SolverTest, CandidatesOfADuplicateBoardAreEmptyAndNothingIsPlaced) {
  model.board[4][3] = 7;
  model.board[4][6] = 7;
  model.candidates[1][1][5] = true;  // a note of the player
  solver.computeCandidates();
  EXPECT_EQ(model.candidates, CandidateFlags{});

  const Grid before = model.board;
  solver.solveWithCandidates();
  EXPECT_EQ(model.board, before);
  EXPECT_TRUE(model.unsolvedFlag);
  // Rule solver: no placement, no guess (each row drawn after its failed guess), dots;
  // then the candidate solver's own redraw.
  std::vector<DisplayCall> expected = redrawsThenDots(9);
  expected.push_back({DisplayCall::RedrawBoard});
  EXPECT_EQ(screen.calls, expected);
}

TEST_F(SolverTest, ASingleCandidateIsClearedFromItsUnitsButNotPlaced) {
  dotsWithoutRules();
  for (int c = 1; c <= 8; ++c) model.board[1][c] = uint8_t(c);
  solver.computeCandidates();
  EXPECT_EQ(model.board[1][9], 0);
  for (int d = 1; d <= 9; ++d) EXPECT_EQ(model.candidates[1][9][d], d == 9);
  for (int r = 2; r <= 9; ++r) EXPECT_FALSE(model.candidates[r][9][9]) << "column, row " << r;
  EXPECT_FALSE(model.candidates[2][7][9]);
  EXPECT_FALSE(model.candidates[3][8][9]);
  EXPECT_TRUE(model.candidates[5][5][9]);
  EXPECT_TRUE(model.candidates[2][1][9]);
  EXPECT_FALSE(model.candidates[2][1][1]);  // box of the given 1
  EXPECT_TRUE(model.candidates[4][1][2]);
}

// Givens on which the candidate solver stalls with cells left that the plain rules
// (hidden singles) still fill, with the board at the stall.
struct StallingPuzzle {
  Grid givens, stalled;
};
StallingPuzzle findStallingPuzzle() {
  std::mt19937_64 rng(11);
  for (;;) {
    NullDisplay none;
    BoardModel m(none);
    Settings settings;
    Solver s(m, settings);
    m.quietMode = true;
    for (int i = 1; i <= 9; ++i)
      for (int j = 1; j <= 8; ++j) m.dotsRight[i][j] = m.dotsDown[i][j] = 3;
    const Grid givens = testing::keepSome(testing::randomSolution(rng), 38, rng);
    m.board = givens;
    // The candidate passes, one by one through the public operations.
    for (bool placed = true; placed;) {
      placed = false;
      s.computeCandidates();
      for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c) {
          int n = 0, digit = 0;
          for (int d = 1; d <= 9; ++d)
            if (m.candidates[r][c][d] && m.board[r][c] == 0) ++n, digit = d;
          if (n == 1) m.board[r][c] = uint8_t(digit), placed = true;
        }
    }
    const Grid stalled = m.board;
    if (emptyCells(stalled) < 10 || stalled == givens) continue;
    s.guessActive = true;  // singles only
    s.solveByRules();
    if (m.isBoardComplete()) return {givens, stalled};
  }
}

TEST_F(SolverTest, CandidateSolverStopsAtItsFirstIdlePassAndTheRuleSolverGoesOn) {
  const StallingPuzzle puzzle = findStallingPuzzle();
  dotsWithoutRules();
  model.board = puzzle.givens;
  solver.solveWithCandidates();
  ASSERT_TRUE(model.isBoardComplete());
  EXPECT_EQ(solver.stallCount, 1);
  EXPECT_FALSE(model.unsolvedFlag);
  // The candidate solver's digits are not drawn; each digit of the rule solver is.
  std::set<std::tuple<int, int, int>> drawn, byRules;
  for (const DisplayCall& call : screen.calls)
    if (call.kind == DisplayCall::PlayerCell) drawn.insert({call.column, call.row, call.digit});
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (puzzle.stalled[r][c] == 0) byRules.insert({c, r, model.board[r][c]});
  EXPECT_EQ(drawn, byRules);
  EXPECT_EQ(count(DisplayCall::PlayerCell), int(byRules.size()));
  ASSERT_GE(screen.calls.size(), 2u);
  EXPECT_EQ(screen.calls[screen.calls.size() - 2].kind, DisplayCall::Dots);
  EXPECT_EQ(screen.calls.back().kind, DisplayCall::RedrawBoard);
}

TEST_F(SolverTest, QuietSolversDrawNothing) {
  const StallingPuzzle puzzle = findStallingPuzzle();
  dotsWithoutRules();
  model.quietMode = true;
  model.board = puzzle.givens;
  solver.solveWithCandidates();
  EXPECT_TRUE(model.isBoardComplete());
  model.board = withoutRows(full, {5, 6});
  solver.solveByRules();  // with a guess
  EXPECT_TRUE(model.isBoardComplete());
  EXPECT_TRUE(screen.calls.empty());
}

TEST_F(SolverTest, RuleSolverDrawsEachPlacementAtOnceInBoxOrderThenTheDots) {
  // Boxes go column of boxes first; inside a box, column by column.
  model.board = full;
  model.board[1][4] = 0;  // box of columns 4-6, rows 1-3
  model.board[4][1] = 0;  // box of columns 1-3, rows 4-6: comes first
  model.board[1][2] = 0;
  model.board[2][1] = 0;  // same box as (1,2), earlier column
  solver.solveByRules();
  const std::vector<DisplayCall> expected = {
      {DisplayCall::PlayerCell, 1, 2, full[2][1]}, {DisplayCall::PlayerCell, 2, 1, full[1][2]},
      {DisplayCall::PlayerCell, 1, 4, full[4][1]}, {DisplayCall::PlayerCell, 4, 1, full[1][4]},
      {DisplayCall::Dots}};
  EXPECT_EQ(screen.calls, expected);
  EXPECT_EQ(model.board, full);
  EXPECT_FALSE(model.unsolvedFlag);
}

TEST_F(SolverTest, RuleSolverWorksExactlyTenRounds) {
  const Grid givens = gridFrom(testing::kTenRoundGivens);
  model.quietMode = true;
  model.board = givens;
  solver.guessActive = true;  // keep the guess step out of it
  solver.solveByRules();
  const Grid afterTen = model.board;
  EXPECT_EQ(emptyCells(afterTen), 20);
  EXPECT_TRUE(model.unsolvedFlag);

  // The literal reference places its last digit in round ten ...
  NullDisplay none;
  BoardModel reference(none);
  Settings referenceSettings;
  literal::LiteralSolver literalSolver(reference, referenceSettings);
  reference.quietMode = true;
  reference.board = givens;
  literalSolver.guessActive = true;
  literalSolver.solveByRules();
  EXPECT_EQ(literalSolver.lastPlacingRound, 10);
  EXPECT_EQ(afterTen, reference.board);
  // ... and an eleventh round would still have found a digit.
  solver.solveByRules();
  EXPECT_LT(emptyCells(model.board), 20);
}

TEST_F(SolverTest, CellsWithThreeFittingDigitsAreNeverGuessed) {
  // A band of three empty rows: every cell has exactly three fits and no single exists.
  const Grid start = withoutRows(full, {4, 5, 6});
  model.board = start;
  solver.solveByRules();
  EXPECT_EQ(model.board, start);
  EXPECT_TRUE(model.unsolvedFlag);
  EXPECT_FALSE(solver.guessActive);
  EXPECT_EQ(screen.calls, redrawsThenDots(9));  // every guess row ends without success
}

TEST_F(SolverTest, ASuccessfulGuessLeavesTheDotsOfTheBoardItFound) {
  // Two empty rows of a band: every cell has two fits and no single exists. The pairs
  // of rows 5 and 6 form one cycle, so one guess decides them all.
  const Grid start = withoutRows(full, {5, 6});
  model.board = start;
  dotsWithoutRules();
  solver.solveByRules();
  // Rows 1-4 hold no guess: each ends without success and is redrawn. (5,1) may hold 8
  // or 9; the lower digit is tried first and drawn at once. It belongs to row 6 of the
  // start solution, so the guess finds that solution with rows 5 and 6 swapped.
  ASSERT_GT(screen.calls.size(), 5u);
  EXPECT_EQ(std::vector<DisplayCall>(screen.calls.begin(), screen.calls.begin() + 5),
            (std::vector<DisplayCall>{{DisplayCall::RedrawBoard},
                                      {DisplayCall::RedrawBoard},
                                      {DisplayCall::RedrawBoard},
                                      {DisplayCall::RedrawBoard},
                                      {DisplayCall::PlayerCell, 1, 5, 8}}));
  Grid swapped = full;
  std::swap(swapped[5], swapped[6]);
  EXPECT_EQ(model.board, swapped);
  EXPECT_FALSE(model.unsolvedFlag);
  EXPECT_FALSE(solver.guessActive);
  EXPECT_EQ(model.boardBackup, start);

  BoardModel found(screen), original(screen);
  found.board = swapped;
  deriveDots(found);
  original.board = full;
  deriveDots(original);
  EXPECT_EQ(model.dotsRight, found.dotsRight);
  EXPECT_EQ(model.dotsDown, found.dotsDown);
  EXPECT_NE(model.dotsDown, original.dotsDown);

  // The successful row is not redrawn: the inner rule solver's dots, then the outer one's.
  EXPECT_EQ(count(DisplayCall::RedrawBoard), 4);
  EXPECT_EQ(count(DisplayCall::Dots), 2);
  EXPECT_EQ(screen.calls.back().kind, DisplayCall::Dots);
}

// A board on which the rule solver stalls and every guess fails.
Grid findFailingGuessBoard() {
  std::mt19937_64 rng(5);
  for (;;) {
    testing::RecordingDisplay trace;
    BoardModel m(trace);
    Settings settings;
    Solver s(m, settings);
    const Grid board = testing::keepSome(testing::randomSolution(rng), 24, rng);
    m.board = board;
    s.solveByRules();
    const bool erased = std::any_of(trace.calls.begin(), trace.calls.end(), [](auto& c) {
      return c.kind == DisplayCall::PlayerCell && c.digit == 0;
    });
    if (!m.isBoardComplete() && erased) return board;
  }
}

TEST_F(SolverTest, AFailedGuessRestoresTheBoardAndRedrawsEachRow) {
  const Grid start = findFailingGuessBoard();
  model.board = start;
  // The board after the singles, as the guess step finds it.
  solver.guessActive = true;
  model.quietMode = true;
  solver.solveByRules();
  const Grid afterSingles = model.board;
  model.board = start;
  model.quietMode = false;
  solver.guessActive = false;
  solver.solveByRules();

  EXPECT_EQ(model.board, afterSingles);
  EXPECT_EQ(model.boardBackup, afterSingles);
  EXPECT_TRUE(model.unsolvedFlag);
  EXPECT_FALSE(solver.guessActive);
  EXPECT_EQ(count(DisplayCall::RedrawBoard), 9);
  EXPECT_EQ(screen.calls.back().kind, DisplayCall::Dots);
  // Each erased cell was empty when the guess began; since the last erase or row redraw
  // it was drawn with its first trial digit, then with its second, then empty.
  int erased = 0;
  size_t segment = 0;
  for (size_t i = 0; i < screen.calls.size(); ++i) {
    const DisplayCall& call = screen.calls[i];
    if (call.kind == DisplayCall::RedrawBoard) segment = i + 1;
    if (call.kind != DisplayCall::PlayerCell || call.digit != 0) continue;
    ++erased;
    EXPECT_EQ(afterSingles[call.row][call.column], 0);
    std::vector<int> trials;
    for (size_t j = segment; j < i; ++j) {
      const DisplayCall& earlier = screen.calls[j];
      if (earlier.kind == DisplayCall::PlayerCell && earlier.column == call.column &&
          earlier.row == call.row)
        trials.push_back(earlier.digit);
    }
    ASSERT_EQ(trials.size(), 2u);
    EXPECT_LT(trials[0], trials[1]);
    EXPECT_EQ(screen.calls[segment].column, call.column);
    EXPECT_EQ(screen.calls[segment].row, call.row);
    segment = i + 1;
  }
  EXPECT_GT(erased, 0);
}

TEST_F(SolverTest, ComputeSolutionLeavesTheBoardAsItWas) {
  for (const Grid& start : {withoutRows(full, {5, 6}), withoutRows(full, {4, 5, 6}),
                            gridFrom(testing::kTenRoundGivens), full}) {
    dotsWithoutRules();  // a successful guess replaces them
    model.board = start;
    screen.calls.clear();
    solver.computeSolution();
    EXPECT_EQ(model.board, start);
    EXPECT_FALSE(model.quietMode);
    EXPECT_TRUE(screen.calls.empty());
    // A caller that works unseen stays unseen.
    model.quietMode = true;
    solver.computeSolution();
    EXPECT_TRUE(model.quietMode);
    model.quietMode = false;
    BoardModel solved(screen);
    solved.board = model.solution;
    const bool complete = solved.isBoardComplete();
    EXPECT_EQ(model.unsolvedFlag, !complete);
    if (complete) {
      EXPECT_TRUE(hasNoDuplicates(solved));
    }
  }
  // The guess board is solved, the band of three empty rows is not.
  dotsWithoutRules();
  model.board = withoutRows(full, {5, 6});
  solver.computeSolution();
  EXPECT_FALSE(model.unsolvedFlag);
  dotsWithoutRules();
  model.board = withoutRows(full, {4, 5, 6});
  solver.computeSolution();
  EXPECT_TRUE(model.unsolvedFlag);
  EXPECT_EQ(model.solution, model.board);
}

TEST_F(SolverTest, SolveCommandOnTheStartBoardPlacesNothing) {
  model.loadStartBoard();
  screen.calls.clear();
  const Grid right = model.dotsRight, down = model.dotsDown;
  solver.solveCommand(false);
  EXPECT_EQ(model.board, Grid{});
  EXPECT_TRUE(model.unsolvedFlag);
  EXPECT_EQ(model.dotsRight, right);
  EXPECT_EQ(model.dotsDown, down);
  // The rule solver's failed guess rows and dots, the final redraw; no restart.
  std::vector<DisplayCall> expected = redrawsThenDots(9);
  expected.push_back({DisplayCall::RedrawBoard});
  EXPECT_EQ(screen.calls, expected);
}

TEST_F(SolverTest, SolveCommandStartsAgainFromTheGivensAfterAWrongEntry) {
  model.board = full;
  deriveDots(model);
  model.givens = withoutDiagonals(full);
  model.board = model.givens;
  model.board[5][5] = model.board[5][1];  // wrong entry: a duplicate in row 5
  model.candidates[5][5][3] = true;
  solver.solveCommand(false);
  EXPECT_EQ(model.board, full);
  EXPECT_FALSE(model.unsolvedFlag);
  EXPECT_EQ(model.candidates, CandidateFlags{});
  const auto restart = std::find(screen.calls.begin(), screen.calls.end(),
                                 DisplayCall{DisplayCall::MainScreen});
  ASSERT_NE(restart, screen.calls.end());
  ASSERT_LT(restart + 2, screen.calls.end());
  EXPECT_EQ(restart[1].kind, DisplayCall::RedrawBoard);
  EXPECT_EQ(restart[2].kind, DisplayCall::PlayerCell);
  EXPECT_EQ(count(DisplayCall::PlayerCell), 17);
  EXPECT_EQ(screen.calls.back().kind, DisplayCall::Dots);
}

TEST_F(SolverTest, SolveCommandKeepsAFullBoardWithoutDuplicates) {
  // Digits right, dots wrong: the board is inconsistent but full and duplicate-free.
  model.givens = withoutDiagonals(full);
  model.board = full;
  model.dotsRight[1][1] = kWhiteDot;
  solver.solveCommand(true);
  EXPECT_EQ(model.board, full);
  EXPECT_EQ(count(DisplayCall::MainScreen), 0);

  // Without the error check's "full", the same board is restarted and solved again.
  screen.calls.clear();
  solver.solveCommand(false);
  EXPECT_EQ(count(DisplayCall::MainScreen), 1);
  EXPECT_EQ(count(DisplayCall::PlayerCell), 17);
  EXPECT_EQ(model.board, full);
}

TEST_F(SolverTest, SolveCommandTestsTheBoardFullOfTheCheckInItsOwnRedraw) {
  // The same full, duplicate-free board with a wrong dot, now reached by the solve itself:
  // the redraw at its end runs the error check, which finds the board full.
  model.givens = withoutDiagonals(full);
  model.board = model.givens;
  model.dotsRight[1][1] = kWhiteDot;
  bool boardFull = false;
  screen.onRedrawBoard = [&] { boardFull = testing::everyDigitNineTimes(model.board); };
  solver.solveCommand(boardFull);
  EXPECT_TRUE(boardFull);
  EXPECT_EQ(model.board, full);
  EXPECT_EQ(count(DisplayCall::MainScreen), 0) << "no restart from the givens";
}

TEST_F(SolverTest, RefreshReplacesTheNotesOnlyWhileCandidatesAreShown) {
  model.board = withoutRows(full, {1});
  dotsWithoutRules();
  model.candidates[1][1][7] = true;
  model.candidates[1][1][full[1][1]] = false;
  const CandidateFlags notes = model.candidates;

  solver.refreshCandidates();
  EXPECT_EQ(model.candidates, notes);
  EXPECT_EQ(screen.calls, std::vector<DisplayCall>{{DisplayCall::CandidateMarks}});

  settings.showCandidates = true;
  screen.calls.clear();
  solver.refreshCandidates();
  for (int c = 1; c <= 9; ++c)
    for (int d = 1; d <= 9; ++d) EXPECT_EQ(model.candidates[1][c][d], d == full[1][c]);
  EXPECT_EQ(screen.calls, (std::vector<DisplayCall>{{DisplayCall::EndTimedGame},
                                                    {DisplayCall::CandidateMarks}}));

  // Quiet: the game still leaves timing, but nothing is drawn.
  model.quietMode = true;
  screen.calls.clear();
  model.candidates = notes;
  solver.refreshCandidates();
  EXPECT_NE(model.candidates, notes);
  EXPECT_EQ(screen.calls, std::vector<DisplayCall>{{DisplayCall::EndTimedGame}});
}

TEST(DigitMasks, PlacementsKeepTheDuplicateKnown) {
  Grid board{};
  board[2][2] = 5;
  DigitMasks masks;
  masks.rebuild(board);
  EXPECT_FALSE(masks.hasDuplicate());
  EXPECT_EQ(masks.plainFits(3, 3), DigitMasks::kAllDigits & ~(1u << 5));
  masks.place(8, 8, 5);  // different row, column and box
  EXPECT_FALSE(masks.hasDuplicate());
  masks.place(3, 1, 5);  // same box as (2,2)
  EXPECT_TRUE(masks.hasDuplicate());
  EXPECT_EQ(masks.plainFits(1, 9), 0);
  masks.rebuild(board);
  EXPECT_FALSE(masks.hasDuplicate());
}

}  // namespace
}  // namespace punktivo
