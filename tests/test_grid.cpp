// The custom grid dialog on a real board and status bar: the suggested cell size, the values
// put back by Show, Reset rebuilding the board, and the ways it hides. Needs a display.
#include "support.h"

#include "minebutton.h"
#include "setgrid.h"
#include "status.h"
#include "table.h"
#include "timer.h"

#include <gtk/gtk.h>

#include <vector>

namespace {

bool CloseBox(Gtk::Window* window) {
  GdkEventAny event = GdkEventAny();
  event.type = GDK_DELETE;
  event.window = window->get_window()->gobj();
  return gtk_widget_event(GTK_WIDGET(window->gobj()), reinterpret_cast<GdkEvent*>(&event));
}

std::string StatusLine(Gtk::Statusbar* bar) {
  std::vector<Gtk::Widget*> area =
      dynamic_cast<Gtk::Container*>(bar->get_message_area())->get_children();
  return dynamic_cast<Gtk::Label*>(area.at(0))->get_text();
}

} // namespace

// A fresh Beginner board with its status bar, and the grid dialog bound to both.
class GridTest : public ::testing::Test {
protected:
  GridTest() : table(0, &timer, 0) {
    table.CreateTable();
    bar = status.Create(&table);
    grid.Create(&table, &status);
  }
  void Choose(int across, int down, int percent) {
    grid.rowSpin->set_value(across);
    grid.colSpin->set_value(down);
    grid.bombSpin->set_value(percent);
  }
  // The four spin buttons' values, then the four fields that follow them.
  std::vector<int> Shown() {
    std::vector<int> shown;
    for (Gtk::SpinButton* spin : {grid.rowSpin, grid.colSpin, grid.bombSpin, grid.sizeSpin})
      shown.push_back(spin->get_value_as_int());
    return {shown[0], shown[1], shown[2], shown[3], grid.tRow, grid.tCol, grid.tBomb, grid.tSize};
  }
  static std::vector<int> Both(int across, int down, int percent, int size) {
    return {across, down, percent, size, across, down, percent, size};
  }

  MineTimer timer;
  MineTable table;
  MineStatus status;
  Gtk::Statusbar* bar;
  GridDialog grid;
};

class SuggestedSizeTest : public GridTest,
                          public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(SuggestedSizeTest, CellsDownProposeACellSize) {
  grid.colSpin->set_value(30);
  grid.colSpin->set_value(GetParam().first);
  EXPECT_EQ(Shown(), Both(10, GetParam().first, 10, GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(Down, SuggestedSizeTest,
                         ::testing::Values(std::make_pair(8, 31), std::make_pair(10, 24),
                                           std::make_pair(15, 14), std::make_pair(20, 9),
                                           std::make_pair(21, 8), std::make_pair(22, 8),
                                           std::make_pair(50, 8)));

TEST_F(GridTest, ChosenSizeSurvivesAChangeAcross) {
  grid.colSpin->set_value(12);
  grid.sizeSpin->set_value(40);
  grid.rowSpin->set_value(70);
  EXPECT_EQ(Shown(), Both(70, 12, 10, 40));
}

TEST_F(GridTest, ValuesStayWithinTheirRanges) {
  Choose(500, 500, 500);
  grid.sizeSpin->set_value(500);
  EXPECT_EQ(Shown(), Both(100, 50, 60, 100));
  Choose(0, 0, 0);
  grid.sizeSpin->set_value(0);
  EXPECT_EQ(Shown(), Both(8, 8, 5, 4));
}

TEST_F(GridTest, ClosingHidesAndShowPutsTheBoardsValuesBack) {
  timer.Start();
  grid.Show();
  EXPECT_TRUE(grid.dialog->is_visible());
  EXPECT_EQ(gtk_grab_get_current(), nullptr);
  Choose(30, 40, 33);
  testing::internal::CaptureStdout();
  grid.close->clicked();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Return...\n");
  EXPECT_FALSE(grid.dialog->is_visible());

  grid.Show();
  EXPECT_EQ(Shown(), Both(10, 10, 10, 24));
  Choose(30, 40, 33);
  testing::internal::CaptureStdout();
  EXPECT_TRUE(CloseBox(grid.dialog));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "delete...\n");
  EXPECT_FALSE(grid.dialog->is_visible());
  grid.Show();
  EXPECT_EQ(Shown(), Both(10, 10, 10, 24));
  EXPECT_EQ(timer.timeFlag, 1);
}

TEST_F(GridTest, ResetRebuildsTheBoardAndRefreshesTheStatusBar) {
  grid.Show();
  Choose(12, 9, 20);
  testing::internal::CaptureStdout();
  grid.reset->clicked();
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Reset...\n"), std::string::npos);
  EXPECT_EQ(std::vector<int>({table.nRow, table.nCol, table.pBomb, table.nSize}),
            std::vector<int>({12, 9, 20, 27}));
  ASSERT_NE(table.board[12 * 9 - 1], nullptr);
  EXPECT_EQ(table.board[12 * 9 - 1]->row, 11);
  EXPECT_EQ(StatusLine(bar), "Free : 12 x 9  bomb 20 %");
  EXPECT_TRUE(grid.dialog->is_visible());
}

TEST_F(GridTest, BuildsTheLargestBoard) {
  Choose(100, 50, 60);
  grid.reset->clicked();
  ASSERT_EQ(table.nRow * table.nCol, 5000);
  for (int i = 0; i < 5000; i++) {
    ASSERT_NE(table.board[i], nullptr);
    ASSERT_EQ(table.board[i]->col * 100 + table.board[i]->row, i);
  }
  EXPECT_EQ(table.board[5000], nullptr);
}

// A loaded game may lie outside the ranges: Reset must apply what the spin buttons show.
TEST_F(GridTest, FieldsFollowTheClampedValuesOfAnOddBoard) {
  table.nRow = 5;
  table.nCol = 200;
  table.pBomb = 90;
  table.nSize = 2;
  GridDialog odd;
  odd.Create(&table, &status);
  table.nRow = 10;
  table.nCol = 10;
  EXPECT_EQ(std::vector<int>({odd.tRow, odd.tCol, odd.tBomb, odd.tSize}),
            std::vector<int>({8, 50, 60, 4}));
}
