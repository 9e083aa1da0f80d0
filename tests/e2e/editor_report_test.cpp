// The editor's solution count, by its key and from the menu "Extras": the status panel says
// what the givens and the dots allow, and a unique solution goes onto the board on request.
#include <gtest/gtest.h>

#include "tests/e2e/scenarios.h"

namespace e2e {
namespace {

// The message line of the status panel, without the mistake count below it.
const QRect kStatusLine(612, 322, 216, 28);

TEST(EditorReport, CountsTheSolutionsAndFillsInTheOneOnRequest) {
  Game game;
  game.chooseMenu("o", "e");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); })) << "no editor";
  const QImage start = game.stillImage(kStatusLine);
  ASSERT_FALSE(start.isNull());

  // The start board's dots have one filling: U says so and asks; "&NEIN" leaves the board.
  game.tap("u");
  ASSERT_TRUE(game.waitDialog(kMainTitle)) << "no question after a unique count";
  game.closeDialogWith("n");
  ASSERT_TRUE(waitUntil([&] { return game.grab(kStatusLine) != start; })) << "the status panel did not change";
  const QImage unique = game.stillImage(kStatusLine);
  EXPECT_EQ(game.cellInk(1, 1), Ink::None);
  EXPECT_EQ(game.cellInk(9, 9), Ink::None);

  // A given against that filling (its first cell holds a 4): "Lösungen zählen" finds none,
  // and asks nothing, so the right click that takes the given away again reaches the editor.
  enterDigit(game, 1, 1, "1");
  const QImage entered = game.stillImage(kStatusLine);
  game.chooseMenu("x", "z");
  ASSERT_TRUE(waitUntil([&] { return game.grab(kStatusLine) != entered; })) << "the menu item reported nothing";
  const QImage none = game.stillImage(kStatusLine);
  EXPECT_TRUE(none != unique) << "no solution looks like a unique one";
  const QPoint first = game.cellCentre(1, 1);
  game.click(first.x(), first.y(), 3);
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(1, 1) == Ink::None; })) << "a question blocked the editor";
  EXPECT_EQ(game.dialog().id, 0UL);

  // Unique again: the same report as before, and "&JA" fills the board in the player's blue.
  game.tap("u");
  ASSERT_TRUE(game.waitDialog(kMainTitle));
  EXPECT_TRUE(game.grab(kStatusLine) == unique) << "another report than the first time";
  game.closeDialogWith("j");
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(9, 9) == Ink::Blue; })) << "the solution did not appear";
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) EXPECT_EQ(game.cellInk(r, c), Ink::Blue) << r << "," << c;

  // Saved: the board is the one solution of the record's dots, and no cell became a given.
  game.saveThroughDialog();
  const std::string solution = game.solutionOfSaved(0);
  EXPECT_EQ(solution.size(), 81U);
  EXPECT_EQ(game.savedBoard(0), solution);
  const std::vector<uint8_t> saved = game.readFile("brett.ptv");
  ASSERT_GE(saved.size(), 200U);
  for (size_t i = 100; i < 200; ++i) EXPECT_EQ(saved[i], 0) << "given byte " << i;
  leaveSession(game);
}

}  // namespace
}  // namespace e2e
