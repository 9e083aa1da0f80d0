// Play from the keyboard: a cursor moved by the arrow keys, digits and candidates typed at
// it, undo and redo by keys and menu, and the cells of the same digit tinted.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/scenarios.h"

namespace e2e {
namespace {

TEST(KeyboardPlay, DigitsAtTheCursorCountAsThePickersAndUndoNeverHidesAMistake) {
  Game game;
  game.chooseMenu("p", "n");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  game.saveThroughDialog();
  const std::string board = game.savedBoard(0);
  const std::string solution = game.solutionOfSaved(0);
  ASSERT_EQ(solution.size(), 81u);
  const auto empty = emptyCells(board);
  ASSERT_GE(empty.size(), 3u);
  // Three empty cells (plain names: lambdas below use them).
  const int r1 = empty[0].first, c1 = empty[0].second;
  const int r2 = empty[1].first, c2 = empty[1].second;
  const int r3 = empty[2].first, c3 = empty[2].second;
  const auto digitAt = [&](int r, int c) { return solution[size_t(9 * (r - 1) + c - 1)]; };
  const QImage noMistake = game.stillImage(kMistakes);

  cursorTo(game, r1, c1);
  game.tap(std::string(1, digitAt(r1, c1)).c_str());
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(r1, c1) == Ink::Blue; }));
  EXPECT_EQ(game.stillImage(kMistakes), noMistake);
  cursorTo(game, r2, c2);
  const char wrong = digitAt(r2, c2) == '9' ? '1' : char(digitAt(r2, c2) + 1);
  game.tap(std::string(1, wrong).c_str());
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(r2, c2) == Ink::Red; }));
  ASSERT_TRUE(waitUntil([&] { return game.mistakeImage() != noMistake; }));
  const QImage oneMistake = game.stillImage(kMistakes);
  const QRect cellRect(29 + 60 * (c3 - 1) + 1, 45 + 60 * (r3 - 1) + 1, 58, 58);
  const QImage bare = game.grab(cellRect);

  // Ctrl+Z takes the wrong digit away, the mistake stays counted; Ctrl+Y puts it back
  // without counting it again.
  game.x().chord("Control_L", "z");
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(r2, c2) == Ink::None; }));
  game.x().chord("Control_L", "y");
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(r2, c2) == Ink::Red; }));
  EXPECT_EQ(game.stillImage(kMistakes), oneMistake);

  // Q released, then Ctrl+Z: an undo, never the hidden solve sequence.
  game.tap("q");
  game.x().chord("Control_L", "z");
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(r2, c2) == Ink::None; }));
  game.stillImage(QRect(29, 45, 540, 540));
  EXPECT_EQ(game.cellInk(r3, c3), Ink::None) << "the board was solved";

  // Shift+digit notes a candidate in an empty cell, Delete empties a cell; both undo.
  cursorTo(game, r3, c3);
  const QImage underCursor = game.stillImage(cellRect);
  game.x().chord("Shift_L", "3");
  ASSERT_TRUE(waitUntil([&] { return game.grab(cellRect) != underCursor; })) << "no candidate noted";
  cursorTo(game, r1, c1);
  game.tap("Delete");
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(r1, c1) == Ink::None; }));
  game.x().chord("Control_L", "z");
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(r1, c1) == Ink::Blue; }));
  game.x().chord("Control_L", "z");
  cursorTo(game, r2, c2);  // away from the cell, so its tint is white again
  ASSERT_TRUE(waitUntil([&] { return game.grab(cellRect) == bare; })) << "the candidate was not undone";
  // Enter opens the picker on the cursor's cell.
  game.tap("Return");
  ASSERT_TRUE(waitUntil([&] { return game.pickerShown(r2, c2); }));
  game.tap(std::string(1, digitAt(r2, c2)).c_str());
  ASSERT_TRUE(waitUntil([&] { return !game.pickerShown(r2, c2) && game.cellInk(r2, c2) == Ink::Blue; }));
  EXPECT_TRUE(game.clockMoves()) << "the timed game ended";
  leaveSession(game);
  EXPECT_EQ(game.cellTint(r2, c2), kWhite) << "the cursor stays after the session";
}

// Notes typed with Shift, also with the keypad's digits while NumLock is on; then M shows the
// computed candidates, and undo brings back exactly the notes and the display before it.
TEST(KeyboardPlay, ShiftWithAKeypadDigitNotesItAndUndoAfterMBringsTheNotesBack) {
  const QRect boardRect(29, 45, 541, 541);
  Game game;
  game.chooseMenu("p", "n");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  game.saveThroughDialog();
  const auto empty = emptyCells(game.savedBoard(0));
  const auto cell = std::find_if(empty.begin(), empty.end(), [](const auto& rc) { return rc.second < 9; });
  ASSERT_NE(cell, empty.end());
  const int r = cell->first, c = cell->second;
  cursorTo(game, r, c);
  const QImage bare = game.stillImage(boardRect);
  game.x().chord("Shift_L", "7");
  ASSERT_TRUE(waitUntil([&] { return game.grab(boardRect) != bare; })) << "no candidate noted";
  const QImage seven = game.stillImage(boardRect);
  game.tap("Num_Lock");
  game.x().chord("Shift_L", "KP_1");
  game.tap("Num_Lock");
  ASSERT_TRUE(waitUntil([&] { return game.grab(boardRect) != seven; })) << "Shift+keypad 1 noted nothing";
  EXPECT_EQ(game.cellTint(r, c), kCursorTint) << "the cursor moved";
  const QImage notes = game.stillImage(boardRect);

  game.tap("m");
  ASSERT_TRUE(waitUntil([&] { return game.grab(boardRect) != notes; })) << "no computed candidates";
  const QImage computed = game.stillImage(boardRect);
  game.x().chord("Control_L", "z");
  ASSERT_TRUE(waitUntil([&] { return game.grab(boardRect) == notes; })) << "undo did not bring the notes back";
  game.x().chord("Control_L", "y");
  ASSERT_TRUE(waitUntil([&] { return game.grab(boardRect) == computed; }));
  // M again hides the computed candidates; two undos lead back to the notes.
  game.tap("m");
  ASSERT_TRUE(waitUntil([&] { return game.grab(boardRect) != computed; }));
  game.x().chord("Control_L", "z");
  ASSERT_TRUE(waitUntil([&] { return game.grab(boardRect) == computed; }));
  game.x().chord("Control_L", "z");
  ASSERT_TRUE(waitUntil([&] { return game.grab(boardRect) == notes; })) << "the notes are lost";
  leaveSession(game);
}

TEST(KeyboardPlay, TheMenuUndoesAndRedoesTheEditorsGivens) {
  Game game;
  game.chooseMenu("o", "e");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  // The start board has dots only.
  cursorTo(game, 1, 1);
  game.tap("5");
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(1, 1) == Ink::Black; }));
  game.chooseMenu("x", "r");
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(1, 1) == Ink::None; }));
  game.chooseMenu("x", "w");
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(1, 1) == Ink::Black; }));
  game.chooseMenu("x", "r");
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(1, 1) == Ink::None; }));
  leaveSession(game);
}

TEST(KeyboardPlay, CellsOfTheDigitUnderTheCursorAreTintedUntilTheOptionIsOff) {
  Game game;
  game.chooseMenu("p", "n");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  game.saveThroughDialog();
  const std::string board = game.savedBoard(0);
  // A given and another cell with the same digit, and a cell with another digit.
  size_t given = board.find_first_not_of('0');
  ASSERT_NE(given, std::string::npos);
  const size_t same = board.find(board[given], given + 1);
  ASSERT_NE(same, std::string::npos);
  const size_t other = board.find_first_not_of(std::string("0") + board[given]);
  ASSERT_NE(other, std::string::npos);
  const auto rowOf = [](size_t i) { return int(i / 9) + 1; };
  const auto columnOf = [](size_t i) { return int(i % 9) + 1; };
  // A mouse player sees no tint.
  EXPECT_EQ(game.cellTint(rowOf(same), columnOf(same)), kWhite);
  cursorTo(game, rowOf(given), columnOf(given));
  ASSERT_TRUE(waitUntil([&] { return game.cellTint(rowOf(same), columnOf(same)) == kSameDigitTint; }));
  EXPECT_EQ(game.cellTint(rowOf(other), columnOf(other)), kWhite);
  // The option off: the tint goes, and the choice is remembered in the working directory.
  game.chooseMenu("x", "g");
  ASSERT_TRUE(waitUntil([&] { return game.cellTint(rowOf(same), columnOf(same)) == kWhite; }));
  EXPECT_EQ(game.cellTint(rowOf(given), columnOf(given)), kCursorTint);
  leaveSession(game);
  const std::vector<uint8_t> options = game.readFile("punktivo.opt");
  EXPECT_EQ(std::string(options.begin(), options.end()), "hervorheben=0\n");
}

TEST(KeyboardPlay, ARememberedOptionOffShowsNoTint) {
  GameOptions options;
  const std::string off = "hervorheben=0\n";
  options.files = {{"punktivo.opt", std::vector<uint8_t>(off.begin(), off.end())}};
  Game game(options);
  game.chooseMenu("p", "n");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  game.saveThroughDialog();
  const std::string board = game.savedBoard(0);
  const size_t given = board.find_first_not_of('0');
  const size_t same = board.find(board[given], given + 1);
  ASSERT_NE(same, std::string::npos);
  cursorTo(game, int(given / 9) + 1, int(given % 9) + 1);
  ASSERT_FALSE(game.stillImage(QRect(29, 45, 540, 540)).isNull());
  EXPECT_EQ(game.cellTint(int(same / 9) + 1, int(same % 9) + 1), kWhite);
  leaveSession(game);
}

}  // namespace
}  // namespace e2e
