// Start-up sequence and main loop.
#include "app/startup.h"

#include <cfenv>
#include <cmath>

namespace app {

namespace {

constexpr int kClientWidth = platform::Runtime::kClientWidth;
constexpr int kClientHeight = platform::Runtime::kClientHeight;

int roundHalfEven(double value) {
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double rounded = std::nearbyint(value);
  std::fesetround(saved);
  return int(rounded);
}

}  // namespace

QPoint computeWindowPosition(QSize screen) {
  return QPoint(roundHalfEven((screen.width() - kClientWidth) / 2.0),
                roundHalfEven((screen.height() - kClientHeight) / 2.0 - 32));
}

App::App(platform::Runtime& runtime)
    : runtime_(runtime),
      model_(*this),
      drawing_(runtime),
      panels_(drawing_, model_, settings_, game_),
      timer_(drawing_, game_, input_.pickerBusy),
      view_(drawing_, model_, panels_, timer_),
      solver_(model_, settings_),
      cells_(drawing_, model_, settings_, game_, input_, view_, panels_, timer_, solver_),
      menu_(*this),
      session_(*this) {
  view_.connect(cells_, solver_);
  runtime_.onMouseMove = [this](int buttons, int shift, double x, double y) {
    cells_.Win_0_MouseMove(buttons, shift, x, y);
  };
  runtime_.onCloseRequest = [this] { return Win_0_Close(); };
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
  settings_.fillLevelNames();
  menu_.buildMenuBar();
  menu_.updateMenuChecks();
  // 5: background.
  runtime_.clearClient(drawing_.palette(render::kBackground));
  // 7-8
  panels_.helpText = "Bitte Menupunkt auswählen!";
  runtime_.createLabel(646, 592, 160, 30, " 99:99:99", "Arial", 24, drawing_.palette(render::kWhite));
  // 9: the static screen.
  drawing_.drawFrame(0, 2, 0, 651, 862, 674);
  drawing_.drawEmbossedText(render::kFontCaption, render::kBlack, 10, drawing_.largeFontMode ? 668 : 670,
                            kWindowTitle);
  view_.drawMainScreen();
  panels_.drawHelpPanel();
  // The empty button row, taken once the bar around it stands: it covers the buttons'
  // outlines exactly, so drawing it back wipes them without touching the bar's frame.
  statusStrip = runtime_.captureImage(kStatusStripLeft, kStatusStripTop, 568, 624);
  // 10-11
  model_.loadStartBoard();
  drawing_.selectFont(render::kFontCaption);
}

void App::runMainLoop() {
  while (runtime_.windowExists()) runtime_.processEventsOnce();
}

void App::shutDown() {
  game_.timedGame = false;
  timer_.joinClockThread();
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

// --- commands whose parts arrive later ------------------------------------------------------

void App::newGame() {}
void App::openLoadDialog() {}
void App::openSaveDialog() {}
void App::shuffleBoard() {}
void App::printBoard() {}
void App::printGames() {}
void App::runBoardEditor() {}
void App::showHallOfFame() {}
void App::showHelpTopic(const QString&) {}

}  // namespace app
