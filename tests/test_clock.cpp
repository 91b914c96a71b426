// The game clock: the results of Start and Stop, the tick handler and the text it shows, and
// the timeout connection that drives it. Needs a display (the clock's label is a widget); ticks
// come from calling the handler or from running the main loop, never from sleeping.
#include "support.h"

#include "timer.h"

#include <glibmm/main.h>

#include <climits>
#include <functional>

namespace {

class TickTimer : public MineTimer {
public:
  bool Tick() {
    return TimeOut();
  }
};

// Runs the main loop until done() holds or limitMs have passed; returns done().
bool RunUntil(const std::function<bool()>& done, int limitMs) {
  Glib::RefPtr<Glib::MainLoop> loop = Glib::MainLoop::create();
  sigc::connection poll = Glib::signal_timeout().connect(
      [&]() {
        if (done())
          loop->quit();
        return true;
      },
      10);
  sigc::connection limit = Glib::signal_timeout().connect(
      [&]() {
        loop->quit();
        return false;
      },
      limitMs);
  loop->run();
  poll.disconnect();
  limit.disconnect();
  return done();
}

void RunFor(int ms) {
  RunUntil([]() { return false; }, ms);
}

class ClockTest : public ::testing::Test {
protected:
  TickTimer timer;
};

TEST_F(ClockTest, StartAndStopReportWhetherTheyChangedTheClock) {
  EXPECT_EQ(timer.Stop(), 1);
  EXPECT_EQ(timer.Start(), 0);
  EXPECT_EQ(timer.timeFlag, 1);
  EXPECT_EQ(timer.Start(), 1);
  EXPECT_EQ(timer.timeFlag, 1);
  EXPECT_EQ(timer.Stop(), 0);
  EXPECT_EQ(timer.timeFlag, 0);
  EXPECT_EQ(timer.Stop(), 1);
}

TEST_F(ClockTest, EachTickAddsATenthAndFormatsTheLabel) {
  EXPECT_TRUE(timer.Tick());
  EXPECT_EQ(timer.nSec, 1);
  EXPECT_EQ(timer.timeLabel->get_text(), "time:      0.1 sec");

  timer.nSec = 122;
  timer.Tick();
  EXPECT_EQ(timer.timeLabel->get_text(), "time:     12.3 sec");

  timer.nSec = 12344;
  timer.Tick();
  EXPECT_EQ(timer.timeLabel->get_text(), "time:   1234.5 sec");

  // Seven digits of seconds widen the text instead of being cut.
  timer.nSec = 9999999;
  timer.Tick();
  EXPECT_EQ(timer.timeLabel->get_text(), "time: 1000000.0 sec");
}

TEST_F(ClockTest, LabelStaysHiddenUntilTheFirstTick) {
  EXPECT_EQ(timer.timeLabel->get_text(), "time: ");
  EXPECT_FALSE(timer.timeLabel->get_visible());
  timer.Tick();
  EXPECT_TRUE(timer.timeLabel->get_visible());
}

TEST_F(ClockTest, CountStopsAtTheTopOfItsRange) {
  // A saved game can hand the clock any count.
  timer.nSec = INT_MAX - 1;
  timer.Tick();
  EXPECT_EQ(timer.nSec, INT_MAX);
  timer.Tick();
  EXPECT_EQ(timer.nSec, INT_MAX);
  EXPECT_EQ(timer.timeLabel->get_text(), "time: 214748364.7 sec");
}

TEST_F(ClockTest, TheTimeoutDrivesTheClockThroughOneConnection) {
  ASSERT_EQ(timer.Start(), 0);
  ASSERT_EQ(timer.Start(), 1);
  ASSERT_TRUE(RunUntil([this]() { return timer.nSec >= 2; }, 5000));
  EXPECT_TRUE(timer.timeLabel->get_visible());
  ASSERT_EQ(timer.Stop(), 0);
  // A second connection left behind by the repeated Start would go on ticking.
  int stoppedAt = timer.nSec;
  RunFor(300);
  EXPECT_EQ(timer.nSec, stoppedAt);
}

TEST_F(ClockTest, RestartedClockGoesOnFromItsCount) {
  timer.nSec = 57;
  timer.Start();
  timer.Stop();
  EXPECT_EQ(timer.nSec, 57);
  timer.Start();
  ASSERT_TRUE(RunUntil([this]() { return timer.nSec != 57; }, 5000));
  timer.Stop();
  EXPECT_GT(timer.nSec, 57);
}

TEST_F(ClockTest, ResumeRestartsOnlyAClockTheGrabHadPaused) {
  timer.Start();
  int timeGrab = timer.Stop();
  EXPECT_EQ(timer.timeFlag, 0);
  timer.Resume(timeGrab);
  EXPECT_EQ(timer.timeFlag, 1);

  timer.Stop();
  timeGrab = timer.Stop();
  timer.Resume(timeGrab);
  EXPECT_EQ(timer.timeFlag, 0);
}

} // namespace
