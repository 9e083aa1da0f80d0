// The board picture: frames and grid of the main screen, cells, dots and candidate marks.
#pragma once

#include "engine/board_model.h"
#include "render/board_painter.h"
#include "render/drawing.h"

namespace punktivo {
class Solver;
}

namespace render {

class Panels;
class Timer;

// Paints the content of one cell; the cell-input code owns these two.
class CellPainter {
 public:
  virtual ~CellPainter() = default;
  virtual void drawGivenCell(int column, int row, int digit) = 0;
  virtual void drawPlayerCell(int column, int row, int digit) = 0;
  // The colour a cell's inside is erased with: white, or a tint (keyboard cursor, same digit).
  virtual QColor cellBackground(int column, int row) const = 0;
};

// Board geometry in client pixels.
constexpr int kBoardOriginX = 29;
constexpr int kBoardOriginY = 45;
constexpr int kCellSize = 60;
constexpr int kDotRadius = 7;
inline constexpr const char* kPauseText = "Pause – P setzt fort";

class BoardView {
 public:
  BoardView(Drawing& drawing, punktivo::BoardModel& model, Panels& panels, Timer& timer)
      : drawing_(drawing), model_(model), panels_(panels), timer_(timer) {}
  void connect(CellPainter& cells, punktivo::Solver& solver) {
    cells_ = &cells;
    solver_ = &solver;
  }

  void drawMainScreen();
  void redrawBoard();
  void drawDots();
  void drawCandidateMarks();
  // The marks of one empty cell, without the dots.
  void drawCandidateMarksOf(int column, int row);
  // A paused game: a plain face over the whole board, so nothing of it can be read.
  void drawPauseFace();
  // The board drawn again where the face lay: grid, cells, notes and dots.
  void uncoverBoard();

  // The top-left corner of a cell's square on the grid (its line included).
  int cellX(int column) const { return layout().cellX(column); }
  int cellY(int row) const { return layout().cellY(row); }
  // The screen's grid: black cell lines, red box lines two pixels wide, dots of radius 7.
  BoardLayout layout() const;

  int boardOriginX = kBoardOriginX;
  int boardOriginY = kBoardOriginY;
  int cellWidth = kCellSize;
  int cellHeight = kCellSize;

 private:
  Drawing& drawing_;
  punktivo::BoardModel& model_;
  Panels& panels_;
  Timer& timer_;
  CellPainter* cells_ = nullptr;
  punktivo::Solver* solver_ = nullptr;
};

}  // namespace render
