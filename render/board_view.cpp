// Painting the board: frames, grid, cells, dots and marks.
#include "render/board_view.h"

namespace render {

void BoardView::drawBoardArea() {
  platform::Canvas& rt = drawing_.canvas();
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
  drawEmptyGrid();
}

void BoardView::drawEmptyGrid() {
  platform::Canvas& rt = drawing_.canvas();
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
  rt.filledBox(28, 44, 569, 585);
  BoardPainter(drawing_).drawGrid(layout());
}

void BoardView::drawCells() {
  cellWidth = cellHeight = kCellSize;
  for (int column = 1; column <= 9; ++column)
    for (int row = 1; row <= 9; ++row) drawCell(column, row);
}

void BoardView::drawCell(int column, int row) {
  const uint8_t given = model_.givens[row][column];
  if (given != 0) {
    drawGivenCell(column, row, given);
  } else {
    drawPlayerCell(column, row, model_.board[row][column]);
  }
}

void BoardView::repaintCell(int column, int row) {
  drawCell(column, row);
  if (model_.givens[row][column] == 0) drawCandidateMarksOf(column, row);
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
  platform::Canvas& rt = drawing_.canvas();
  if (model_.board[row][column] != 0) return;
  const QColor background = cellBackground(column, row);
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
  platform::Canvas& rt = drawing_.canvas();
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

int BoardView::highlightedDigit(const CellTints& tints) const {
  if (!tints.cursorShown || !tints.highlightSameDigits) return 0;
  return model_.board[tints.cursorRow][tints.cursorColumn];
}

QColor BoardView::tintOf(const CellTints& tints, int digit, int column, int row) const {
  if (tints.cursorShown && tints.cursorColumn == column && tints.cursorRow == row) return kCursorTint;
  if (tints.hinted.test(CellTints::bit(column, row))) return kHintTint;
  if (digit != 0 && model_.board[row][column] == digit) return kSameDigitTint;
  return drawing_.palette(kWhite);
}

void BoardView::eraseCell(int column, int row) {
  platform::Canvas& rt = drawing_.canvas();
  const int x = cellX(column) + 1;
  const int y = cellY(row) + 1;
  // One pixel less beside a box line, so the red lines stay whole.
  const int right = x + (column % 3 == 0 ? 57 : 58);
  const int bottom = y + (row % 3 == 0 ? 57 : 58);
  const QColor background = cellBackground(column, row);
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setPen(background);
  rt.setFill(background);
  rt.filledBox(x, y, right, bottom);
}

void BoardView::drawDigit(int x, int y, int digit) {
  platform::Canvas& rt = drawing_.canvas();
  drawing_.selectFont(kFontCell);
  rt.setTextBackground(platform::TextBackground::Transparent);
  rt.setRasterOp(platform::RasterOp::Merge);
  rt.text(x + 10, y + 1, QString::number(digit));
  rt.setRasterOp(platform::RasterOp::Copy);
  rt.setTextBackground(platform::TextBackground::Opaque);
  drawing_.selectFont(kFontMessage);
}

void BoardView::drawPlayerCell(int column, int row, int digit) {
  platform::Canvas& rt = drawing_.canvas();
  const int x = cellX(column) + 1;
  const int y = cellY(row) + 1;
  // Red on every drawing; a mistake is counted once, where the player enters the digit.
  const uint8_t solved = model_.solution[row][column];
  const bool wrong = digit != 0 && solved != 0 && solved != model_.board[row][column];
  eraseCell(column, row);
  rt.setPen(drawing_.palette(kBlue));
  if (wrong && settings_.markErrors) strikeThrough(x, y);
  if (digit != 0) {
    if (wrong) rt.setPen(drawing_.palette(kRed));
    drawDigit(x, y, digit);
  }
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
  drawDots();
}

void BoardView::strikeThrough(int x, int y) {
  // Corner to corner, clear of the dots in the middle of the cell's sides: a shape that
  // stays when the colours go (greyscale, colour-blind eyes).
  platform::Canvas& rt = drawing_.canvas();
  rt.setPen(drawing_.palette(kRed));
  rt.setLineWidth(kStrokeWidth);
  rt.line(x + kStrokeInset, y + kStrokeInset, x + 57 - kStrokeInset, y + 57 - kStrokeInset);
  rt.setLineWidth(1);
  rt.setPen(drawing_.palette(kBlue));
}

void BoardView::drawGivenCell(int column, int row, int digit) {
  platform::Canvas& rt = drawing_.canvas();
  const int x = cellX(column) + 1;
  const int y = cellY(row) + 1;
  eraseCell(column, row);
  rt.setPen(drawing_.palette(kBlack));
  if (digit != 0) drawDigit(x, y, digit);
  rt.setPen(drawing_.palette(kBlue));
  rt.setFill(drawing_.palette(kWhite));
  drawDots();
}

}  // namespace render
