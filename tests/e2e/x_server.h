// A private X server (Xvfb) for end-to-end tests, with real input through the XTEST
// extension and the screen read back from the server.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

struct _XDisplay;  // NOLINT(bugprone-reserved-identifier): Xlib's own name behind Display

namespace e2e {

using namespace std::chrono_literals;

// Generous: a shared, busy machine may be slow, but a condition that never comes fails.
inline constexpr std::chrono::milliseconds kDeadline = 60s;
// How long a typed key stays down.
inline constexpr std::chrono::milliseconds kKeyHold = 30ms;

// Polls `condition` until it holds or the deadline passes.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = kDeadline);

// A top-level window as the X server knows it.
struct TopLevel {
  unsigned long id = 0;
  QString name;  // WM_NAME
  QRect geometry;  // root coordinates
  bool viewable = false;
  bool overrideRedirect = false;  // menus and pop-ups
};

class XServer {
 public:
  // The one server of this test program, started on a free display on first use.
  static XServer& instance();
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  std::string displayName() const { return name_; }
  // Room for the window at twice the pixel density.
  static constexpr int kWidth = 1920;
  static constexpr int kHeight = 1600;

  // --- real input (XTEST) ----------------------------------------------------------
  void moveTo(int x, int y);
  void button(int number, bool press);  // 1 left, 3 right
  void click(int x, int y, int number = 1);
  // A key by its X name ("a", "Escape", "Return", "Tab", "Alt_L", "Delete", ...).
  void key(const char* keysym, bool press);
  void tap(const char* keysym);
  // Holds `modifier`, taps `keysym`, lets go.
  void chord(const char* modifier, const char* keysym);
  // True when the keyboard focus is on `window` or inside it.
  bool hasFocus(unsigned long window);
  // Which pointer buttons the server says are held (a bit per button, bit 1 = left).
  unsigned pointerButtons();

  // --- reading back ------------------------------------------------------------------
  QImage grab(const QRect& area);
  std::vector<TopLevel> topLevels();
  // The viewable top-level window called `name`, or an empty result.
  TopLevel findWindow(const QString& name);
  // Destroys a window as another X client may (not the close box).
  void destroyWindow(unsigned long id);
  // Asks a window to close as a window manager's close box does (WM_DELETE_WINDOW).
  void requestClose(unsigned long id);
  // Minimises (iconifies) a window as its minimise button does, and maps it again.
  void minimize(unsigned long id);
  void restore(unsigned long id);

 private:
  XServer();
  void startWindowManager();
  void sync();

  pid_t server_ = -1;
  pid_t manager_ = -1;
  std::string name_;
  _XDisplay* display_ = nullptr;
};

}  // namespace e2e
