// The clock (via its tick handler and the main loop, never sleeps) and the status line.
#include "support.h"

#include "status.h"
#include "table.h"
#include "timer.h"

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

std::string Line(Gtk::Statusbar* bar) {
  Gtk::Container* area = dynamic_cast<Gtk::Container*>(bar->get_message_area());
  return dynamic_cast<Gtk::Label&>(**area->get_children().begin()).get_text();
}

TEST_F(ClockTest, StatusLineFollowsTheBoard) {
  MineTable table(nullptr, this, nullptr);
  MineStatus status;
  table.ReCreate(15, 15, 15, 9);
  Gtk::Statusbar* bar = status.Create(&table);
  EXPECT_EQ(Line(bar), "Medium  : 15 x 15  bomb 15 %"); // two spaces only in the first line
  table.ReCreate(30, 16, 25, 9);
  status.Refresh();
  EXPECT_EQ(Line(bar), "Free : 30 x 16  bomb 25 %");          // cells across, then down
  bar->pop(bar->get_context_id("Free : 30 x 16  bomb 25 %")); // no older line lies beneath
  EXPECT_EQ(Line(bar), "");
  char name[8] = "junk";
  status.CheckMode(name, 5);
  EXPECT_STREQ(name, "");
}

} // namespace
