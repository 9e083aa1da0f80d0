// The record dialog from the keyboard, and board pictures that a save and a load must
// reproduce exactly.
#include <gtest/gtest.h>

#include <QPainter>

#include <algorithm>

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

TEST(RecordDialog, ReturnPressesTheButtonWithTheFocus) {
  Game game;
  startSession(game);
  enterDigit(game, 3, 3, "8");
  // Tab takes the focus from the chosen record to OK: Return saves.
  game.tap("s");
  ASSERT_TRUE(game.waitWindow(kSaveTitle));
  game.tap("Tab");
  game.closeDialogWith("Return");
  ASSERT_TRUE(waitUntil([&] { return game.savedDigit(0, 3, 3) == 8; })) << "Return on OK did not save";
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  // Once more to " Abbruch ": Return closes the dialog and saves nothing.
  enterDigit(game, 4, 4, "2");
  game.tap("s");
  ASSERT_TRUE(game.waitWindow(kSaveTitle));
  game.tap("Tab");
  game.tap("Tab");
  game.closeDialogWith("Return");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  EXPECT_EQ(game.savedDigit(0, 4, 4), 0);
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
  const QImage fresh = game.stillImage(kBoard);
  ASSERT_FALSE(fresh.isNull());
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
  const QImage shuffled = game.stillImage(kBoard);
  ASSERT_FALSE(shuffled.isNull());
  expectCleanAfterSaveAndLoad(game, shuffled);
}

// An Extrem game left with A and shuffled from the menu: the disguise has as many givens as
// the game and still exactly one solution (the rule solver alone cannot complete it).
TEST(BoardPicture, ShufflingAnExtremGameKeepsItsPuzzle) {
  Game game;
  game.chooseMenu("w", "e");
  game.chooseMenu("p", "n");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  game.saveThroughDialog();
  const auto givens = [&] {
    const std::string board = game.savedBoard(0);
    return std::count_if(board.begin(), board.end(), [](char d) { return d != '0'; });
  };
  const auto gameGivens = givens();
  ASSERT_EQ(game.solutionOfSaved(0).size(), 81u);
  leaveSession(game);
  const QImage left = game.grab(kBoard);
  game.chooseMenu("o", "m");
  ASSERT_TRUE(waitUntil([&] { return game.grab(kBoard) != left && game.idleShown(); }));
  startSession(game);
  game.saveThroughDialog();
  EXPECT_EQ(givens(), gameGivens);
  EXPECT_EQ(game.solutionOfSaved(0).size(), 81u) << "the shuffled puzzle has no single solution";
  leaveSession(game);
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
  const QImage last = game.stillImage(kBoard);
  ASSERT_FALSE(last.isNull());
  leaveSession(game);
  expectCleanAfterSaveAndLoad(game, last);
}

TEST(BoardPicture, TheEditorsRLeavesACleanGrid) { editorCommandLeavesACleanGrid("r"); }
TEST(BoardPicture, TheEditorsXLeavesACleanGrid) { editorCommandLeavesACleanGrid("x"); }


// A full board (rows of consecutive digits shifted box by box) with every dot derived from
// it but one missing, and the diagonal left empty: the solve fills the diagonal.
std::vector<uint8_t> boardWithAMissingDot() {
  std::string givens;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) givens += r == c ? '0' : char('1' + (3 * (r % 3) + r / 3 + c) % 9);
  std::vector<uint8_t> file = boardFileWith(givens);
  const auto digit = [](int r, int c) { return (3 * ((r - 1) % 3) + (r - 1) / 3 + (c - 1)) % 9 + 1; };
  const auto code = [](int a, int b) -> uint8_t { return a == 2 * b || b == 2 * a ? 2 : (a - b == 1 || b - a == 1 ? 1 : 0); };
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 9; ++c) {
      if (c < 9) file[200 + size_t(10 * r + c)] = code(digit(r, c), digit(r, c + 1));
      if (r < 9) file[300 + size_t(10 * c + r)] = code(digit(r, c), digit(r + 1, c));
    }
  }
  file[200 + 12] = 0;  // the white dot between the 2 and the 3 of the first row
  return file;
}

TEST(BoardPicture, TheMenusSolveJudgesTheBoardAsTheHiddenSequenceDoes) {
  GameOptions options;
  options.files = {{"brett.ptv", boardWithAMissingDot()}};
  Game game(options);
  // The insides of the statistics and the status panel (their embossed captions darken a
  // little with every drawing over them).
  const auto panels = [&] {
    QImage both(226, 90, QImage::Format_RGB32);
    QPainter painter(&both);
    painter.drawImage(0, 0, game.grab(QRect(612, 228, 226, 40)));
    painter.drawImage(0, 40, game.grab(QRect(612, 316, 226, 50)));
    return both;
  };
  const auto load = [&] {
    game.chooseMenu("o", "l");
    ASSERT_TRUE(game.waitWindow(kLoadTitle));
    game.closeDialogWith("Return");
    ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  };
  // The hidden sequence (release Q, then Z) in the session.
  load();
  const QImage loaded = panels();
  game.tap("q");
  game.tap("z");
  ASSERT_TRUE(waitUntil([&] { return panels() != loaded; }));
  leaveSession(game);
  const QImage bySequence = panels();
  // The same board again, solved from the menu.
  load();
  leaveSession(game);
  game.chooseMenu("o", "b");
  const bool same = waitUntil([&] { return panels() == bySequence; }, 10s);
  if (!same) {
    bySequence.save("e2e-solve-by-sequence.png");
    panels().save("e2e-solve-by-menu.png");
  }
  EXPECT_TRUE(same) << "\"Brett lösen\" judged the board by the state before its own solve";
}

}  // namespace
}  // namespace e2e
