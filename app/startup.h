// The game as a whole: owns every piece of program-wide state, runs the start-up
// sequence and the main loop.
#pragma once

#include <QPoint>
#include <QSize>

#include "app/cell_input.h"
#include "app/game_state.h"
#include "engine/board_model.h"
#include "engine/solver.h"
#include "platform/runtime.h"
#include "render/board_view.h"
#include "render/drawing.h"
#include "render/panels.h"
#include "render/timer.h"

namespace app {

inline constexpr const char* kWindowTitle = "Punktivo V1.0";
inline constexpr int kWindowOuterWidth = 862;
inline constexpr int kWindowOuterHeight = 723;

// Top-left corner of the main window on a screen of the given size: centred on the
// client area, 32 px higher, halves rounded to even.
QPoint computeWindowPosition(QSize screen);

class App final : public punktivo::BoardDisplay {
 public:
  explicit App(platform::Runtime& runtime);
  ~App() override;

  // Opens the window and draws the start screen.
  void startUp();
  // Processes events until the main window is gone.
  void runMainLoop();
  // Releases what start-up took (fonts, captured strip).
  void shutDown();

  // What the engine asks of the screen.
  void drawPlayerCell(int column, int row, int digit) override;
  void redrawBoard() override;
  void drawDots() override;
  void drawMainScreen() override;
  void drawCandidateMarks() override;
  void endTimedGame() override;

  platform::Runtime& runtime() { return runtime_; }
  punktivo::BoardModel& model() { return model_; }
  punktivo::Settings& settings() { return settings_; }
  GameState& game() { return game_; }
  render::Drawing& drawing() { return drawing_; }
  render::Panels& panels() { return panels_; }
  render::BoardView& view() { return view_; }
  CellInput& cells() { return cells_; }
  punktivo::Solver& solver() { return solver_; }

  platform::ImageHandle statusStrip = 0;

 private:
  void refreshClock();

  platform::Runtime& runtime_;
  render::Drawing drawing_;
  punktivo::Settings settings_;
  punktivo::BoardModel model_;
  GameState game_;
  render::Panels panels_;
  render::TimerPanel timer_;
  render::BoardView view_;
  punktivo::Solver solver_;
  CellInput cells_;
};

}  // namespace app
