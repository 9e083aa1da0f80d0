// The step solver's techniques, each on a position built for it, and the grade scale.
#include <gtest/gtest.h>

#include <initializer_list>

#include "engine/grade.h"
#include "engine/step_solver.h"

namespace punktivo {
namespace {

constexpr uint8_t kFree = 3;  // a dot code that imposes nothing: only the dots a test sets count

DigitMask digits(std::initializer_list<int> list) {
  DigitMask mask = 0;
  for (int d : list) mask |= DigitMask(1u << d);
  return mask;
}

// An empty board whose neighbours carry no rule, plus the dots and marks a test adds.
struct Position {
  Grid board{}, right{}, down{};
  Position() {
    for (auto& row : right) row.fill(kFree);
    for (auto& row : down) row.fill(kFree);
  }
  StepSolver solver() const { return StepSolver(board, right, down); }
};

// The digits the step takes from the cell (0 when it leaves the cell alone).
DigitMask removedFrom(const Step& step, CellRef cell) {
  for (const Removal& r : step.removals)
    if (r.cell == cell) return r.digits;
  return 0;
}

void stripRow(StepSolver& s, int row, DigitMask gone, std::initializer_list<int> exceptColumns) {
  for (int c = 1; c <= 9; ++c)
    if (std::find(exceptColumns.begin(), exceptColumns.end(), c) == exceptColumns.end())
      s.keepOnly({row, c}, DigitMask(~gone));
}

TEST(StepSolver, Singles) {
  Position p;
  for (int c = 1; c <= 8; ++c) p.board[1][c] = uint8_t(c);
  StepSolver naked = p.solver();
  const auto single = naked.nextStep();
  ASSERT_TRUE(single);
  EXPECT_EQ(single->technique, Technique::kNakedSingle);
  ASSERT_EQ(single->placements.size(), 1u);
  EXPECT_EQ(single->placements[0].cell, (CellRef{1, 9}));
  EXPECT_EQ(single->placements[0].digit, 9);
  EXPECT_NE(single->text.find("R1C9"), std::string::npos) << single->text;
  naked.apply(*single);
  EXPECT_EQ(naked.digit({1, 9}), 9);
  EXPECT_EQ(naked.candidates({2, 9}) & digits({9}), 0) << "a placed digit leaves its column";

  StepSolver hidden = Position().solver();
  stripRow(hidden, 1, digits({7}), {4});
  const auto step = hidden.findStep(Technique::kHiddenSingle);
  ASSERT_TRUE(step);
  EXPECT_EQ(step->placements[0].cell, (CellRef{1, 4}));
  EXPECT_EQ(step->placements[0].digit, 7);
  EXPECT_EQ(step->units[0], (UnitRef{UnitKind::kRow, 1}));
  EXPECT_EQ(step->text, "In Zeile 1 passt die 7 nur noch in R1C4. Setze 7.");
}

TEST(StepSolver, DotPairs) {
  // A black dot beside {3, 6}: only 3 and 6 fit.
  Position black;
  black.right[4][2] = kBlackDot;
  StepSolver s = black.solver();
  s.keepOnly({4, 3}, digits({3, 6}));
  auto step = s.nextStep();
  ASSERT_TRUE(step);
  EXPECT_EQ(step->technique, Technique::kDotPair);
  EXPECT_EQ(removedFrom(*step, {4, 2}), digits({1, 2, 4, 5, 7, 8, 9}));
  EXPECT_EQ(removedFrom(*step, {4, 3}), 0);
  EXPECT_NE(step->text.find("schwarzer Punkt"), std::string::npos) << step->text;
  EXPECT_EQ(step->dots.size(), 1u);

  // Without candidates marked, a black dot still rules out 5, 7 and 9 on both sides, a white
  // dot beside a placed 1 leaves only 2.
  Position both;
  both.right[1][1] = kBlackDot;
  both.down[5][5] = kWhiteDot;  // between R5C5 and R6C5
  both.board[5][5] = 1;
  s = both.solver();
  step = s.findStep(Technique::kDotPair);
  ASSERT_TRUE(step);
  EXPECT_EQ(removedFrom(*step, {1, 1}), digits({5, 7, 9}));
  EXPECT_EQ(removedFrom(*step, {1, 2}), digits({5, 7, 9}));
  s.apply(*step);
  step = s.findStep(Technique::kDotPair);
  ASSERT_TRUE(step);
  EXPECT_EQ(removedFrom(*step, {6, 5}), digits({3, 4, 5, 6, 7, 8, 9}));
}

TEST(StepSolver, NoDotFromTheNeighboursCandidates) {
  // A neighbour {4, 5} without a dot: 4 and 5 leave the cell (the same digit, or next to
  // either), while 2 (double of 4 but not next to 5) stays.
  Position p;
  p.right[4][4] = kNoDot;
  StepSolver s = p.solver();
  s.keepOnly({4, 5}, digits({4, 5}));
  const auto step = s.nextStep();
  ASSERT_TRUE(step);
  EXPECT_EQ(step->technique, Technique::kNoDot);
  EXPECT_EQ(removedFrom(*step, {4, 4}), digits({4, 5}));
  EXPECT_NE(step->text.find("kein Punkt"), std::string::npos) << step->text;
}

TEST(StepSolver, DotChains) {
  // Two black dots in a row: the middle needs two different partners, so 2 or 4.
  Position black;
  black.right[1][1] = black.right[1][2] = kBlackDot;
  StepSolver s = black.solver();
  auto step = s.findStep(Technique::kDotChain);
  ASSERT_TRUE(step);
  s.apply(*step);
  EXPECT_EQ(s.candidates({1, 2}), digits({2, 4}));
  EXPECT_EQ(s.candidates({1, 1}), digits({1, 2, 4, 8}));
  EXPECT_EQ(step->units[0], (UnitRef{UnitKind::kRow, 1}));

  // White dots bending around a corner inside a box: consecutive and all different, so the
  // middle of three is neither 1 nor 9, and with an end fixed to 1 the others are 2 and 3.
  Position white;
  white.right[1][1] = kWhiteDot;  // R1C1-R1C2
  white.down[2][1] = kWhiteDot;   // R1C2-R2C2
  white.board[2][2] = 1;
  s = white.solver();
  step = s.findStep(Technique::kDotChain);
  ASSERT_TRUE(step);
  EXPECT_EQ(step->units[0], (UnitRef{UnitKind::kBox, 1}));
  s.apply(*step);
  EXPECT_EQ(s.candidates({1, 2}), digits({2}));
  EXPECT_EQ(s.candidates({1, 1}), digits({3}));
}

TEST(StepSolver, LockedCandidatesAndSubsets) {
  // Pointing: in box 1 the 5 stands only in row 1.
  StepSolver s = Position().solver();
  for (int r = 2; r <= 3; ++r) stripRow(s, r, digits({5}), {4, 5, 6, 7, 8, 9});
  auto step = s.findStep(Technique::kLockedCandidates);
  ASSERT_TRUE(step);
  for (int c = 4; c <= 9; ++c) EXPECT_EQ(removedFrom(*step, {1, c}), digits({5})) << c;
  EXPECT_EQ(removedFrom(*step, {1, 1}), 0);

  // Naked pair and triple in row 1.
  s = Position().solver();
  s.keepOnly({1, 1}, digits({1, 2}));
  s.keepOnly({1, 2}, digits({1, 2}));
  step = s.findStep(Technique::kNakedPair);
  ASSERT_TRUE(step);
  EXPECT_EQ(removedFrom(*step, {1, 9}), digits({1, 2}));
  s = Position().solver();
  s.keepOnly({1, 1}, digits({1, 2}));
  s.keepOnly({1, 5}, digits({2, 3}));
  s.keepOnly({1, 9}, digits({1, 3}));
  EXPECT_FALSE(s.findStep(Technique::kNakedPair));
  step = s.findStep(Technique::kNakedTriple);
  ASSERT_TRUE(step);
  EXPECT_EQ(removedFrom(*step, {1, 2}), digits({1, 2, 3}));
  EXPECT_EQ(removedFrom(*step, {1, 5}), 0);

  // Hidden pair and triple: 8 and 9 (then 7, 8, 9) fit only into the first cells of row 1.
  s = Position().solver();
  stripRow(s, 1, digits({8, 9}), {1, 2});
  step = s.findStep(Technique::kHiddenPair);
  ASSERT_TRUE(step);
  EXPECT_EQ(removedFrom(*step, {1, 1}), digits({1, 2, 3, 4, 5, 6, 7}));
  s = Position().solver();
  stripRow(s, 1, digits({7, 8, 9}), {1, 2, 3});
  step = s.findStep(Technique::kHiddenTriple);
  ASSERT_TRUE(step);
  EXPECT_EQ(removedFrom(*step, {1, 3}), digits({1, 2, 3, 4, 5, 6}));
}

TEST(StepSolver, Dominoes) {
  // {3, 6} across a black dot: row 1 and box 1 lose 3 and 6.
  Position black;
  black.right[1][1] = kBlackDot;
  StepSolver s = black.solver();
  s.keepOnly({1, 1}, digits({3, 6}));
  s.keepOnly({1, 2}, digits({3, 6}));
  auto step = s.findStep(Technique::kDomino);
  ASSERT_TRUE(step);
  EXPECT_EQ(step->units.size(), 2u);
  EXPECT_EQ(removedFrom(*step, {1, 9}), digits({3, 6}));
  EXPECT_EQ(removedFrom(*step, {3, 3}), digits({3, 6}));
  EXPECT_EQ(removedFrom(*step, {9, 1}), 0);

  // {4, 5} and {4, 5, 6} across a white dot: 4|5, 5|4 or 5|6, so the 5 stands in one of them
  // (no naked pair says so).
  Position white;
  white.down[4][4] = kWhiteDot;  // R4C4-R5C4
  s = white.solver();
  s.keepOnly({4, 4}, digits({4, 5}));
  s.keepOnly({5, 4}, digits({4, 5, 6}));
  step = s.findStep(Technique::kDomino);
  ASSERT_TRUE(step);
  EXPECT_EQ(removedFrom(*step, {9, 4}), digits({5}));
  EXPECT_EQ(removedFrom(*step, {6, 6}), digits({5}));
  EXPECT_EQ(removedFrom(*step, {5, 5}), digits({5}));
}

TEST(StepSolver, XWingAndXYChain) {
  // The 4 of rows 1 and 5 only in columns 2 and 7.
  StepSolver s = Position().solver();
  stripRow(s, 1, digits({4}), {2, 7});
  stripRow(s, 5, digits({4}), {2, 7});
  auto step = s.findStep(Technique::kXWing);
  ASSERT_TRUE(step);
  EXPECT_EQ(removedFrom(*step, {3, 2}), digits({4}));
  EXPECT_EQ(removedFrom(*step, {9, 7}), digits({4}));
  EXPECT_EQ(removedFrom(*step, {3, 3}), 0);

  // R1C1 {1, 2} - R1C5 {2, 3} - R5C5 {3, 1}: R1C1 or R5C5 is a 1, so R5C1 is none.
  s = Position().solver();
  s.keepOnly({1, 1}, digits({1, 2}));
  s.keepOnly({1, 5}, digits({2, 3}));
  s.keepOnly({5, 5}, digits({1, 3}));
  step = s.findStep(Technique::kXYChain);
  ASSERT_TRUE(step);
  ASSERT_EQ(step->removals.size(), 1u);
  EXPECT_EQ(step->removals[0].cell, (CellRef{5, 1}));
  EXPECT_EQ(step->removals[0].digits, digits({1}));
}

TEST(StepSolver, DotPatternOfAWholeRow) {
  // Row 1 of 4 1 2 5 8 3 9 6 7 with its first three cells open: no dot between the first two,
  // a black one between the next two, none beside the 5. Only 1-4-2 and 4-1-2 fit.
  Position p;
  const int row[10] = {0, 0, 0, 0, 5, 8, 3, 9, 6, 7};
  for (int c = 4; c <= 9; ++c) p.board[1][c] = uint8_t(row[c]);
  p.right[1][1] = kNoDot;
  p.right[1][2] = kBlackDot;
  p.right[1][3] = kNoDot;
  const auto step = p.solver().findStep(Technique::kDotPattern);
  ASSERT_TRUE(step);
  EXPECT_EQ(step->units[0], (UnitRef{UnitKind::kRow, 1}));
  EXPECT_EQ(removedFrom(*step, {1, 1}), digits({2}));
  EXPECT_EQ(removedFrom(*step, {1, 2}), digits({2}));
  EXPECT_EQ(removedFrom(*step, {1, 3}), digits({1, 4}));
  EXPECT_NE(step->text.find("nur 2 Füllungen"), std::string::npos) << step->text;
  EXPECT_NE(step->text.find("1-4-2-5-8-3-9-6-7 oder 4-1-2-5-8-3-9-6-7"), std::string::npos) << step->text;
}

TEST(StepSolver, NeverGuessesAndSeesBrokenBoards) {
  // No givens and no rule between neighbours: many solutions, nothing to deduce.
  const Position open;
  const LogicRun run = solveLogically(open.board, open.right, open.down);
  EXPECT_FALSE(run.solved);
  EXPECT_EQ(run.steps, 0);
  EXPECT_EQ(run.grade, Grade::kStuck);
  EXPECT_EQ(gradeName(run.grade), "nicht ohne Probieren lösbar");

  Position twice;
  twice.board[1][1] = twice.board[1][9] = 5;
  EXPECT_TRUE(twice.solver().broken());
  EXPECT_FALSE(twice.solver().nextStep());
}

TEST(Grade, HardestTierAndHowOftenItWasNeeded) {
  LogicRun run;
  run.solved = true;
  run.counts[int(Technique::kNakedSingle)] = 40;
  EXPECT_EQ(gradeOf(run), Grade::kGentle);
  run.counts[int(Technique::kLockedCandidates)] = 2;
  EXPECT_EQ(gradeOf(run), Grade::kTricky);
  run.counts[int(Technique::kNakedPair)] = 3;  // five steps of the hardest tier
  EXPECT_EQ(gradeOf(run), Grade::kIntricate);
  run.counts[int(Technique::kXYChain)] = 9;
  EXPECT_EQ(gradeOf(run), Grade::kFiendish);
  run.solved = false;
  EXPECT_EQ(gradeOf(run), Grade::kStuck);

  EXPECT_EQ(parseGrade("knifflig"), Grade::kTricky);
  EXPECT_EQ(parseGrade("Teuflisch"), Grade::kFiendish);
  EXPECT_EQ(parseGrade("3"), Grade::kIntricate);
  EXPECT_FALSE(parseGrade("0"));
  EXPECT_FALSE(parseGrade("leicht"));
}

}  // namespace
}  // namespace punktivo
