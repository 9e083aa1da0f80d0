// The two link commands of the menu "E&xtras".
#include "app/puzzle_links.h"

#include "app/startup.h"
#include "storage/board_file.h"
#include "storage/puzzle_link.h"

namespace app {

void copyPuzzleLink(App& app) {
  const std::string link = punktivo::puzzleLink(punktivo::linkPuzzleOf(app.model()), punktivo::LinkForm::kFpuzzles);
  platform::Runtime& rt = app.runtime();
  rt.setClipboardText(QString::fromStdString(link));
  rt.messageBox(platform::MessageIcon::Information,
                "Der Link zum Rätsel (Vorgaben und Punkte) steht jetzt in der Zwischenablage.\n"
                "f-puzzles und SudokuPad öffnen ihn im Browser.",
                "&OK", 1);
}

void pastePuzzleLink(App& app) {
  platform::Runtime& rt = app.runtime();
  const punktivo::LinkResult link = punktivo::readPuzzleLink(rt.clipboardText().toStdString());
  if (!link.ok()) {
    rt.messageBox(platform::MessageIcon::Warning,
                  QString::fromStdString(link.message()) + "\nDas Brett bleibt, wie es war.", "&OK", 1);
    return;
  }
  // As after loading a record: no clock, no mistakes, the solution of the new board.
  app.core().startUntimed();
  punktivo::placeLinkPuzzle(link.puzzle, app.model());
  app.solver().computeSolution();
  // The solver works on the marks: they go back to the record's, which are none.
  punktivo::rebuildCandidatesFromStore(app.model());
  app.freshHistory();
  app.screen().drawMainScreen();
  app.panels().updateDifficultyPanel();
  app.screen().redrawBoard();
  app.panels().helpText = kHintClickCell;
  app.panels().drawHelpPanel();
  app.runBoardEditor();
  app.input().editorMode = false;
}

}  // namespace app
