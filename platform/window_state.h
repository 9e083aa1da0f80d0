// The main window as the parts of the runtime share it: its widgets, whether it is gone,
// and the part of its client area that waits to be repainted.
#pragma once

#include <QRect>

#include <memory>

namespace platform {

class ClientWidget;
class MainWindow;
class WindowSystemWatch;

struct WindowState {
  WindowState();
  ~WindowState();
  WindowState(const WindowState&) = delete;
  WindowState& operator=(const WindowState&) = delete;

  // Opened, and neither closed nor destroyed since.
  bool open() const { return window != nullptr && !gone; }
  // Collected here and handed to the window once per pass of the event pump: thousands of
  // small update requests per redraw would cost more than the drawing itself.
  void repaintLater(const QRect& rect) { dirty |= rect; }
  void flushRepaints();

  std::unique_ptr<MainWindow> window;
  std::unique_ptr<WindowSystemWatch> watch;
  ClientWidget* client = nullptr;  // owned by the window
  QRect dirty;                     // client pixels
  bool gone = false;
  bool redrawingForRatio = false;  // the game draws anew after a change of ratio: no sounds
};

}  // namespace platform
