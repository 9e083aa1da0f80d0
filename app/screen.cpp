// The screen's compositions of board and panels.
#include "app/screen.h"

namespace app {

void Screen::redrawBoard() {
  view_.drawCells();
  showStatistics();
  core_.solver().refreshCandidates();
}

void Screen::drawMainScreen() {
  view_.drawBoardArea();
  panels_.drawStatisticsPanel();
  showStatistics();
  panels_.drawStatusPanel();
  showStatus();
  panels_.drawDifficultyPanel();
  timer_.drawTimerPanel();
}

void Screen::endTimedGame() {
  core_.game().timedGame = false;
  timer_.refreshClock();
}

void Screen::showStatistics() {
  core_.countDigits();
  panels_.drawDigitCounts(core_.model().digitCount);
  showStatus();
}

void Screen::showStatus() {
  const punktivo::StatusResult& check = core_.checkStatus();
  if (check.beep) runtime_.beep();
  panels_.showStatus(QString::fromStdString(check.statusMessage), check.red, !core_.model().quietMode,
                     core_.game().mistakeCount);
}

void Screen::uncoverBoard() {
  view_.drawEmptyGrid();
  redrawBoard();
  view_.drawCandidateMarks();
}

}  // namespace app
