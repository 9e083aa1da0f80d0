// Keys and buttons that belong to a menu or a dialog never reach the session behind it;
// a button held while a dialog opens does not stick.
#include <gtest/gtest.h>

#include "tests/e2e/game.h"

namespace e2e {
namespace {

// Starts "&Spielstart" with the mouse-free road: Alt+P, S.
void startSession(Game& game) {
  game.chooseMenu("p", "s");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); })) << "no session";
}

// Leaves the session with A and waits for the idle screen: every input sent before A has
// been dealt with by then, so this also proves what did not happen.
void leaveSession(Game& game) {
  game.tap("a");
  ASSERT_TRUE(waitUntil([&] { return game.idleShown(); })) << "the session did not end";
}

TEST(KeyboardMenu, ChoosingSpielstartWithItsLetterDoesNotAlsoSave) {
  Game game;
  startSession(game);
  EXPECT_FALSE(game.x().findWindow(kSaveTitle).id != 0) << "the S that chose the item opened the save dialog";
  leaveSession(game);
  EXPECT_FALSE(std::filesystem::exists(game.dir() / "brett.ptv"));
}

TEST(DialogKeys, EscapeThatCancelsTheRecordDialogLeavesTheSessionRunning) {
  Game game;
  startSession(game);
  game.tap("l");
  ASSERT_TRUE(game.waitWindow(kLoadTitle));
  game.pressKeyUntil("Escape", [&] { return game.x().findWindow(kLoadTitle).id == 0; });
  // The session goes on: a click on a cell opens the picker.
  const QPoint cell = game.cellCentre(5, 5);
  game.click(cell.x(), cell.y());
  EXPECT_TRUE(waitUntil([&] { return game.pickerShown(5, 5); })) << "the Escape also left the session";
  game.tap("Escape");
  EXPECT_TRUE(waitUntil([&] { return !game.pickerShown(5, 5) && game.sessionShown(); }));
  leaveSession(game);
}

TEST(HeldButtons, LadenHeldWhileTheDialogOpensDoesNotStick) {
  Game game;
  startSession(game);
  const QPoint laden = game.buttonCentre(kLoad);
  game.press(laden.x(), laden.y());
  ASSERT_TRUE(game.waitWindow(kLoadTitle));
  game.release();  // as a person lets go, after the dialog is there
  game.tap("Escape");
  ASSERT_TRUE(game.waitNoWindow(kLoadTitle));
  EXPECT_TRUE(waitUntil([&] { return game.buttonLook(kLoad) == ButtonLook::Up; })) << "the button stays pressed";
  // The next click on an empty cell shows the picker and enters nothing by itself.
  const QPoint cell = game.cellCentre(1, 1);
  game.click(cell.x(), cell.y());
  ASSERT_TRUE(waitUntil([&] { return game.pickerShown(1, 1); })) << "the click was taken as a choice";
  game.tap("7");
  EXPECT_TRUE(waitUntil([&] { return game.cellInk(1, 1) == Ink::Blue; }));
  leaveSession(game);
}

}  // namespace
}  // namespace e2e
