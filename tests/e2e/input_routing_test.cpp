// Keys and buttons that belong to a menu or a dialog never reach the session behind it;
// a button held while a dialog opens does not stick; fast input arrives whole and in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "tests/e2e/scenarios.h"

namespace e2e {
namespace {

TEST(KeyboardMenu, ChoosingSpielstartWithItsLetterDoesNotAlsoSave) {
  Game game;
  game.chooseMenu("p", "s");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); })) << "no session, or the save dialog opened";
  EXPECT_FALSE(game.x().findWindow(kSaveTitle).id != 0) << "the S that chose the item opened the save dialog";
  leaveSession(game);
  EXPECT_FALSE(std::filesystem::exists(game.dir() / "brett.ptv"));
}

// A menu opened by its letter or by a click and closed with one Escape: the game's next key
// is the game's (F notes every candidate on the start board), not the menu bar's.
TEST(KeyboardMenu, OneEscapeThatClosesAMenuGivesTheKeysBackToTheGame) {
  const QRect board(29, 45, 541, 541);
  Game game;
  startSession(game);
  const QImage bare = game.stillImage(board);
  ASSERT_FALSE(bare.isNull());
  QRect popup;  // where the menu "Extras" opens, in root coordinates
  const auto escapeThenF = [&] {
    ASSERT_TRUE(waitUntil([&] { return game.popupShown(); }));
    for (const TopLevel& w : game.x().topLevels())
      if (w.viewable && w.overrideRedirect && w.geometry.height() > 40) popup = w.geometry;
    game.tap("Escape");
    ASSERT_TRUE(waitUntil([&] { return !game.popupShown(); }));
    game.tap("f");
    ASSERT_TRUE(waitUntil([&] { return game.grab(board) != bare; })) << "F did nothing after the menu";
    game.tap("c");
    ASSERT_TRUE(waitUntil([&] { return game.grab(board) == bare; }));
  };
  {
    SCOPED_TRACE("opened by its letter");
    game.x().chord("Alt_L", "x");
    escapeThenF();
  }
  {
    SCOPED_TRACE("opened by a click on its title");
    // The title lies just above the menu's top-left corner; the button is let go once the
    // menu is shown, as by a person.
    game.x().moveTo(popup.left() + 12, popup.top() - 8);
    game.x().button(1, true);
    ASSERT_TRUE(waitUntil([&] { return game.popupShown(); }));
    game.x().button(1, false);
    escapeThenF();
  }
  leaveSession(game);
}

TEST(KeyboardMenu, EveryItemDoesItsWorkFromItsLetters) {
  Game game;
  const QImage level = game.grab(QRect(631, 420, 215, 30));
  // Difficulty: each level shows in its panel; back to "Leicht" shows the first picture.
  for (const char* letter : {"m", "s", "e", "l"}) {
    const QImage before = game.grab(QRect(631, 420, 215, 30));
    game.chooseMenu("w", letter);
    if (std::string(letter) != "l") {
      EXPECT_TRUE(waitUntil([&] { return game.grab(QRect(631, 420, 215, 30)) != before; })) << letter;
    }
  }
  EXPECT_TRUE(waitUntil([&] { return game.grab(QRect(631, 420, 215, 30)) == level; }));
  // Loops: the session, the restart, the editor and a new game all show their buttons.
  for (const char* item : {"s", "e"}) {
    game.chooseMenu("p", item);
    ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); })) << item;
    leaveSession(game);
  }
  game.chooseMenu("o", "e");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); })) << "no editor";
  leaveSession(game);
  // Dialogs chosen by letter open, and the session the record dialogs lead into follows.
  game.chooseMenu("o", "l");
  ASSERT_TRUE(game.waitWindow(kLoadTitle));
  game.closeDialogWith("Escape");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  leaveSession(game);
  game.chooseMenu("o", "s");
  ASSERT_TRUE(game.waitWindow(kSaveTitle));
  game.closeDialogWith("Escape");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  leaveSession(game);
  game.chooseMenu("w", "r");
  ASSERT_TRUE(game.waitDialog("Ruhmeshalle"));
  game.closeDialogWith("Escape");
  game.chooseMenu("o", "d");
  ASSERT_TRUE(game.waitDialog("Print"));
  game.closeDialogWith("Escape");
  // Without a printer a cancelled selection leaves nothing to print on.
  ASSERT_TRUE(game.waitDialog(kMainTitle)) << "no \"Druckerfehler!\"";
  game.closeDialogWith("Escape");
  game.chooseMenu("h", "p");
  ASSERT_TRUE(game.waitDialog(kMainTitle));
  game.closeDialogWith("Return");
  game.chooseMenu("h", "a");
  ASSERT_TRUE(game.waitDialog("Punktivo – Hilfe"));
  game.x().requestClose(game.dialog().id);
  ASSERT_TRUE(game.waitNoDialog());
  // The board commands change the picture: shuffle the dots, then clear the board.
  const QImage board = game.grab(QRect(29, 45, 541, 541));
  game.chooseMenu("o", "m");
  ASSERT_TRUE(waitUntil([&] { return game.grab(QRect(29, 45, 541, 541)) != board && game.idleShown(); }));
  game.chooseMenu("o", "r");
  ASSERT_TRUE(waitUntil([&] {
    const QImage cleared = game.grab(QRect(29, 45, 541, 541));
    for (int y = 0; y < cleared.height(); ++y)
      for (int x = 0; x < cleared.width(); ++x)
        if (cleared.pixel(x, y) == 0xff000000U && x % 60 != 0 && y % 60 != 0) return false;  // a dot
    return true;
  })) << "the dots stayed";
  // Leaving asks first; "&NEIN" by its letter keeps the game.
  game.chooseMenu("p", "b");
  ASSERT_TRUE(game.waitDialog(kMainTitle));
  game.closeDialogWith("n");
  EXPECT_TRUE(game.running());
  game.chooseMenu("p", "n");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); })) << "no new game";
  EXPECT_TRUE(game.clockMoves());
  leaveSession(game);
  game.chooseMenu("p", "b");
  ASSERT_TRUE(game.waitDialog(kMainTitle));
  game.closeDialogWith("j");
  EXPECT_TRUE(game.waitExit());
  EXPECT_EQ(game.exitStatus(), 0);
}

// Every dialog a session opens, closed with Escape and with Return: the session goes on, and
// in a timed game so does the clock (but for a load, which ends a timed game by design).
void dialogsKeepTheSession(Game& game, bool timed) {
  struct Step {
    const char* key;
    const char* answer;
  };
  // Two cells without a given: one for a digit, one to show that clicks still work.
  int row = 1, column = 1;
  while (game.cellInk(row, column) != Ink::None) ++column;
  int freeRow = 9, freeColumn = 9;
  while (game.cellInk(freeRow, freeColumn) != Ink::None) --freeColumn;
  enterDigit(game, row, column, "4");
  for (const Step step : {Step{"l", "Escape"}, Step{"s", "Escape"}, Step{"s", "Return"}, Step{"d", "Escape"},
                          Step{"d", "Return"}, Step{"close", "Escape"}, Step{"close", "n"}, Step{"close", "Return"}}) {
    SCOPED_TRACE(std::string(step.key) + " then " + step.answer);
    if (std::string(step.key) == "close") {
      game.x().requestClose(game.mainWindow());
    } else {
      game.tap(step.key);
    }
    ASSERT_TRUE(game.waitDialog());
    game.closeDialogWith(step.answer);
    if (std::string(step.key) == "d" && std::string(step.answer) == "Escape") {
      ASSERT_TRUE(game.waitDialog(kMainTitle)) << "no \"Druckerfehler!\"";
      game.closeDialogWith("Escape");
    }
    ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
    expectSessionAlive(game, freeRow, freeColumn);
    // (The load dialog judges the board afresh, so a red digit may turn blue: it stays.)
    EXPECT_NE(game.cellInk(row, column), Ink::None) << "the key that closed the dialog restarted the board";
    if (timed) {
      EXPECT_TRUE(game.clockMoves()) << "the clock stopped";
    }
  }
  EXPECT_TRUE(std::filesystem::exists(game.dir() / "brett.ptv"));
  EXPECT_TRUE(waitUntil([&] { return std::filesystem::exists(game.dir() / "Brett drucken.pdf"); }));
  // Return in the load dialog loads record 1, just saved: the same board.
  game.tap("l");
  ASSERT_TRUE(game.waitWindow(kLoadTitle));
  game.closeDialogWith("Return");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  expectSessionAlive(game, freeRow, freeColumn);
  leaveSession(game);
}

TEST(DialogKeys, EscapeAndReturnOnEveryDialogOfAnUntimedSession) {
  Game game;
  startSession(game);
  dialogsKeepTheSession(game, false);
}

TEST(DialogKeys, EscapeAndReturnOnEveryDialogOfATimedGame) {
  Game game;
  game.chooseMenu("p", "n");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  ASSERT_TRUE(game.clockMoves());
  dialogsKeepTheSession(game, true);
}

TEST(DialogKeys, TheHelpErrorBoxClosedWithEscapeOrReturnLeavesTheSessionRunning) {
  GameOptions options;
  options.dataDir = std::string("/nonexistent");  // no help file anywhere
  Game game(options);
  startSession(game);
  for (const char* answer : {"Escape", "Return"}) {
    game.tap("h");
    ASSERT_TRUE(game.waitDialog(kMainTitle)) << "no error box";
    game.closeDialogWith(answer);
    ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
    expectSessionAlive(game, 5, 5);
  }
  leaveSession(game);
}

TEST(HeldButtons, LadenHeldWhileTheDialogOpensDoesNotStick) {
  Game game;
  startSession(game);
  const QPoint laden = game.buttonCentre(kLoad);
  game.press(laden.x(), laden.y());
  ASSERT_TRUE(game.waitWindow(kLoadTitle));
  game.release();  // as a person lets go, after the dialog is there
  game.closeDialogWith("Escape");
  EXPECT_TRUE(waitUntil([&] { return game.buttonLook(kLoad) == ButtonLook::Up; })) << "the button stays pressed";
  // The next click on an empty cell shows the picker and enters nothing by itself.
  const QPoint cell = game.cellCentre(1, 1);
  game.click(cell.x(), cell.y());
  ASSERT_TRUE(waitUntil([&] { return game.pickerShown(1, 1); })) << "the click was taken as a choice";
  game.tap("7");
  EXPECT_TRUE(waitUntil([&] { return game.cellInk(1, 1) == Ink::Blue; }));
  leaveSession(game);
}

// Each button pressed, held until its work shows, then let go: it comes back up and the
// next click is an ordinary one. In the play session and in the editor.
void holdEveryButton(Game& game) {
  for (const Button button : {kLoad, kSave, kPrint, kRestart, kHelp}) {
    SCOPED_TRACE(int(button));
    const QPoint at = game.buttonCentre(button);
    game.press(at.x(), at.y());
    if (button == kRestart) {
      ASSERT_TRUE(waitUntil([&] { return game.buttonLook(button) == ButtonLook::Pressed; }));
      game.release();
    } else {
      ASSERT_TRUE(game.waitDialog());
      game.release();
      if (button == kHelp) {
        game.x().requestClose(game.dialog().id);
        ASSERT_TRUE(game.waitNoDialog());
      } else {
        game.closeDialogWith("Escape");
      }
      if (button == kPrint) {
        ASSERT_TRUE(game.waitDialog(kMainTitle)) << "no \"Druckerfehler!\"";
        game.closeDialogWith("Escape");
      }
    }
    ASSERT_TRUE(waitUntil([&] { return game.buttonLook(button) == ButtonLook::Up; })) << "the button sticks";
    expectSessionAlive(game, 5, 5);
  }
  const QPoint abort = game.buttonCentre(kAbort);
  game.press(abort.x(), abort.y());
  ASSERT_TRUE(waitUntil([&] { return game.idleShown(); }));
  game.release();
}

TEST(HeldButtons, EveryButtonHeldInTheSessionAndTheEditor) {
  Game game;
  startSession(game);
  holdEveryButton(game);
  game.chooseMenu("o", "e");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); })) << "no editor";
  holdEveryButton(game);
}

TEST(Picker, DigitsTypedAsFastAsAPersonTypesArriveInOrder) {
  Game game;
  startSession(game);
  // Nine cells along the diagonal, each clicked and given its digit, 20 ms apart, without
  // waiting for the screen.
  for (int i = 1; i <= 9; ++i) {
    const QPoint cell = game.cellCentre(i, 10 - i);
    game.click(cell.x(), cell.y());
    std::this_thread::sleep_for(20ms);
    game.tap(std::to_string(i).c_str());
    std::this_thread::sleep_for(20ms);
  }
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(9, 1) == Ink::Blue; }));
  game.saveThroughDialog();
  const std::string board = game.savedBoard(0);
  for (int i = 1; i <= 9; ++i) EXPECT_EQ(board[size_t(9 * (i - 1) + (9 - i))], char('0' + i)) << "row " << i;
  EXPECT_EQ(std::count(board.begin(), board.end(), '0'), 72);
  leaveSession(game);
}

TEST(Picker, AMoveWhileTheClickIsHeldDrawsNoPickerAtThePreviousCell) {
  Game game;
  startSession(game);
  enterDigit(game, 2, 2, "3");
  // Columns 1 and 2 of the first three rows, where the picker of cell (2, 2) stood.
  const QRect previousPlace(29, 45, 120, 180);
  const QImage previous = game.grab(previousPlace);
  // A click near the left edge of cell (2, 3), inside the area of the previous picker,
  // held while the mouse moves a little.
  const QPoint at(29 + 120 + 5, 45 + 60 + 30);
  game.press(at.x(), at.y());
  ASSERT_TRUE(waitUntil([&] { return game.pickerShown(2, 3); }));
  for (int step = 1; step <= 6; ++step) {
    const QPoint p = game.toScreen(at + QPoint(step, step));
    game.x().moveTo(p.x(), p.y());
  }
  game.release();
  game.tap("6");
  ASSERT_TRUE(waitUntil([&] { return !game.pickerShown(2, 3) && game.cellInk(2, 3) == Ink::Blue; }));
  EXPECT_EQ(game.grab(previousPlace), previous) << "a picker was drawn at the previous cell";
  leaveSession(game);
}

TEST(NewGame, AClickWhileAnExtremGameIsMadeIsTakenOnce) {
  Game game;
  game.chooseMenu("w", "e");
  game.chooseMenu("p", "n");
  // At once, while the game is being made: a click on a cell that holds no given.
  const QPoint cell = game.cellCentre(1, 2);
  game.click(cell.x(), cell.y());
  ASSERT_TRUE(waitUntil([&] { return game.pickerShown(1, 2); })) << "the click was lost";
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); }));
  game.tap("5");
  ASSERT_TRUE(waitUntil([&] { return !game.pickerShown(1, 2) && game.cellInk(1, 2) != Ink::None; }));
  // A second picker would take the A and keep the session.
  leaveSession(game);
}

}  // namespace
}  // namespace e2e
