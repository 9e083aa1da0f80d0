// The game's hint: a wrong digit before any logic, the next step from the digits and the
// player's right notes, what carrying out a removal leaves in the notes, and the grade.
#include <gtest/gtest.h>

#include "engine/exact_solver.h"
#include "engine/hint.h"
#include "engine/rules.h"
#include "generator_support.h"

namespace punktivo {
namespace {

using testing::gridOf;
using testing::kGrid;

class HintTest : public ::testing::Test {
 protected:
  NullDisplay display;
  BoardModel model{display};

  // The puzzle of kGrid's dots with every third cell given.
  void SetUp() override {
    model.board = gridOf(kGrid);
    deriveDots(model);
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c)
        if ((r + c) % 3 != 0) model.board[r][c] = 0;
    model.givens = model.board;
    ASSERT_TRUE(solveExact(model.givens, model.dotsRight, model.dotsDown).unique());
  }
  int solutionAt(int r, int c) const { return gridOf(kGrid)[r][c]; }
};

TEST_F(HintTest, AWrongDigitComesBeforeAnyStepAndARightOneIsBuiltOn) {
  ASSERT_EQ(model.givens[1][1], 0);
  model.board[1][1] = uint8_t(solutionAt(1, 1) % 9 + 1);
  GameHint hint = nextHint(model);
  ASSERT_EQ(hint.kind, GameHint::Kind::kWrongDigit);
  EXPECT_EQ(hint.wrongCell, (CellRef{1, 1}));
  EXPECT_EQ(hintHeadline(hint), "R1C1 ist falsch");
  EXPECT_EQ(hintCells(hint), (std::vector<CellRef>{{1, 1}}));

  model.board[1][1] = uint8_t(solutionAt(1, 1));
  hint = nextHint(model);
  ASSERT_EQ(hint.kind, GameHint::Kind::kStep);
  // Every placement is the solution's digit, every removal spares it.
  for (const Placement& p : hint.step->placements) EXPECT_EQ(p.digit, solutionAt(p.cell.row, p.cell.column));
  for (const Removal& r : hint.step->removals) EXPECT_EQ(r.digits & (1u << solutionAt(r.cell.row, r.cell.column)), 0);
  EXPECT_NE(hintHeadline(hint).find(techniqueName(hint.step->technique)), std::string::npos);
  EXPECT_NE(hintExplanation(hint).find(hint.step->text), std::string::npos);
  EXPECT_FALSE(hintCells(hint).empty());
}

TEST_F(HintTest, StepsFollowedToTheEndSolveThePuzzleAndThenNoHintIsNeeded) {
  for (int guard = 0; guard < 400; ++guard) {
    const GameHint hint = nextHint(model);
    if (hint.kind != GameHint::Kind::kStep) {
      EXPECT_EQ(hint.kind, GameHint::Kind::kSolved);
      break;
    }
    // As the game carries a hint out: digits placed, removals written into the notes.
    const auto notes = notesAfterStep(model, *hint.step);
    for (const Placement& p : hint.step->placements) model.board[p.cell.row][p.cell.column] = uint8_t(p.digit);
    for (const auto& [cell, mask] : notes) {
      EXPECT_NE(mask & (1u << solutionAt(cell.row, cell.column)), 0) << cellName(cell);
      for (int d = 1; d <= 9; ++d) model.candidates[cell.row][cell.column][d] = (mask >> d & 1U) != 0;
    }
  }
  EXPECT_EQ(model.board, gridOf(kGrid));
}

TEST_F(HintTest, AWrongNoteIsIgnoredAndAPuzzleWithoutOneSolutionIsSaidSo) {
  // Notes that leave out the solution's digit would lead the logic astray: not used.
  const int r = 1, c = 3;
  ASSERT_EQ(model.board[r][c], 0);
  for (int d = 1; d <= 9; ++d) model.candidates[r][c][d] = d != solutionAt(r, c);
  const GameHint hint = nextHint(model);
  ASSERT_EQ(hint.kind, GameHint::Kind::kStep);
  for (const Placement& p : hint.step->placements) EXPECT_EQ(p.digit, solutionAt(p.cell.row, p.cell.column));

  model.givens = {};
  model.board = {};
  model.dotsRight = {};
  model.dotsDown = {};
  EXPECT_EQ(nextHint(model).kind, GameHint::Kind::kNoSolution);
}

TEST_F(HintTest, TheGradeNamesTheHardestTechnique) {
  const PuzzleGrade grade = gradePuzzle(model);
  ASSERT_NE(grade.grade, Grade::kStuck);
  ASSERT_TRUE(grade.hardest.has_value());
  EXPECT_EQ(gradeText(grade), "Bewertung: " + std::string(gradeName(grade.grade)) + " (schwerste Technik: " +
                                  std::string(techniqueName(*grade.hardest)) + ")");
  model.givens = {};
  model.dotsRight = {};
  model.dotsDown = {};
  EXPECT_EQ(gradeText(gradePuzzle(model)), "Bewertung: nicht ohne Probieren lösbar");
}

}  // namespace
}  // namespace punktivo
