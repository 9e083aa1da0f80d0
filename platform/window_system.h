// What only the window system knows: which pointer buttons are really held, and whether
// another program destroyed the main window. X11 is asked directly; elsewhere Qt's view
// of the buttons stands in.
#pragma once

#include <QAbstractNativeEventFilter>

#include <memory>

class QWidget;

namespace platform {

class Runtime;

// Qt::MouseButtons bits of the buttons held at this moment.
int pointerButtonsFromWindowSystem();

// Watches the main window's native window while it lives.
class WindowSystemWatch final : public QAbstractNativeEventFilter {
 public:
  // Nothing where the platform cannot tell (anything but X11).
  static std::unique_ptr<WindowSystemWatch> create(Runtime& runtime, QWidget& mainWindow);
  ~WindowSystemWatch() override;
  WindowSystemWatch(const WindowSystemWatch&) = delete;
  WindowSystemWatch& operator=(const WindowSystemWatch&) = delete;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  WindowSystemWatch(Runtime& runtime, unsigned window);

  Runtime& runtime_;
  unsigned window_;
};

}  // namespace platform
