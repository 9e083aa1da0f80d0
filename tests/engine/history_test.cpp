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
  History history;
  EXPECT_FALSE(history.undo(model));
  model.givens[1][1] = model.board[1][1] = 4;
  const auto start = snapshotOf(model);

  // Three steps: a digit, a candidate mark, a given taken away (as in the editor).
  auto before = snapshotOf(model);
  model.board[2][3] = 7;
  history.commit(before, model);
  const auto afterDigit = snapshotOf(model);
  before = afterDigit;
  model.candidates[5][5][2] = true;
  history.commit(before, model);
  const auto afterMark = snapshotOf(model);
  before = afterMark;
  model.givens[1][1] = model.board[1][1] = 0;
  history.commit(before, model);
  // A step that changes nothing is none.
  history.commit(snapshotOf(model), model);

  ASSERT_TRUE(history.undo(model));
  EXPECT_EQ(snapshotOf(model), afterMark);
  ASSERT_TRUE(history.undo(model));
  EXPECT_EQ(snapshotOf(model), afterDigit);
  ASSERT_TRUE(history.redo(model));
  EXPECT_EQ(snapshotOf(model), afterMark);
  ASSERT_TRUE(history.undo(model));
  ASSERT_TRUE(history.undo(model));
  EXPECT_EQ(snapshotOf(model), start);
  EXPECT_FALSE(history.undo(model));
  EXPECT_EQ(snapshotOf(model), start);

  // Undone twice, redone once, then a new step: nothing is left to redo.
  ASSERT_TRUE(history.redo(model));
  before = snapshotOf(model);
  model.board[9][9] = 1;
  history.commit(before, model);
  EXPECT_FALSE(history.canRedo());
  EXPECT_FALSE(history.redo(model));
  EXPECT_EQ(model.board[9][9], 1);
  ASSERT_TRUE(history.undo(model));
  EXPECT_EQ(snapshotOf(model), afterDigit);

  history.clear();
  EXPECT_FALSE(history.canUndo());
  EXPECT_FALSE(history.undo(model));
}

}  // namespace
