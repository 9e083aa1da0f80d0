// The timer panel and the elapsed-time display of a timed game: the clock thread keeps
// the label current, refreshClock fixes a solved game's final time.
#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "engine/game_state.h"
#include "platform/clock_label.h"
#include "render/drawing.h"

namespace render {

// " HH:MM:SS" from elapsed seconds; each field keeps its last two digits.
QString formatRunningTime(int hours, int minutes, int seconds);
// "HH:MM:SS.t", the seconds of a final time with one decimal.
QString formatFinalTime(int hours, int minutes, double seconds);

class Timer {
 public:
  static constexpr const char* kIdleDisplay = " 99:99:99";

  // The clock comes from the services, the running time goes to the label.
  Timer(Drawing& drawing, platform::Services& services, platform::ClockLabel& label, punktivo::GameState& game,
        const std::atomic<bool>& pickerBusy)
      : drawing_(drawing), services_(services), label_(label), game_(game), pickerBusy_(pickerBusy) {}
  ~Timer();

  // Frame, caption and cleared field; the clock label is a control of its own.
  void drawTimerPanel();

  // Set-up of a timed game: startTime, boardSolved and finalTime (timedGame is the caller's).
  // A resumed game goes on `elapsedSeconds` into its time.
  void startTiming(double elapsedSeconds = 0);
  // The seconds since startTime, less the pauses: the time a timed game has taken so far.
  double elapsedTime() const;
  // A pause stops the elapsed time (the label keeps its caption); resuming moves startTime
  // on by the pause, so the paused time never counts. Both do nothing when already so.
  void pause();
  void resume();
  bool paused() const;
  // Sets the label from the game state; ends a solved timed game and records its time.
  void refreshClock();
  // Starts the clock thread (an ended one is joined first).
  void startClockThread();
  // Waits for the clock thread, which ends by itself once timedGame is clear.
  void joinClockThread();
  bool clockThreadRunning() const { return threadRunning_; }

  // Hands a solved game's time to the hall of fame.
  std::function<void()> recordResult;

  QString finalTime() const;
  double startTime() const;

 private:
  void clockThread();
  // Recomputes the elapsed time (caller holds the lock) and returns the running display.
  QString computeRunningDisplay();
  double wholeSecond() const;
  // The clock's time, held at the moment of a pause while it lasts (caller holds the lock).
  double now() const;

  Drawing& drawing_;
  platform::Services& services_;
  platform::ClockLabel& label_;
  punktivo::GameState& game_;
  const std::atomic<bool>& pickerBusy_;

  mutable std::mutex lock_;  // guards everything below
  double startTime_ = 0;
  double lastSecond_ = -1;
  double elapsedSeconds_ = 0;
  bool paused_ = false;
  double pausedAt_ = 0;
  int16_t hours_ = 0, minutes_ = 0;
  QString finalTime_ = "X";

  std::thread thread_;
  std::atomic<bool> threadRunning_{false};
};

}  // namespace render
