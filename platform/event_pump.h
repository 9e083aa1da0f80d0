// The event pump of the runtime: window messages in a first-in-first-out queue, the mouse
// position and buttons, and the bookkeeping of key presses whose release is the game's.
#pragma once

#include <Qt>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace platform {

struct WindowState;

// Key codes of window messages: letters 'A'..'Z' (whatever Shift says), digits '0'..'9'
// (a shifted digit of the top row too), and these others.
enum Key : int {
  kKeyNone = 0,
  kKeyBackspace = 8,
  kKeyEnter = 13,
  kKeyEscape = 27,
  kKeyDelete = 127,
  kKeyOther = 0x10000,  // a key with no code of its own
  kKeyLeft,
  kKeyUp,
  kKeyRight,
  kKeyDown,
  kKeyHome,
  kKeyEnd,
  kKeyPageUp,
  kKeyPageDown,
};

// Modifier keys held with a key.
enum Modifier : int { kModShift = 1, kModControl = 2, kModAlt = 4 };

// Command: a menu item chosen while another command runs (see `postCommand`).
enum class MessageKind { None, KeyRelease, Char, LeftPress, RightPress, Command };

struct WindowMessage {
  MessageKind kind = MessageKind::None;
  int key = kKeyNone;     // KeyRelease and Char: the key's code; Command: the item's id
  char32_t character = 0; // Char: the typed character (Escape gives 27)
  int x = 0, y = 0;       // LeftPress/RightPress: client position of the press
  int modifiers = 0;      // KeyRelease and Char: the Modifier bits held
};

class EventPump {
 public:
  explicit EventPump(WindowState& window);
  ~EventPump();
  EventPump(const EventPump&) = delete;
  EventPump& operator=(const EventPump&) = delete;

  // Win_0_MouseMove: button state, shift state, client x and y.
  std::function<void(int buttons, int shift, double x, double y)> onMouseMove;

  // Lets pending window events run once and takes the next window message from the
  // queue; when none is queued it waits (at most a short while) for events first.
  void processEventsOnce();
  const WindowMessage& lastMessage() const { return current_; }
  int mouseX() const { return mouseX_; }
  int mouseY() const { return mouseY_; }
  bool mouseButtonsHeld() const { return buttonsHeld_ != 0; }
  // False once the window is closed or destroyed, or scripted input has ended.
  bool windowExists() const;
  // Keeps events moving until no mouse button is held (or the window is gone).
  void waitButtonsUp();
  // Lets pending events run, waiting a short while for some, without taking a window
  // message: the loops of modal forms use it, so messages queued for the main window
  // before the form opened stay for the loop that waits for them.
  void waitForEvents();
  // After a loop acted on a typed character, the release of that key is not a
  // message of its own: the next release of the same key is dropped.
  void consumeKeyRelease(int key);
  // After a modal loop (a form, a message box, the print dialog): a button let go while the
  // main window was blocked never reached it, so the held buttons are read afresh from the
  // window system.
  void refreshButtonsFromWindowSystem();
  // The end of scripted input: once this event is processed and every message before it
  // has been taken, windowExists() turns false and every waiting loop ends.
  void postQuit();
  // Queues a Command message for the loop that runs (a menu item kept enabled while a
  // command runs, see keepMenuItemEnabled).
  void postCommand(int id);

  // Used by the window classes.
  void handleInput(const WindowMessage& message);
  // A key press the client area received (`id`: the key's scan code, or its Qt key); only
  // the release of such a key becomes a message. Keys pressed while a menu or a dialog had
  // the keyboard belong to that menu or dialog.
  // The release is reported with the key and modifiers of its press (Ctrl let go before Z
  // still releases Ctrl+Z).
  void handleKeyPress(int id, int key, int modifiers);
  std::optional<WindowMessage> takeKeyRelease(int id);
  // The release of a key the keyboard repeats while it is held; the press stays remembered.
  std::optional<WindowMessage> repeatedKeyRelease(int id) const;
  void forgetPressedKeys() { pressedKeys_.clear(); }
  void handleMouseMove(int buttons, int shift, double x, double y);
  void handleButtonRelease(Qt::MouseButton button);
  void handleQuitRequest();

 private:
  struct PressedKey {
    int id, key, modifiers;
  };
  void waitForMoreEvents();

  WindowState& window_;
  std::unique_ptr<QTimer> wake_;
  std::deque<WindowMessage> queue_;
  WindowMessage current_;
  std::vector<int> swallowedReleases_;
  std::vector<PressedKey> pressedKeys_;
  int mouseX_ = 0, mouseY_ = 0;
  int buttonsHeld_ = 0;
  bool quitPending_ = false;
};

}  // namespace platform
