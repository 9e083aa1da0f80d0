// The clipboard through Xlib: a selection owner on a connection of its own, and a reader.
#include "tests/e2e/clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>

#include <chrono>
#include <stdexcept>

namespace e2e {
namespace {

Window scratchWindow(Display* display) {
  return XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
}

// Waits up to `ms` for an event on the connection.
bool eventWithin(Display* display, int ms) {
  if (XPending(display) > 0) return true;
  pollfd fd{ConnectionNumber(display), POLLIN, 0};
  return poll(&fd, 1, ms) > 0 && XPending(display) > 0;
}

// Answers one request for the selection: the list of targets, or the text.
void answer(Display* display, const XSelectionRequestEvent& request, const std::string& text) {
  const Atom targets = XInternAtom(display, "TARGETS", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const Atom textAtom = XInternAtom(display, "TEXT", False);
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.time = request.time;
  reply.xselection.property = request.property == None ? request.target : request.property;
  if (request.target == targets) {
    const Atom offered[] = {targets, utf8, XA_STRING, textAtom};
    XChangeProperty(display, request.requestor, reply.xselection.property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(offered), 4);
  } else if (request.target == utf8 || request.target == XA_STRING || request.target == textAtom) {
    XChangeProperty(display, request.requestor, reply.xselection.property, request.target == textAtom ? utf8 : request.target,
                    8, PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
  } else {
    reply.xselection.property = None;
  }
  XSendEvent(display, request.requestor, False, NoEventMask, &reply);
  XFlush(display);
}

}  // namespace

void Clipboard::stop() {
  stopping_ = true;
  if (server_.joinable()) server_.join();
  stopping_ = false;
}

void Clipboard::offer(const std::string& text) {
  stop();
  Display* display = XOpenDisplay(display_.c_str());
  if (display == nullptr) throw std::runtime_error("cannot open display " + display_);
  const Window window = scratchWindow(display);
  const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
  XSetSelectionOwner(display, clipboard, window, CurrentTime);
  XSync(display, False);
  if (XGetSelectionOwner(display, clipboard) != window) throw std::runtime_error("clipboard not taken");
  server_ = std::thread([this, display, window, text] {
    while (!stopping_) {
      if (!eventWithin(display, 20)) continue;
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == SelectionRequest) answer(display, event.xselectionrequest, text);
      if (event.type == SelectionClear) break;  // another program took the clipboard
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
  });
}

std::optional<std::string> Clipboard::read() {
  Display* display = XOpenDisplay(display_.c_str());
  if (display == nullptr) return std::nullopt;
  const Window window = scratchWindow(display);
  const Atom property = XInternAtom(display, "PUNKTIVO_TEST_CLIP", False);
  XConvertSelection(display, XInternAtom(display, "CLIPBOARD", False), XInternAtom(display, "UTF8_STRING", False),
                    property, window, CurrentTime);
  XFlush(display);
  std::optional<std::string> text;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    if (!eventWithin(display, 50)) continue;
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != SelectionNotify) continue;
    if (event.xselection.property != None) {
      Atom type = None;
      int format = 0;
      unsigned long items = 0;
      unsigned long left = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display, window, property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &items,
                             &left, &data) == Success &&
          data != nullptr && format == 8) {
        text = std::string(reinterpret_cast<const char*>(data), items);
      }
      if (data != nullptr) XFree(data);
    }
    break;
  }
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  return text;
}

}  // namespace e2e
