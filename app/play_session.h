// The play session: the loop in which the player works on the board, with its six
// buttons, its single-key shortcuts and the detection of a solved timed game.
#pragma once

#include <QString>

#include <functional>

#include <string>

#include "app/cell_input.h"
#include "app/menu.h"
#include "engine/hint.h"
#include "platform/runtime.h"

namespace app {

class App;

// The hidden two-key solve sequence: release the first key, then the second.
inline constexpr int kSolveKeyFirst = 'Q';
inline constexpr int kSolveKeySecond = 'Z';

// The buttons of the play session and the editor, in their row at y = 598.
struct SessionButton {
  const char* caption;
  int x;
  int clickLeft, clickRight;  // left-click range in x (y from 597 to 623)
  int key;
};
inline constexpr SessionButton kSessionButtons[6] = {
    {" _Laden ", 30, 29, 107, 'L'},     {" _Sichern ", 108, 108, 201, 'S'},
    {" _Drucken ", 202, 202, 295, 'D'}, {" _Neustart ", 296, 296, 397, 'N'},
    {" _Hilfe ", 398, 398, 475, 'H'},   {" _Abbruch ", 476, 476, 612, 'A'},
};
inline constexpr int kButtonRowY = 598;
enum ButtonIndex { kLoad, kSave, kPrint, kRestart, kHelp, kAbort };

// The button whose click range holds (x, y), or -1.
int buttonAt(int x, int y);
// Draws one of the six buttons, up or pressed.
void drawSessionButton(App& app, int index, bool pressed);
// Runs a button's action with the button drawn pressed meanwhile.
void buttonAction(App& app, int index, const std::function<void()>& action);
// The actions the play session and the editor share: save (S), print (D), restart (N)
// and help (H), each with its button drawn pressed meanwhile. False for other keys.
bool sharedButtonAction(App& app, int key, bool clicked);
// Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo: kUndo, kRedo, or 0 for another key.
enum UndoKey { kUndo = 1, kRedo = 2 };
int undoKey(int key, int modifiers);
// Keyboard play at the cursor, in the session and the editor: 1-9 enter a digit, 0, Delete
// and Backspace empty the cell, Shift+digit notes a candidate, Enter opens the picker.
struct CellKey {
  enum Kind { kNone, kPicker, kDigit, kCandidate } kind = kNone;
  int digit = 0;
};
CellKey cellKeyOf(const InputState& input, int key, int modifiers);
// The hidden two-key sequence: true when `key` completes it.
bool solveSequenceTriggered(int& armedKey, int key);

// Enables the menu items of a session or the editor while it runs.
class SessionItems {
 public:
  SessionItems(App& app, Menu::SessionKind kind);
  ~SessionItems();
  SessionItems(const SessionItems&) = delete;
  SessionItems& operator=(const SessionItems&) = delete;

 private:
  App& app_;
};

class PlaySession {
 public:
  explicit PlaySession(App& app) : app_(app) {}
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
  // Acts on a released key (or a button, `clicked` set); returns false to leave.
  bool keyAction(int key, bool clicked);
  // A menu item of "E&xtras" chosen while the session runs.
  void commandAction(int id);
  void boardClick(bool rightButton);
  // The picker over a cell (right button: for a candidate, or the cell emptied at once).
  void pickerAt(int column, int row, bool rightButton);
  // Arrow keys move the cursor; digits and the others act at it (see cellKeyOf).
  bool keyboardAction(int key, int modifiers);
  void solveSequence();
  // A timed game whose board is solved stops its clock and goes to the hall of fame.
  void endSolvedTimedGame();
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

  App& app_;
  bool running_ = false;
  bool kept_ = false;
  bool paused_ = false;
  int hintStage_ = 0;  // presses of T so far on the hint shown
  punktivo::GameHint hint_;
};

}  // namespace app
