// Building the board: a fresh build, keeping or rebuilding the cells for a new game, the mode
// code, and fitting the main window to the grid once per size change. Needs a display and runs
// each test in a temporary working directory.
#include "board_support.h"

#include "window.h"

#include <cstdio>
#include <sstream>
#include <string>

namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t found = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    found++;
  return found;
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

TEST_F(BuildTest, FreshBoardIsTenByTenCoveredCells) {
  testing::internal::CaptureStdout();
  table->CreateTable();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "10\t10\t10\n");

  EXPECT_EQ(table->mode, 1);
  EXPECT_EQ(table->startFlag, 0);
  EXPECT_EQ(table->sizeFlag, 1);
  EXPECT_EQ(timer.timeLabel->get_text(), "time :");
  EXPECT_EQ(timer.timeFlag, 0);
  for (int i = 0; i < 100; i++) {
    MineButton* cell = table->board[i];
    ASSERT_NE(cell, nullptr) << i;
    EXPECT_EQ(cell->row, i % 10);
    EXPECT_EQ(cell->col, i / 10);
    EXPECT_EQ(cell->state, 1);
    EXPECT_EQ(cell->bomb, 0);
    EXPECT_EQ(cell->num, 0);
    EXPECT_TRUE(cell->get_sensitive());
    EXPECT_FALSE(cell->get_active());
    EXPECT_TRUE(cell->get_visible());
    EXPECT_EQ(Shown(i), table->image->TmarkPix[1]);
  }
  EXPECT_EQ(table->board[100], nullptr);
  EXPECT_EQ(table->image->TmarkPix[1]->get_width(), 24);
}

TEST_F(BuildTest, CellsSitAtTheirPositionShrunkWithoutPadding) {
  table->ReCreate(7, 4, 10, 12);
  for (int index : {0, 6, 7, 19, 27}) {
    MineButton* cell = table->board[index];
    guint left = 99, right = 99, top = 99, bottom = 99, xPadding = 99, yPadding = 99;
    GtkAttachOptions xOptions, yOptions;
    gtk_container_child_get(GTK_CONTAINER(table->table->gobj()), GTK_WIDGET(cell->gobj()),
                            "left-attach", &left, "right-attach", &right, "top-attach", &top,
                            "bottom-attach", &bottom, "x-options", &xOptions, "y-options",
                            &yOptions, "x-padding", &xPadding, "y-padding", &yPadding, NULL);
    // Across is the grid's horizontal direction, down its vertical one.
    EXPECT_EQ(left, guint(index % 7));
    EXPECT_EQ(right, left + 1);
    EXPECT_EQ(top, guint(index / 7));
    EXPECT_EQ(bottom, top + 1);
    EXPECT_EQ(xOptions, GTK_SHRINK);
    EXPECT_EQ(yOptions, GTK_SHRINK);
    EXPECT_EQ(xPadding, 0u);
    EXPECT_EQ(yPadding, 0u);
  }
}

TEST_F(BuildTest, EveryCellIsWiredAheadOfTheToggleButton) {
  table->CreateTable();
  Plant({0});
  EXPECT_TRUE(Press(table, 42, 3));
  EXPECT_EQ(table->board[42]->state, 2);
  // A claimed event never reaches the toggle button, so the marked cell is not toggled.
  EXPECT_TRUE(Release(table, 42, 1));
  EXPECT_EQ(table->board[42]->state, 2);
  EXPECT_FALSE(table->board[42]->get_active());
  EXPECT_TRUE(Release(table, 45, 1));
  EXPECT_EQ(table->board[45]->state, 0);
  EXPECT_TRUE(table->board[45]->get_active());
}

TEST_F(BuildTest, SameSizeKeepsTheCellsAndResetsThem) {
  table->CreateTable();
  MineButton* before[100];
  std::copy(table->board, table->board + 100, before);
  Plant({0, 1});
  timer.Start();
  Release(table, 55, 1);
  Press(table, 0, 3);

  testing::internal::CaptureStdout();
  table->ReCreate(10, 10, 11, 24);
  std::string out = testing::internal::GetCapturedStdout();

  EXPECT_EQ(out, "10\t10\t11\n");
  EXPECT_EQ(table->pBomb, 11);
  EXPECT_EQ(table->mode, 4);
  EXPECT_EQ(table->sizeFlag, 0);
  EXPECT_EQ(table->startFlag, 0);
  EXPECT_EQ(timer.timeFlag, 0);
  EXPECT_EQ(timer.timeLabel->get_text(), "time :");
  for (int i = 0; i < 100; i++) {
    MineButton* cell = table->board[i];
    ASSERT_EQ(cell, before[i]);
    EXPECT_EQ(cell->state, 1);
    EXPECT_EQ(cell->bomb, 0);
    EXPECT_EQ(cell->num, 0);
    EXPECT_TRUE(cell->get_sensitive());
    EXPECT_FALSE(cell->get_active());
    EXPECT_EQ(Shown(i), table->image->TmarkPix[1]);
  }
  EXPECT_EQ(CloseNameDialogs(), 0);
}

TEST_F(BuildTest, ResetRefillsASlotASavedGameLeftEmpty) {
  table->CreateTable();
  delete table->board[37];
  table->board[37] = nullptr;
  table->ReCreate(10, 10, 10, 24);
  ASSERT_NE(table->board[37], nullptr);
  EXPECT_EQ(table->board[37]->row, 7);
  EXPECT_EQ(table->board[37]->col, 3);
  EXPECT_EQ(table->board[37]->state, 1);
  EXPECT_EQ(table->board[37]->get_parent(), table->table);
}

TEST_F(BuildTest, NewSizeRebuildsEveryCell) {
  table->CreateTable();
  DeathCount watch;
  for (int i = 0; i < 100; i++)
    watch.Watch(table->board[i]);
  table->sizeFlag = 0;

  table->ReCreate(10, 10, 10, 14);
  EXPECT_EQ(watch.deaths, 100);
  EXPECT_EQ(table->sizeFlag, 1);
  EXPECT_EQ(table->mode, 1);
  EXPECT_EQ(Shown(0)->get_width(), 14);

  table->ReCreate(20, 15, 30, 9);
  EXPECT_EQ(table->nRow, 20);
  EXPECT_EQ(table->nCol, 15);
  EXPECT_EQ(table->pBomb, 30);
  EXPECT_EQ(table->nSize, 9);
  for (int i = 0; i < 300; i++) {
    ASSERT_NE(table->board[i], nullptr) << i;
    EXPECT_EQ(table->board[i]->row, i % 20);
    EXPECT_EQ(table->board[i]->col, i / 20);
  }
  EXPECT_EQ(table->board[300], nullptr);

  table->ReCreate(10, 10, 10, 24);
  EXPECT_NE(table->board[99], nullptr);
  EXPECT_EQ(table->board[100], nullptr);
  EXPECT_EQ(table->board[299], nullptr);
}

TEST_F(BuildTest, RebuildDuringAGameDiscardsItQuietly) {
  table->CreateTable();
  Plant({0, 1});
  timer.Start();
  Release(table, 55, 1);
  Press(table, 0, 3);
  testing::internal::CaptureStdout();
  table->ReCreate(12, 10, 10, 24);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.find("CLEAR!"), std::string::npos);
  EXPECT_EQ(timer.timeFlag, 0);
  EXPECT_EQ(timer.timeLabel->get_text(), "time :");
  EXPECT_EQ(table->startFlag, 0);
  EXPECT_EQ(CloseNameDialogs(), 0);
}

TEST_F(BuildTest, SizesBeyondTheCellSlotsAreRefused) {
  table->CreateTable();
  MineButton* first = table->board[0];
  table->ReCreate(101, 100, 10, 4);
  table->ReCreate(10000, 2, 10, 4);
  table->ReCreate(0, 10, 10, 4);
  table->ReCreate(10, -3, 10, 4);
  table->ReCreate(10, 10, 10, 0);
  EXPECT_EQ(table->nRow, 10);
  EXPECT_EQ(table->nCol, 10);
  EXPECT_EQ(table->nSize, 24);
  EXPECT_EQ(table->board[0], first);

  // The full capacity still builds.
  table->ReCreate(200, 50, 10, 4);
  EXPECT_NE(table->board[9999], nullptr);
}

TEST_F(BuildTest, ModeComesFromSizeAndPercentageOnly) {
  struct {
    int nRow, nCol, pBomb, nSize, mode;
  } cases[] = {
      {10, 10, 10, 30, 1}, {15, 15, 15, 14, 2}, {20, 20, 20, 9, 3}, {10, 10, 11, 24, 4},
      {15, 10, 10, 24, 4}, {20, 20, 15, 9, 4},  {10, 15, 15, 9, 4},
  };
  for (const auto& c : cases) {
    table->nRow = c.nRow;
    table->nCol = c.nCol;
    table->pBomb = c.pBomb;
    table->nSize = c.nSize;
    testing::internal::CaptureStdout();
    table->SetMode();
    std::ostringstream expected;
    expected << c.nRow << "\t" << c.nCol << "\t" << c.pBomb << "\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected.str());
    EXPECT_EQ(table->mode, c.mode) << c.nRow << " " << c.nCol << " " << c.pBomb;
  }
}

TEST(WindowFitArithmetic, AddsTheLayoutAroundTheGridAndCapsTheFirstSize) {
  MineTable::WindowFit fit = MineTable::FitWindow(300, 200);
  EXPECT_EQ(fit.width, 320);
  EXPECT_EQ(fit.height, 305);
  EXPECT_EQ(fit.maxWidth, 328);
  EXPECT_EQ(fit.maxHeight, 313);

  fit = MineTable::FitWindow(780, 495);
  EXPECT_EQ(fit.width, 800);
  EXPECT_EQ(fit.height, 600);

  fit = MineTable::FitWindow(781, 496);
  EXPECT_EQ(fit.width, 800);
  EXPECT_EQ(fit.height, 600);
  EXPECT_EQ(fit.maxWidth, 809);
  EXPECT_EQ(fit.maxHeight, 609);
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

  // Builds or rebuilds, shows the window and lets the toolkit lay it out; returns the trace.
  std::string Build(int nRow, int nCol, int nSize) {
    testing::internal::CaptureStdout();
    if (table->board[0] == nullptr)
      table->CreateTable();
    else
      table->ReCreate(nRow, nCol, 10, nSize);
    window->show();
    Settle();
    return testing::internal::GetCapturedStdout();
  }

  // The grid size traced by a fit.
  void Traced(const std::string& out, int* width, int* height) {
    size_t at = out.find("width=");
    ASSERT_NE(at, std::string::npos) << out;
    ASSERT_EQ(std::sscanf(out.c_str() + at, "width=%d,height=%d", width, height), 2);
  }

  MineTimer timer;
  MineWindow* window = nullptr;
  MineTable* table = nullptr;
};

TEST_F(WindowFitTest, TheWindowFitsTheBoardOncePerSizeChange) {
  std::string out = Build(10, 10, 24);
  EXPECT_EQ(Count(out, "CHANGE\n"), 1u) << out;
  int gridWidth = 0, gridHeight = 0;
  Traced(out, &gridWidth, &gridHeight);
  Gtk::Requisition request = table->table->size_request();
  EXPECT_EQ(gridWidth, request.width);
  EXPECT_EQ(gridHeight, request.height);
  EXPECT_EQ(table->sizeFlag, 0);

  int width = 0, height = 0;
  window->get_size(width, height);
  EXPECT_EQ(width, gridWidth + 20);
  EXPECT_EQ(height, gridHeight + 105);

  // Later size requests, or the player's own resizing, leave the window alone; the maximum
  // size still holds it to 8 pixels beyond the full board.
  testing::internal::CaptureStdout();
  table->table->queue_resize();
  window->resize(2000, 2000);
  Settle();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  window->get_size(width, height);
  EXPECT_EQ(width, gridWidth + 28);
  EXPECT_EQ(height, gridHeight + 113);

  out = Build(10, 10, 24);
  EXPECT_EQ(Count(out, "CHANGE"), 0u) << out;

  out = Build(12, 10, 24);
  EXPECT_EQ(Count(out, "CHANGE\n"), 1u) << out;
  int widerWidth = 0, widerHeight = 0;
  Traced(out, &widerWidth, &widerHeight);
  EXPECT_GT(widerWidth, gridWidth);
  EXPECT_EQ(widerHeight, gridHeight);
  window->get_size(width, height);
  EXPECT_EQ(width, widerWidth + 20);
}

TEST_F(WindowFitTest, ALargeBoardOpensTheWindowAtMostEightHundredBySixHundred) {
  Build(10, 10, 24);
  std::string out = Build(40, 30, 24);
  int gridWidth = 0, gridHeight = 0;
  Traced(out, &gridWidth, &gridHeight);
  ASSERT_GT(gridWidth, 780);
  ASSERT_GT(gridHeight, 495);
  int width = 0, height = 0;
  window->get_size(width, height);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
}

} // namespace
