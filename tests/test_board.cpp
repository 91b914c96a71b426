// Building the board: a fresh build, keeping or rebuilding the cells for a new game, the mode
// code, and fitting the main window to the grid once per size change. Needs a display and runs
// each test in a temporary working directory.
#include "board_support.h"

#include "savefile.h"
#include "window.h"

#include <cstdio>
#include <map>
#include <string>

namespace {

// Counts the cells destroyed since it was attached to them.
struct DeathCount {
  int deaths = 0;

  void Watch(MineButton* cell) {
    cell->add_destroy_notify_callback(this, &DeathCount::Died);
  }

  static void* Died(void* self) {
    static_cast<DeathCount*>(self)->deaths++;
    return nullptr;
  }
};

class BuildTest : public BoardTest {};

TEST_F(BuildTest, FreshBoardIsTenByTenCoveredCellsAtTheirPositions) {
  testing::internal::CaptureStdout();
  table->CreateTable();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "10\t10\t10\n");
  EXPECT_EQ(table->mode, 1);
  EXPECT_EQ(table->startFlag, 0);
  EXPECT_EQ(timer.timeLabel->get_text(), "time :");
  for (int i = 0; i < 100; i++) {
    MineButton* cell = table->board[i];
    ASSERT_NE(cell, nullptr) << i;
    EXPECT_TRUE(cell->row == i % 10 && cell->col == i / 10 && cell->state == 1 && cell->bomb == 0 &&
                cell->num == 0)
        << i;
    EXPECT_TRUE(cell->get_sensitive() && !cell->get_active() && cell->get_visible()) << i;
    EXPECT_EQ(Shown(i), table->image->TmarkPix[1]);

    // Across is the grid's horizontal direction, down its vertical one.
    guint left, right, top, bottom, xPadding, yPadding;
    GtkAttachOptions xOptions, yOptions;
    gtk_container_child_get(GTK_CONTAINER(table->table->gobj()), GTK_WIDGET(cell->gobj()),
                            "left-attach", &left, "right-attach", &right, "top-attach", &top,
                            "bottom-attach", &bottom, "x-options", &xOptions, "y-options",
                            &yOptions, "x-padding", &xPadding, "y-padding", &yPadding, NULL);
    EXPECT_TRUE(left == guint(cell->row) && right == left + 1 && top == guint(cell->col) &&
                bottom == top + 1)
        << i;
    EXPECT_TRUE(xOptions == GTK_SHRINK && yOptions == GTK_SHRINK && xPadding == 0 && yPadding == 0)
        << i;
  }
  EXPECT_EQ(table->board[100], nullptr);
  EXPECT_EQ(Shown(0)->get_width(), 24);
}

TEST_F(BuildTest, SameSizeKeepsTheCellsAndDiscardsTheGame) {
  table->CreateTable();
  MineButton* before[100];
  std::copy(table->board, table->board + 100, before);
  Plant({0, 1});
  timer.Start();
  Release(table, 55, 1);
  Press(table, 0, 3);

  testing::internal::CaptureStdout();
  table->ReCreate(10, 10, 11, 24);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "10\t10\t11\n");
  EXPECT_EQ(table->pBomb, 11);
  EXPECT_EQ(table->mode, 4);
  EXPECT_EQ(table->sizeFlag, 0);
  EXPECT_EQ(table->startFlag, 0);
  EXPECT_EQ(timer.timeFlag, 0);
  EXPECT_EQ(timer.timeLabel->get_text(), "time :");
  for (int i = 0; i < 100; i++) {
    MineButton* cell = table->board[i];
    ASSERT_EQ(cell, before[i]);
    EXPECT_TRUE(cell->state == 1 && cell->bomb == 0 && cell->num == 0) << i;
    EXPECT_TRUE(cell->get_sensitive() && !cell->get_active()) << i;
    EXPECT_EQ(Shown(i), table->image->TmarkPix[1]);
  }
}

TEST_F(BuildTest, NewSizeRebuildsEveryCell) {
  table->CreateTable();
  DeathCount watch;
  for (int i = 0; i < 100; i++)
    watch.Watch(table->board[i]);
  table->sizeFlag = 0;

  // A new picture size alone rebuilds.
  table->ReCreate(10, 10, 10, 14);
  EXPECT_EQ(watch.deaths, 100);
  EXPECT_EQ(table->sizeFlag, 1);
  EXPECT_EQ(table->mode, 1);
  EXPECT_EQ(Shown(0)->get_width(), 14);

  table->ReCreate(20, 15, 30, 9);
  for (int i = 0; i < 300; i++) {
    ASSERT_NE(table->board[i], nullptr) << i;
    EXPECT_TRUE(table->board[i]->row == i % 20 && table->board[i]->col == i / 20) << i;
  }
  EXPECT_EQ(table->board[300], nullptr);

  table->ReCreate(10, 10, 10, 24);
  EXPECT_NE(table->board[99], nullptr);
  EXPECT_EQ(table->board[100], nullptr);
  EXPECT_EQ(table->board[299], nullptr);
}

TEST_F(BuildTest, SizesBeyondTheCellSlotsAreRefused) {
  table->CreateTable();
  MineButton* first = table->board[0];
  table->ReCreate(101, 100, 10, 4);
  table->ReCreate(10000, 2, 10, 4);
  table->ReCreate(0, 10, 10, 4);
  table->ReCreate(10, -3, 10, 4);
  table->ReCreate(10, 10, 10, 0);
  EXPECT_TRUE(table->nRow == 10 && table->nCol == 10 && table->nSize == 24);
  EXPECT_EQ(table->board[0], first);

  // The full capacity still builds.
  table->ReCreate(200, 50, 10, 4);
  EXPECT_NE(table->board[9999], nullptr);
}

TEST_F(BuildTest, ResetRefillsASlotASavedGameLeftEmpty) {
  table->CreateTable();
  delete table->board[37];
  table->board[37] = nullptr;
  table->ReCreate(10, 10, 10, 24);
  ASSERT_NE(table->board[37], nullptr);
  EXPECT_TRUE(table->board[37]->row == 7 && table->board[37]->col == 3);
  EXPECT_EQ(table->board[37]->get_parent(), table->table);
}

TEST_F(BuildTest, ModeComesFromSizeAndPercentageOnly) {
  const int cases[][4] = {{10, 10, 10, 1}, {15, 15, 15, 2}, {20, 20, 20, 3}, {10, 10, 11, 4},
                          {15, 10, 10, 4}, {20, 20, 15, 4}, {10, 15, 15, 4}};
  table->nSize = 99;
  for (const auto& c : cases) {
    table->nRow = c[0];
    table->nCol = c[1];
    table->pBomb = c[2];
    testing::internal::CaptureStdout();
    table->SetMode();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::to_string(c[0]) + "\t" +
                                                          std::to_string(c[1]) + "\t" +
                                                          std::to_string(c[2]) + "\n");
    EXPECT_EQ(table->mode, c[3]) << c[0] << " " << c[1] << " " << c[2];
  }
}

TEST(WindowFitArithmetic, AddsTheLayoutAroundTheGridAndCapsTheFirstSize) {
  const int cases[][6] = {{300, 200, 320, 305, 328, 313},
                          {780, 495, 800, 600, 808, 608},
                          {1500, 900, 800, 600, 1528, 1013}};
  for (const auto& c : cases) {
    MineTable::WindowFit fit = MineTable::FitWindow(c[0], c[1]);
    EXPECT_TRUE(fit.width == c[2] && fit.height == c[3] && fit.maxWidth == c[4] &&
                fit.maxHeight == c[5])
        << c[0] << " x " << c[1];
  }
}

// Lets the toolkit lay the window out and the X server answer its resize requests: a resize
// takes effect only when the server's configure notice comes back.
void Settle() {
  for (int round = 0; round < 3; round++) {
    Flush();
    gdk_display_sync(gdk_display_get_default());
  }
  Flush();
}

class WindowFitTest : public TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    window = new MineWindow();
    table = new MineTable(window, &timer, nullptr);
    window->add(*table->Show());
  }

  void TearDown() override {
    delete table;
    delete window;
    TempDirTest::TearDown();
  }

  // Builds or rebuilds, shows the window and lets it settle; returns the fits traced, as
  // "W,H;" for each.
  std::string Build(int nRow, int nCol, int nSize) {
    testing::internal::CaptureStdout();
    if (table->board[0] == nullptr)
      table->CreateTable();
    else
      table->ReCreate(nRow, nCol, 10, nSize);
    window->show();
    Settle();
    std::string out = testing::internal::GetCapturedStdout(), fits;
    for (size_t at = out.find("width="); at != std::string::npos; at = out.find("width=", at + 1)) {
      int width = 0, height = 0;
      char change[8] = "";
      if (std::sscanf(out.c_str() + at, "width=%d,height=%d\n%7s", &width, &height, change) == 3 &&
          std::string(change) == "CHANGE")
        fits += std::to_string(width) + "," + std::to_string(height) + ";";
    }
    return fits;
  }

  std::string Size() {
    int width = 0, height = 0;
    window->get_size(width, height);
    return std::to_string(width) + "x" + std::to_string(height);
  }

  MineTimer timer;
  MineWindow* window = nullptr;
  MineTable* table = nullptr;
};

TEST_F(WindowFitTest, TheWindowFitsTheBoardOncePerSizeChange) {
  std::string fits = Build(10, 10, 24);
  Gtk::Requisition grid = table->table->size_request();
  ASSERT_EQ(fits, std::to_string(grid.width) + "," + std::to_string(grid.height) + ";");
  EXPECT_EQ(Size(), std::to_string(grid.width + 20) + "x" + std::to_string(grid.height + 105));

  // Later size requests and the player's own resizing leave the window alone; the maximum size
  // still holds it to 8 pixels beyond the full board.
  testing::internal::CaptureStdout();
  table->table->queue_resize();
  window->resize(2000, 2000);
  Settle();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(Size(), std::to_string(grid.width + 28) + "x" + std::to_string(grid.height + 113));

  EXPECT_EQ(Build(10, 10, 24), "");
  fits = Build(12, 10, 24);
  grid = table->table->size_request();
  EXPECT_EQ(fits, std::to_string(grid.width) + "," + std::to_string(grid.height) + ";");
  EXPECT_EQ(Size(), std::to_string(grid.width + 20) + "x" + std::to_string(grid.height + 105));
}

TEST_F(WindowFitTest, ALargeBoardOpensTheWindowAtMostEightHundredBySixHundred) {
  Build(10, 10, 24);
  Build(40, 30, 24);
  Gtk::Requisition grid = table->table->size_request();
  ASSERT_TRUE(grid.width > 780 && grid.height > 495);
  EXPECT_EQ(Size(), "800x600");
}

// Counts the toolkit's warnings and critical messages while it is alive.
class ToolkitComplaints {
public:
  ToolkitComplaints() {
    for (int i = 0; i < 3; i++)
      ids[i] =
          g_log_set_handler(domains[i], GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL),
                            &ToolkitComplaints::Count, &count);
  }
  ~ToolkitComplaints() {
    for (int i = 0; i < 3; i++)
      g_log_remove_handler(domains[i], ids[i]);
  }

  int count = 0;

private:
  static void Count(const gchar*, GLogLevelFlags, const gchar*, gpointer counter) {
    ++*static_cast<int*>(counter);
  }

  const char* domains[3] = {"Gtk", "Gdk", "GLib-GObject"};
  guint ids[3] = {0, 0, 0};
};

// The board in a shown window: rebuilds and resets take the cells out of view while they change,
// so they must come back shown, placed and wired; only the cells in the visible part of the
// scrolled window are realized, and they show the game as it is.
class ShownBoardTest : public WindowFitTest {
protected:
  // Every cell lies one picture width after its left neighbour and one picture height below the
  // cell above it; the cells in view, and the one with the focus, are mapped with an input window
  // of their own, the others have no window at all.
  void ExpectCellsInPlace() {
    int across = table->nRow;
    Gtk::Adjustment* h = table->scrWin->get_hadjustment();
    Gtk::Adjustment* v = table->scrWin->get_vadjustment();
    for (int i = 0; i < table->nRow * table->nCol; i++) {
      MineButton* cell = table->board[i];
      ASSERT_NE(cell, nullptr) << i;
      Gtk::Allocation at = cell->get_allocation();
      bool inView = at.get_x() + at.get_width() > h->get_value() &&
                    at.get_x() < h->get_value() + h->get_page_size() &&
                    at.get_y() + at.get_height() > v->get_value() &&
                    at.get_y() < v->get_value() + v->get_page_size();
      ASSERT_TRUE(inView || cell->is_focus() ? cell->is_mapped() && cell->is_drawable()
                                             : !cell->get_realized())
          << i;
      if (i % across > 0) {
        Gtk::Allocation left = table->board[i - 1]->get_allocation();
        ASSERT_TRUE(at.get_x() == left.get_x() + left.get_width() && at.get_y() == left.get_y())
            << i;
      }
      if (i >= across) {
        Gtk::Allocation up = table->board[i - across]->get_allocation();
        ASSERT_TRUE(at.get_y() == up.get_y() + up.get_height() && at.get_x() == up.get_x()) << i;
      }
    }
    Gtk::Allocation first = table->board[0]->get_allocation();
    EXPECT_TRUE(first.get_x() >= 0 && first.get_y() >= 0);
    EXPECT_GT(first.get_width(), table->nSize);
  }

  // Each cell in view shows its picture, pressed in or not and sensitive or not as play left it:
  // by its state, or after the end of a game, the cells named show the pictures given and the
  // others their counts, pressed in, and none is sensitive.
  void ExpectLooks(const std::map<int, Glib::RefPtr<Gdk::Pixbuf>>& ended = {}) {
    int shown = 0;
    for (int i = 0; i < table->nRow * table->nCol; i++) {
      MineButton* cell = table->board[i];
      if (!cell->is_mapped())
        continue;
      shown++;
      bool open = ended.empty() ? cell->state == 0 : ended.count(i) == 0;
      Glib::RefPtr<Gdk::Pixbuf> picture = ended.count(i) ? ended.at(i)
                                          : !open        ? table->image->Mark(cell->state)
                                          : cell->bomb   ? table->image->Bomb()
                                                         : table->image->Number(cell->num);
      ASSERT_TRUE(cell->image->get_pixbuf() == picture && cell->get_active() == open &&
                  cell->get_sensitive() == (!open && ended.empty()))
          << i;
    }
    EXPECT_GT(shown, 0);
  }

  void ScrollTo(double across, double down) {
    Gtk::Adjustment* h = table->scrWin->get_hadjustment();
    Gtk::Adjustment* v = table->scrWin->get_vadjustment();
    h->set_value(across * (h->get_upper() - h->get_page_size()));
    v->set_value(down * (v->get_upper() - v->get_page_size()));
    Settle();
  }
};

TEST_F(ShownBoardTest, RebuildsAndResetsLeaveEveryCellShownPlacedAndWired) {
  ToolkitComplaints complaints;
  Build(10, 10, 24);
  ExpectCellsInPlace();

  EXPECT_NE(Build(40, 30, 8), "");
  ExpectCellsInPlace();
  EXPECT_EQ(table->board[1200], nullptr);

  // A game played a little, then the reset: same cells, all covered again and in view.
  ASSERT_TRUE(Release(table, 615, 1));
  ASSERT_EQ(table->startFlag, 1);
  ASSERT_EQ(table->board[615]->state, 0);
  MineButton* kept = table->board[615];
  EXPECT_EQ(Build(40, 30, 8), "");
  EXPECT_EQ(table->board[615], kept);
  EXPECT_TRUE(kept->state == 1 && !kept->get_active() && kept->get_sensitive());
  ExpectCellsInPlace();

  // Back to a small board: the new cells answer the mouse.
  Build(10, 10, 24);
  ExpectCellsInPlace();
  EXPECT_EQ(table->board[100], nullptr);
  EXPECT_TRUE(Release(table, 55, 1));
  EXPECT_EQ(table->startFlag, 1);
  EXPECT_EQ(table->board[55]->state, 0);
  EXPECT_EQ(complaints.count, 0);
}

// A flood, a mark, the end of a game and a reset all reach cells out of view; scrolling and
// resizing bring them into view as play left them.
TEST_F(ShownBoardTest, CellsComingIntoViewShowThePlayAsItIs) {
  ToolkitComplaints complaints;
  Build(10, 10, 24);
  Build(100, 50, 8);
  ExpectCellsInPlace();
  const int topBomb = 5 * 100 + 5, markedBomb = 45 * 100 + 95, otherBomb = 47 * 100 + 97;
  for (int i = 0; i < 5000; i++)
    table->board[i]->bomb = i == topBomb || i == markedBomb || i == otherBomb;
  table->SetNum();
  table->nBomb = 3;
  table->BombCount = table->MissCount = 0;
  table->startFlag = 1;
  Release(table, 10 * 100 + 10, 1);
  Press(table, markedBomb, 3);
  Settle();
  ExpectLooks();
  ScrollTo(1, 1);
  ExpectCellsInPlace();
  ExpectLooks();

  ScrollTo(0, 0);
  Release(table, topBomb, 1);
  ScrollTo(1, 1);
  ExpectLooks({{markedBomb, table->image->Mark(4)}, {otherBomb, table->image->Bomb()}});

  table->ReCreate(100, 50, 10, 8);
  Settle();
  ExpectLooks();
  // The cell with the keyboard focus keeps it, and stays shown, out of view.
  table->board[4999]->grab_focus();
  ScrollTo(0, 0);
  EXPECT_TRUE(window->get_focus() == table->board[4999] && table->board[4999]->is_mapped());
  window->resize(1000, 700);
  ScrollTo(0.5, 0.5);
  ExpectCellsInPlace();
  ExpectLooks();
  EXPECT_EQ(complaints.count, 0);
}

// A saved game is laid out before it is first shown, so only the cells in view are ever made.
TEST_F(ShownBoardTest, ALoadedGameShowsOnlyTheCellsInView) {
  Build(10, 10, 24);
  Build(100, 50, 8);
  Release(table, 2550, 1);
  SaveFile().SaveState(table);
  delete table;
  window->hide();
  table = new MineTable(window, &timer, nullptr);
  window->add(*table->Show());
  SaveFile().LoadState(table);
  timer.Stop();
  int made = 0;
  for (int i = 0; i < 5000; i++)
    table->board[i]->signal_realize().connect([&made] { made++; });
  window->show();
  Settle();
  ExpectCellsInPlace();
  ExpectLooks();
  int shown = 0;
  for (int i = 0; i < 5000; i++)
    shown += table->board[i]->is_mapped();
  EXPECT_EQ(made, shown);
}

TEST_F(ShownBoardTest, TheFitFollowsTheGridAfterARebuildInTheShownWindow) {
  Build(10, 10, 24);
  std::string fits = Build(15, 12, 14);
  Gtk::Requisition grid = table->table->size_request();
  EXPECT_EQ(fits, std::to_string(grid.width) + "," + std::to_string(grid.height) + ";");
  EXPECT_EQ(Size(), std::to_string(grid.width + 20) + "x" + std::to_string(grid.height + 105));
}

TEST_F(ShownBoardTest, DeletingTheBoardAfterARebuildInTheShownWindowIsClean) {
  ToolkitComplaints complaints;
  Build(10, 10, 24);
  Build(20, 20, 9);
  delete table;
  table = nullptr;
  Settle();
  EXPECT_EQ(complaints.count, 0);
}

} // namespace
