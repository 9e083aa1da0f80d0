// Start-up sequence and main loop.
#include "app/startup.h"

#include <cmath>

#include "engine/hint.h"
#include "engine/new_game.h"
#include "engine/rules.h"
#include "storage/data_files.h"
#include "app/help_dialog.h"
#include "storage/options_file.h"

namespace app {

namespace {

constexpr int kClientWidth = platform::Runtime::kClientWidth;
constexpr int kClientHeight = platform::Runtime::kClientHeight;

}  // namespace

QPoint computeWindowPosition(QSize screen) {
  return QPoint(punktivo::roundHalfEven((screen.width() - kClientWidth) / 2.0),
                punktivo::roundHalfEven((screen.height() - kClientHeight) / 2.0 - 32));
}

App::App(platform::Runtime& runtime)
    : runtime_(runtime),
      model_(*this),
      drawing_(runtime),
      panels_(drawing_, model_, settings_, game_),
      hintPanel_(drawing_),
      timer_(drawing_, game_, input_.pickerBusy),
      view_(drawing_, model_, panels_, timer_),
      solver_(model_, settings_),
      cells_(drawing_, model_, settings_, game_, input_, view_, panels_, timer_, solver_),
      random_(runtime.randomSeed()),
      generator_(model_, settings_, solver_, random_),
      boardFile_(model_, random_),
      boardDialog_(runtime, boardFile_),
      printing_(runtime, drawing_, model_, settings_, solver_, generator_, boardFile_),
      hallDialogs_(runtime, hall_),
      menu_(*this),
      session_(*this),
      editor_(*this) {
  view_.connect(cells_, solver_);
  runtime_.onMouseMove = [this](int buttons, int shift, double x, double y) {
    cells_.Win_0_MouseMove(buttons, shift, x, y);
  };
  runtime_.onCloseRequest = [this] { return Win_0_Close(); };
  runtime_.onDevicePixelRatioChanged = [this] { redrawScreen(); };
  generator_.showBusy = [this](bool busy) {
    runtime_.setPointer(busy ? platform::Pointer::Busy : platform::Pointer::Normal);
  };
  // A solved timed game hands its time to the hall of fame.
  timer_.recordResult = [this] {
    if (game_.hintShown) return;  // the player was told before the first hint
    hallDialogs_.recordResult(timer_.finalTime().toStdString(), settings_.difficulty);
  };
  // Reading a record ends a timed game and starts the mistake count afresh.
  boardFile_.onLoadStart = [this] {
    game_.timedGame = false;
    game_.mistakeCount = 0;
    game_.hintShown = false;
  };
}

App::~App() {
  game_.timedGame = false;
  timer_.joinClockThread();
}

void App::startUp() {
  // 1-2: the window, centred, with its fixed client area.
  const QPoint position = computeWindowPosition(runtime_.screenSize());
  runtime_.openWindow(position.x(), position.y(), kWindowOuterWidth, kWindowOuterHeight, kWindowTitle);
  runtime_.setClientSize(kClientWidth, kClientHeight);
  // 3
  drawing_.initPalette();
  // 4: program state (the board model exists with the App).
  hall_.loadHallOfFame();
  settings_.fillLevelNames();
  punktivo::readOptions(punktivo::kOptionsFile, settings_);
  menu_.buildMenuBar();
  menu_.updateMenuChecks();
  // 5: background.
  runtime_.clearClient(drawing_.palette(render::kBackground));
  // 7-8
  panels_.helpText = "Bitte Menupunkt auswählen!";
  runtime_.createLabel(646, 592, 160, 30, " 99:99:99", "Arial", 24, drawing_.palette(render::kWhite));
  // 9: the static screen.
  drawStaticScreen();
  // 10-11
  model_.loadStartBoard();
  drawing_.selectFont(render::kFontCaption);
}

void App::drawStaticScreen() {
  drawing_.drawFrame(0, 2, 0, 651, 862, 674);
  drawing_.drawEmbossedText(render::kFontCaption, render::kBlack, 10, drawing_.largeFontMode ? 668 : 670,
                            kWindowTitle);
  view_.drawMainScreen();
  panels_.drawHelpPanel();
  // The empty button row, taken once the bar around it stands: it covers the buttons'
  // outlines exactly, so drawing it back wipes them without touching the bar's frame.
  if (statusStrip != 0) runtime_.releaseImage(statusStrip);
  statusStrip = runtime_.captureImage(kStatusStripLeft, kStatusStripTop, 568, 624);
}

void App::redrawScreen() {
  // Before start-up has drawn anything there is nothing to draw anew.
  if (statusStrip == 0 || !runtime_.windowExists()) return;
  runtime_.clearClient(drawing_.palette(render::kBackground));
  drawStaticScreen();
  if (buttonRowShown)
    for (int i = 0; i < 6; ++i) drawSessionButton(*this, i, false);
  cells_.repaintCells();
  view_.drawCandidateMarks();
  cells_.repaintPicker();
  if (session_.paused()) view_.drawPauseFace();
  drawing_.selectFont(render::kFontText);
}

void App::runMainLoop() {
  while (runtime_.windowExists()) runtime_.processEventsOnce();
}

void App::shutDown() {
  game_.timedGame = false;
  timer_.joinClockThread();
  releaseScreen();
}

void App::releaseScreen() {
  drawing_.deleteFonts();
  if (statusStrip != 0) runtime_.releaseImage(statusStrip);
  statusStrip = 0;
}

bool App::Win_0_Close() { return menu_.confirmExit(); }

void App::drawPlayerCell(int column, int row, int digit) { cells_.drawPlayerCell(column, row, digit); }
void App::redrawBoard() { view_.redrawBoard(); }
void App::drawDots() { view_.drawDots(); }
void App::drawMainScreen() { view_.drawMainScreen(); }
void App::drawCandidateMarks() { view_.drawCandidateMarks(); }

void App::endTimedGame() {
  game_.timedGame = false;
  timer_.refreshClock();
}

// --- commands shared by the menu, the session and the editor ---------------------------------

void App::newGame() {
  const punktivo::GenerateResult made =
      punktivo::startNewGame(generator_, model_, game_, boardFile_.collectionRecords(settings_.difficulty), [this] {
        model_.quietMode = false;
        panels_.updateDifficultyPanel();
        timer_.startTiming();
        timer_.refreshClock();
      });
  if (!made.generated()) {
    // The board stays as it was; the player learns why there is no new game.
    runtime_.setPointer(platform::Pointer::Normal);
    const QString why = made.status == punktivo::GenerateStatus::kNoRecord
                            ? "Die Rätselsammlung \"%1\" fehlt oder ist unlesbar."
                            : "Die Rätselsammlung \"%1\" enthält kein brauchbares Rätsel.";
    runtime_.messageBox(platform::MessageIcon::Warning,
                        "Kein neues Spiel möglich.\n" +
                            why.arg(QString::fromUtf8(punktivo::collectionFileName(settings_.difficulty))),
                        "&OK", 1);
    return;
  }
  freshHistory();
  session_.runPlaySession();
}

void App::openLoadDialog() {
  boardFile_.boardFileName = punktivo::kPlayerBoardFile;
  const punktivo::BoardDialog::Outcome outcome = boardDialog_.run(punktivo::BoardDialog::Mode::Load);
  if (outcome.load && outcome.load->loaded()) freshHistory();
  // Loaded or cancelled: the solution of the board in the model, and the marks of the
  // record last read or written.
  solver_.computeSolution();
  punktivo::rebuildCandidatesFromStore(model_);
}

void App::openSaveDialog() {
  boardFile_.boardFileName = punktivo::kPlayerBoardFile;
  const punktivo::BoardDialog::Outcome outcome = boardDialog_.run(punktivo::BoardDialog::Mode::Save);
  if (outcome.save && !outcome.save->saved()) {
    runtime_.messageBox(platform::MessageIcon::Warning,
                        "Das Brett konnte nicht gesichert werden.\nDie Datei \"brett.ptv\" bleibt, wie sie war.",
                        "&OK", 1);
  }
}

std::optional<punktivo::Grid> App::shuffleBoard() { return generator_.shuffleBoardCarryingSolution(); }

void App::deriveDotsQuietly(const std::optional<punktivo::Grid>& known) {
  // Drawn, the rule solver's work would put the old dots back over a board that is about
  // to get new ones, and a redraw erases only the cells' insides: their rims would stay
  // on the grid lines.
  const bool quiet = model_.quietMode;
  model_.quietMode = true;
  punktivo::deriveDotsFromSolution(model_, solver_, known);
  model_.quietMode = quiet;
}
void App::printBoard() { printing_.printBoard(); }
void App::printGames() { printing_.printGames(); }
void App::printGamesWithSolutions() { printing_.printGames(punktivo::Printing::kWithSolutions); }
void App::runBoardEditor() { editor_.runBoardEditor(); }
void App::showHallOfFame() { hallDialogs_.showHallOfFame(settings_.difficulty); }
void App::showHelpTopic(const QString& topic) { punktivo::showHelpTopic(runtime_, punktivo::kHelpFileName, topic); }

void App::step(const std::function<void()>& change) {
  const punktivo::BoardSnapshot before = punktivo::snapshotOf(model_, settings_);
  change();
  history_.commit(before, model_, settings_);
  menu_.refreshSessionItems();
}

void App::freshHistory() {
  history_.clear();
  menu_.refreshSessionItems();
}

bool App::undoStep(bool redo) {
  if (!(redo ? history_.redo(model_, settings_) : history_.undo(model_, settings_))) return false;
  // The step may have switched the computed candidates on or off.
  menu_.updateMenuChecks();
  view_.redrawBoard();
  cells_.repaintHighlight();
  menu_.refreshSessionItems();
  return true;
}

void App::showGrade() {
  const std::string text = punktivo::gradeText(punktivo::gradePuzzle(model_));
  runtime_.messageBox(platform::MessageIcon::Information, QString::fromStdString(text), "&OK", 1);
}

void App::toggleComputedCandidates() {
  model_.clearCandidates();
  settings_.showCandidates = !settings_.showCandidates;
  view_.redrawBoard();
}

void App::toggleOption(int id) {
  bool* option = id == kMenuHighlight    ? &settings_.highlightSameDigits
                 : id == kMenuTidyNotes  ? &settings_.tidyNotes
                 : id == kMenuMarkErrors ? &settings_.markErrors
                                         : nullptr;
  if (option == nullptr) return;
  *option = !*option;
  // Not remembered is no reason to stop the player: the option holds for this run.
  punktivo::writeOptions(punktivo::kOptionsFile, settings_);
  menu_.updateMenuChecks();
  if (id == kMenuMarkErrors) {
    // The wrong digits get or lose their stroke; the notes of the empty cells come back.
    cells_.repaintCells();
    view_.drawCandidateMarks();
  }
  cells_.repaintHighlight();
}

}  // namespace app
