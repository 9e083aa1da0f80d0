// The event pump over Qt's event loop.
#include "platform/event_pump.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "platform/window.h"
#include "platform/window_state.h"
#include "platform/window_system.h"

namespace platform {

namespace {

// An idle waiting loop wakes at least this often, so flags set elsewhere are seen.
constexpr int kWakeIntervalMs = 50;

}  // namespace

EventPump::EventPump(WindowState& window) : window_(window), wake_(std::make_unique<QTimer>()) {
  wake_->setSingleShot(true);
}

EventPump::~EventPump() = default;

bool EventPump::windowExists() const {
  // A scripted end of input ends the loops once every message before it was taken.
  return window_.open() && !(quitPending_ && queue_.empty());
}

void EventPump::handleQuitRequest() { quitPending_ = true; }

void EventPump::handleInput(const WindowMessage& message) {
  if (message.kind == MessageKind::KeyRelease) {
    auto it = std::find(swallowedReleases_.begin(), swallowedReleases_.end(), message.key);
    if (it != swallowedReleases_.end()) {
      swallowedReleases_.erase(it);
      return;
    }
  }
  if (message.kind == MessageKind::LeftPress) buttonsHeld_ |= Qt::LeftButton;
  if (message.kind == MessageKind::RightPress) buttonsHeld_ |= Qt::RightButton;
  queue_.push_back(message);
}

void EventPump::handleKeyPress(int id, int key, int modifiers) {
  const auto same = [id](const PressedKey& k) { return k.id == id; };
  if (std::none_of(pressedKeys_.begin(), pressedKeys_.end(), same)) pressedKeys_.push_back({id, key, modifiers});
}

std::optional<WindowMessage> EventPump::takeKeyRelease(int id) {
  std::optional<WindowMessage> release = repeatedKeyRelease(id);
  if (release) std::erase_if(pressedKeys_, [id](const PressedKey& k) { return k.id == id; });
  return release;
}

std::optional<WindowMessage> EventPump::repeatedKeyRelease(int id) const {
  const auto it = std::find_if(pressedKeys_.begin(), pressedKeys_.end(), [id](const PressedKey& k) { return k.id == id; });
  if (it == pressedKeys_.end()) return std::nullopt;
  WindowMessage release;
  release.kind = MessageKind::KeyRelease;
  release.key = it->key;
  release.modifiers = it->modifiers;
  return release;
}

void EventPump::refreshButtonsFromWindowSystem() {
  const int held = pointerButtonsFromWindowSystem();
  buttonsHeld_ &= held;
}

void EventPump::handleMouseMove(int buttons, int shift, double x, double y) {
  mouseX_ = int(std::lround(x));
  mouseY_ = int(std::lround(y));
  if (onMouseMove) onMouseMove(buttons, shift, x, y);
}

void EventPump::handleButtonRelease(Qt::MouseButton button) { buttonsHeld_ &= ~int(button); }

void EventPump::processEventsOnce() {
  current_ = WindowMessage{};
  window_.flushRepaints();
  if (!windowExists()) return;
  if (queue_.empty()) {
    waitForMoreEvents();
  } else {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  if (window_.gone || queue_.empty()) return;
  current_ = queue_.front();
  queue_.pop_front();
  if (current_.kind == MessageKind::LeftPress || current_.kind == MessageKind::RightPress) {
    // The press is acted on where it happened, even if the mouse has moved on since.
    const int button = current_.kind == MessageKind::LeftPress ? Qt::LeftButton : Qt::RightButton;
    handleMouseMove(button, 0, current_.x, current_.y);
  }
}

void EventPump::waitForMoreEvents() {
  // Sleep until something happens; the wake timer bounds the wait.
  wake_->start(kWakeIntervalMs);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  wake_->stop();
}

void EventPump::waitButtonsUp() {
  while (buttonsHeld_ != 0 && !window_.gone) waitForEvents();
}

void EventPump::waitForEvents() {
  window_.flushRepaints();
  waitForMoreEvents();
}

void EventPump::consumeKeyRelease(int key) {
  // The release may already wait in the queue, or still be on its way.
  const auto queued = std::find_if(queue_.begin(), queue_.end(), [key](const WindowMessage& m) {
    return m.kind == MessageKind::KeyRelease && m.key == key;
  });
  if (queued != queue_.end()) {
    queue_.erase(queued);
  } else {
    swallowedReleases_.push_back(key);
  }
}

void EventPump::postQuit() {
  if (window_.client != nullptr) QCoreApplication::postEvent(window_.client, new QEvent(QEvent::Type(kQuitEventType)));
}

void EventPump::postCommand(int id) {
  WindowMessage message;
  message.kind = MessageKind::Command;
  message.key = id;
  queue_.push_back(message);
}

}  // namespace platform
