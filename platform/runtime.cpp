// The runtime's main window over Qt 6 Widgets, and the parts put together.
#include "platform/runtime.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QTimer>

#include "platform/window.h"
#include "platform/window_system.h"

namespace platform {

Runtime::Runtime()
    : EventPump(static_cast<WindowState&>(*this)),
      Canvas(static_cast<WindowState&>(*this)),
      Menus(static_cast<WindowState&>(*this), static_cast<EventPump&>(*this)),
      ClockLabel(static_cast<WindowState&>(*this)),
      Services(static_cast<WindowState&>(*this)) {}

QSize Runtime::screenSize() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry().size() : QSize(kClientWidth, kClientHeight);
}

void Runtime::openWindow(int x, int y, int outerWidth, int outerHeight, const QString& title) {
  window = std::make_unique<MainWindow>(*this);
  window->setWindowTitle(title);
  client = new ClientWidget(*this, window.get());
  window->setCentralWidget(client);
  window->move(x, y);
  window->resize(outerWidth, outerHeight);
  window->show();
  client->setFocus();
  gone = false;
  watch = WindowSystemWatch::create(*this, *window);
  startAtRatio(client->devicePixelRatioF());
}

void Runtime::setClientSize(int width, int height) {
  resizeClient(QSize(width, height));
  if (client != nullptr) {
    client->setFixedSize(width, height);
    window->adjustSize();
    // A fixed layout: the window cannot be resized.
    window->setFixedSize(window->sizeHint());
  }
}

void Runtime::setTitle(const QString& title) {
  if (window) window->setWindowTitle(title);
}

void Runtime::closeWindow() {
  gone = true;
  if (window) window->close();
}

QWidget* Runtime::mainWindowWidget() const { return window.get(); }
QWidget* Runtime::clientWidget() const { return client; }
bool Runtime::windowMinimized() const { return open() && window->isMinimized(); }

bool Runtime::handleCloseRequest() {
  if (gone) return true;
  if (!onCloseRequest) {
    gone = true;
    return true;
  }
  if (!onCloseRequest()) return false;
  gone = true;
  return true;
}

void Runtime::handleWindowDestroyed() {
  if (gone) return;
  gone = true;
  // Closed from the event loop, not from inside the event that told us: a message box or
  // the print dialog then returns from its own loop as if cancelled.
  QTimer::singleShot(0, window.get(), [this] {  // dropped with the window
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget == window.get() || !widget->isVisible()) continue;
      if (auto* dialog = qobject_cast<QDialog*>(widget)) {
        dialog->reject();
      } else {
        widget->close();
      }
    }
  });
}

}  // namespace platform
