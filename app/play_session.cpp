// The play session loop.
#include "app/play_session.h"

#include <QRect>

#include "app/last_game.h"
#include "app/startup.h"
#include "engine/exact_solver.h"
#include "engine/rules.h"
#include "engine/status_check.h"

namespace app {

void PlaySession::keepGame() {
  if (kept_) return;
  kept_ = true;
  keepLastGame(app_);
}

class PlaySession::Leaving {
 public:
  explicit Leaving(PlaySession& session) : session_(session) {
    session.running_ = true;
    session.kept_ = false;
  }
  ~Leaving() {
    // Kept while still paused: the time it keeps leaves the pause out.
    session_.keepGame();
    if (session_.paused_) session_.resumeGame();
    session_.running_ = false;
    if (session_.app_.runtime().windowExists()) session_.dropHint();
  }
  Leaving(const Leaving&) = delete;
  Leaving& operator=(const Leaving&) = delete;

 private:
  PlaySession& session_;
};

void PlaySession::runPlaySession() {
  punktivo::GameState& game = app_.game();
  app_.screen().redrawBoard();
  app_.showButtonRow();
  if (game.timedGame) app_.timer().startClockThread();
  const SessionItems items(app_, Menu::SessionKind::Play);
  // Every way out keeps the game: a window destroyed by another program leaves by a return.
  const Leaving leaving(*this);
  runLoop();
}

BoardSession::Preview PlaySession::preview(const platform::WindowMessage& m) {
  // A timed game pauses by itself while its window is minimised.
  if (!paused_ && app_.game().timedGame && app_.runtime().windowMinimized()) pauseGame();
  if (paused_) return pausedAction(m) ? Preview::kTaken : Preview::kLeave;
  if (app_.hintPanel().shown() && dropsHint(m)) dropHint();
  if (m.kind == platform::MessageKind::KeyRelease && m.key == platform::kKeyBackspace &&
      (m.modifiers & platform::kModControl) != 0) {
    backToLastCorrect();
    return Preview::kTaken;
  }
  return Preview::kGoOn;
}

void PlaySession::pauseGame() {
  if (paused_ || !app_.game().timedGame) return;
  // The hint's text and tinted cells would tell what the face hides.
  if (app_.hintPanel().shown()) dropHint();
  app_.timer().pause();
  paused_ = true;
  app_.view().drawPauseFace();
}

void PlaySession::resumeGame() {
  if (!paused_) return;
  paused_ = false;
  app_.timer().resume();
  if (app_.runtime().windowExists()) app_.screen().uncoverBoard();
}

bool PlaySession::pausedAction(const platform::WindowMessage& m) {
  platform::Runtime& rt = app_.runtime();
  switch (m.kind) {
    case platform::MessageKind::Command:
      if (m.key == kMenuPause) resumeGame();
      return true;
    case platform::MessageKind::KeyRelease:
      if (m.key == 'P' && m.modifiers == 0) resumeGame();
      // Abbruch leaves as ever; every other key would show or change the hidden board.
      if (m.key == 'A' || m.key == platform::kKeyEscape) return keyAction(m.key, false);
      return true;
    case platform::MessageKind::LeftPress: {
      if (buttonAt(rt.mouseX(), rt.mouseY()) == kAbort) return keyAction('A', true);
      const render::BoardLayout board = app_.view().layout();
      const QRect face(board.originX, board.originY, 9 * board.cellWidth, 9 * board.cellHeight);
      if (face.contains(rt.mouseX(), rt.mouseY())) {
        resumeGame();
        // The click only takes the face away; it opens no picker.
        rt.waitButtonsUp();
      }
      return true;
    }
    default:
      return true;
  }
}

void PlaySession::endSolvedTimedGame() {
  // The solved board of a timed game ends its timing and goes to the hall of fame.
  punktivo::GameState& game = app_.game();
  if (app_.core().endSolvedTimedGame()) {
    // The clock shows the final time and hands it to the hall of fame.
    app_.timer().refreshClock();
    game.timedGame = false;
    if (!app_.runtime().windowExists()) return;
    dropHint();
    std::string text = "Brett gelöst! " + punktivo::gradeText(punktivo::gradePuzzle(app_.model())) + ".";
    if (game.hintShown) text += " Mit Tipp gelöst: die Zeit zählt nicht für die Ruhmeshalle.";
    app_.hintPanel().show("BEWERTUNG:", QString::fromStdString(text));
  }
}

void PlaySession::showHint(const std::string& text) {
  app_.hintPanel().show("TIPP:", QString::fromStdString(text));
  std::vector<Cell> cells;
  for (const punktivo::CellRef& cell : punktivo::hintCells(hint_)) cells.push_back({cell.column, cell.row});
  app_.cells().tintHintCells(cells);
}

void PlaySession::dropHint() {
  hintStage_ = 0;
  app_.hintPanel().hide();
  app_.cells().tintHintCells({});
}

bool PlaySession::dropsHint(const platform::WindowMessage& m) {
  switch (m.kind) {
    case platform::MessageKind::KeyRelease:
      // Keys without a code of their own (Shift, Ctrl ...) are no input of their own.
      return m.key != 'T' && m.key != platform::kKeyOther;
    case platform::MessageKind::Command:
      return m.key != kMenuHint;
    case platform::MessageKind::LeftPress:
    case platform::MessageKind::RightPress:
      return true;
    default:
      return false;
  }
}

void PlaySession::hintAction() {
  punktivo::GameState& game = app_.game();
  punktivo::BoardModel& model = app_.model();
  if (hintStage_ == 0 && game.timedGame && !game.hintShown) {
    if (app_.runtime().messageBox(platform::MessageIcon::Question,
                                  "Mit Tipp zählt die Zeit nicht für die Ruhmeshalle. Tipp anzeigen?",
                                  "&JA|&NEIN", 2) != 1)
      return;
    game.hintShown = true;
  }
  switch (hintStage_) {
    case 0:
      hint_ = punktivo::nextHint(model);
      showHint(punktivo::hintHeadline(hint_));
      hintStage_ = 1;
      return;
    case 1:
      showHint(punktivo::hintExplanation(hint_));
      hintStage_ = 2;
      return;
    default:
      break;
  }
  dropHint();
  if (hint_.kind != punktivo::GameHint::Kind::kStep) return;
  // The step carried out: a placed digit is a digit of the player's, removed candidates
  // leave the cell's notes as the step has them.
  const punktivo::Step step = *hint_.step;
  CellInput& cells = app_.cells();
  app_.step([&] {
    const punktivo::StepOutcome done = app_.core().carryOutStep(step);
    cells.showEntry(done.entry);
    for (const punktivo::CellRef& cell : done.notesSet)
      if (model.board[cell.row][cell.column] == 0) app_.view().drawCandidateMarksOf(cell.column, cell.row);
    app_.screen().showStatistics();
    if (app_.settings().showCandidates) app_.core().solver().refreshCandidates();
  });
  cells.repaintHighlight();
  endSolvedTimedGame();
}

void PlaySession::backToLastCorrect() {
  const punktivo::BoardModel& model = app_.model();
  const punktivo::ExactSolution exact = punktivo::solveExact(model.givens, model.dotsRight, model.dotsDown);
  if (!exact.unique()) return;
  const auto wrongDigitShown = [&] {
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c)
        if (model.board[r][c] != 0 && model.board[r][c] != exact.grid[r][c]) return true;
    return false;
  };
  // Mistakes already counted stay counted: undo never takes one back.
  while (wrongDigitShown() && app_.undoStep(false)) {
  }
  app_.screen().showStatistics();
}

void PlaySession::commandAction(int id) {
  if (sharedCommand(id)) return;
  switch (id) {
    case kMenuUndo:
    case kMenuRedo:
      if (app_.undoStep(id == kMenuRedo)) endSolvedTimedGame();
      break;
    case kMenuPause:
      pauseGame();
      break;
    case kMenuHint:
      hintAction();
      break;
    case kMenuGrade:
      app_.showGrade();
      break;
    case kMenuBackToCorrect:
      backToLastCorrect();
      break;
    default:
      break;
  }
}

void PlaySession::boardClick(bool rightButton) {
  app_.input().candidateInput = rightButton;
  const std::optional<Cell> cell = app_.cells().cellAtMouse();
  if (!cell || app_.model().givens[cell->row][cell->column] != 0) return;
  app_.cells().followClick(cell->column, cell->row);
  app_.step([&] { pickerAt(cell->column, cell->row, rightButton); });
  app_.cells().repaintHighlight();
}

void PlaySession::pickerAt(int c, int r, bool rightButton) {
  CellInput& cells = app_.cells();
  punktivo::BoardModel& model = app_.model();
  if (!rightButton) {
    cells.drawPicker(c, r);
    cells.pickerInput(c, r);
    if (app_.runtime().windowExists()) app_.screen().showStatistics();
  } else if (model.board[r][c] == 0) {
    cells.drawPicker(c, r);
    cells.pickerInput(c, r);
  } else {
    model.board[r][c] = 0;
    app_.view().drawPlayerCell(c, r, 0);
    if (app_.settings().showCandidates) app_.core().solver().refreshCandidates();
    app_.screen().showStatistics();
  }
}

bool PlaySession::keyboardAction(int key, int modifiers) {
  CellInput& cells = app_.cells();
  if (cells.moveCursor(key)) return true;
  const CellKey action = cellKeyOf(app_.input(), key, modifiers);
  if (action.kind == CellKey::kNone) return false;
  const int c = app_.input().cursorColumn, r = app_.input().cursorRow;
  punktivo::BoardModel& model = app_.model();
  if (model.givens[r][c] != 0) return true;
  app_.step([&] {
    switch (action.kind) {
      case CellKey::kPicker:
        app_.input().candidateInput = false;
        pickerAt(c, r, false);
        break;
      case CellKey::kCandidate:
        // Marks are noted in empty cells only.
        if (model.board[r][c] != 0) break;
        app_.core().toggleCandidate(c, r, action.digit);
        app_.core().solver().refreshCandidates();
        break;
      default:
        cells.enterDigit(c, r, action.digit);
        app_.screen().showStatistics();
        if (app_.settings().showCandidates) app_.core().solver().refreshCandidates();
        break;
    }
  });
  cells.repaintHighlight();
  return true;
}

bool PlaySession::keyAction(int key, bool clicked) {
  platform::Runtime& rt = app_.runtime();
  punktivo::GameState& game = app_.game();
  punktivo::BoardModel& model = app_.model();
  Screen& screen = app_.screen();
  if (sharedKey(key, clicked)) return true;
  switch (key) {
    case 'L':
      buttonAction(app_, kLoad, [&] {
        app_.openLoadDialog();
        app_.panels().updateDifficultyPanel();
        screen.redrawBoard();
        app_.timer().refreshClock();
        rt.waitButtonsUp();
      });
      return true;
    case 'A':
    case platform::kKeyEscape: {
      // The button stays drawn pressed until the menu wipes the row.
      drawSessionButton(app_, kAbort, true);
      keepGame();
      game.timedGame = false;
      rt.pause(200);
      if (key == platform::kKeyEscape || clicked) app_.timer().refreshClock();
      return false;
    }
    // The redraw belongs to the step: with the computed candidates shown it recomputes the
    // marks, and the step keeps what the player then sees (F and C change nothing there).
    case 'F':
      app_.step([&] {
        for (int r = 1; r <= 9; ++r)
          for (int c = 1; c <= 9; ++c)
            for (int d = 1; d <= 9; ++d) model.candidates[r][c][d] = true;
        screen.redrawBoard();
      });
      return true;
    case 'C':
      app_.step([&] {
        model.clearCandidates();
        screen.redrawBoard();
      });
      return true;
    case 'P':
      pauseGame();
      return true;
    case 'X': {
      const std::optional<punktivo::Grid> known = app_.core().solveAndShuffleBoard();
      game.timedGame = false;
      app_.timer().refreshClock();
      screen.drawMainScreen();
      punktivo::deriveDotsFromSolution(model, app_.core().solver(), known);
      model.restartBoard();
      screen.redrawBoard();
      app_.freshHistory();
      return true;
    }
    case 'T':
      hintAction();
      return true;
    default:
      break;
  }
  if (solveSequenceTriggered(game.armedKey, key)) solveSequence();
  return true;
}

void PlaySession::solveSequence() {
  punktivo::GameState& game = app_.game();
  punktivo::GameCore& core = app_.core();
  game.timedGame = false;
  game.mistakeCount = 0;
  app_.screen().showStatus();
  if (core.status() == punktivo::Status::kWrongDigit) {
    core.model().restartBoard();
    app_.screen().redrawBoard();
  }
  core.solveBoard();
  app_.timer().refreshClock();
  app_.freshHistory();
}

}  // namespace app
