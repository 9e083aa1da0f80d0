// The board editor: the player types in a puzzle; every digit entered becomes a given.
#pragma once

#include "app/board_session.h"

namespace app {

class BoardEditor final : public BoardSession {
 public:
  explicit BoardEditor(App& app) : BoardSession(app) {}
  // Runs until the player aborts (or the window is gone); editorMode stays set for the
  // caller to clear.
  void runBoardEditor();

 private:
  bool keyAction(int key, bool clicked) override;
  void commandAction(int id) override;
  void boardClick(bool rightButton) override;
  // The picker over a cell: its digit becomes a given, a cleared picker takes the given away.
  void pickerAt(int column, int row);
  // Empties the cell and takes its given away.
  void removeGiven(int column, int row);
  // Arrow keys move the cursor; digits, Delete and Enter act at it; U counts the solutions.
  bool keyboardAction(int key, int modifiers) override;
  void solveSequence();
  // U and "Lösungen zählen": how many solutions the givens have with the dots, in the status
  // panel; a unique one may go onto the board.
  void reportSolutions();
};

}  // namespace app
