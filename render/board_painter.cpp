// The grid and the dots, for any layout.
#include "render/board_painter.h"

#include <cmath>

namespace render {

int roundHalfEven(double value) {
  double rounded = std::round(value);  // halves away from zero
  if (std::abs(value - std::trunc(value)) == 0.5) rounded = 2.0 * std::round(value / 2.0);
  return int(rounded);
}

void BoardPainter::drawGrid(const BoardLayout& layout) {
  platform::Canvas& rt = drawing_.canvas();
  rt.setLineWidth(layout.cellLineWidth);
  rt.setPen(drawing_.palette(layout.cellLineColour));
  for (int row = 1; row <= 9; ++row) {
    for (int column = 1; column <= 9; ++column) {
      const int x = layout.cellX(column);
      const int y = layout.cellY(row);
      rt.box(x, y, x + layout.cellWidth, y + layout.cellHeight);
    }
  }
  rt.setLineWidth(layout.boxLineWidth);
  rt.setPen(drawing_.palette(layout.boxLineColour));
  for (int band = 0; band < 3; ++band) {
    for (int stack = 0; stack < 3; ++stack) {
      const int x = layout.cellX(3 * stack + 1);
      const int y = layout.cellY(3 * band + 1);
      rt.box(x, y, x + 3 * layout.cellWidth, y + 3 * layout.cellHeight);
    }
  }
  rt.setLineWidth(1);
  rt.setPen(drawing_.palette(kBlack));
}

void BoardPainter::drawDots(const BoardLayout& layout, const punktivo::BoardModel& model) {
  drawDots(layout, model.dotsRight, model.dotsDown);
}

void BoardPainter::drawDots(const BoardLayout& layout, const punktivo::Grid& dotsRight, const punktivo::Grid& dotsDown) {
  platform::Canvas& rt = drawing_.canvas();
  const auto dot = [&](uint8_t code, QPoint centre) {
    if (code != punktivo::kWhiteDot && code != punktivo::kBlackDot) return;
    rt.setPen(drawing_.palette(kBlack));
    rt.setFillStyle(platform::FillStyle::Solid);
    rt.setFill(drawing_.palette(code == punktivo::kWhiteDot ? kWhite : kBlack));
    rt.circle(centre.x(), centre.y(), layout.dotRadius);
  };
  rt.setLineWidth(layout.dotLineWidth);
  for (int row = 1; row <= 9; ++row)
    for (int column = 1; column <= 8; ++column) dot(dotsRight[row][column], layout.rightDotCentre(column, row));
  for (int column = 1; column <= 9; ++column)
    for (int row = 1; row <= 8; ++row) dot(dotsDown[column][row], layout.downDotCentre(column, row));
  rt.setLineWidth(1);
  rt.setPen(drawing_.palette(kBlack));
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setFill(drawing_.palette(kWhite));
}

}  // namespace render
