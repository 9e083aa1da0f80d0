// Cell input: the digit picker drawn over a clicked cell, the loop that waits for the
// player's choice, and the keyboard cursor with the tints it puts on the board.
#pragma once

#include <QString>

#include <atomic>
#include <bitset>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/game_core.h"
#include "platform/runtime.h"
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

struct Cell {
  int column = 0;
  int row = 0;
  bool operator==(const Cell&) const = default;
};

inline constexpr const char* kHintClickCell = "Bitte ein Feld anklicken!";

class CellInput {
 public:
  CellInput(platform::Runtime& runtime, render::Drawing& drawing, punktivo::GameCore& core, InputState& input,
            render::BoardView& view, render::Panels& panels, render::Timer& timer)
      : runtime_(runtime),
        drawing_(drawing),
        core_(core),
        model_(core.model()),
        input_(input),
        view_(view),
        panels_(panels),
        timer_(timer) {}

  // Win_0_MouseMove: moves the highlight of the open picker.
  void Win_0_MouseMove(int buttons, int shift, double x, double y);
  // The cell under the last mouse position, if any.
  std::optional<Cell> cellAtMouse() const;
  void drawPicker(int column, int row);
  // Waits for the player's choice and applies it; reads candidateInput and editorMode.
  void pickerInput(int column, int row);
  void waitButtonsUp();

  // A digit (0 empties the cell) entered into a cell as the picker enters it: in play it is
  // the core's command (the cell drawn, a wrong digit counted, notes tidied); in the editor
  // only the model changes.
  void enterDigit(int column, int row, int digit);
  // What an entry changed besides its cell, shown: the clock after a third mistake, the
  // tidied notes.
  void showEntry(const punktivo::EntryOutcome& outcome);

  // --- keyboard cursor --------------------------------------------------------------------
  // Moves the cursor for an arrow, Home, End, PgUp or PgDn key (the first such key only
  // shows it); false for other keys.
  bool moveCursor(int key);
  // Puts the cursor on a cell if it is shown (a click moves it along).
  void followClick(int column, int row);
  void hideCursor();
  // The open picker drawn again over the board just drawn.
  void repaintPicker();
  // The cells whose tint changed since they were drawn, drawn again.
  void repaintHighlight();
  // The cells a hint is about get a tint of their own (under the cursor's); none to clear.
  void tintHintCells(const std::vector<Cell>& cells);

 private:
  // Removes the picker by drawing back what lay under it.
  void restoreBackground();

  platform::Runtime& runtime_;
  render::Drawing& drawing_;
  punktivo::GameCore& core_;
  punktivo::BoardModel& model_;
  InputState& input_;
  render::BoardView& view_;
  render::Panels& panels_;
  render::Timer& timer_;
  std::bitset<81> hinted_;
  // What the tints on screen were drawn for.
  render::CellTints paintedTints_;
  int paintedDigit_ = 0;
};

}  // namespace app
