// X11 queries through Qt's own connection to the server.
#include "platform/window_system.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include "platform/runtime.h"

namespace platform {

namespace {

xcb_connection_t* x11Connection() {
  auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (application == nullptr) return nullptr;
  auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace

int pointerButtonsFromWindowSystem() {
  xcb_connection_t* connection = x11Connection();
  if (connection == nullptr) return int(QGuiApplication::mouseButtons());
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr);
  if (reply == nullptr) return int(QGuiApplication::mouseButtons());
  int buttons = 0;
  if (reply->mask & XCB_BUTTON_MASK_1) buttons |= Qt::LeftButton;
  if (reply->mask & XCB_BUTTON_MASK_2) buttons |= Qt::MiddleButton;
  if (reply->mask & XCB_BUTTON_MASK_3) buttons |= Qt::RightButton;
  free(reply);  // NOLINT(cppcoreguidelines-no-malloc): xcb's replies are malloc'ed
  return buttons;
}

std::unique_ptr<WindowSystemWatch> WindowSystemWatch::create(Runtime& runtime, QWidget& mainWindow) {
  if (x11Connection() == nullptr) return nullptr;
  std::unique_ptr<WindowSystemWatch> watch(new WindowSystemWatch(runtime, unsigned(mainWindow.winId())));
  QCoreApplication::instance()->installNativeEventFilter(watch.get());
  return watch;
}

WindowSystemWatch::WindowSystemWatch(Runtime& runtime, unsigned window) : runtime_(runtime), window_(window) {}

WindowSystemWatch::~WindowSystemWatch() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool WindowSystemWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) == XCB_DESTROY_NOTIFY) {
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    if (destroyed->window == window_) runtime_.handleWindowDestroyed();
  }
  return false;
}

}  // namespace platform
