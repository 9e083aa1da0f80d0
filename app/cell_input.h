// Cell input: the two procedures that paint a cell's content (with the bookkeeping of
// wrong digits), and the input state of the digit picker.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "app/game_state.h"
#include "engine/board_model.h"
#include "render/board_view.h"
#include "render/drawing.h"

namespace app {

struct InputState {
  bool pickerOpen = false;
  int16_t pickerDigit = 0;
  bool pickerCleared = false;
  std::atomic<bool> pickerBusy{false};  // the clock thread reads it
  bool candidateInput = false;
  bool editorMode = false;
};

class CellInput final : public render::CellPainter {
 public:
  CellInput(render::Drawing& drawing, punktivo::BoardModel& model, GameState& game, render::BoardView& view)
      : drawing_(drawing), model_(model), game_(game), view_(view) {}

  InputState input;
  // Ends the display of a timed game's clock; set by whoever owns the timer.
  std::function<void()> refreshClock;

  void drawGivenCell(int column, int row, int digit) override;
  void drawPlayerCell(int column, int row, int digit) override;

 private:
  void eraseCell(int column, int row);

  render::Drawing& drawing_;
  punktivo::BoardModel& model_;
  GameState& game_;
  render::BoardView& view_;
};

}  // namespace app
