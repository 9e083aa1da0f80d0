// A timed game as a player has it: mistakes counted once, a solved game's name dialog and
// hall of fame from the keyboard.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/e2e/scenarios.h"

namespace e2e {
namespace {

TEST(TimedGame, AWrongDigitCountsOnceHoweverOftenTheBoardIsRedrawn) {
  Game game;
  const std::string board = startTimedGame(game).board;
  ASSERT_EQ(board.size(), 81u);
  const QImage noMistake = game.stillImage(kMistakes);
  // An empty cell and a digit that is a given elsewhere in its row: surely wrong.
  int row = 0, column = 0;
  char digit = 0;
  for (int r = 1; r <= 9 && row == 0; ++r) {
    const std::string line = board.substr(size_t(r - 1) * 9, 9);
    const size_t empty = line.find('0');
    const size_t given = line.find_first_not_of('0');
    if (empty != std::string::npos && given != std::string::npos) {
      row = r;
      column = int(empty) + 1;
      digit = line[given];
    }
  }
  ASSERT_NE(row, 0);
  enterDigit(game, row, column, std::string(1, digit).c_str());
  ASSERT_EQ(game.cellInk(row, column), Ink::Red);
  ASSERT_TRUE(waitUntil([&] { return game.mistakeImage() != noMistake; }));
  const QImage oneMistake = game.stillImage(kMistakes);
  // C, C and F redraw the whole board with the wrong digit on it.
  for (const char* key : {"c", "c", "f", "c"}) game.tap(key);
  const size_t free = board.find('0', size_t(row - 1) * 9 + size_t(column));  // another empty cell
  ASSERT_NE(free, std::string::npos);
  expectSessionAlive(game, int(free / 9) + 1, int(free % 9) + 1);
  EXPECT_EQ(game.stillImage(kMistakes), oneMistake) << "the redraws counted the mistake again";
  EXPECT_EQ(game.cellInk(row, column), Ink::Red);
  EXPECT_TRUE(game.clockMoves()) << "the timed game ended";
  leaveSession(game);
}

// Types the whole solution of the saved game into its empty cells, as fast as a person does.
void typeSolution(Game& game, const std::string& board) {
  const std::string solution = game.solutionOfSaved(0);
  ASSERT_EQ(solution.size(), 81u) << "the saved game has no unique solution";
  // Each digit once its picker has shown (a fixed pause lost digits on a busy machine).
  for (size_t i = 0; i < 81; ++i)
    if (board[i] == '0') enterDigit(game, int(i / 9) + 1, int(i % 9) + 1, std::string(1, solution[i]).c_str());
}

std::string readText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(TimedGame, ASolvedGameAsksForTheNameAndShowsTheHallOfFame) {
  Game game;
  typeSolution(game, startTimedGame(game).board);
  // Escape on the name dialog enters nobody; the hall of fame follows, Escape closes it.
  ASSERT_TRUE(game.waitDialog("Neuer Rekord"));
  game.closeDialogWith("Escape");
  ASSERT_TRUE(game.waitDialog("Ruhmeshalle"));
  game.closeDialogWith("Escape");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  EXPECT_TRUE(game.clockStopped()) << "the solved game's clock runs on";
  EXPECT_FALSE(std::filesystem::exists(game.dir() / "Champions.Rhm"));
  leaveSession(game);
  // The next game: a name typed and Return, then Return on the hall of fame.
  const std::string board = startTimedGame(game).board;
  typeSolution(game, board);
  ASSERT_TRUE(game.waitDialog("Neuer Rekord"));
  for (const char* key : {"A", "n", "n", "a"}) {
    if (key[0] == 'A') {
      game.x().chord("Shift_L", "a");
    } else {
      game.tap(key);
    }
  }
  game.closeDialogWith("Return");
  ASSERT_TRUE(game.waitDialog("Ruhmeshalle"));
  game.closeDialogWith("Return");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  EXPECT_NE(readText(game.dir() / "Champions.Rhm").find("Anna"), std::string::npos);
  const size_t open = board.find('0');
  expectSessionAlive(game, int(open / 9) + 1, int(open % 9) + 1);
  leaveSession(game);
}

}  // namespace
}  // namespace e2e
