// The readouts around the board: the clock, run by its tick handler and by the main loop rather
// than sleeps, and the status line.
#include "support.h"

#include "status.h"
#include "table.h"
#include "timer.h"

#include <glibmm/main.h>
#include <gtkmm/label.h>

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

TEST_F(ClockTest, OneConnectionDrivesTheClockAndOnlyAClockTheGrabPausedResumes) {
  EXPECT_EQ(Stop(), 1);
  EXPECT_EQ(Start(), 0);
  EXPECT_EQ(Start(), 1);
  RunPast(1, 5000);
  ASSERT_EQ(Stop(), 0);
  int stoppedAt = nSec;
  RunPast(INT_MAX, 300); // a connection left behind by the second Start would tick on
  EXPECT_EQ(nSec, stoppedAt);
  Resume(Stop());
  EXPECT_EQ(timeFlag, 0);
  Start();
  Resume(Stop());
  RunPast(stoppedAt, 5000);
  EXPECT_GT(nSec, stoppedAt);
}

TEST_F(ClockTest, EachTickAddsATenthAndShowsItStoppingAtTheTop) {
  const std::pair<int, const char*> ticks[] = {{0, "time:      0.1 sec"},
                                               {9999999, "time: 1000000.0 sec"},
                                               {INT_MAX, "time: 214748364.7 sec"}};
  EXPECT_FALSE(timeLabel->get_visible());
  for (const auto& tick : ticks) {
    nSec = tick.first;
    EXPECT_TRUE(TimeOut());
    EXPECT_EQ(timeLabel->get_text(), tick.second) << tick.first;
  }
  EXPECT_TRUE(nSec == INT_MAX && timeLabel->get_visible());
}

std::string Line(Gtk::Statusbar* bar) {
  for (Gtk::Widget* child : dynamic_cast<Gtk::Container*>(bar->get_message_area())->get_children())
    if (Gtk::Label* label = dynamic_cast<Gtk::Label*>(child))
      return label->get_text();
  return "(no label)";
}

TEST_F(ClockTest, StatusLineFollowsTheBoard) {
  MineTable table(nullptr, this, nullptr);
  MineStatus status;
  table.nRow = table.nCol = table.pBomb = 15; // as a saved game leaves it before start-up
  table.mode = 2;
  Gtk::Statusbar* bar = status.Create(&table);
  EXPECT_EQ(Line(bar), "Medium  : 15 x 15  bomb 15 %"); // two spaces only in the first line
  table.ReCreate(30, 16, 25, 9);
  status.Refresh();
  EXPECT_EQ(Line(bar), "Free : 30 x 16  bomb 25 %"); // cells across, then down
  table.ReCreate(10, 10, 10, 9);
  status.Refresh();
  EXPECT_EQ(Line(bar), "Beginner : 10 x 10  bomb 10 %");
  bar->pop(bar->get_context_id("Beginner : 10 x 10  bomb 10 %")); // no older line beneath
  EXPECT_EQ(Line(bar), "");
  char name[8] = "junk";
  status.CheckMode(name, 5);
  EXPECT_STREQ(name, "");
}

} // namespace
