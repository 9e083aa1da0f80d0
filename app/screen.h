// The screen as the game draws it: the engine's view (BoardDisplay) and the compositions of
// board and panels. It asks the core for the status and draws what the core reports; the
// warning beep sounds here.
#pragma once

#include "engine/game_core.h"
#include "platform/runtime.h"
#include "render/board_view.h"
#include "render/panels.h"
#include "render/timer.h"

namespace app {

class Screen final : public punktivo::BoardDisplay {
 public:
  Screen(platform::Runtime& runtime, punktivo::GameCore& core, render::BoardView& view, render::Panels& panels,
         render::Timer& timer)
      : runtime_(runtime), core_(core), view_(view), panels_(panels), timer_(timer) {}

  // What the engine asks of the screen.
  void drawPlayerCell(int column, int row, int digit) override { view_.drawPlayerCell(column, row, digit); }
  // Every cell, the statistics with the error check, the candidate marks.
  void redrawBoard() override;
  void drawDots() override { view_.drawDots(); }
  // The board's frame and grid, the statistics and status panels (each running the check),
  // the difficulty and the timer panel.
  void drawMainScreen() override;
  void drawCandidateMarks() override { view_.drawCandidateMarks(); }
  void endTimedGame() override;

  // The digits counted and shown, then the error check shown.
  void showStatistics();
  // The error check: its message (drawn unless quietMode), the beep it asks for, the mistakes.
  void showStatus();
  // The board back where the pause face lay: grid, cells, notes and dots.
  void uncoverBoard();

 private:
  platform::Runtime& runtime_;
  punktivo::GameCore& core_;
  render::BoardView& view_;
  render::Panels& panels_;
  render::Timer& timer_;
};

}  // namespace app
