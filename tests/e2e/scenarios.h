// Steps that many scenarios share: into and out of a session, a digit into a cell, a proof
// that the session still takes clicks.
#pragma once

#include <gtest/gtest.h>

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

inline void enterDigit(Game& game, int row, int column, const char* digit) {
  const QPoint cell = game.cellCentre(row, column);
  game.click(cell.x(), cell.y());
  ASSERT_TRUE(waitUntil([&] { return game.pickerShown(row, column); }));
  game.tap(digit);
  ASSERT_TRUE(waitUntil([&] { return !game.pickerShown(row, column) && game.cellInk(row, column) != Ink::None; }));
}

}  // namespace e2e
