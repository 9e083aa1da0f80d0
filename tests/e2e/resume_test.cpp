// "Letztes Spiel fortsetzen" as a player has it: a timed game ended by the close box comes
// back in the next run with its digit, its clock going on from where it stopped, and its
// time for the hall of fame; a window destroyed mid-game keeps it too; a damaged file gives a
// message and leaves the board.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

#include "storage/resume_file.h"
#include "tests/e2e/scenarios.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

punktivo::ResumeReadResult keptGame(const Game& game) {
  return punktivo::decodeResume(game.readFile(punktivo::kResumeFile));
}

// The first empty cell of the board on screen, row by row.
std::pair<int, int> firstEmptyCell(Game& game) {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (game.cellInk(r, c) == Ink::None) return {r, c};
  return {0, 0};
}

// A new timed game ("&Neues Spiel") with `digit` in its first empty cell, which is returned.
void newGameWithDigit(Game& game, const char* digit, int& row, int& column) {
  game.chooseMenu("p", "n");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  std::tie(row, column) = firstEmptyCell(game);
  ASSERT_NE(row, 0);
  enterDigit(game, row, column, digit);
}

// A digit through the picker, and the picker gone again before the next click.
void typeDigit(Game& game, int row, int column, int digit) {
  const QPoint cell = game.cellCentre(row, column);
  game.click(cell.x(), cell.y());
  ASSERT_TRUE(waitUntil([&] { return game.pickerShown(row, column); }));
  game.tap(std::to_string(digit).c_str());
  ASSERT_TRUE(waitUntil([&] { return !game.pickerShown(row, column); }));
}

// "HH:MM:SS.t" in seconds.
double secondsOf(const std::string& time) {
  int hours = 0, minutes = 0;
  double seconds = 0;
  char colon1 = 0, colon2 = 0;
  std::istringstream in(time);
  in >> hours >> colon1 >> minutes >> colon2 >> seconds;
  return in && colon1 == ':' && colon2 == ':' ? 3600.0 * hours + 60.0 * minutes + seconds : -1;
}

TEST(Resume, ATimedGameEndedByTheCloseBoxGoesOnInTheNextRunIntoTheHallOfFame) {
  std::vector<uint8_t> file;
  int row = 0, column = 0;
  Ink ink = Ink::None;
  {
    Game first;
    ASSERT_NO_FATAL_FAILURE(newGameWithDigit(first, "5", row, column));
    ink = first.cellInk(row, column);
    // Three ticks: the time before the close must stand out in the hall of fame's time.
    for (int tick = 0; tick < 3; ++tick) ASSERT_TRUE(first.clockMoves()) << "the game is not timed";
    first.x().requestClose(first.mainWindow());
    ASSERT_TRUE(first.waitDialog(kMainTitle));
    first.closeDialogWith("j");
    ASSERT_TRUE(first.waitExit());
    file = first.readFile(punktivo::kResumeFile);
  }
  const punktivo::ResumeReadResult kept = punktivo::decodeResume(file);
  ASSERT_TRUE(kept.ok()) << kept.describe();
  const punktivo::ResumeState& state = kept.state;
  EXPECT_TRUE(state.timedGame);
  EXPECT_EQ(state.board[row][column], 5);
  const double stopped = state.elapsedMilliseconds / 1000.0;
  EXPECT_GE(stopped, 3.0) << "the clock had moved on";

  // The next run, in a folder holding the file the first one left.
  GameOptions options;
  options.files = {{punktivo::kResumeFile, file}};
  Game second(options);
  EXPECT_EQ(second.cellInk(row, column), Ink::None);
  const Clock::time_point chosen = Clock::now();
  second.chooseMenu("x", "l");
  ASSERT_TRUE(waitUntil([&] { return second.sessionShown(); }));
  const Clock::time_point shown = Clock::now();
  EXPECT_EQ(second.cellInk(row, column), ink) << "the digit is not back";
  EXPECT_TRUE(second.clockMoves()) << "the resumed game is not timed";

  // Solved, the time before the close and the time after it make one time.
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (state.givens[r][c] == 0 && state.board[r][c] != state.solution[r][c]) {
        typeDigit(second, r, c, state.solution[r][c]);
        if (::testing::Test::HasFatalFailure()) return;
      }
  const Clock::time_point lastDigit = Clock::now();
  ASSERT_TRUE(second.waitDialog("Neuer Rekord"));
  const Clock::time_point asked = Clock::now();
  for (const char* key : {"a", "n", "n", "a"}) second.tap(key);
  second.closeDialogWith("Return");
  ASSERT_TRUE(second.waitDialog("Ruhmeshalle"));
  second.closeDialogWith("Return");
  ASSERT_TRUE(waitUntil([&] { return second.sessionShown(); }));
  const std::vector<uint8_t> hall = second.readFile("Champions.Rhm");
  const std::string text(hall.begin(), hall.end());
  ASSERT_EQ(text.rfind("anna\r\n", 0), 0u) << text.substr(0, 40);
  const size_t timeAt = text.find("\r\n", 6) + 2;
  const double recorded = secondsOf(text.substr(timeAt, text.find("\r\n", timeAt) - timeAt));
  const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
  // The clock ran at least from the resumed session's buttons to the last digit, at most
  // from the menu item to the name dialog. The final time is the clock's last computation,
  // made at the start of its whole second, so it may lag up to a second; tenths are rounded.
  const double least = stopped + seconds(lastDigit - shown) - 1.06;
  const double most = stopped + seconds(asked - chosen) + 0.06;
  EXPECT_GE(recorded, least) << "stopped at " << stopped << " s";
  EXPECT_LE(recorded, most) << "stopped at " << stopped << " s";
  leaveSession(second);
}

TEST(Resume, ADestroyedWindowKeepsTheTimedGame) {
  Game game;
  int row = 0, column = 0;
  ASSERT_NO_FATAL_FAILURE(newGameWithDigit(game, "7", row, column));
  game.x().destroyWindow(game.mainWindow());
  ASSERT_TRUE(game.waitExit());
  EXPECT_EQ(game.exitStatus(), 0);
  const punktivo::ResumeReadResult kept = keptGame(game);
  ASSERT_TRUE(kept.ok()) << kept.describe();
  EXPECT_TRUE(kept.state.timedGame);
  EXPECT_EQ(kept.state.board[row][column], 7);
}

TEST(Resume, LeftWithEscapeAndBroughtBackAfterTheBoardWasCleared) {
  Game game;
  int row = 0, column = 0;
  ASSERT_NO_FATAL_FAILURE(newGameWithDigit(game, "3", row, column));
  const Ink ink = game.cellInk(row, column);
  game.tap("Escape");
  ASSERT_TRUE(waitUntil([&] { return game.idleShown(); }));
  game.chooseMenu("o", "r");  // "B&rett löschen"
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(row, column) == Ink::None; }));
  game.chooseMenu("x", "l");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  EXPECT_EQ(game.cellInk(row, column), ink);
  EXPECT_TRUE(game.clockMoves());
  leaveSession(game);
}

TEST(Resume, WithoutAFileOrWithADamagedOneAMessageComesAndTheBoardStays) {
  // A file the game wrote, cut short.
  punktivo::ResumeState state;
  state.board[1][1] = state.givens[1][1] = 4;
  std::vector<uint8_t> damaged = punktivo::encodeResume(state);
  damaged.resize(damaged.size() / 2);
  GameOptions options;
  options.files = {{"brett.ptv", boardFileWith("4.......1" + std::string(72, '.'))}};
  Game game(options);
  // A board of the player's on screen.
  game.chooseMenu("o", "l");
  ASSERT_TRUE(game.waitWindow(kLoadTitle));
  game.closeDialogWith("Return");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  enterDigit(game, 2, 2, "6");
  const Ink ink = game.cellInk(2, 2);
  leaveSession(game);
  std::filesystem::remove(game.dir() / punktivo::kResumeFile);

  const QRect client(0, 0, 862, 694);
  for (const bool withFile : {false, true}) {
    if (withFile) {
      std::ofstream out(game.dir() / punktivo::kResumeFile, std::ios::binary);
      out.write(reinterpret_cast<const char*>(damaged.data()), std::streamsize(damaged.size()));
    }
    const QImage before = game.stillImage(client);
    ASSERT_FALSE(before.isNull());
    game.chooseMenu("x", "l");
    ASSERT_TRUE(game.waitDialog(kMainTitle)) << "no message, with file: " << withFile;
    game.closeDialogWith("Return");
    ASSERT_TRUE(waitUntil([&] { return game.idleShown(); }));
    EXPECT_EQ(game.stillImage(client), before) << "with file: " << withFile;
    EXPECT_EQ(game.cellInk(2, 2), ink);
  }
  EXPECT_EQ(game.readFile(punktivo::kResumeFile), damaged) << "the damaged file stays as it was";
}

}  // namespace
}  // namespace e2e
