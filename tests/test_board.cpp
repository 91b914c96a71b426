// Building the board: a fresh build, keeping or rebuilding the cells for a new game (the mode of
// each is in test_window), the cell widget, and the board in a shown window, fitted to each new
// size with every cell shown, placed and wired. Needs a display; runs in a temporary directory.
#include "support.h"

#include "window.h"

#include <memory>

namespace {

using BuildTest = BoardTest;

// A cell's place, state, bomb, count, and whether it takes the mouse and is pressed in.
std::vector<int> Fields(const MineButton* cell) {
  return {cell->row,         cell->col, cell->state, cell->bomb, cell->num, cell->get_sensitive(),
          cell->get_active()};
}

std::vector<int> Covered(int row, int col) {
  return {row, col, 1, 0, 0, 1, 0};
}

// A new game of the same size keeps the cells (refilling a slot a saved game left empty) and
// covers them again; another size, or another picture size, rebuilds them; a size beyond the
// cell slots is refused.
TEST_F(BuildTest, FreshBoardsAreCoveredCellsAtTheirPositions) {
  EXPECT_EQ(Trace([this] { table->CreateTable(); }), "10\t10\t10\n");
  EXPECT_EQ(std::vector<int>({table->mode, table->startFlag}), std::vector<int>({1, 0}));
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
  EXPECT_EQ(timer.timeLabel->get_text(), "time :");
  for (int i = 0; i < 100; i++) {
    ASSERT_TRUE(i == 37 || table->board[i] == before[i]) << i;
    EXPECT_EQ(Fields(table->board[i]), Covered(i % 10, i / 10)) << i;
    EXPECT_TRUE(Shows(i, table->image->TmarkPix[1])) << i;
  }
  EXPECT_EQ(table->board[37]->get_parent(), table->table);
  EXPECT_EQ(table->board[100], nullptr);
  EXPECT_EQ(table->board[0]->image->get_pixbuf()->get_width(), 24);

  for (const auto& size :
       {std::vector<int>{101, 100, 4}, {10000, 2, 4}, {0, 10, 4}, {10, -3, 4}, {10, 10, 0}})
    table->ReCreate(size[0], size[1], 10, size[2]);
  EXPECT_EQ(std::vector<int>({table->nRow, table->nCol, table->nSize}),
            std::vector<int>({10, 10, 24}));
  EXPECT_EQ(table->board[0], before[0]);
  table->ReCreate(10, 10, 10, 14);
  EXPECT_NE(table->board[0], before[0]);
  EXPECT_EQ(table->sizeFlag, 1);
  EXPECT_EQ(table->board[0]->image->get_pixbuf()->get_width(), 14);
  table->ReCreate(200, 50, 10, 4); // the full capacity still builds
  EXPECT_EQ(Fields(table->board[9999]), Covered(199, 49));
  table->ReCreate(20, 15, 30, 9);
  EXPECT_EQ(Fields(table->board[299]), Covered(19, 14));
  EXPECT_EQ(table->board[300], nullptr);
}

// A keyboard activation cannot press a cell in; only the board opens it. Pictures past either end
// of a set show the nearest one.
TEST(CellTest, OnlyAnOpenCellStaysPressedIn) {
  for (int state = 0; state <= 2; state++) {
    MineButton cell(0, 0, 0, state, 0);
    cell.clicked();
    EXPECT_EQ(cell.get_active(), state == 0) << state;
  }
  MineImage image;
  image.SetScale(24, 24);
  std::unique_ptr<Gtk::Image> high(image.CreateNumber(9)), low(image.CreateMark(-3));
  EXPECT_EQ(high->get_pixbuf(), image.TnumPix[8]);
  EXPECT_EQ(low->get_pixbuf(), image.TmarkPix[0]);
}

// The board in a shown main window; the toolkit must not complain of anything done to it.
class ShownBoardTest : public BoardTest {
protected:
  void SetUp() override {
    BoardTest::SetUp();
    delete table;
    window = new MineWindow();
    table = new MineTable(window, &timer, &scores);
    window->add(*table->Show());
    for (int i = 0; i < 3; i++)
      complaints[i] = g_log_set_handler(
          domains[i], GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL),
          [](const gchar*, GLogLevelFlags, const gchar* message, gpointer) {
            ADD_FAILURE() << message;
          },
          nullptr);
  }
  void TearDown() override {
    delete table;
    table = nullptr;
    Settle();
    delete window;
    for (int i = 0; i < 3; i++)
      g_log_remove_handler(domains[i], complaints[i]);
    BoardTest::TearDown();
  }

  // Builds or rebuilds, shows the window and lets it settle; returns the fit traced, if any.
  std::string Build(int nRow, int nCol, int nSize) {
    std::string out = Trace([&] {
      table->board[0] ? table->ReCreate(nRow, nCol, 10, nSize) : table->CreateTable();
      window->show();
      Settle();
    });
    size_t at = out.find("width=");
    return at == std::string::npos ? "" : out.substr(at, out.find('\n', at) - at);
  }
  // Every cell is mapped, one picture width after its left neighbour and one picture height
  // below the cell above it.
  void ExpectCellsInPlace() {
    for (int i = 0; i < Cells(); i++) {
      ASSERT_TRUE(table->board[i]->is_mapped()) << i;
      Gtk::Allocation at = table->board[i]->get_allocation(), left = at, up = at;
      if (i % table->nRow > 0)
        left = table->board[i - 1]->get_allocation();
      if (i >= table->nRow)
        up = table->board[i - table->nRow]->get_allocation();
      ASSERT_EQ(std::vector<int>({at.get_x(), at.get_y()}),
                std::vector<int>({i % table->nRow ? left.get_x() + left.get_width() : up.get_x(),
                                  i >= table->nRow ? up.get_y() + up.get_height() : left.get_y()}))
          << i;
    }
    EXPECT_GT(table->board[0]->get_allocation().get_width(), table->nSize);
  }

  MineWindow* window = nullptr;
  const char* domains[3] = {"Gtk", "Gdk", "GLib-GObject"};
  guint complaints[3];
};

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
  EXPECT_EQ(Fields(kept), Covered(15, 15));
  ExpectCellsInPlace();
  // Back to a small board: the new cells answer the mouse.
  Build(10, 10, 24);
  ExpectCellsInPlace();
  EXPECT_EQ(table->board[100], nullptr);
  EXPECT_TRUE(Release(table, 55, 1));
  EXPECT_EQ(table->board[55]->state, 0);
}

} // namespace
