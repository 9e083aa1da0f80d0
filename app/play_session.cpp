// The play session loop.
#include "app/play_session.h"

#include <QRect>

#include "app/last_game.h"
#include "app/startup.h"
#include "engine/exact_solver.h"
#include "engine/rules.h"
#include "engine/status_check.h"

namespace app {

int buttonAt(int x, int y) {
  if (y < 597 || y > 623) return -1;
  for (int i = 0; i < 6; ++i)
    if (x >= kSessionButtons[i].clickLeft && x <= kSessionButtons[i].clickRight) return i;
  return -1;
}

void drawSessionButton(App& app, int index, bool pressed) {
  const SessionButton& b = kSessionButtons[index];
  app.drawing().drawButton(pressed ? 1 : 0, b.x, kButtonRowY, b.caption);
}

void buttonAction(App& app, int index, const std::function<void()>& action) {
  drawSessionButton(app, index, true);
  action();
  if (app.runtime().windowExists()) drawSessionButton(app, index, false);
}

bool sharedButtonAction(App& app, int key, bool clicked) {
  platform::Runtime& rt = app.runtime();
  switch (key) {
    case 'S':
      buttonAction(app, kSave, [&] {
        app.openSaveDialog();
        rt.waitButtonsUp();
      });
      return true;
    case 'D':
      buttonAction(app, kPrint, [&] {
        app.printBoard();
        rt.waitButtonsUp();
      });
      return true;
    case 'N':
      buttonAction(app, kRestart, [&] {
        app.step([&] { app.model().restartBoard(); });
        app.view().redrawBoard();
        if (clicked) rt.waitButtonsUp();
      });
      return true;
    case 'H':
      buttonAction(app, kHelp, [&] {
        app.showHelpTopic(punktivo::kExplanationTopic);
        rt.waitButtonsUp();
      });
      return true;
    default:
      return false;
  }
}

SessionItems::SessionItems(App& app, Menu::SessionKind kind) : app_(app) { app.menu().setSessionItems(kind); }

SessionItems::~SessionItems() {
  if (!app_.runtime().windowExists()) return;
  app_.menu().setSessionItems(Menu::SessionKind::None);
  app_.cells().hideCursor();
}

int undoKey(int key, int modifiers) {
  if ((modifiers & platform::kModControl) == 0) return 0;
  if (key == 'Z') return (modifiers & platform::kModShift) != 0 ? kRedo : kUndo;
  if (key == 'Y') return kRedo;
  return 0;
}

CellKey cellKeyOf(const InputState& input, int key, int modifiers) {
  if (!input.cursorShown || (modifiers & (platform::kModControl | platform::kModAlt)) != 0) return {};
  if (key == platform::kKeyEnter) return {CellKey::kPicker, 0};
  if (key == platform::kKeyDelete || key == platform::kKeyBackspace) return {CellKey::kDigit, 0};
  if (key < '0' || key > '9') return {};
  const int digit = key - '0';
  if ((modifiers & platform::kModShift) != 0 && digit != 0) return {CellKey::kCandidate, digit};
  return {CellKey::kDigit, digit};
}

bool solveSequenceTriggered(int& armedKey, int key) {
  if (key == kSolveKeySecond) {
    const bool armed = armedKey == kSolveKeyFirst;
    armedKey = 0;
    return armed;
  }
  // Other keys released in between do not disarm it.
  if (key == kSolveKeyFirst) armedKey = kSolveKeyFirst;
  return false;
}

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
  platform::Runtime& rt = app_.runtime();
  punktivo::GameState& game = app_.game();
  app_.view().redrawBoard();
  for (int i = 0; i < 6; ++i) drawSessionButton(app_, i, false);
  app_.buttonRowShown = true;
  if (game.timedGame) app_.timer().startClockThread();
  const SessionItems items(app_, Menu::SessionKind::Play);
  // Every way out keeps the game: a window destroyed by another program leaves by a return.
  const Leaving leaving(*this);
  for (;;) {
    rt.processEventsOnce();
    if (!rt.windowExists()) return;
    // A timed game pauses by itself while its window is minimised.
    if (!paused_ && game.timedGame && rt.windowMinimized()) pauseGame();
    const platform::WindowMessage& m = rt.lastMessage();
    if (paused_) {
      if (!pausedAction(m)) return;
      continue;
    }
    if (app_.hintPanel().shown() && dropsHint(m)) dropHint();
    if (m.kind == platform::MessageKind::KeyRelease && m.key == platform::kKeyBackspace &&
        (m.modifiers & platform::kModControl) != 0) {
      backToLastCorrect();
      continue;
    }
    if (m.kind == platform::MessageKind::Command) {
      commandAction(m.key);
      continue;
    }
    if (m.kind == platform::MessageKind::KeyRelease) {
      if (const int undo = undoKey(m.key, m.modifiers)) {
        commandAction(undo == kRedo ? kMenuRedo : kMenuUndo);
      } else if (keyboardAction(m.key, m.modifiers)) {
        if (!rt.windowExists()) return;
        endSolvedTimedGame();
      } else if (!keyAction(m.key, false)) {
        return;
      }
      continue;
    }
    if (m.kind == platform::MessageKind::LeftPress) {
      const int button = buttonAt(rt.mouseX(), rt.mouseY());
      if (button >= 0 && !keyAction(kSessionButtons[button].key, true)) return;
    }
    app_.input().candidateInput = false;
    if (m.kind == platform::MessageKind::LeftPress || m.kind == platform::MessageKind::RightPress) {
      boardClick(m.kind == platform::MessageKind::RightPress);
      if (!rt.windowExists()) return;
      endSolvedTimedGame();
    }
  }
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
  if (app_.runtime().windowExists()) app_.view().uncoverBoard();
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
  if (app_.panels().statusMessage == punktivo::kStatusSolved && game.timedGame) {
    game.boardSolved = true;
    app_.timer().refreshClock();
    game.timedGame = false;
    game.boardSolved = false;
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
  const auto notes = punktivo::notesAfterStep(model, step);
  CellInput& cells = app_.cells();
  app_.step([&] {
    for (const punktivo::Placement& p : step.placements) cells.enterDigit(p.cell.column, p.cell.row, p.digit);
    for (const auto& [cell, mask] : notes) {
      for (int d = 1; d <= 9; ++d) model.candidates[cell.row][cell.column][d] = (mask >> d & 1U) != 0;
      if (model.board[cell.row][cell.column] == 0) app_.view().drawCandidateMarksOf(cell.column, cell.row);
    }
    app_.panels().updateStatistics();
    if (app_.settings().showCandidates) app_.solver().refreshCandidates();
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
  app_.panels().updateStatistics();
}

void PlaySession::commandAction(int id) {
  switch (id) {
    case kMenuUndo:
    case kMenuRedo:
      if (app_.undoStep(id == kMenuRedo)) endSolvedTimedGame();
      break;
    case kMenuHighlight:
    case kMenuTidyNotes:
    case kMenuMarkErrors:
      app_.toggleOption(id);
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
    if (app_.runtime().windowExists()) app_.panels().updateStatistics();
  } else if (model.board[r][c] == 0) {
    cells.drawPicker(c, r);
    cells.pickerInput(c, r);
  } else {
    model.board[r][c] = 0;
    cells.drawPlayerCell(c, r, 0);
    if (app_.settings().showCandidates) app_.solver().refreshCandidates();
    app_.panels().updateStatistics();
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
        cells.toggleCandidate(c, r, action.digit);
        app_.solver().refreshCandidates();
        break;
      default:
        cells.enterDigit(c, r, action.digit);
        app_.panels().updateStatistics();
        if (app_.settings().showCandidates) app_.solver().refreshCandidates();
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
  render::BoardView& view = app_.view();
  if (sharedButtonAction(app_, key, clicked)) return true;
  switch (key) {
    case 'L':
      buttonAction(app_, kLoad, [&] {
        app_.openLoadDialog();
        app_.panels().updateDifficultyPanel();
        view.redrawBoard();
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
        view.redrawBoard();
      });
      return true;
    case 'C':
      app_.step([&] {
        model.clearCandidates();
        view.redrawBoard();
      });
      return true;
    case 'P':
      pauseGame();
      return true;
    case 'M':
      game.timedGame = false;
      app_.step([&] { app_.toggleComputedCandidates(); });
      return true;
    case 'X': {
      model.quietMode = true;
      app_.solver().solveWithCandidates();
      const auto known = app_.shuffleBoard();
      model.quietMode = false;
      game.timedGame = false;
      app_.timer().refreshClock();
      view.drawMainScreen();
      punktivo::deriveDotsFromSolution(model, app_.solver(), known);
      model.restartBoard();
      view.redrawBoard();
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
  punktivo::BoardModel& model = app_.model();
  render::Panels& panels = app_.panels();
  game.timedGame = false;
  game.mistakeCount = 0;
  panels.checkAndShowStatus();
  if (panels.statusMessage.startsWith("F")) {
    model.restartBoard();
    app_.view().redrawBoard();
  }
  app_.solver().solveWithCandidates();
  if (!(panels.boardFull && punktivo::hasNoDuplicates(model)) && !punktivo::isBoardConsistent(model)) {
    model.restartBoard();
    app_.view().redrawBoard();
    app_.solver().solveByRules();
  }
  app_.timer().refreshClock();
  app_.freshHistory();
}

}  // namespace app
