// The runtime layer: the main window, and through its parts the event pump, the canvas,
// menus and message boxes, the clock label and the services (time, threads, chance).
// It is the only code of the game that talks to Qt's window system.
#pragma once

#include <QSize>
#include <QString>

#include <functional>

#include "platform/canvas.h"
#include "platform/clock_label.h"
#include "platform/event_pump.h"
#include "platform/menus.h"
#include "platform/services.h"
#include "platform/window_state.h"

class QWidget;

namespace platform {

// The parts share the window through its state, which is therefore built first and torn
// down last; the game calls every part through this one object.
class Runtime : private WindowState,
                public EventPump,
                public Canvas,
                public Menus,
                public ClockLabel,
                public Services {
 public:
  Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // --- window -------------------------------------------------------------
  QSize screenSize() const;
  void openWindow(int x, int y, int outerWidth, int outerHeight, const QString& title);
  void setClientSize(int width, int height);
  void setTitle(const QString& title);
  void closeWindow();
  QWidget* mainWindowWidget() const;
  // The main window is minimised (iconified by the player or the window manager).
  bool windowMinimized() const;
  QWidget* clientWidget() const;

  // Win_0_Close: returns true when the window may close.
  std::function<bool()> onCloseRequest;

  // Used by the window classes.
  bool handleCloseRequest();
  // Another program destroyed the main window: every loop ends, open dialogs close without
  // acting, and the program ends as after a confirmed exit.
  void handleWindowDestroyed();
};

}  // namespace platform
