// The record dialog from the keyboard, and board pictures that a save and a load must
// reproduce exactly.
#include <gtest/gtest.h>

#include "tests/e2e/scenarios.h"

namespace e2e {
namespace {

const QRect kBoard(29, 45, 541, 541);

TEST(RecordDialog, TabAndKeysThatTypeNothingMoveOrDoNothing) {
  Game game;
  startSession(game);
  enterDigit(game, 3, 3, "8");
  game.tap("s");
  ASSERT_TRUE(game.waitWindow(kSaveTitle));
  // Tab and Shift+Tab walk through the dialog; Delete, Home, End and F5 type nothing.
  for (const char* key : {"Tab", "Tab", "Delete", "Home", "End", "F5"}) game.tap(key);
  game.x().chord("Shift_L", "Tab");
  game.x().chord("Shift_L", "Tab");
  // Down moves to the next record, as in any group of option buttons; then Escape.
  game.tap("Down");
  game.closeDialogWith("Escape");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  EXPECT_FALSE(std::filesystem::exists(game.dir() / "brett.ptv")) << "a key that types nothing saved the board";
  // A character key saves, into the record the arrow chose.
  game.tap("s");
  ASSERT_TRUE(game.waitWindow(kSaveTitle));
  game.tap("Down");
  game.closeDialogWith("Return");
  ASSERT_TRUE(waitUntil([&] { return game.savedDigit(1, 3, 3) == 8; })) << "not saved into record 2";
  EXPECT_EQ(game.savedDigit(0, 3, 3), 0);
  // The load dialog: Tab there loads nothing either (the board keeps its digit).
  enterDigit(game, 4, 4, "2");
  game.tap("l");
  ASSERT_TRUE(game.waitWindow(kLoadTitle));
  game.tap("Tab");
  game.tap("Delete");
  game.closeDialogWith("Escape");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  EXPECT_EQ(game.cellInk(4, 4), Ink::Blue);
  leaveSession(game);
}

// The board after `command` against the same board saved, loaded and so drawn afresh.
void expectCleanAfterSaveAndLoad(Game& game, const QImage& after) {
  game.chooseMenu("o", "s");
  ASSERT_TRUE(game.waitWindow(kSaveTitle));
  game.closeDialogWith("Return");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  leaveSession(game);
  game.chooseMenu("o", "l");
  ASSERT_TRUE(game.waitWindow(kLoadTitle));
  game.closeDialogWith("Return");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  const QImage fresh = game.grab(kBoard);
  int differing = 0;
  for (int y = 0; y < fresh.height(); ++y)
    for (int x = 0; x < fresh.width(); ++x) differing += fresh.pixel(x, y) != after.pixel(x, y) ? 1 : 0;
  EXPECT_EQ(differing, 0) << "pixels of old dots or gaps in the grid";
  leaveSession(game);
}

TEST(BoardPicture, ShufflingLeavesACleanGridWithOnlyTheNewDots) {
  Game game;
  const QImage start = game.grab(kBoard);
  game.chooseMenu("o", "m");
  ASSERT_TRUE(waitUntil([&] { return game.grab(kBoard) != start && game.idleShown(); }));
  expectCleanAfterSaveAndLoad(game, game.grab(kBoard));
}

// In the editor, two givens, then `key` (R derives the dots, X solves and shuffles).
void editorCommandLeavesACleanGrid(const char* key) {
  Game game;
  game.chooseMenu("o", "e");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  enterDigit(game, 1, 1, "1");
  enterDigit(game, 5, 6, "7");
  const QImage before = game.grab(kBoard);
  game.tap(key);
  ASSERT_TRUE(waitUntil([&] { return game.grab(kBoard) != before; }));
  // The picture holds still before it is taken.
  QImage last;
  ASSERT_TRUE(waitUntil([&] {
    const QImage now = game.grab(kBoard);
    const bool same = now == last;
    last = now;
    return same;
  }));
  leaveSession(game);
  expectCleanAfterSaveAndLoad(game, last);
}

TEST(BoardPicture, TheEditorsRLeavesACleanGrid) { editorCommandLeavesACleanGrid("r"); }
TEST(BoardPicture, TheEditorsXLeavesACleanGrid) { editorCommandLeavesACleanGrid("x"); }

}  // namespace
}  // namespace e2e
