// Timer panel, clock thread and final time.
#include "render/timer.h"

#include <chrono>
#include <cmath>

namespace render {

namespace {

QString lastTwo(int value) { return ("0" + QString::number(value)).right(2); }

}  // namespace

QString formatRunningTime(int hours, int minutes, int seconds) {
  return " " + lastTwo(hours) + ":" + lastTwo(minutes) + ":" + lastTwo(seconds);
}

QString formatFinalTime(int hours, int minutes, double seconds) {
  const QString tenths = ("0" + QString::number(seconds, 'f', 1)).right(4);
  return lastTwo(hours) + ":" + lastTwo(minutes) + ":" + tenths;
}

Timer::~Timer() {
  game_.timedGame = false;
  joinClockThread();
}

void Timer::drawTimerPanel() {
  platform::Canvas& rt = drawing_.canvas();
  drawing_.drawFrame(0, 2, 623, 562, 815, 634);
  drawing_.drawFrame(1, 2, 629, 584, 809, 628);
  drawing_.drawEmbossedText(kFontCaption, kBlack, 669, 581, "ZEITMESSUNG:");
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
  rt.filledBox(629, 584, 808, 627);
}

double Timer::wholeSecond() const { return std::floor(services_.clock()); }

void Timer::startTiming(double elapsedSeconds) {
  std::lock_guard guard(lock_);
  startTime_ = services_.clock() - elapsedSeconds;
  paused_ = false;
  game_.boardSolved = false;
  finalTime_ = "X";
}

QString Timer::finalTime() const {
  std::lock_guard guard(lock_);
  return finalTime_;
}

double Timer::startTime() const {
  std::lock_guard guard(lock_);
  return startTime_;
}

double Timer::now() const { return paused_ ? pausedAt_ : services_.clock(); }

double Timer::elapsedTime() const {
  std::lock_guard guard(lock_);
  return now() - startTime_;
}

void Timer::pause() {
  std::lock_guard guard(lock_);
  if (paused_) return;
  pausedAt_ = services_.clock();
  paused_ = true;
}

void Timer::resume() {
  std::lock_guard guard(lock_);
  if (!paused_) return;
  startTime_ += services_.clock() - pausedAt_;
  paused_ = false;
}

bool Timer::paused() const {
  std::lock_guard guard(lock_);
  return paused_;
}

QString Timer::computeRunningDisplay() {
  elapsedSeconds_ = now() - startTime_;
  hours_ = int16_t(int(elapsedSeconds_) / 3600);
  elapsedSeconds_ -= 3600.0 * hours_;
  minutes_ = int16_t(int(elapsedSeconds_) / 60);
  elapsedSeconds_ -= 60.0 * minutes_;
  return formatRunningTime(hours_, minutes_, int(elapsedSeconds_));
}

void Timer::clockThread() {
  platform::ClockLabel& rt = label_;
  do {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (pickerBusy_) continue;
    QString display;
    {
      std::lock_guard guard(lock_);
      const double second = wholeSecond();
      if (second == lastSecond_) continue;
      display = computeRunningDisplay();
      lastSecond_ = second;
    }
    // The caption goes to the user-interface thread; no drawing happens here.
    if (!game_.boardSolved) rt.setLabelCaption(display);
  } while (game_.timedGame);
  threadRunning_ = false;
}

void Timer::startClockThread() {
  joinClockThread();
  threadRunning_ = true;
  thread_ = services_.startThread([this] { clockThread(); });
}

void Timer::joinClockThread() {
  if (thread_.joinable()) thread_.join();
}

void Timer::refreshClock() {
  platform::ClockLabel& rt = label_;
  QString text = " 00:00:00";
  if (!game_.timedGame) {
    rt.setLabelCaption(kIdleDisplay);
    return;
  }
  bool solved = false;
  {
    std::lock_guard guard(lock_);
    const double second = wholeSecond();
    if (second != lastSecond_) {
      text = computeRunningDisplay();
      lastSecond_ = second;
    }
    if (game_.boardSolved) {
      // The most recent complete computation, this call's or the clock thread's.
      text = formatFinalTime(hours_, minutes_, elapsedSeconds_);
      finalTime_ = text;
      solved = true;
    }
  }
  if (solved) {
    rt.setLabelCaption(text);
    game_.timedGame = false;
    if (recordResult) recordResult();
    text = kIdleDisplay;
  }
  rt.setLabelCaption(text);
}

}  // namespace render
