// Undo and redo over a board: every step goes back and forth exactly, and a new step after
// an undo drops the undone ones.
#include <gtest/gtest.h>

#include "engine/history.h"

namespace {

using punktivo::BoardModel;
using punktivo::History;
using punktivo::snapshotOf;

TEST(History, StepsGoBackAndForthAndANewStepDropsTheUndoneOnes) {
  punktivo::NullDisplay display;
  BoardModel model(display);
  punktivo::Settings settings;
  History history;
  EXPECT_FALSE(history.undo(model, settings));
  model.givens[1][1] = model.board[1][1] = 4;
  const auto start = snapshotOf(model, settings);

  // Three steps: a digit, a candidate mark, a given taken away (as in the editor).
  auto before = snapshotOf(model, settings);
  model.board[2][3] = 7;
  history.commit(before, model, settings);
  const auto afterDigit = snapshotOf(model, settings);
  before = afterDigit;
  model.candidates[5][5][2] = true;
  history.commit(before, model, settings);
  const auto afterMark = snapshotOf(model, settings);
  // The computed candidates shown in place of the notes (M): undone, the notes come back
  // and the display with them.
  before = afterMark;
  model.clearCandidates();
  settings.showCandidates = true;
  history.commit(before, model, settings);
  ASSERT_TRUE(history.undo(model, settings));
  EXPECT_FALSE(settings.showCandidates);
  EXPECT_TRUE(model.candidates[5][5][2]);
  ASSERT_TRUE(history.redo(model, settings));
  EXPECT_TRUE(settings.showCandidates);
  ASSERT_TRUE(history.undo(model, settings));
  model.givens[1][1] = model.board[1][1] = 0;
  history.commit(before, model, settings);
  // A step that changes nothing is none.
  history.commit(snapshotOf(model, settings), model, settings);

  ASSERT_TRUE(history.undo(model, settings));
  EXPECT_EQ(snapshotOf(model, settings), afterMark);
  ASSERT_TRUE(history.undo(model, settings));
  EXPECT_EQ(snapshotOf(model, settings), afterDigit);
  ASSERT_TRUE(history.redo(model, settings));
  EXPECT_EQ(snapshotOf(model, settings), afterMark);
  ASSERT_TRUE(history.undo(model, settings));
  ASSERT_TRUE(history.undo(model, settings));
  EXPECT_EQ(snapshotOf(model, settings), start);
  EXPECT_FALSE(history.undo(model, settings));
  EXPECT_EQ(snapshotOf(model, settings), start);

  // Undone twice, redone once, then a new step: nothing is left to redo.
  ASSERT_TRUE(history.redo(model, settings));
  before = snapshotOf(model, settings);
  model.board[9][9] = 1;
  history.commit(before, model, settings);
  EXPECT_FALSE(history.canRedo());
  EXPECT_FALSE(history.redo(model, settings));
  EXPECT_EQ(model.board[9][9], 1);
  ASSERT_TRUE(history.undo(model, settings));
  EXPECT_EQ(snapshotOf(model, settings), afterDigit);

  history.clear();
  EXPECT_FALSE(history.canUndo());
  EXPECT_FALSE(history.undo(model, settings));
}

}  // namespace
