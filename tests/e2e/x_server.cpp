// Xvfb, XTEST input and screen read-back.
#include "tests/e2e/x_server.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace e2e {

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(10ms);
  }
}

XServer& XServer::instance() {
  static XServer server;
  return server;
}

XServer::XServer() {
  // Xvfb picks a free display itself and names it through the pipe once it accepts clients.
  int ready[2];
  if (pipe(ready) != 0) throw std::runtime_error("pipe");
  server_ = fork();
  if (server_ == 0) {
    close(ready[0]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    const std::string fd = std::to_string(ready[1]);
    const std::string screen = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
           "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  std::string number;
  char ch = 0;
  while (read(ready[0], &ch, 1) == 1 && ch != '\n') number += ch;
  close(ready[0]);
  if (number.empty()) throw std::runtime_error("Xvfb did not start (is the package xvfb installed?)");
  name_ = ":" + number;
  display_ = XOpenDisplay(name_.c_str());
  if (display_ == nullptr) throw std::runtime_error("cannot open display " + name_);
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display_, &event, &error, &major, &minor))
    throw std::runtime_error("the X server has no XTEST extension");
  // A window destroyed while we look at it is not an error of ours.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  startWindowManager();
}

void XServer::startWindowManager() {
  // Players have a window manager: it gives the keyboard focus to new windows and back to
  // the main window when a dialog goes, and draws the close boxes.
  manager_ = fork();
  if (manager_ == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    setenv("DISPLAY", name_.c_str(), 1);
    execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
    _exit(127);
  }
  const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
  const bool ready = waitUntil([&] {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, AnyPropertyType, &type, &format,
                       &items, &after, &data);
    if (data != nullptr) XFree(data);
    return items > 0;
  });
  if (!ready) throw std::runtime_error("the window manager (openbox) did not start");
}

namespace {

// Asks a helper program to end, and ends it for good when it does not within a few seconds: a
// wedged X server or window manager must not keep the test program from ending.
void endProcess(pid_t pid) {
  kill(pid, SIGTERM);
  if (waitUntil([pid] { return waitpid(pid, nullptr, WNOHANG) != 0; }, std::chrono::seconds(5))) return;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

XServer::~XServer() {
  if (display_ != nullptr) XCloseDisplay(display_);
  if (manager_ > 0) endProcess(manager_);
  if (server_ > 0) endProcess(server_);
}

void XServer::sync() { XSync(display_, False); }

void XServer::moveTo(int x, int y) {
  XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
  sync();
}

void XServer::button(int number, bool press) {
  XTestFakeButtonEvent(display_, unsigned(number), press ? True : False, CurrentTime);
  sync();
}

void XServer::click(int x, int y, int number) {
  moveTo(x, y);
  button(number, true);
  button(number, false);
}

void XServer::key(const char* keysym, bool press) {
  const KeySym symbol = XStringToKeysym(keysym);
  if (symbol == NoSymbol) throw std::invalid_argument(std::string("unknown key ") + keysym);
  const KeyCode code = XKeysymToKeycode(display_, symbol);
  XTestFakeKeyEvent(display_, code, press ? True : False, CurrentTime);
  sync();
}

void XServer::tap(const char* keysym) {
  key(keysym, true);
  // A person's keystroke lasts a moment; a release at once may still reach the window
  // that took the press.
  std::this_thread::sleep_for(kKeyHold);
  key(keysym, false);
}

void XServer::chord(const char* modifier, const char* keysym) {
  key(modifier, true);
  tap(keysym);
  key(modifier, false);
}

bool XServer::hasFocus(unsigned long window) {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display_, &focus, &revert);
  // Up from the focused window: it may be a child of the client window.
  while (focus != 0 && focus != PointerRoot && focus != DefaultRootWindow(display_)) {
    if (focus == window) return true;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, focus, &root, &parent, &children, &count)) return false;
    if (children != nullptr) XFree(children);
    focus = parent;
  }
  return false;
}

unsigned XServer::pointerButtons() {
  Window root = 0, child = 0;
  int rx = 0, ry = 0, wx = 0, wy = 0;
  unsigned mask = 0;
  XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rx, &ry, &wx, &wy, &mask);
  unsigned buttons = 0;
  if (mask & Button1Mask) buttons |= 1U << 1;
  if (mask & Button3Mask) buttons |= 1U << 3;
  return buttons;
}

QImage XServer::grab(const QRect& area) {
  const QRect clipped = area & QRect(0, 0, kWidth, kHeight);
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), clipped.x(), clipped.y(), unsigned(clipped.width()),
                            unsigned(clipped.height()), AllPlanes, ZPixmap);
  QImage result(clipped.size(), QImage::Format_RGB32);
  if (image == nullptr) {
    result.fill(Qt::black);
    return result;
  }
  for (int y = 0; y < clipped.height(); ++y)
    for (int x = 0; x < clipped.width(); ++x)
      result.setPixel(x, y, 0xff000000U | unsigned(XGetPixel(image, x, y) & 0xffffffU));
  XDestroyImage(image);
  return result;
}

namespace {

QString windowName(Display* display, Window window) {
  QString name;
  XTextProperty property;
  if (XGetWMName(display, window, &property) && property.value != nullptr) {
    char** list = nullptr;
    int n = 0;
    if (Xutf8TextPropertyToTextList(display, &property, &list, &n) >= Success && n > 0 && list != nullptr) {
      name = QString::fromUtf8(list[0]);
      XFreeStringList(list);
    }
    XFree(property.value);
  }
  return name;
}

// The windows of the clients: children of the root, or of the window manager's frames.
void collectClients(Display* display, Window parentWindow, int depth, std::vector<TopLevel>& windows) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, parentWindow, &root, &parent, &children, &count)) return;
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, children[i], &attributes)) continue;
    const QString name = windowName(display, children[i]);
    if (name.isEmpty() && depth < 3 && attributes.override_redirect == 0) {
      collectClients(display, children[i], depth + 1, windows);
      if (depth > 0) continue;
    }
    TopLevel w;
    w.id = children[i];
    w.name = name;
    w.viewable = attributes.map_state == IsViewable;
    w.overrideRedirect = attributes.override_redirect != 0;
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, children[i], root, 0, 0, &x, &y, &child);
    w.geometry = QRect(x, y, attributes.width, attributes.height);
    windows.push_back(w);
  }
  if (children != nullptr) XFree(children);
}

}  // namespace

std::vector<TopLevel> XServer::topLevels() {
  std::vector<TopLevel> windows;
  collectClients(display_, DefaultRootWindow(display_), 0, windows);
  return windows;
}

TopLevel XServer::findWindow(const QString& name) {
  for (const TopLevel& w : topLevels())
    if (w.viewable && w.name == name) return w;
  return {};
}

void XServer::destroyWindow(unsigned long id) {
  XDestroyWindow(display_, id);
  sync();
}

void XServer::requestClose(unsigned long id) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = id;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, id, False, NoEventMask, &event);
  sync();
}

void XServer::minimize(unsigned long id) {
  XIconifyWindow(display_, id, DefaultScreen(display_));
  sync();
}

void XServer::restore(unsigned long id) {
  XMapRaised(display_, id);
  sync();
}

}  // namespace e2e
