// Painting the main screen and the board.
#include "render/board_view.h"

#include "engine/solver.h"
#include "render/panels.h"
#include "render/timer.h"

namespace render {

void BoardView::drawMainScreen() {
  platform::Runtime& rt = drawing_.runtime();
  drawing_.drawFrame(0, 2, 20, 16, 577, 634);
  drawing_.drawFrame(1, 2, 28, 44, 569, 585);
  drawing_.drawFrame(1, 2, 28, 595, 570, 626);
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setLineStyleSolid();
  rt.setLineWidth(1);
  boardOriginX = kBoardOriginX;
  boardOriginY = kBoardOriginY;
  cellWidth = cellHeight = kCellSize;
  drawing_.drawEmbossedText(kFontCandidate, kBlack, 229, 37, "SPIELBRETT:");
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
  rt.filledBox(28, 44, 569, 585);
  BoardPainter(drawing_).drawGrid(layout());
  panels_.drawStatisticsPanel();
  panels_.drawDifficultyPanel();
  timer_.drawTimerPanel();
}

void BoardView::redrawBoard() {
  cellWidth = cellHeight = kCellSize;
  for (int column = 1; column <= 9; ++column) {
    for (int row = 1; row <= 9; ++row) {
      const uint8_t given = model_.givens[row][column];
      if (given != 0) {
        cells_->drawGivenCell(column, row, given);
      } else {
        cells_->drawPlayerCell(column, row, model_.board[row][column]);
      }
    }
  }
  panels_.updateStatistics();
  solver_->refreshCandidates();
}

BoardLayout BoardView::layout() const {
  BoardLayout layout;
  layout.originX = boardOriginX;
  layout.originY = boardOriginY;
  layout.cellWidth = cellWidth;
  layout.cellHeight = cellHeight;
  layout.boxLineColour = kRed;
  layout.dotRadius = kDotRadius;
  return layout;
}

void BoardView::drawDots() { BoardPainter(drawing_).drawDots(layout(), model_); }

void BoardView::drawCandidateMarks() {
  for (int column = 1; column <= 9; ++column)
    for (int row = 1; row <= 9; ++row) drawCandidateMarksOf(column, row);
  drawDots();
}

void BoardView::drawCandidateMarksOf(int column, int row) {
  platform::Runtime& rt = drawing_.runtime();
  if (model_.board[row][column] != 0) return;
  const QColor background = cells_->cellBackground(column, row);
  for (int k = 1; k <= 9; ++k) {
    const int mx = cellX(column) + 5 + 19 * ((k - 1) % 3);
    // The bottom marks in the last row of a box sit one pixel higher.
    const bool boxBottom = k >= 7 && row % 3 == 0;
    const int my = cellY(row) + (boxBottom ? 0 : 1) + 19 * ((k - 1) / 3);
    rt.setPen(background);
    rt.setFill(background);
    rt.filledBox(mx, my, mx + 15, my + 16);
    if (model_.candidates[row][column][k]) {
      rt.setTextBackground(platform::TextBackground::Transparent);
      rt.setPen(drawing_.palette(kBlack));
      drawing_.selectFont(kFontCandidate);
      rt.text(mx, my, QString::number(k));
      rt.setTextBackground(platform::TextBackground::Opaque);
    }
  }
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
}


void BoardView::drawPauseFace() {
  platform::Runtime& rt = drawing_.runtime();
  // Inside the board's frame: grid lines and dots go as well.
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setPen(drawing_.palette(kLightGrey));
  rt.setFill(drawing_.palette(kLightGrey));
  rt.filledBox(29, 45, 568, 584);
  drawing_.selectFont(kFontPicker);
  rt.setTextBackground(platform::TextBackground::Transparent);
  rt.setPen(drawing_.palette(kBlack));
  const QString text = QString::fromUtf8(kPauseText);
  const int height = rt.currentFontMetrics().cellHeight;
  rt.text((29 + 568 - rt.textWidth(text)) / 2, (45 + 584 - height) / 2, text);
  rt.setTextBackground(platform::TextBackground::Opaque);
  rt.setFill(drawing_.palette(kWhite));
  drawing_.selectFont(kFontText);
}

void BoardView::uncoverBoard() {
  platform::Runtime& rt = drawing_.runtime();
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
  rt.filledBox(28, 44, 569, 585);
  BoardPainter(drawing_).drawGrid(layout());
  redrawBoard();
  drawCandidateMarks();
}

}  // namespace render
