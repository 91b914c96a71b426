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

class ClockTest : public ::testing::Test {
protected:
  TickTimer timer;
};

TEST_F(ClockTest, StartAndStopReportWhetherTheyChangedTheClock) {
  EXPECT_EQ(timer.Stop(), 1);
  EXPECT_EQ(timer.Start(), 0);
  EXPECT_EQ(timer.Start(), 1);
  EXPECT_EQ(timer.timeFlag, 1);
  EXPECT_EQ(timer.Stop(), 0);
  EXPECT_EQ(timer.timeFlag, 0);

  // The dialogs' time grab: only a clock that the grab paused is restarted.
  timer.Resume(timer.Stop());
  EXPECT_EQ(timer.timeFlag, 0);
  timer.Start();
  timer.Resume(timer.Stop());
  EXPECT_EQ(timer.timeFlag, 1);
}

TEST_F(ClockTest, EachTickAddsATenthAndShowsIt) {
  EXPECT_FALSE(timer.timeLabel->get_visible());
  EXPECT_TRUE(timer.Tick());
  EXPECT_EQ(timer.nSec, 1);
  EXPECT_EQ(timer.timeLabel->get_text(), "time:      0.1 sec");
  EXPECT_TRUE(timer.timeLabel->get_visible());

  const struct {
    int before;
    const char* text;
  } cases[] = {{122, "time:     12.3 sec"},
               {12344, "time:   1234.5 sec"},
               {9999999, "time: 1000000.0 sec"},
               // A saved game can hand the clock any count; at the top it stays there.
               {INT_MAX - 1, "time: 214748364.7 sec"},
               {INT_MAX, "time: 214748364.7 sec"}};
  for (const auto& c : cases) {
    timer.nSec = c.before;
    timer.Tick();
    EXPECT_EQ(timer.timeLabel->get_text(), c.text) << c.before;
  }
  EXPECT_EQ(timer.nSec, INT_MAX);
}

TEST_F(ClockTest, OneConnectionDrivesTheClockAndARestartGoesOnFromItsCount) {
  ASSERT_EQ(timer.Start(), 0);
  ASSERT_EQ(timer.Start(), 1);
  ASSERT_TRUE(RunUntil([this]() { return timer.nSec >= 2; }, 5000));
  ASSERT_EQ(timer.Stop(), 0);
  // A second connection left behind by the repeated Start would go on ticking.
  int stoppedAt = timer.nSec;
  RunUntil([]() { return false; }, 300);
  EXPECT_EQ(timer.nSec, stoppedAt);

  timer.Start();
  ASSERT_TRUE(RunUntil([&]() { return timer.nSec != stoppedAt; }, 5000));
  EXPECT_GT(timer.nSec, stoppedAt);
}

} // namespace
