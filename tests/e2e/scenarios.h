// Steps that many scenarios share: into and out of a session, a digit into a cell, a proof
// that the session still takes clicks.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/game.h"

namespace e2e {

// Starts "&Spielstart" from the keyboard without its letter: Alt+P, Down, Return.
inline void startSession(Game& game) {
  game.chooseMenuByArrows("p", 1);
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); })) << "no session";
}

// Leaves the session with A and waits for the idle screen: every input sent before A has
// been dealt with by then, so this also proves what did not happen.
inline void leaveSession(Game& game) {
  game.tap("a");
  ASSERT_TRUE(waitUntil([&] { return game.idleShown(); })) << "the session did not end";
}

// The session still takes clicks: the picker opens on an empty cell, and Escape closes it.
inline void expectSessionAlive(Game& game, int row, int column) {
  const QPoint cell = game.cellCentre(row, column);
  game.click(cell.x(), cell.y());
  ASSERT_TRUE(waitUntil([&] { return game.pickerShown(row, column); })) << "the session is gone";
  game.tap("Escape");
  ASSERT_TRUE(waitUntil([&] { return !game.pickerShown(row, column) && game.sessionShown(); }));
}

inline constexpr QRgb kWhite = 0xffffffffU;
inline constexpr QRgb kCursorTint = 0xffffec96U;
inline constexpr QRgb kSameDigitTint = 0xffcee2ffU;

// Shows the cursor and takes it from the top-left cell to (row, column), a key at a time
// once the last one has shown.
inline void cursorTo(Game& game, int row, int column) {
  game.tap("Home");
  ASSERT_TRUE(waitUntil([&] {
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c)
        if (game.cellTint(r, c) == kCursorTint) return true;
    return false;
  }));
  game.tap("Home");
  game.tap("Prior");
  ASSERT_TRUE(waitUntil([&] { return game.cellTint(1, 1) == kCursorTint; }));
  for (int r = 2; r <= row; ++r) {
    game.tap("Down");
    ASSERT_TRUE(waitUntil([&] { return game.cellTint(r, 1) == kCursorTint; }));
  }
  for (int c = 2; c <= column; ++c) {
    game.tap("Right");
    ASSERT_TRUE(waitUntil([&] { return game.cellTint(row, c) == kCursorTint; }));
  }
}

// The empty cells of a board of 81 digits, as (row, column).
inline std::vector<std::pair<int, int>> emptyCells(const std::string& board) {
  std::vector<std::pair<int, int>> cells;
  for (size_t i = 0; i < board.size(); ++i)
    if (board[i] == '0') cells.emplace_back(int(i / 9) + 1, int(i % 9) + 1);
  return cells;
}

// A new timed game at "Leicht", saved into record 1 so that its givens and solution are known.
struct TimedGame {
  std::string board, solution;
};
inline TimedGame startTimedGame(Game& game) {
  game.chooseMenu("p", "n");
  EXPECT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  game.saveThroughDialog();
  return {game.savedBoard(0), game.solutionOfSaved(0)};
}

inline void enterDigit(Game& game, int row, int column, const char* digit) {
  const QPoint cell = game.cellCentre(row, column);
  game.click(cell.x(), cell.y());
  ASSERT_TRUE(waitUntil([&] { return game.pickerShown(row, column); }));
  game.tap(digit);
  ASSERT_TRUE(waitUntil([&] { return !game.pickerShown(row, column) && game.cellInk(row, column) != Ink::None; }));
}

}  // namespace e2e
