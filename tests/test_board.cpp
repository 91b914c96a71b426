// Building the board: a fresh build, keeping or rebuilding the cells for a new game, the cell
// widget, and the board in a shown window, where only the cells in view are made and each shows
// play as it is. Needs a display; runs in a temporary working directory.
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

// A new game of the same size keeps the cells (refilling a slot left empty) and covers them again;
// another picture size rebuilds them; a size beyond the cell slots is refused; a loaded game
// replaces the cells it finds.
TEST_F(BuildTest, FreshBoardsAreCoveredCellsAtTheirPositions) {
  EXPECT_EQ(Trace([this] { table->CreateTable(); }), "10\t10\t10\n");
  EXPECT_EQ(table->mode, 1);
  MineButton* first = table->board[0];
  Plant({0, 1});
  timer.Start();
  Release(table, 55, 1);
  Press(table, 0, 3);
  delete table->board[37];
  table->board[37] = nullptr;
  EXPECT_EQ(Trace([this] { table->ReCreate(10, 10, 11, 24); }), "10\t10\t11\n");
  EXPECT_EQ(std::vector<int>({table->mode, table->sizeFlag, table->startFlag, timer.timeFlag}),
            std::vector<int>({4, 0, 0, 0}));
  EXPECT_EQ(timer.timeLabel->get_text(), "time :");
  for (int i = 0; i < 100; i++) {
    EXPECT_EQ(Fields(table->board[i]), std::vector<int>({i % 10, i / 10, 1, 0, 0, 1, 0})) << i;
    EXPECT_TRUE(Shows(i, table->image->TmarkPix[1])) << i;
  }
  EXPECT_EQ(table->board[0], first);
  for (const auto& size : {std::vector<int>{101, 100, 4}, {0, 10, 4}, {10, -3, 4}, {10, 10, 0}})
    table->ReCreate(size[0], size[1], 10, size[2]);
  EXPECT_EQ(std::vector<int>({table->nRow, table->nCol, table->nSize}),
            std::vector<int>({10, 10, 24}));
  table->ReCreate(10, 10, 10, 14);
  EXPECT_EQ(table->board[0]->image->get_pixbuf()->get_width(), 14);
  table->ReCreate(200, 50, 10, 4); // the full capacity still builds
  EXPECT_EQ(Fields(table->board[9999]), std::vector<int>({199, 49, 1, 0, 0, 1, 0}));
  table->ReCreate(20, 15, 30, 9);
  Trace([this] {
    SaveFile().SaveState(table);
    SaveFile().LoadState(table);
  });
  EXPECT_EQ(table->table->get_children().size(), 300u);
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
  void Build(int nRow, int nCol, int nSize) {
    Trace([&] {
      table->board[0] ? table->ReCreate(nRow, nCol, 10, nSize) : table->CreateTable();
      window->show();
      Settle();
    });
  }
  void ScrollTo(double across, double down) {
    Gtk::Adjustment* h = table->scrWin->get_hadjustment();
    Gtk::Adjustment* v = table->scrWin->get_vadjustment();
    h->set_value(across * (h->get_upper() - h->get_page_size()));
    v->set_value(down * (v->get_upper() - v->get_page_size()));
    Settle();
  }
  // Every cell lies one cell after its left neighbour and one below the cell above it; the cells
  // in view, and the one with the focus, are mapped, the others have no window at all. A mapped
  // cell shows its picture, pressed in or not and sensitive or not as play left it; after the end
  // of a game the cells in `ended` show the pictures given, the others their counts.
  void ExpectShown(const std::map<int, Glib::RefPtr<Gdk::Pixbuf>>& ended = {}) {
    Gtk::Adjustment* h = table->scrWin->get_hadjustment();
    Gtk::Adjustment* v = table->scrWin->get_vadjustment();
    int shown = 0;
    for (int i = 0; i < Cells(); i++) {
      MineButton* cell = table->board[i];
      Gtk::Allocation at = cell->get_allocation();
      bool inView = at.get_x() + at.get_width() > h->get_value() &&
                    at.get_x() < h->get_value() + h->get_page_size() &&
                    at.get_y() + at.get_height() > v->get_value() &&
                    at.get_y() < v->get_value() + v->get_page_size();
      ASSERT_EQ(inView || cell->is_focus() ? cell->is_mapped() && cell->is_drawable()
                                           : !cell->get_realized(),
                true)
          << i;
      bool across = i % table->nRow > 0;
      if (i > 0) {
        Gtk::Allocation last = table->board[across ? i - 1 : i - table->nRow]->get_allocation();
        ASSERT_EQ(std::vector<int>({at.get_x(), at.get_y()}),
                  std::vector<int>({last.get_x() + across * last.get_width(),
                                    last.get_y() + !across * last.get_height()}))
            << i;
      }
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
    EXPECT_GT(table->board[0]->get_allocation().get_width(), table->nSize);
  }

  MineWindow* window = nullptr;
  const char* domains[3] = {"Gtk", "Gdk", "GLib-GObject"};
  guint complaints[3];
};

// A rebuild, a flood, a mark, the end of a game and a reset all reach cells out of view;
// scrolling and resizing bring them into view as play left them. A saved game is laid out before
// it is first shown, so only the cells in view are ever made. The cells of a new board answer.
TEST_F(ShownBoardTest, CellsComingIntoViewShowThePlayAsItIs) {
  Build(10, 10, 24);
  Build(100, 50, 8);
  ExpectShown();
  Release(table, 2550, 1);
  Trace([this] { SaveFile().SaveState(table); });
  delete table;
  window->hide();
  table = new MineTable(window, &timer, &scores);
  window->add(*table->Show());
  Trace([this] { SaveFile().LoadState(table); });
  int made = 0;
  for (int i = 0; i < Cells(); i++)
    table->board[i]->signal_realize().connect([&made] { made++; });
  window->show();
  Settle();
  ExpectShown();
  int shown = 0;
  for (int i = 0; i < Cells(); i++)
    shown += table->board[i]->is_mapped();
  EXPECT_EQ(made, shown);

  const int topBomb = 5 * 100 + 5, markedBomb = 45 * 100 + 95, otherBomb = 47 * 100 + 97;
  Build(100, 50, 8);
  Plant({topBomb, markedBomb, otherBomb});
  Release(table, 10 * 100 + 10, 1);
  Settle();
  ExpectShown();
  Press(table, markedBomb, 3);
  ScrollTo(1, 1);
  ExpectShown();
  ScrollTo(0, 0);
  Release(table, topBomb, 1);
  ScrollTo(1, 1);
  ExpectShown({{markedBomb, table->image->Mark(4)}, {otherBomb, table->image->Bomb()}});
  Build(100, 50, 8);
  ExpectShown();
  // The cell with the keyboard focus keeps it, and stays shown, out of view.
  table->board[4999]->grab_focus();
  ScrollTo(0, 0);
  EXPECT_EQ(window->get_focus(), table->board[4999]);
  window->resize(1000, 700);
  ScrollTo(0.5, 0.5);
  ExpectShown();

  Build(10, 10, 24);
  ExpectShown();
  EXPECT_TRUE(Release(table, 55, 1));
  EXPECT_EQ(table->board[55]->state, 0);
}

} // namespace
