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
      drawing_(runtime),
      model_(*this),
      panels_(drawing_, model_, settings_, game_),
      timer_(drawing_),
      view_(drawing_, model_, panels_, timer_),
      solver_(model_, settings_),
      cells_(drawing_, model_, game_, view_) {
  view_.connect(cells_, solver_);
  cells_.refreshClock = [this] { refreshClock(); };
}

App::~App() = default;

void App::startUp() {
  // 1-2: the window, centred, with its fixed client area.
  runtime_.onCloseRequest = [] { return true; };
  const QPoint position = computeWindowPosition(runtime_.screenSize());
  runtime_.openWindow(position.x(), position.y(), kWindowOuterWidth, kWindowOuterHeight, kWindowTitle);
  runtime_.setClientSize(kClientWidth, kClientHeight);
  // 3
  drawing_.initPalette();
  // 4: program state (the board model exists with the App).
  settings_.fillLevelNames();
  // 5-6: background, then the empty button row for wiping buttons later.
  runtime_.clearClient(drawing_.palette(render::kBackground));
  statusStrip = runtime_.captureImage(30, 598, 568, 625);
  // 7-8
  panels_.helpText = "Bitte Menupunkt auswählen!";
  runtime_.createLabel(646, 592, 160, 30, " 99:99:99", "Arial", 24, drawing_.palette(render::kWhite));
  // 9: the static screen.
  drawing_.drawFrame(0, 2, 0, 651, 862, 674);
  drawing_.drawEmbossedText(render::kFontCaption, render::kBlack, 10, drawing_.largeFontMode ? 668 : 670,
                            kWindowTitle);
  view_.drawMainScreen();
  panels_.drawHelpPanel();
  // 10-11
  model_.loadStartBoard();
  drawing_.selectFont(render::kFontCaption);
}

void App::runMainLoop() {
  while (runtime_.windowExists()) runtime_.processEventsOnce();
}

void App::shutDown() {
  drawing_.deleteFonts();
  if (statusStrip != 0) runtime_.releaseImage(statusStrip);
  statusStrip = 0;
}

void App::refreshClock() {
  if (!game_.timedGame) runtime_.setLabelCaption(" 99:99:99");
}

void App::drawPlayerCell(int column, int row, int digit) { cells_.drawPlayerCell(column, row, digit); }
void App::redrawBoard() { view_.redrawBoard(); }
void App::drawDots() { view_.drawDots(); }
void App::drawMainScreen() { view_.drawMainScreen(); }
void App::drawCandidateMarks() { view_.drawCandidateMarks(); }

void App::endTimedGame() {
  game_.timedGame = false;
  refreshClock();
}

}  // namespace app
