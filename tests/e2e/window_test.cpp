// The main window's end: the close box asks first; a window destroyed by another program
// ends the game at once, and an open dialog acts no more.
#include <gtest/gtest.h>

#include "tests/e2e/scenarios.h"

namespace e2e {
namespace {

TEST(Window, TheCloseBoxAsksAndOnlyYesEndsTheGame) {
  Game game;
  for (const char* answer : {"Escape", "Return", "n"}) {
    game.x().requestClose(game.mainWindow());
    ASSERT_TRUE(game.waitDialog(kMainTitle)) << answer;
    game.closeDialogWith(answer);
    EXPECT_TRUE(game.running()) << answer;
  }
  startSession(game);
  game.x().requestClose(game.mainWindow());
  ASSERT_TRUE(game.waitDialog(kMainTitle));
  game.closeDialogWith("j");
  ASSERT_TRUE(game.waitExit());
  EXPECT_EQ(game.exitStatus(), 0);
}

TEST(Window, ADestroyedWindowEndsTheGame) {
  Game game;
  startSession(game);
  game.x().destroyWindow(game.mainWindow());
  ASSERT_TRUE(game.waitExit()) << "the game runs on without its window";
  EXPECT_EQ(game.exitStatus(), 0);
}

TEST(Window, ADestroyedWindowClosesTheOpenSaveDialogWithoutSaving) {
  Game game;
  startSession(game);
  enterDigit(game, 2, 2, "5");
  game.tap("s");
  ASSERT_TRUE(game.waitWindow(kSaveTitle));
  game.x().destroyWindow(game.mainWindow());
  ASSERT_TRUE(game.waitExit()) << "the game runs on without its window";
  EXPECT_EQ(game.exitStatus(), 0);
  EXPECT_FALSE(std::filesystem::exists(game.dir() / "brett.ptv"));
}

TEST(Window, ADestroyedWindowClosesTheExitQuestion) {
  Game game;
  game.x().requestClose(game.mainWindow());
  ASSERT_TRUE(game.waitDialog(kMainTitle));
  game.x().destroyWindow(game.mainWindow());
  ASSERT_TRUE(game.waitExit()) << "the game runs on without its window";
  EXPECT_EQ(game.exitStatus(), 0);
}

}  // namespace
}  // namespace e2e
