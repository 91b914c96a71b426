// The game clock: Start and Stop, the dialogs' time grab, the tick handler's count and text, and
// the timeout connection, driven by the main loop rather than sleeps. Needs a display.
#include "support.h"

#include "timer.h"

#include <glibmm/main.h>

#include <climits>

namespace {

class ClockTest : public ::testing::Test, public MineTimer {
protected:
  // Runs the main loop until the count passes from or limitMs have gone by.
  void RunPast(int from, int limitMs) {
    bool late = false;
    sigc::connection limit =
        Glib::signal_timeout().connect([&]() { return !(late = true); }, limitMs);
    while (nSec <= from && !late)
      Glib::MainContext::get_default()->iteration(true);
    limit.disconnect();
  }
};

TEST_F(ClockTest, StartAndStopReportWhetherTheyChangedTheClockAndTheGrabResumesOnlyItsOwn) {
  EXPECT_EQ(Stop(), 1);
  EXPECT_EQ(Start(), 0);
  EXPECT_EQ(Start(), 1);
  EXPECT_EQ(Stop(), 0);
  Resume(Stop());
  EXPECT_EQ(timeFlag, 0);
  Start();
  Resume(Stop());
  EXPECT_EQ(timeFlag, 1);
  Stop();
}

TEST_F(ClockTest, EachTickAddsATenthAndShowsItStoppingAtTheTop) {
  const struct {
    int before;
    const char* text;
  } cases[] = {{0, "time:      0.1 sec"},
               {122, "time:     12.3 sec"},
               {9999999, "time: 1000000.0 sec"},
               {INT_MAX - 1, "time: 214748364.7 sec"},
               {INT_MAX, "time: 214748364.7 sec"}};
  EXPECT_FALSE(timeLabel->get_visible());
  for (const auto& c : cases) {
    nSec = c.before;
    EXPECT_TRUE(TimeOut());
    EXPECT_EQ(timeLabel->get_text(), c.text) << c.before;
  }
  EXPECT_TRUE(nSec == INT_MAX && timeLabel->get_visible());
}

TEST_F(ClockTest, OneConnectionDrivesTheClockAndARestartGoesOnFromItsCount) {
  Start();
  Start();
  RunPast(1, 5000);
  ASSERT_EQ(Stop(), 0);
  // A connection left behind by the repeated Start would go on ticking.
  int stoppedAt = nSec;
  RunPast(INT_MAX, 300);
  EXPECT_EQ(nSec, stoppedAt);
  Start();
  RunPast(stoppedAt, 5000);
  EXPECT_GT(nSec, stoppedAt);
  Stop();
}

} // namespace
