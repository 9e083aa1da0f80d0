// Cell input: the digit picker drawn over a clicked cell, the loop that waits for the
// player's choice (where a wrong entry is counted), and the two procedures that paint a
// cell's content.
#pragma once

#include <QString>

#include <atomic>
#include <bitset>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/game_state.h"
#include "engine/board_model.h"
#include "engine/solver.h"
#include "render/board_view.h"
#include "render/drawing.h"
#include "render/panels.h"
#include "render/timer.h"

namespace app {

struct InputState {
  bool pickerOpen = false;
  int16_t pickerDigit = 0;  // highlighted digit; keeps its value between pickers
  bool pickerCleared = false;
  std::atomic<bool> pickerBusy{false};  // the clock thread reads it
  bool candidateInput = false;
  bool editorMode = false;
  // The open picker: top-left corner, its cell, and the screen area under it.
  int16_t pickerX = 0, pickerY = 0;
  int16_t pickerColumn = 0, pickerRow = 0;
  platform::ImageHandle pickerBackground = 0;
  bool backgroundHeld = false;
  // The keyboard cursor: shown once an arrow key is used in a session.
  bool cursorShown = false;
  int16_t cursorColumn = 1, cursorRow = 1;
};

// Tints of a cell's inside: the keyboard cursor, and the cells holding the digit under it.
inline const QColor kCursorTint(255, 236, 150);
inline const QColor kSameDigitTint(206, 226, 255);
// The cells a hint is about.
inline const QColor kHintTint(214, 240, 200);

struct Cell {
  int column = 0;
  int row = 0;
  bool operator==(const Cell&) const = default;
};

// The stroke through a wrong digit: its width, and how far its ends stay off the corners.
inline constexpr int kStrokeWidth = 4;
inline constexpr int kStrokeInset = 6;

inline constexpr const char* kHintClickCell = "Bitte ein Feld anklicken!";

class CellInput final : public render::CellPainter {
 public:
  CellInput(render::Drawing& drawing, punktivo::BoardModel& model, punktivo::Settings& settings,
            punktivo::GameState& game, InputState& input, render::BoardView& view, render::Panels& panels,
            render::Timer& timer, punktivo::Solver& solver)
      : drawing_(drawing),
        model_(model),
        settings_(settings),
        game_(game),
        input_(input),
        view_(view),
        panels_(panels),
        timer_(timer),
        solver_(solver) {}

  // Win_0_MouseMove: moves the highlight of the open picker.
  void Win_0_MouseMove(int buttons, int shift, double x, double y);
  // The cell under the last mouse position, if any.
  std::optional<Cell> cellAtMouse() const;
  void drawPicker(int column, int row);
  // Waits for the player's choice and applies it; reads candidateInput and editorMode.
  void pickerInput(int column, int row);
  void waitButtonsUp();

  void drawGivenCell(int column, int row, int digit) override;
  void drawPlayerCell(int column, int row, int digit) override;
  QColor cellBackground(int column, int row) const override;

  // A digit (0 empties the cell) entered into a cell as the picker enters it: in play the
  // cell is drawn and a wrong digit counted; in the editor only the model changes.
  void enterDigit(int column, int row, int digit);
  void toggleCandidate(int column, int row, int digit);
  // "Notizen automatisch bereinigen": `digit` taken out of the notes of every other cell in
  // the row, column and box of (column, row), and those cells drawn again.
  void tidyNotes(int column, int row, int digit);

  // --- keyboard cursor --------------------------------------------------------------------
  // Moves the cursor for an arrow, Home, End, PgUp or PgDn key (the first such key only
  // shows it); false for other keys.
  bool moveCursor(int key);
  // Puts the cursor on a cell if it is shown (a click moves it along).
  void followClick(int column, int row);
  void hideCursor();
  // The digit whose cells are tinted, 0 for none.
  int highlightedDigit() const;
  // Every cell drawn again as it stands (no mistake counted), and the open picker over it.
  void repaintCells();
  void repaintPicker();
  // The cells whose tint changed since they were drawn, drawn again.
  void repaintHighlight();
  // The cells a hint is about get a tint of their own (under the cursor's); none to clear.
  void tintHintCells(const std::vector<Cell>& cells);

 private:
  void eraseCell(int column, int row);
  bool wrongDigit(int column, int row) const;
  void paintPlayerCell(int column, int row, int digit, bool wrong);
  // "Fehler zusätzlich markieren": the stroke through a wrong digit's cell at (x, y).
  void strikeThrough(int x, int y);
  // Removes the picker by drawing back what lay under it.
  void restoreBackground();
  // A cell's digit drawn again as it stands (no mistake counted); with its candidate marks.
  void paintCellContent(int column, int row);
  void repaintCell(int column, int row);
  using CellSet = std::bitset<81>;
  static int cellBit(int column, int row) { return (row - 1) * 9 + column - 1; }
  QColor tintOf(int column, int row, bool cursorShown, Cell cursor, int digit, const CellSet& hinted) const;
  // A wrong digit the player has just entered counts as a mistake, once.
  void countMistake(int column, int row);

  render::Drawing& drawing_;
  punktivo::BoardModel& model_;
  punktivo::Settings& settings_;
  punktivo::GameState& game_;
  InputState& input_;
  render::BoardView& view_;
  render::Panels& panels_;
  render::Timer& timer_;
  punktivo::Solver& solver_;
  // What the tints on screen were drawn for.
  bool paintedCursorShown_ = false;
  Cell paintedCursor_{1, 1};
  int paintedDigit_ = 0;
  CellSet hinted_, paintedHinted_;
};

}  // namespace app
