// Painting cell contents and counting wrong digits.
#include "app/cell_input.h"

namespace app {

using namespace render;

void CellInput::eraseCell(int column, int row) {
  platform::Runtime& rt = drawing_.runtime();
  const int x = view_.boardOriginX + 60 * (column - 1) + 1;
  const int y = view_.boardOriginY + 60 * (row - 1) + 1;
  // One pixel less beside a box line, so the red lines stay whole.
  const int right = x + (column % 3 == 0 ? 57 : 58);
  const int bottom = y + (row % 3 == 0 ? 57 : 58);
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setPen(drawing_.palette(kWhite));
  rt.setFill(drawing_.palette(kWhite));
  rt.filledBox(x, y, right, bottom);
}

void CellInput::drawPlayerCell(int column, int row, int digit) {
  platform::Runtime& rt = drawing_.runtime();
  const int x = view_.boardOriginX + 60 * (column - 1) + 1;
  const int y = view_.boardOriginY + 60 * (row - 1) + 1;
  eraseCell(column, row);
  rt.setPen(drawing_.palette(kBlue));
  if (digit != 0) {
    drawing_.selectFont(kFontCell);
    rt.setTextBackground(platform::TextBackground::Transparent);
    rt.setRasterOp(platform::RasterOp::Merge);
    const uint8_t solved = model_.solution[row][column];
    if (solved != 0) {
      if (solved != model_.board[row][column]) {
        rt.setPen(drawing_.palette(kRed));
        ++game_.mistakeCount;
      }
      // Every drawing of a wrong digit counts; the third ends a timed game.
      if (game_.mistakeCount == 3) {
        game_.timedGame = false;
        if (refreshClock) refreshClock();
      }
    }
    rt.text(x + 10, y + 1, QString::number(digit));
    rt.setRasterOp(platform::RasterOp::Copy);
    rt.setTextBackground(platform::TextBackground::Opaque);
    drawing_.selectFont(kFontMessage);
  }
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
  view_.drawDots();
}

void CellInput::drawGivenCell(int column, int row, int digit) {
  platform::Runtime& rt = drawing_.runtime();
  const int x = view_.boardOriginX + 60 * (column - 1) + 1;
  const int y = view_.boardOriginY + 60 * (row - 1) + 1;
  eraseCell(column, row);
  rt.setPen(drawing_.palette(kBlack));
  if (digit != 0) {
    drawing_.selectFont(kFontCell);
    rt.setTextBackground(platform::TextBackground::Transparent);
    rt.setRasterOp(platform::RasterOp::Merge);
    rt.text(x + 10, y + 1, QString::number(digit));
    rt.setRasterOp(platform::RasterOp::Copy);
    rt.setTextBackground(platform::TextBackground::Opaque);
    drawing_.selectFont(kFontMessage);
  }
  rt.setPen(drawing_.palette(kBlue));
  rt.setFill(drawing_.palette(kWhite));
  model_.givens[row][column] = uint8_t(digit);
  view_.drawDots();
}

}  // namespace app
