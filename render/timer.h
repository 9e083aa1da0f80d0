// The timer panel and the elapsed-time display of a timed game.
#pragma once

#include "render/drawing.h"

namespace render {

class TimerPanel {
 public:
  explicit TimerPanel(Drawing& drawing) : drawing_(drawing) {}

  // Frame, caption and cleared field; the clock label itself is a control of its own.
  void drawTimerPanel();

 private:
  Drawing& drawing_;
};

}  // namespace render
