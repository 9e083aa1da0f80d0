// The board editor: the player types in a puzzle; every digit entered becomes a given.
#pragma once

namespace app {

class App;

class BoardEditor {
 public:
  explicit BoardEditor(App& app) : app_(app) {}
  // Runs until the player aborts (or the window is gone); editorMode stays set for the
  // caller to clear.
  void runBoardEditor();

 private:
  // Acts on a released key (or a button, `clicked` set); returns false to leave.
  bool keyAction(int key, bool clicked);
  // A menu item of "E&xtras" chosen while the editor runs.
  void commandAction(int id);
  void boardClick(bool rightButton);
  // The picker over a cell: its digit becomes a given, a cleared picker takes the given away.
  void pickerAt(int column, int row);
  // Empties the cell and takes its given away.
  void removeGiven(int column, int row);
  // Arrow keys move the cursor; digits, Delete and Enter act at it.
  bool keyboardAction(int key, int modifiers);
  void solveSequence();
  // U and "Lösungen zählen": how many solutions the givens have with the dots, in the status
  // panel; a unique one may go onto the board.
  void reportSolutions();

  App& app_;
};

}  // namespace app
