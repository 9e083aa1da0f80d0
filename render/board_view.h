// The board picture: frame and grid of the board, the cells with their tints, dots and
// candidate marks, and the face of a paused game.
#pragma once

#include <QColor>

#include <bitset>

#include "engine/board_model.h"
#include "render/board_painter.h"
#include "render/drawing.h"

namespace render {

// Board geometry in client pixels.
constexpr int kBoardOriginX = 29;
constexpr int kBoardOriginY = 45;
constexpr int kCellSize = 60;
constexpr int kDotRadius = 7;
inline constexpr const char* kPauseText = "Pause – P setzt fort";

// Tints of a cell's inside: the keyboard cursor, the cells holding the digit under it, and
// the cells a hint is about.
inline const QColor kCursorTint(255, 236, 150);
inline const QColor kSameDigitTint(206, 226, 255);
inline const QColor kHintTint(214, 240, 200);

// The stroke through a wrong digit: its width, and how far its ends stay off the corners.
inline constexpr int kStrokeWidth = 4;
inline constexpr int kStrokeInset = 6;

// What tints the cells: the cursor (once shown), the digit under it in every cell that holds
// it (with highlightSameDigits), the cells of a hint. Whoever handles the input sets it; the
// view only paints it.
struct CellTints {
  bool cursorShown = false;
  int cursorColumn = 1, cursorRow = 1;
  bool highlightSameDigits = false;
  std::bitset<81> hinted;

  static size_t bit(int column, int row) { return size_t((row - 1) * 9 + column - 1); }
};

class BoardView {
 public:
  BoardView(Drawing& drawing, const punktivo::BoardModel& model, const punktivo::Settings& settings)
      : drawing_(drawing), model_(model), settings_(settings) {}

  // The board's frames, its caption and the empty grid (the panels are drawn beside it).
  void drawBoardArea();
  // Every cell as the model holds it: givens black, the player's digits blue (wrong ones red).
  void drawCells();
  void drawDots();
  void drawCandidateMarks();
  // The marks of one empty cell, without the dots.
  void drawCandidateMarksOf(int column, int row);
  // A paused game: a plain face over the whole board, so nothing of it can be read.
  void drawPauseFace();
  // The empty grid where the face lay (the cells are drawn again by the caller).
  void drawEmptyGrid();

  // --- one cell --------------------------------------------------------------------------
  void drawGivenCell(int column, int row, int digit);
  // A digit of the player's; red where it differs from the solution.
  void drawPlayerCell(int column, int row, int digit);
  // A cell's digit drawn again as it stands: the given, or the player's digit.
  void drawCell(int column, int row);
  // The same with its candidate marks.
  void repaintCell(int column, int row);
  // The colour a cell's inside is erased with, by the tints set and the board as it stands.
  QColor cellBackground(int column, int row) const { return tintOf(tints_, highlightedDigit(tints_), column, row); }
  // The digit whose cells are tinted, 0 for none.
  int highlightedDigit(const CellTints& tints) const;
  QColor tintOf(const CellTints& tints, int digit, int column, int row) const;
  void setTints(const CellTints& tints) { tints_ = tints; }

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
  void eraseCell(int column, int row);
  // "Fehler zusätzlich markieren": the stroke through a wrong digit's cell at (x, y).
  void strikeThrough(int x, int y);
  // The cell's digit in the cell font, in the colour set.
  void drawDigit(int x, int y, int digit);

  Drawing& drawing_;
  const punktivo::BoardModel& model_;
  const punktivo::Settings& settings_;
  CellTints tints_;
};

}  // namespace render
