// The clock, through its tick handler and the main loop, never through sleeps. Needs a display.
#include "support.h"

#include <glibmm/main.h>

#include <climits>

namespace {

struct ClockTest : ::testing::Test, MineTimer {
  // Runs the main loop until the count passes from or limitMs have gone by.
  void RunPast(int from, int limitMs) {
    bool late = false;
    auto limit = Glib::signal_timeout().connect([&]() { return !(late = true); }, limitMs);
    while (nSec <= from && !late)
      Glib::MainContext::get_default()->iteration(true);
    limit.disconnect();
  }
};

TEST_F(ClockTest, OneConnectionTicksTenthsAndOnlyAClockTheGrabPausedResumes) {
  EXPECT_EQ(Start(), 0);
  EXPECT_EQ(Start(), 1);
  RunPast(1, 5000);
  ASSERT_EQ(Stop(), 0);
  int stoppedAt = nSec;
  RunPast(INT_MAX, 300); // a connection left behind by the second Start would tick on
  EXPECT_EQ(nSec, stoppedAt);
  Resume(Stop()); // Stop() gives 1: the clock was not running
  EXPECT_EQ(timeFlag, 0);
  Start();
  Resume(Stop());
  RunPast(stoppedAt, 5000);
  EXPECT_GT(nSec, stoppedAt);
  const std::pair<int, const char*> ticks[] = {{0, "time:      0.1 sec"},
                                               {9999999, "time: 1000000.0 sec"},
                                               {INT_MAX, "time: 214748364.7 sec"}};
  for (const auto& tick : ticks) {
    nSec = tick.first;
    EXPECT_TRUE(TimeOut());
    EXPECT_EQ(timeLabel->get_text(), tick.second) << tick.first;
  }
}

} // namespace
