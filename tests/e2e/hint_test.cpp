// Hints in a game: T three times (the technique and where, the explanation, the step done),
// a wrong digit named first, the hall of fame closed to a game with hints (also resumed),
// the puzzle's grade, and the way back to the last board without a wrong digit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/e2e/scenarios.h"

namespace e2e {
namespace {

const QRect kHintCorner(603, 8, 236, 184);  // where the hint's panel stands
constexpr QRgb kHintTint = 0xffd6f0c8U;


// T, and the question before the first hint of a timed game answered with `yes`.
void firstHint(Game& game, bool yes) {
  game.tap("t");
  ASSERT_TRUE(game.waitDialog());
  game.closeDialogWith(yes ? "j" : "Escape");
}

int filledCells(const std::string& board) {
  return int(std::count_if(board.begin(), board.end(), [](char d) { return d != '0'; }));
}

TEST(Hint, ThreePressesOfTExplainAndThenPlaceOneRightDigit) {
  Game game;
  const TimedGame start = startTimedGame(game);
  ASSERT_EQ(start.solution.size(), 81u);
  const QImage corner = game.stillImage(kHintCorner);
  firstHint(game, true);
  ASSERT_TRUE(waitUntil([&] { return game.grab(kHintCorner) != corner; })) << "no hint shown";
  game.stillImage(kHintCorner);
  game.saveScreenshot("stage1");
  const QImage headline = game.stillImage(kHintCorner);
  game.tap("t");
  ASSERT_TRUE(waitUntil([&] { return game.grab(kHintCorner) != headline; })) << "no explanation";
  game.stillImage(kHintCorner);
  game.saveScreenshot("stage2");
  game.tap("t");
  // Carried out, the hint goes and the corner is as before.
  ASSERT_TRUE(waitUntil([&] { return game.grab(kHintCorner) == corner; }));
  game.saveThroughDialog();
  const std::string after = game.savedBoard(0);
  EXPECT_EQ(filledCells(after), filledCells(start.board) + 1);
  for (size_t i = 0; i < 81; ++i) {
    if (after[i] != '0') {
      EXPECT_EQ(after[i], start.solution[i]) << "cell " << i;
    }
  }
  // One undo takes the hint's digit away.
  game.x().chord("Control_L", "z");
  game.saveThroughDialog();
  EXPECT_EQ(game.savedBoard(0), start.board);
  leaveSession(game);
}

TEST(Hint, AWrongDigitIsPointedOutFirstWithoutCountingAMistake) {
  Game game;
  const TimedGame start = startTimedGame(game);
  const auto empty = emptyCells(start.board);
  ASSERT_FALSE(empty.empty());
  const int r = empty.front().first, c = empty.front().second;
  const char right = start.solution[size_t(9 * (r - 1) + c - 1)];
  const std::string wrong(1, right == '9' ? '1' : char(right + 1));
  enterDigit(game, r, c, wrong.c_str());
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(r, c) == Ink::Red; }));
  const QImage oneMistake = game.stillImage(kMistakes);
  const QImage corner = game.grab(kHintCorner);
  firstHint(game, true);
  ASSERT_TRUE(waitUntil([&] { return game.grab(kHintCorner) != corner; }));
  EXPECT_TRUE(waitUntil([&] { return game.cellTint(r, c) == kHintTint; })) << "the wrong cell is not shown";
  EXPECT_EQ(game.stillImage(kMistakes), oneMistake);
  // Any other key takes the hint away.
  game.tap("Right");
  EXPECT_TRUE(waitUntil([&] { return game.grab(kHintCorner) == corner; }));
  leaveSession(game);
}

TEST(Hint, AGameWithAHintStaysOutOfTheHallOfFameAlsoWhenResumed) {
  Game game;
  const TimedGame start = startTimedGame(game);
  const QImage corner = game.stillImage(kHintCorner);
  // No: nothing shown, the game still counts.
  firstHint(game, false);
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  EXPECT_EQ(game.stillImage(kHintCorner), corner);
  // Yes: the hint, and the mark kept through "Letztes Spiel fortsetzen".
  firstHint(game, true);
  ASSERT_TRUE(waitUntil([&] { return game.grab(kHintCorner) != corner; }));
  leaveSession(game);
  game.chooseMenu("x", "l");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  ASSERT_TRUE(game.clockMoves()) << "the resumed game is not timed";
  // T asks no more: the mark came back with the game.
  game.tap("t");
  ASSERT_TRUE(waitUntil([&] { return game.grab(kHintCorner) != corner; }));
  EXPECT_EQ(game.dialog().id, 0u);
  for (const auto& [r, c] : emptyCells(start.board))
    enterDigit(game, r, c, std::string(1, start.solution[size_t(9 * (r - 1) + c - 1)]).c_str());
  // Solved: the grade is shown, no name is asked for, no hall of fame is written.
  ASSERT_TRUE(game.clockStopped());
  ASSERT_TRUE(waitUntil([&] { return game.grab(kHintCorner) != corner; })) << "no grade after the solve";
  game.stillImage(kHintCorner);
  game.saveScreenshot("solved");
  EXPECT_EQ(game.dialog().id, 0u) << "the hall of fame asked for a name";
  EXPECT_FALSE(std::filesystem::exists(game.dir() / "Champions.Rhm"));
  leaveSession(game);
}

TEST(Hint, TheGradeAndTheWayBackToTheLastBoardWithoutAWrongDigit) {
  Game game;
  const TimedGame start = startTimedGame(game);
  // "Rätsel bewerten" tells the grade in a message box.
  game.chooseMenu("x", "b");
  ASSERT_TRUE(game.waitDialog());
  game.closeDialogWith("Return");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  const auto empty = emptyCells(start.board);
  ASSERT_GE(empty.size(), 3u);
  const auto digitAt = [&](int r, int c) { return start.solution[size_t(9 * (r - 1) + c - 1)]; };
  // Plain names: lambdas below use them.
  const int r1 = empty[0].first, c1 = empty[0].second;
  const int r2 = empty[1].first, c2 = empty[1].second;
  const int r3 = empty[2].first, c3 = empty[2].second;
  enterDigit(game, r1, c1, std::string(1, digitAt(r1, c1)).c_str());
  const std::string wrong(1, digitAt(r2, c2) == '9' ? '1' : char(digitAt(r2, c2) + 1));
  enterDigit(game, r2, c2, wrong.c_str());
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(r2, c2) == Ink::Red; }));
  const QImage oneMistake = game.stillImage(kMistakes);
  enterDigit(game, r3, c3, std::string(1, digitAt(r3, c3)).c_str());
  game.x().chord("Control_L", "BackSpace");
  // Back to the board before the wrong digit: the right digit after it goes too.
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(r2, c2) == Ink::None && game.cellInk(r3, c3) == Ink::None; }));
  EXPECT_EQ(game.cellInk(r1, c1), Ink::Blue);
  EXPECT_EQ(game.stillImage(kMistakes), oneMistake) << "the mistake was taken back";
  leaveSession(game);
}

}  // namespace
}  // namespace e2e
