// The board editor loop.
#include "app/board_editor.h"

#include <atomic>
#include <thread>

#include "app/play_session.h"
#include "app/startup.h"
#include "engine/exact_solver.h"
#include "engine/rules.h"

namespace app {

namespace {

constexpr int kReportKey = 'U';

// What the solution count shows, by the number of solutions (2 for two or more).
QString solutionReport(int solutions) {
  if (solutions <= 0) return "Keine Lösung";
  return solutions == 1 ? "Eindeutig lösbar" : "Mehrere Lösungen";
}

}  // namespace

void BoardEditor::runBoardEditor() {
  InputState& input = app_.input();
  input.editorMode = true;
  app_.model().unsolvedFlag = false;
  input.candidateInput = false;  // the picker enters digits here, always
  drawButtonRow();
  const SessionItems items(app_, Menu::SessionKind::Editor);
  runLoop();
}

void BoardEditor::commandAction(int id) {
  if (sharedCommand(id)) return;
  switch (id) {
    case kMenuUndo:
    case kMenuRedo:
      if (app_.undoStep(id == kMenuRedo)) app_.panels().updateDifficultyPanel();
      break;
    case kMenuCountSolutions:
      reportSolutions();
      break;
    default:
      break;
  }
}

void BoardEditor::reportSolutions() {
  platform::Runtime& rt = app_.runtime();
  punktivo::BoardModel& model = app_.model();
  // A board with few givens can take the count a second or so: it runs beside the window,
  // which meanwhile keeps drawing (input waits in the queue), under the busy pointer.
  rt.setPointer(platform::Pointer::Busy);
  punktivo::ExactSolution exact;
  std::atomic<bool> done{false};
  std::thread counter = rt.startThread(
      [&exact, &done, givens = model.givens, right = model.dotsRight, down = model.dotsDown] {
        exact = punktivo::solveExact(givens, right, down);
        done = true;
      });
  while (!done) rt.waitForEvents();
  counter.join();
  rt.setPointer(platform::Pointer::Normal);
  if (!rt.windowExists()) return;

  const QString report = solutionReport(exact.solutions);
  app_.panels().showStatusText(report, !exact.unique());
  if (!exact.unique()) return;
  // No is the default, as for the exit question: Return alone leaves the board as it is.
  if (rt.messageBox(platform::MessageIcon::Question, report + ".\nLösung anzeigen?", "&JA|&NEIN", 2) != 1) return;
  if (!rt.windowExists()) return;
  // The solution's digits go in as the player's (blue): the givens stay the author's own.
  model.solution = exact.grid;
  app_.step([&] {
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c)
        if (model.givens[r][c] == 0) model.board[r][c] = exact.grid[r][c];
  });
  app_.screen().redrawBoard();
}

void BoardEditor::boardClick(bool rightButton) {
  CellInput& cells = app_.cells();
  const std::optional<Cell> cell = cells.cellAtMouse();
  if (!cell) return;
  const int c = cell->column, r = cell->row;
  cells.followClick(c, r);
  app_.step([&] {
    if (rightButton) {
      if (app_.model().givens[r][c] != 0) removeGiven(c, r);
    } else {
      pickerAt(c, r);
    }
  });
  if (!app_.runtime().windowExists()) return;
  cells.repaintHighlight();
  app_.screen().showStatistics();
  app_.panels().updateDifficultyPanel();
}

void BoardEditor::removeGiven(int c, int r) {
  punktivo::BoardModel& model = app_.model();
  model.board[r][c] = 0;
  model.givens[r][c] = 0;
  app_.view().drawPlayerCell(c, r, 0);
  if (app_.settings().showCandidates) app_.solver().refreshCandidates();
}

void BoardEditor::pickerAt(int c, int r) {
  CellInput& cells = app_.cells();
  cells.drawPicker(c, r);
  cells.pickerInput(c, r);
  if (!app_.runtime().windowExists()) return;
  if (!app_.input().pickerCleared) {
    app_.model().givens[r][c] = uint8_t(app_.input().pickerDigit);
    app_.view().drawGivenCell(c, r, app_.input().pickerDigit);
  } else {
    removeGiven(c, r);
  }
}

bool BoardEditor::keyboardAction(int key, int modifiers) {
  if (key == kReportKey) {
    // A plain U only: Shift+U and Ctrl+U stay free for other uses.
    if (modifiers == 0) reportSolutions();
    return true;
  }
  CellInput& cells = app_.cells();
  if (cells.moveCursor(key)) return true;
  const CellKey action = cellKeyOf(app_.input(), key, modifiers);
  // Candidates are no business of the editor.
  if (action.kind == CellKey::kNone || action.kind == CellKey::kCandidate) return false;
  const int c = app_.input().cursorColumn, r = app_.input().cursorRow;
  app_.step([&] {
    if (action.kind == CellKey::kPicker) {
      pickerAt(c, r);
    } else if (action.digit == 0) {
      removeGiven(c, r);
    } else {
      app_.model().board[r][c] = app_.model().givens[r][c] = uint8_t(action.digit);
      app_.view().drawGivenCell(c, r, action.digit);
    }
  });
  if (!app_.runtime().windowExists()) return true;
  cells.repaintHighlight();
  app_.screen().showStatistics();
  app_.panels().updateDifficultyPanel();
  return true;
}

bool BoardEditor::keyAction(int key, bool clicked) {
  platform::Runtime& rt = app_.runtime();
  punktivo::BoardModel& model = app_.model();
  Screen& screen = app_.screen();
  if (sharedKey(key, clicked)) return true;
  switch (key) {
    case 'L':
      buttonAction(app_, kLoad, [&] {
        app_.openLoadDialog();
        if (clicked) screen.drawMainScreen();
        app_.panels().updateDifficultyPanel();
        screen.redrawBoard();
        rt.waitButtonsUp();
      });
      return true;
    case 'A':
    case platform::kKeyEscape:
      drawSessionButton(app_, kAbort, true);
      rt.pause(200);
      return false;
    case 'X': {
      // The solved digits stay: no restart follows, unlike in the play session.
      std::optional<punktivo::Grid> known;
      {
        const punktivo::QuietScope quiet(model);
        app_.solver().solveWithCandidates();
        known = app_.core().shuffleBoard();
      }
      screen.drawMainScreen();
      app_.core().deriveDotsQuietly(known);
      screen.redrawBoard();
      app_.freshHistory();
      return true;
    }
    case 'R':
      app_.core().deriveDotsQuietly();
      // A clean grid first: the dots that go away also cross the grid lines.
      screen.drawMainScreen();
      screen.redrawBoard();
      app_.freshHistory();
      return true;
    default:
      break;
  }
  if (solveSequenceTriggered(app_.game().armedKey, key)) solveSequence();
  return true;
}

void BoardEditor::solveSequence() {
  punktivo::BoardModel& model = app_.model();
  app_.solver().solveWithCandidates();
  if (!(app_.core().boardFull() && punktivo::hasNoDuplicates(model)) && !punktivo::isBoardConsistent(model)) {
    model.restartBoard();
    app_.solver().solveByRules();
  }
  app_.freshHistory();
}

}  // namespace app
