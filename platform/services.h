// The services of the runtime: the clock and the date (tests may replace both), pauses,
// threads, the mouse pointer, the beep, the clipboard and the seed of the game's chance.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <thread>

namespace platform {

struct WindowState;

enum class Pointer { Normal, Busy };

class Services {
 public:
  explicit Services(WindowState& window);
  Services(const Services&) = delete;
  Services& operator=(const Services&) = delete;

  double clock() const;                   // seconds, monotonic
  std::function<double()> clockSource;    // tests may replace the clock
  QString dateText() const;               // German short date, e.g. 07.12.2026
  std::function<QString()> dateSource;
  void pause(int milliseconds);
  std::thread startThread(std::function<void()> body);
  void setPointer(Pointer pointer);
  void hidePointer();
  void showPointer();
  void beep();
  int beepCount() const { return beepCount_; }
  // The text on the system's clipboard ("" when it holds none), and text put there.
  QString clipboardText() const;
  void setClipboardText(const QString& text);
  // The seed of the game's chance (PUNKTIVO_SEED, or the clock): the game seeds its
  // random source with it, so a run can be replayed.
  uint64_t randomSeed() const { return seed_; }

 private:
  WindowState& window_;
  int pointerHidden_ = 0;
  int beepCount_ = 0;
  uint64_t seed_ = 0;
};

}  // namespace platform
