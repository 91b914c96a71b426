// Building the board: a fresh build, keeping or rebuilding the cells for a new game, the mode
// code, the cell widget, and the board in a shown window: fitted once per size change, every
// cell shown, placed and wired after each change. Needs a display; runs in a temporary directory.
#include "support.h"

#include "window.h"
#include "xpm/image.h"

#include <string>

namespace {

using BuildTest = BoardTest;

std::vector<int> Fields(const MineButton* cell) {
  return {cell->row,         cell->col, cell->state, cell->bomb, cell->num, cell->get_sensitive(),
          cell->get_active()};
}

TEST_F(BuildTest, FreshBoardIsTenByTenCoveredCellsAtTheirPositions) {
  EXPECT_EQ(Trace([this] { table->CreateTable(); }), "10\t10\t10\n");
  EXPECT_EQ(table->mode, 1);
  EXPECT_EQ(table->startFlag, 0);
  EXPECT_EQ(timer.timeLabel->get_text(), "time :");
  for (int i = 0; i < 100; i++) {
    ASSERT_NE(table->board[i], nullptr) << i;
    EXPECT_EQ(Fields(table->board[i]), std::vector<int>({i % 10, i / 10, 1, 0, 0, 1, 0})) << i;
    EXPECT_TRUE(Shows(i, table->image->TmarkPix[1])) << i;
  }
  EXPECT_EQ(table->board[100], nullptr);
  EXPECT_EQ(table->board[0]->image->get_pixbuf()->get_width(), 24);
}

// A new game of the same size keeps the cells (even one a saved game left out), another size
// rebuilds them all; a size beyond the cell slots is refused.
TEST_F(BuildTest, SameSizeKeepsTheCellsAndANewSizeRebuildsThem) {
  table->CreateTable();
  MineButton* before[100];
  std::copy(table->board, table->board + 100, before);
  Plant({0, 1});
  timer.Start();
  Release(table, 55, 1);
  Press(table, 0, 3);
  delete table->board[37];
  table->board[37] = nullptr;
  EXPECT_EQ(Trace([this] { table->ReCreate(10, 10, 11, 24); }), "10\t10\t11\n");
  EXPECT_EQ(std::vector<int>(
                {table->pBomb, table->mode, table->sizeFlag, table->startFlag, timer.timeFlag}),
            std::vector<int>({11, 4, 0, 0, 0}));
  for (int i = 0; i < 100; i++) {
    ASSERT_TRUE(i == 37 || table->board[i] == before[i]) << i;
    EXPECT_EQ(Fields(table->board[i]), std::vector<int>({i % 10, i / 10, 1, 0, 0, 1, 0})) << i;
    EXPECT_TRUE(Shows(i, table->image->TmarkPix[1])) << i;
  }
  EXPECT_EQ(table->board[37]->get_parent(), table->table);

  for (const auto& size :
       {std::vector<int>{101, 100, 4}, {10000, 2, 4}, {0, 10, 4}, {10, -3, 4}, {10, 10, 0}})
    table->ReCreate(size[0], size[1], 10, size[2]);
  EXPECT_EQ(std::vector<int>({table->nRow, table->nCol, table->nSize}),
            std::vector<int>({10, 10, 24}));
  EXPECT_EQ(table->board[0], before[0]);

  table->ReCreate(10, 10, 10, 14); // a new picture size alone rebuilds
  EXPECT_NE(table->board[0], before[0]);
  EXPECT_EQ(table->sizeFlag, 1);
  EXPECT_EQ(table->board[0]->image->get_pixbuf()->get_width(), 14);
  table->ReCreate(200, 50, 10, 4); // the full capacity still builds
  EXPECT_EQ(table->board[9999]->row, 199);
  table->ReCreate(20, 15, 30, 9);
  EXPECT_EQ(Fields(table->board[299]), std::vector<int>({19, 14, 1, 0, 0, 1, 0}));
  EXPECT_EQ(table->board[300], nullptr);
}

TEST_F(BuildTest, ModeComesFromSizeAndPercentageOnly) {
  const int cases[][4] = {{10, 10, 10, 1}, {15, 15, 15, 2}, {20, 20, 20, 3}, {10, 10, 11, 4},
                          {15, 10, 10, 4}, {20, 20, 15, 4}, {10, 15, 15, 4}};
  table->nSize = 99;
  for (const auto& c : cases) {
    table->nRow = c[0];
    table->nCol = c[1];
    table->pBomb = c[2];
    table->SetMode();
    EXPECT_EQ(table->mode, c[3]) << c[0] << " " << c[1] << " " << c[2];
  }
}

TEST(CellTest, OnlyAnOpenCellStaysPressedInAndANewPictureDestroysTheOld) {
  for (int state = 0; state <= 2; state++) {
    MineButton cell(0, 0, 0, state, 0);
    cell.clicked(); // what a keyboard activation does
    EXPECT_EQ(cell.get_active(), state == 0) << state;
    EXPECT_EQ(cell.state, state);
  }
  MineImage image;
  image.SetScale(24, 24);
  MineButton* cell = new MineButton(0, 0, 0, 1, 0);
  // Indices past either end show the nearest picture.
  Gtk::Image* images[] = {image.CreateNumber(9), image.CreateMark(-3)};
  EXPECT_EQ(images[0]->get_pixbuf(), image.TnumPix[8]);
  EXPECT_EQ(images[1]->get_pixbuf(), image.TmarkPix[0]);
  gpointer alive[] = {images[0]->gobj(), images[1]->gobj()};
  for (int i = 0; i < 2; i++) {
    g_object_add_weak_pointer(G_OBJECT(alive[i]), &alive[i]);
    cell->SetImage(images[i]);
  }
  EXPECT_EQ(alive[0], nullptr);
  EXPECT_EQ(cell->get_child(), images[1]);
  EXPECT_TRUE(images[1]->get_visible());
  delete cell;
  EXPECT_EQ(alive[1], nullptr);
}

// Counts the toolkit's warnings and critical messages while it lives.
class ToolkitComplaints {
public:
  ToolkitComplaints() {
    for (int i = 0; i < 3; i++)
      ids[i] = g_log_set_handler(
          domains[i], GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL),
          [](const gchar*, GLogLevelFlags, const gchar*, gpointer count) {
            ++*static_cast<int*>(count);
          },
          &count);
  }
  ~ToolkitComplaints() {
    for (int i = 0; i < 3; i++)
      g_log_remove_handler(domains[i], ids[i]);
  }
  int count = 0;

private:
  const char* domains[3] = {"Gtk", "Gdk", "GLib-GObject"};
  guint ids[3] = {0, 0, 0};
};

// The board in a shown main window.
class ShownBoardTest : public BoardTest {
protected:
  void SetUp() override {
    BoardTest::SetUp();
    delete table;
    window = new MineWindow();
    table = new MineTable(window, &timer, &scores);
    window->add(*table->Show());
  }
  void TearDown() override {
    delete table;
    table = nullptr;
    Settle();
    EXPECT_EQ(complaints.count, 0);
    delete window;
    BoardTest::TearDown();
  }

  // Builds or rebuilds, shows the window and lets it settle; returns the fits traced, "W,H;" each.
  std::string Build(int nRow, int nCol, int nSize) {
    std::string out = Trace([&] {
      if (table->board[0] == nullptr)
        table->CreateTable();
      else
        table->ReCreate(nRow, nCol, 10, nSize);
      window->show();
      Settle();
    });
    std::string fits;
    for (size_t at = out.find("width="); at != std::string::npos; at = out.find("width=", at + 1)) {
      int width = 0, height = 0;
      char change[8] = "";
      if (std::sscanf(out.c_str() + at, "width=%d,height=%d\n%7s", &width, &height, change) == 3 &&
          std::string(change) == "CHANGE")
        fits += std::to_string(width) + "," + std::to_string(height) + ";";
    }
    return fits;
  }
  // The window's size, and the size it was fitted to for the grid as it requests now.
  std::pair<std::string, std::string> Size(int extraWidth = 20, int extraHeight = 105) {
    int width = 0, height = 0;
    window->get_size(width, height);
    Gtk::Requisition grid = table->table->size_request();
    return {std::to_string(width) + "x" + std::to_string(height),
            std::to_string(grid.width + extraWidth) + "x" +
                std::to_string(grid.height + extraHeight)};
  }
  std::string Grid() {
    Gtk::Requisition grid = table->table->size_request();
    return std::to_string(grid.width) + "," + std::to_string(grid.height) + ";";
  }

  // Every cell is mapped, one picture width after its left neighbour and one picture height
  // below the cell above it.
  void ExpectCellsInPlace() {
    int across = table->nRow;
    for (int i = 0; i < Cells(); i++) {
      MineButton* cell = table->board[i];
      ASSERT_TRUE(cell->is_mapped() && cell->is_drawable()) << i;
      Gtk::Allocation at = cell->get_allocation();
      if (i % across > 0) {
        Gtk::Allocation left = table->board[i - 1]->get_allocation();
        ASSERT_EQ(at.get_x(), left.get_x() + left.get_width()) << i;
        ASSERT_EQ(at.get_y(), left.get_y()) << i;
      }
      if (i >= across) {
        Gtk::Allocation up = table->board[i - across]->get_allocation();
        ASSERT_EQ(at.get_y(), up.get_y() + up.get_height()) << i;
        ASSERT_EQ(at.get_x(), up.get_x()) << i;
      }
    }
    EXPECT_GT(table->board[0]->get_allocation().get_width(), table->nSize);
  }

  MineWindow* window = nullptr;
  ToolkitComplaints complaints;
};

TEST_F(ShownBoardTest, TheWindowFitsTheBoardOncePerSizeChange) {
  std::string fits = Build(10, 10, 24);
  ASSERT_EQ(fits, Grid());
  EXPECT_EQ(Size().first, Size().second);
  // Later size requests and the player's own resizing leave the window alone; the maximum size
  // still holds it to 8 pixels beyond the full board.
  EXPECT_EQ(Trace([this] {
              table->table->queue_resize();
              window->resize(2000, 2000);
              Settle();
            }),
            "");
  EXPECT_EQ(Size().first, Size(28, 113).second);
  EXPECT_EQ(Build(10, 10, 24), "");
  fits = Build(15, 12, 14);
  ASSERT_EQ(fits, Grid());
  EXPECT_EQ(Size().first, Size().second);
  Build(40, 30, 24); // too large: at most 800 x 600 at first
  EXPECT_EQ(Size().first, "800x600");
}

TEST_F(ShownBoardTest, RebuildsAndResetsLeaveEveryCellShownPlacedAndWired) {
  Build(10, 10, 24);
  ExpectCellsInPlace();
  EXPECT_NE(Build(40, 30, 8), "");
  ExpectCellsInPlace();
  // A game played a little, then the reset: same cells, all covered again and in view.
  ASSERT_TRUE(Release(table, 615, 1));
  ASSERT_EQ(table->board[615]->state, 0);
  MineButton* kept = table->board[615];
  EXPECT_EQ(Build(40, 30, 8), "");
  EXPECT_EQ(table->board[615], kept);
  EXPECT_EQ(Fields(kept), std::vector<int>({15, 15, 1, 0, 0, 1, 0}));
  ExpectCellsInPlace();
  // Back to a small board: the new cells answer the mouse.
  Build(10, 10, 24);
  ExpectCellsInPlace();
  EXPECT_EQ(table->board[100], nullptr);
  EXPECT_TRUE(Release(table, 55, 1));
  EXPECT_EQ(table->board[55]->state, 0);
}

} // namespace
