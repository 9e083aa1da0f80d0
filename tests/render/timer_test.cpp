// The clock: time texts, the label's sequence through a timed game, and the clock thread
// under a controlled clock.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <atomic>
#include <thread>

#include "support/gui_support.h"
#include "render/timer.h"

namespace {

using render::formatFinalTime;
using render::formatRunningTime;

TEST(TimeTexts, FieldsKeepTheirLastTwoDigits) {
  EXPECT_EQ(formatRunningTime(0, 7, 42), " 00:07:42");
  EXPECT_EQ(formatRunningTime(123, 5, 9), " 23:05:09");  // 100 hours and more
  EXPECT_EQ(formatFinalTime(0, 0, 0.04), "00:00:00.0");
  EXPECT_EQ(formatFinalTime(0, 0, 0.96), "00:00:01.0");
  EXPECT_EQ(formatFinalTime(0, 7, 42.27), "00:07:42.3");
  EXPECT_EQ(formatFinalTime(1, 2, 5.25), "01:02:05.3");  // a half rounds up
  EXPECT_EQ(formatFinalTime(100, 0, 9.5), "00:00:09.5");
}

// A game whose clock the test turns by hand.
class Clock : public ::testing::Test {
 protected:
  void SetUp() override {
    started.runtime.clockSource = [this] { return now.load(); };
    app().timer().recordResult = [this] { recorded.push_back(app().timer().finalTime()); };
  }
  void TearDown() override {
    app().game().timedGame = false;
    app().timer().joinClockThread();
  }
  app::App& app() { return started.game; }
  QString label() { return started.runtime.labelCaption(); }
  // Lets queued captions from the clock thread arrive.
  void settle(int milliseconds) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  void startGame() {
    app().game().timedGame = true;
    app().timer().startTiming();
    app().timer().refreshClock();
  }

  guitest::StartedGame started;
  std::atomic<double> now{5000.25};
  QStringList recorded;
};

TEST_F(Clock, LabelGoesFromZeroThroughTheFinalTimeBackToIdle) {
  startGame();
  EXPECT_EQ(label(), " 00:00:00");
  now = now + 75.5;  // 1:15.5 later
  app().timer().refreshClock();
  EXPECT_EQ(label(), " 00:01:15");
  app().game().boardSolved = true;
  now = now + 0.06;  // the same second: the last computation gives the final time
  app().timer().refreshClock();
  EXPECT_EQ(recorded, QStringList{"00:01:15.5"});
  EXPECT_EQ(app().timer().finalTime(), "00:01:15.5");
  EXPECT_FALSE(app().game().timedGame);
  EXPECT_EQ(label(), " 99:99:99");
}

TEST_F(Clock, APauseHoldsTheTimeAndTheFinalTimeLeavesItOut) {
  startGame();
  now = now + 10.25;
  app().timer().pause();
  app().timer().pause();  // a second pause changes nothing
  now = now + 500;
  app().timer().refreshClock();
  EXPECT_EQ(label(), " 00:00:10");
  EXPECT_DOUBLE_EQ(app().timer().elapsedTime(), 10.25);
  app().timer().resume();
  app().timer().resume();
  now = now + 5;
  EXPECT_DOUBLE_EQ(app().timer().elapsedTime(), 15.25);
  // Two pauses add up to nothing as well.
  app().timer().pause();
  now = now + 60;
  app().timer().resume();
  app().game().boardSolved = true;
  app().timer().refreshClock();
  EXPECT_EQ(recorded, QStringList{"00:00:15.3"});
}

TEST_F(Clock, ANewTimingIsNeverBornPaused) {
  startGame();
  app().timer().pause();
  app().timer().startTiming(30);
  EXPECT_FALSE(app().timer().paused());
  now = now + 2;
  EXPECT_DOUBLE_EQ(app().timer().elapsedTime(), 32);
}

TEST_F(Clock, SolvedWithinTheFirstSecond) {
  startGame();
  now = now + 0.5;
  app().game().boardSolved = true;
  app().timer().refreshClock();
  ASSERT_EQ(recorded.size(), 1);
  EXPECT_TRUE(recorded[0].startsWith("00:00:00.")) << recorded[0].toStdString();
}

TEST_F(Clock, ARefreshWithinTheSameSecondShowsZeros) {
  startGame();
  now = now + 3.2;
  app().timer().refreshClock();
  EXPECT_EQ(label(), " 00:00:03");
  now = now + 0.1;  // same whole second
  app().timer().refreshClock();
  EXPECT_EQ(label(), " 00:00:00");
}

TEST_F(Clock, WithoutATimedGameTheLabelIsIdleAndNothingIsRecorded) {
  app().game().boardSolved = true;
  app().timer().refreshClock();
  EXPECT_EQ(label(), " 99:99:99");
  EXPECT_TRUE(recorded.isEmpty());
}

TEST_F(Clock, ThreadKeepsTheLabelCurrentAndEndsWithTheGame) {
  startGame();
  app().timer().startClockThread();
  now = now + 61.0;
  settle(200);
  EXPECT_EQ(label(), " 00:01:01");
  now = now + 1.0;
  settle(200);
  EXPECT_EQ(label(), " 00:01:02");
  app().game().timedGame = false;
  QElapsedTimer t;
  t.start();
  while (app().timer().clockThreadRunning() && t.elapsed() < 2000) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_FALSE(app().timer().clockThreadRunning());
  EXPECT_LT(t.elapsed(), 500) << "the thread notices within its 50 ms wake-ups";
}

TEST_F(Clock, ThreadWaitsWhileThePickerIsBusyAndStopsAfterTheSolve) {
  startGame();
  app().input().pickerBusy = true;
  app().timer().startClockThread();
  now = now + 10.0;
  settle(250);
  EXPECT_EQ(label(), " 00:00:00") << "no update while the picker draws";
  app().input().pickerBusy = false;
  settle(250);
  EXPECT_EQ(label(), " 00:00:10");
  // Once the game is solved the thread sets no caption any more.
  app().game().boardSolved = true;
  started.runtime.setLabelCaption("final");
  now = now + 5.0;
  settle(250);
  EXPECT_EQ(label(), "final");
  app().game().boardSolved = false;
}

}  // namespace
