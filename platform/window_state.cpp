// The main window's shared state.
#include "platform/window_state.h"

#include "platform/window.h"
#include "platform/window_system.h"

namespace platform {

WindowState::WindowState() = default;

WindowState::~WindowState() {
  // The watch listens for the window's native window: it goes first.
  watch.reset();
}

void WindowState::flushRepaints() {
  if (client != nullptr && !dirty.isEmpty()) client->update(dirty);
  dirty = QRect();
}

}  // namespace platform
