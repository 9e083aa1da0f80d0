// What the play session and the editor share: one loop over the window's messages, the six
// buttons in their row, the keys that mean the same in both, and the menu items they enable.
#pragma once

#include <functional>

#include "app/cell_input.h"
#include "app/menu.h"
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

// One board session: the play session or the editor. The loop hands each message to the
// session's own key table; what both do alike is done here, once.
class BoardSession {
 public:
  explicit BoardSession(App& app) : app_(app) {}
  virtual ~BoardSession() = default;
  BoardSession(const BoardSession&) = delete;
  BoardSession& operator=(const BoardSession&) = delete;

 protected:
  // What a session does with a message before the common handling: go on with it, take it,
  // or leave the session.
  enum class Preview { kGoOn, kTaken, kLeave };

  // The six buttons drawn up in their row.
  void drawButtonRow();
  // Takes message after message until a key leaves or the window is gone.
  void runLoop();
  virtual Preview preview(const platform::WindowMessage&) { return Preview::kGoOn; }
  // A menu item of "E&xtras" chosen while the session runs.
  virtual void commandAction(int id) = 0;
  // Arrow keys move the cursor; digits and the others act at it (see cellKeyOf).
  virtual bool keyboardAction(int key, int modifiers) = 0;
  // Acts on a released key (or a button, `clicked` set); returns false to leave.
  virtual bool keyAction(int key, bool clicked) = 0;
  virtual void boardClick(bool rightButton) = 0;
  // After a cell changed by a key or a click (the play session looks for a solved game).
  virtual void afterCellInput() {}
  // The keys both sessions act on alike: the switches of "E&xtras", and M (the computed
  // candidates, one undoable step). False for other keys or ids.
  bool sharedCommand(int id);
  bool sharedKey(int key, bool clicked);

  App& app_;
};

}  // namespace app
