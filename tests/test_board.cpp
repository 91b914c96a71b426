// Building the board: a fresh build, keeping or rebuilding the cells for a new game (the mode of
// each is in test_window), the cell widget, and the board in a shown window, fitted to each new
// size with every cell shown, placed and wired. Needs a display; runs in a temporary directory.
#include "support.h"

#include "savefile.h"
#include "window.h"

#include <map>
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
  // Every cell lies one picture width after its left neighbour and one picture height below the
  // cell above it; the cells in view, and the one with the focus, are mapped with an input window
  // of their own, the others have no window at all.
  void ExpectCellsInPlace() {
    Gtk::Adjustment* h = table->scrWin->get_hadjustment();
    Gtk::Adjustment* v = table->scrWin->get_vadjustment();
    for (int i = 0; i < Cells(); i++) {
      MineButton* cell = table->board[i];
      Gtk::Allocation at = cell->get_allocation(), left = at, up = at;
      bool inView = at.get_x() + at.get_width() > h->get_value() &&
                    at.get_x() < h->get_value() + h->get_page_size() &&
                    at.get_y() + at.get_height() > v->get_value() &&
                    at.get_y() < v->get_value() + v->get_page_size();
      ASSERT_EQ(inView || cell->is_focus() ? cell->is_mapped() && cell->is_drawable()
                                           : !cell->get_realized(),
                true)
          << i;
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

  // Each cell in view shows its picture, pressed in or not and sensitive or not as play left it:
  // by its state, or after the end of a game, the cells named show the pictures given and the
  // others their counts, pressed in, and none is sensitive.
  void ExpectLooks(const std::map<int, Glib::RefPtr<Gdk::Pixbuf>>& ended = {}) {
    int shown = 0;
    for (int i = 0; i < Cells(); i++) {
      MineButton* cell = table->board[i];
      if (!cell->is_mapped())
        continue;
      shown++;
      bool open = ended.empty() ? cell->state == 0 : ended.count(i) == 0;
      Glib::RefPtr<Gdk::Pixbuf> picture = ended.count(i) ? ended.at(i)
                                          : !open        ? table->image->Mark(cell->state)
                                          : cell->bomb   ? table->image->Bomb()
                                                         : table->image->Number(cell->num);
      ASSERT_EQ(std::vector<bool>({cell->image->get_pixbuf() == picture, cell->get_active(),
                                   cell->get_sensitive()}),
                std::vector<bool>({true, open, !open && ended.empty()}))
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

// A flood, a mark, the end of a game and a reset all reach cells out of view; scrolling and
// resizing bring them into view as play left them.
TEST_F(ShownBoardTest, CellsComingIntoViewShowThePlayAsItIs) {
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
  EXPECT_EQ(window->get_focus(), table->board[4999]);
  EXPECT_TRUE(table->board[4999]->is_mapped());
  window->resize(1000, 700);
  ScrollTo(0.5, 0.5);
  ExpectCellsInPlace();
  ExpectLooks();
}

// A saved game is laid out before it is first shown, so only the cells in view are ever made.
TEST_F(ShownBoardTest, ALoadedGameShowsOnlyTheCellsInView) {
  Build(10, 10, 24);
  Build(100, 50, 8);
  Release(table, 2550, 1);
  SaveFile().SaveState(table);
  delete table;
  window->hide();
  table = new MineTable(window, &timer, &scores);
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

} // namespace
