// The play session: the loop in which the player works on the board, with its six
// buttons, its single-key shortcuts and the detection of a solved timed game.
#pragma once

#include <QString>

#include <functional>

#include <string>

#include "app/board_session.h"
#include "engine/hint.h"
#include "platform/runtime.h"

namespace app {

class App;

class PlaySession final : public BoardSession {
 public:
  explicit PlaySession(App& app) : BoardSession(app) {}
  // Runs until the player aborts (or the window is gone).
  void runPlaySession();
  bool running() const { return running_; }
  // Keeps the game for "Letztes Spiel fortsetzen" once per session, on the way out and
  // before the way out ends its timing (A, Escape, the exit question's yes).
  void keepGame();
  // A timed game paused: its clock stopped and its board hidden until it resumes.
  bool paused() const { return paused_; }

 private:
  // P, "Pause" in the menu, or the window minimised: the clock stops, a face hides the board.
  void pauseGame();
  // P, the menu item again, or a click on the face: the board back, the clock going on.
  void resumeGame();
  // What a paused game takes: the way back, and the ways out; false to leave.
  bool pausedAction(const platform::WindowMessage& m);
  // A paused game, a hint shown, Ctrl+Backspace: before the common handling.
  Preview preview(const platform::WindowMessage& m) override;
  bool keyAction(int key, bool clicked) override;
  void commandAction(int id) override;
  void boardClick(bool rightButton) override;
  // The picker over a cell (right button: for a candidate, or the cell emptied at once).
  void pickerAt(int column, int row, bool rightButton);
  bool keyboardAction(int key, int modifiers) override;
  void solveSequence();
  // A timed game whose board is solved stops its clock and goes to the hall of fame.
  void endSolvedTimedGame();
  void afterCellInput() override { endSolvedTimedGame(); }
  // "Tipp" and T, in three presses: the technique and where, the whole explanation, the
  // step carried out (one undoable step). Before the first hint of a timed game the player
  // is asked, since its time then no longer counts for the hall of fame.
  void hintAction();
  void showHint(const std::string& text);
  // Any other input takes the hint (or the solved game's grade) away.
  void dropHint();
  static bool dropsHint(const platform::WindowMessage& message);
  // Ctrl+Backspace: undo until no wrong digit is left on the board.
  void backToLastCorrect();

  // Marks the session running while it lives and keeps the game on every way out.
  class Leaving;

  bool running_ = false;
  bool kept_ = false;
  bool paused_ = false;
  int hintStage_ = 0;  // presses of T so far on the hint shown
  punktivo::GameHint hint_;
};

}  // namespace app
