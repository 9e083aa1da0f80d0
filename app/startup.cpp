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
      core_(screen_, runtime.randomSeed()),
      drawing_(runtime, runtime),
      panels_(drawing_, core_.model(), core_.settings()),
      hintPanel_(drawing_),
      timer_(drawing_, runtime, runtime, core_.game(), input_.pickerBusy),
      view_(drawing_, core_.model(), core_.settings()),
      screen_(runtime, core_, view_, panels_, timer_),
      cells_(runtime, drawing_, core_, input_, view_, panels_, timer_),
      boardFile_(core_.model(), core_.random()),
      boardDialog_(runtime, boardFile_),
      printing_(runtime, drawing_, core_.model(), core_.settings(), core_.solver(), core_.generator(), boardFile_),
      hallDialogs_(runtime, hall_),
      menu_(*this),
      session_(*this),
      editor_(*this) {
  runtime_.onMouseMove = [this](int buttons, int shift, double x, double y) {
    cells_.Win_0_MouseMove(buttons, shift, x, y);
  };
  runtime_.onCloseRequest = [this] { return Win_0_Close(); };
  runtime_.onDevicePixelRatioChanged = [this] { redrawScreen(); };
  core_.generator().showBusy = [this](bool busy) {
    runtime_.setPointer(busy ? platform::Pointer::Busy : platform::Pointer::Normal);
  };
  // A solved timed game hands its time to the hall of fame.
  timer_.recordResult = [this] {
    if (core_.game().hintShown) return;  // the player was told before the first hint
    hallDialogs_.recordResult(timer_.finalTime().toStdString(), core_.settings().difficulty);
  };
  // Reading a record ends a timed game and starts the mistake count afresh.
  boardFile_.onLoadStart = [this] { core_.startUntimed(); };
}

App::~App() {
  core_.game().timedGame = false;
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
  core_.settings().fillLevelNames();
  punktivo::readOptions(punktivo::kOptionsFile, core_.settings());
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
  core_.model().loadStartBoard();
  drawing_.selectFont(render::kFontCaption);
}

void App::drawStaticScreen() {
  drawing_.drawFrame(0, 2, 0, 651, 862, 674);
  drawing_.drawEmbossedText(render::kFontCaption, render::kBlack, 10, drawing_.largeFontMode ? 668 : 670,
                            kWindowTitle);
  screen_.drawMainScreen();
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
  view_.drawCells();
  view_.drawCandidateMarks();
  cells_.repaintPicker();
  if (session_.paused()) view_.drawPauseFace();
  drawing_.selectFont(render::kFontText);
}

void App::runMainLoop() {
  while (runtime_.windowExists()) runtime_.processEventsOnce();
}

void App::shutDown() {
  core_.game().timedGame = false;
  timer_.joinClockThread();
  releaseScreen();
}

void App::releaseScreen() {
  drawing_.deleteFonts();
  if (statusStrip != 0) runtime_.releaseImage(statusStrip);
  statusStrip = 0;
}

bool App::Win_0_Close() { return menu_.confirmExit(); }

// --- commands shared by the menu, the session and the editor ---------------------------------

void App::newGame() {
  const punktivo::GenerateResult made =
      core_.newGame(boardFile_.collectionRecords(core_.settings().difficulty), [this] {
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
                            why.arg(QString::fromUtf8(punktivo::collectionFileName(core_.settings().difficulty))),
                        "&OK", 1);
    return;
  }
  menu_.refreshSessionItems();
  session_.runPlaySession();
}

void App::openLoadDialog() {
  boardFile_.boardFileName = punktivo::kPlayerBoardFile;
  const punktivo::BoardDialog::Outcome outcome = boardDialog_.run(punktivo::BoardDialog::Mode::Load);
  // Read or not, a load shows the main screen anew.
  if (outcome.load && !core_.model().quietMode) screen_.drawMainScreen();
  if (outcome.load && outcome.load->loaded()) freshHistory();
  // Loaded or cancelled: the solution of the board in the model, and the marks of the
  // record last read or written.
  core_.solver().computeSolution();
  punktivo::rebuildCandidatesFromStore(core_.model());
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

void App::printBoard() { printing_.printBoard(); }
void App::printGames() { printing_.printGames(); }
void App::printGamesWithSolutions() { printing_.printGames(punktivo::Printing::kWithSolutions); }
void App::runBoardEditor() { editor_.runBoardEditor(); }
void App::showHallOfFame() { hallDialogs_.showHallOfFame(core_.settings().difficulty); }
void App::showHelpTopic(const QString& topic) { punktivo::showHelpTopic(runtime_, punktivo::kHelpFileName, topic); }

void App::step(const std::function<void()>& change) {
  core_.step(change);
  menu_.refreshSessionItems();
}

void App::freshHistory() {
  core_.freshHistory();
  menu_.refreshSessionItems();
}

bool App::undoStep(bool redo) {
  if (!core_.undo(redo)) return false;
  // The step may have switched the computed candidates on or off.
  menu_.updateMenuChecks();
  screen_.redrawBoard();
  cells_.repaintHighlight();
  menu_.refreshSessionItems();
  return true;
}

void App::showGrade() {
  const std::string text = punktivo::gradeText(punktivo::gradePuzzle(core_.model()));
  runtime_.messageBox(platform::MessageIcon::Information, QString::fromStdString(text), "&OK", 1);
}

void App::toggleComputedCandidates() {
  core_.model().clearCandidates();
  core_.settings().showCandidates = !core_.settings().showCandidates;
  screen_.redrawBoard();
}

void App::toggleOption(int id) {
  punktivo::Settings& settings = core_.settings();
  bool* option = id == kMenuHighlight    ? &settings.highlightSameDigits
                 : id == kMenuTidyNotes  ? &settings.tidyNotes
                 : id == kMenuMarkErrors ? &settings.markErrors
                                         : nullptr;
  if (option == nullptr) return;
  *option = !*option;
  // Not remembered is no reason to stop the player: the option holds for this run.
  punktivo::writeOptions(punktivo::kOptionsFile, settings);
  menu_.updateMenuChecks();
  if (id == kMenuMarkErrors) {
    // The wrong digits get or lose their stroke; the notes of the empty cells come back.
    view_.drawCells();
    view_.drawCandidateMarks();
  }
  cells_.repaintHighlight();
}

}  // namespace app
