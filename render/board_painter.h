// One painter of the grid and the dots for the screen and the printer: the two differ only in
// the layout (origin, cell size, line widths and colours, dot radius).
#pragma once

#include <QPoint>

#include "engine/board_model.h"
#include "render/drawing.h"

namespace render {

// Rounds to the nearest integer, a half to the even neighbour (free of the floating-point mode).
int roundHalfEven(double value);

// Where a grid lies and how it looks, in pixels of the output it is drawn on.
struct BoardLayout {
  int originX = 0, originY = 0;  // top-left corner of the grid
  int cellWidth = 0, cellHeight = 0;
  int cellLineWidth = 1;
  PaletteIndex cellLineColour = kBlack;
  int boxLineWidth = 2;  // the lines around the 3x3 boxes, drawn over the cell lines
  PaletteIndex boxLineColour = kBlack;
  int dotRadius = 0;
  int dotLineWidth = 1;  // the outline of a dot

  // The top-left corner of a cell's square (its line included).
  int cellX(int column) const { return originX + cellWidth * (column - 1); }
  int cellY(int row) const { return originY + cellHeight * (row - 1); }
  // Centre of the dot between (row, column) and (row, column + 1).
  QPoint rightDotCentre(int column, int row) const {
    return {cellX(column + 1), cellY(row) + roundHalfEven(cellHeight / 2.0)};
  }
  // Centre of the dot between (row, column) and (row + 1, column).
  QPoint downDotCentre(int column, int row) const {
    return {cellX(column) + roundHalfEven(cellWidth / 2.0), cellY(row + 1)};
  }
};

class BoardPainter {
 public:
  explicit BoardPainter(Drawing& drawing) : drawing_(drawing) {}

  // The cell squares, then the box lines over them. Leaves the pen black, line width 1.
  void drawGrid(const BoardLayout& layout);
  // Every white and black dot of the model (other codes, from a damaged file, show none),
  // the rows' dots first, then the columns'. Leaves a black pen, a solid white fill, line
  // width 1.
  void drawDots(const BoardLayout& layout, const punktivo::BoardModel& model);
  // The same for dots held apart from the model (a printed game's solution).
  void drawDots(const BoardLayout& layout, const punktivo::Grid& dotsRight, const punktivo::Grid& dotsDown);

 private:
  Drawing& drawing_;
};

}  // namespace render
