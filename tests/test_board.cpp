// SPDX-License-Identifier: GPL-3.0-or-later
// The rules, a new game's cells, the board in view. Needs a display; runs in a temporary directory.
#include "support.h"

namespace {

bool Near(const MineTable* t, int a, int b) {
  return std::abs(a % t->nRow - b % t->nRow) <= 1 && std::abs(a / t->nRow - b / t->nRow) <= 1;
}

struct RulesTest : BoardTest {
  void Game(const std::vector<int>& bombs) {
    EXPECT_EQ(Trace([this] { table->ReCreate(12, 9, 10, 8); }), "12\t9\t10\n");
    Plant(bombs);
    ExpectCounts();
    timer.Start();
  }
  // Every cell counts the bombs in its 3 x 3 block, itself included.
  void ExpectCounts() {
    for (int i = 0; i < Cells(); i++) {
      int around = 0;
      for (int j = 0; j < Cells(); j++)
        around += Near(table, i, j) && table->board[j]->bomb;
      ASSERT_EQ(table->board[i]->num, around) << i;
    }
  }
  void ExpectEnded() {
    EXPECT_EQ(std::make_pair(table->startFlag, timer.timeFlag), std::make_pair(0, 0));
    for (int i = 0; i < Cells(); i++)
      ASSERT_EQ(std::make_pair(table->board[i]->state, table->board[i]->get_sensitive()),
                std::make_pair(0, false))
          << i;
  }
};

TEST_F(RulesTest, FirstOpeningDrawsAroundAClearedBlockAndCountsEveryCell) {
  const int shapes[][3] = {{10, 10, 35}, {10, 10, 100}, {2, 9, 100}, {30, 20, 35},
                           {12, 10, 10}, {12, 15, 15},  {12, 20, 20}};
  for (const auto& shape : shapes) {
    table->ReCreate(shape[0], shape[1], shape[2], 6);
    EXPECT_EQ(table->mode, 4); // no preset, though the last three have one's cells down and share
    for (int opened : {0, Cells() - 1, Cells() / 2}) {
      SCOPED_TRACE(testing::Message() << shape[0] << "x" << shape[1] << " at " << opened);
      table->KeepCreate();
      timer.nSec = 77;
      EXPECT_TRUE(Press(table, opened, 3)); // no mark before the game starts
      EXPECT_TRUE(Release(table, opened, 1));
      ExpectCounts();
      int bombs = 0;
      for (int i = 0; i < Cells(); i++) {
        MineButton* cell = table->board[i];
        // The opened block is clear and open (the flood may open more); no bomb is open.
        ASSERT_FALSE(cell->bomb && (cell->state == 0 || Near(table, i, opened))) << i;
        ASSERT_TRUE(cell->state == 0 || !Near(table, i, opened)) << i;
        bombs += cell->bomb;
        for (int j = 0; j < Cells(); j++) // the flood stops at numbered cells only
          ASSERT_TRUE(cell->state || cell->num || !Near(table, i, j) || !table->board[j]->state);
      }
      EXPECT_EQ(std::vector<int>({table->nBomb, table->startFlag, timer.timeFlag, timer.nSec}),
                std::vector<int>({bombs, 1, 1, 0}));
    }
  }
}

// The draw is fixed by the second: a 12 x 9 board at 10 % and 35 % comes out so; at the first
// second, cell 65 draws exactly the threshold, which is no bomb.
TEST_F(RulesTest, TheDrawForASecondIsFixed) {
  std::string drawn;
  for (auto [percent, second] : {std::pair(10, 1700000018), {35, 1700000035}}) {
    table->pBomb = percent;
    for (int i = 0; i < 108; i++)
      drawn += char('0' + table->SetBomb(i / 12, i % 12, i, second));
  }
  EXPECT_EQ(drawn, "000000000000000000000000100000000011000001000000100000000000000000010011"
                   "000000000000000000000000010000000000000010001101001010011010100010000000"
                   "010100001011001101101011101010110000001101000100001000110110011010101000");
}

// Marks, the flood, no win by opening, a loss on a bomb and nothing drawn by a release after it.
TEST_F(RulesTest, MarksTheFloodAndALoss) {
  Game({5, 17, 29, 41, 53, 65, 77, 89, 101, 32, 70}); // a wall along row 5, two bombs past it
  // A picture swapped in keeps one reference, and the one it replaces loses its own.
  auto refs = [this] {
    return std::vector<guint>({G_OBJECT(table->image->Mark(1)->gobj())->ref_count,
                               G_OBJECT(table->image->Mark(2)->gobj())->ref_count});
  };
  const std::vector<guint> covered = refs();
  for (int state : {2, 1, 2}) {
    EXPECT_TRUE(Press(table, 31, 3));
    EXPECT_TRUE(Shows(31, table->image->TmarkPix[state])) << state;
    EXPECT_TRUE(state == 2 || refs() == covered);
  }
  EXPECT_TRUE(Press(table, 106, 1));
  EXPECT_FALSE(GTK_BUTTON(table->board[106]->gobj())->button_down);
  Release(table, 24, 1);
  for (int i = 0; i < Cells(); i++) {
    bool region = i % 12 <= 4; // rows 0 to 3 have no bomb around; row 4 borders the wall
    ASSERT_EQ(table->board[i]->state == 0, region) << i;
    ASSERT_TRUE(!region || Shows(i, table->image->TnumPix[table->board[i]->num])) << i;
  }
  Press(table, 17, 3);
  for (int i = 0; i < Cells(); i++)
    EXPECT_TRUE(table->board[i]->bomb || Release(table, i, 1));
  EXPECT_EQ(std::vector<int>({table->board[31]->get_active(), table->MissCount, table->startFlag}),
            std::vector<int>({0, 1, 1}));
  Release(table, 53, 1);
  Release(table, 31, 1);
  ExpectEnded();
  EXPECT_TRUE(Shows(29, table->image->TbombPix) && Shows(17, table->image->TmarkPix[4]) &&
              Shows(31, table->image->TmarkPix[5]));
}

TEST_F(RulesTest, TheFloodTakingTheLastWrongMarkWins) {
  Game({107});
  Press(table, 30, 3);
  Press(table, 107, 3);
  Trace([this] { Release(table, 0, 1); });
  ExpectEnded();
  // The table opens on the record just written, with no name.
  EXPECT_EQ(Trace([] { ButtonIn(Shown<NameDialog>().at(0), "Ok")->clicked(); }).substr(0, 19),
            "Ok...\n[]\nSIZE_ZERO\n");
  EXPECT_TRUE(Shown<ScoreDialog>().at(0)->listView->get_selection()->is_selected(
      Gtk::TreeModel::Path("0")));
}

// The flood crosses the largest board, past a slot left empty, on a stack too small to recurse.
TEST_F(RulesTest, FloodOverTheLargestBoardNeedsNoDeepStack) {
  const rlimit small = {256 * 1024, 256 * 1024};
  EXPECT_EXIT(
      {
        table->ReCreate(100, 100, 0, 4);
        Plant({9999});
        delete table->board[5050];
        table->board[5050] = nullptr;
        setrlimit(RLIMIT_STACK, &small);
        Release(table, 0, 1);
        std::exit(table->board[9998]->state == 0 && table->board[9999]->state == 1 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

// A new game keeps the cells of its size, filling an empty slot; others rebuild or are refused.
TEST_F(RulesTest, CellsAreKeptRebuiltOrReplacedAndPicturesClamped) {
  Trace([this] { table->CreateTable(); });
  MineButton* first = table->board[0];
  delete table->board[37];
  table->board[37] = nullptr;
  Trace([this] { table->ReCreate(10, 10, 11, 24); });
  for (const auto& size : {std::vector<int>{101, 100, 4}, {1, 10, 4}, {10, -3, 4}, {10, 10, 0}})
    table->ReCreate(size[0], size[1], 10, size[2]);
  EXPECT_EQ(std::vector<int>({table->board[0] == first, Shows(37, table->image->TmarkPix[1]),
                              int(table->table->get_children().size()), table->nRow, table->nCol,
                              table->nSize}),
            std::vector<int>({1, 1, 100, 10, 10, 24}));
  Trace([this] { table->ReCreate(20, 15, 30, 9); });
  // Pictures are made when first asked for: the clamped ones first; both blank marks share one.
  Glib::RefPtr<Gdk::Pixbuf> clamped[] = {table->image->Number(9), table->image->Mark(-3)};
  EXPECT_EQ(std::make_tuple(table->board[300], clamped[0], clamped[1]),
            std::make_tuple(nullptr, table->image->TnumPix[8], table->image->TmarkPix[1]));
}

// The board in a shown window; a complaint of the toolkit ends the program.
class ShownBoardTest : public BoardTest {
protected:
  void TearDown() override {
    delete table;
    table = nullptr;
    Settle();
    delete window;
    g_log_set_always_fatal(GLogLevelFlags(G_LOG_FATAL_MASK));
    BoardTest::TearDown();
  }
  // Scrolled to the given share of the board, the cells lie in a grid; those in view or focused are
  // mapped and show play as it left them (`marked`: after the end), others have no window.
  void ExpectShown(double across, double down, int marked = -1) {
    Gtk::Adjustment* h = table->scrWin->get_hadjustment();
    Gtk::Adjustment* v = table->scrWin->get_vadjustment();
    h->set_value(int(across * (h->get_upper() - h->get_page_size())));
    v->set_value(int(down * (v->get_upper() - v->get_page_size())));
    Settle();
    Gdk::Rectangle view(h->get_value(), v->get_value(), h->get_page_size(), v->get_page_size());
    Gtk::Allocation first = table->board[0]->get_allocation();
    // Cells draw in block windows of the cells' box, the grid's window, whatever the board's shape.
    GdkWindow* box = table->table->get_window()->gobj();
    shown = 0;
    for (int i = 0; i < Cells(); i++) {
      MineButton* cell = table->board[i];
      Gtk::Allocation at = cell->get_allocation();
      ASSERT_EQ(std::vector<int>(
                    {at.get_x(), at.get_y(), at.get_width(), at.get_height(),
                     gdk_rectangle_intersect(at.gobj(), view.gobj(), nullptr) || cell->is_focus()
                         ? cell->is_mapped() && cell->is_drawable()
                         : !cell->get_realized()}),
                std::vector<int>({first.get_x() + i % table->nRow * first.get_width(),
                                  first.get_y() + i / table->nRow * first.get_height(),
                                  first.get_width(), first.get_height(), 1}))
          << i;
      if (!cell->is_mapped())
        continue;
      shown++;
      bool ended = marked >= 0, open = ended ? !cell->bomb : cell->state == 0;
      Glib::RefPtr<Gdk::Pixbuf> picture = i == marked                     ? table->image->Mark(4)
                                          : cell->bomb && (open || ended) ? table->image->Bomb()
                                          : open ? table->image->Number(cell->num)
                                                 : table->image->Mark(cell->state);
      ASSERT_EQ(std::vector<bool>({cell->image->get_pixbuf() == picture, cell->get_active(),
                                   cell->get_sensitive(), cell->get_inconsistent(),
                                   gdk_window_get_parent(cell->get_window()->gobj()) == box}),
                std::vector<bool>({true, open, !open && !ended, true, true}))
          << i;
    }
  }

  MineWindow* window = nullptr;
  int shown = 0;
};

// A load replaces the cells, making those in view only; play, the end and a reset reach the rest.
TEST_F(ShownBoardTest, CellsComingIntoViewShowThePlayAsItIs) {
  g_log_set_always_fatal(GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL));
  MineTable saved(nullptr, &timer, &scores);
  table->window = window = new MineWindow();
  window->add(*table->Show());
  Trace([&] {
    saved.ReCreate(100, 50, 10, 8);
    Release(&saved, 2550, 1);
    SaveFile().SaveState(&saved);
    table->CreateTable();
    SaveFile().LoadState(table);
  });
  EXPECT_EQ(table->table->get_children().size(), 5000u); // the cells found are replaced
  int made = 0;
  for (int i = 0; i < Cells(); i++)
    table->board[i]->signal_realize().connect([&made] { made++; });
  window->show();
  ExpectShown(0, 0);
  EXPECT_EQ(made, shown);
  ExpectShown(0.5, 0.5); // the cells opened, whatever the draw
  const int topBomb = 8, markedBomb = 4595, otherBomb = 4697;
  Trace([this] { table->ReCreate(100, 50, 10, 8); });
  Plant({topBomb, markedBomb, otherBomb});
  Release(table, 1010, 1);
  Press(table, markedBomb, 3);
  for (auto [across, down] : {std::pair(1, 0), {1, 1}, {0, 1}, {0, 0}}) // one way at a time
    ExpectShown(across, down);
  // A mark in view, past the first block, is drawn at once; the cell is not laid out again.
  auto drawn = [&] {
    Settle();
    Gtk::Allocation at = table->board[topBomb]->get_allocation();
    Glib::RefPtr<Gdk::Pixbuf> pixels =
        Gdk::Pixbuf::create(Glib::RefPtr<Gdk::Drawable>(table->board[topBomb]->get_window()),
                            at.get_x(), at.get_y(), at.get_width(), at.get_height());
    return std::hash<std::string>()(std::string(reinterpret_cast<char*>(pixels->get_pixels()),
                                                pixels->get_rowstride() * pixels->get_height()));
  };
  int laidOut = 0;
  table->board[topBomb]->image->signal_size_request().connect(
      [&laidOut](Gtk::Requisition*) { laidOut++; });
  Press(table, topBomb, 3);
  Press(table, topBomb, 3);
  size_t covered = drawn(); // with the focus the presses give it
  Press(table, topBomb, 3);
  EXPECT_NE(drawn(), covered);
  Press(table, topBomb, 3);
  EXPECT_EQ(std::make_pair(drawn(), laidOut), std::make_pair(covered, 0));
  Release(table, topBomb, 1);
  ExpectShown(1, 1, markedBomb);
  Trace([this] { table->ReCreate(100, 50, 10, 8); });
  ExpectShown(1, 1);
  table->board[4999]->grab_focus();
  ExpectShown(0, 0);
  EXPECT_EQ(window->get_focus(), table->board[4999]);
  // Grown by a cell at the far end, the window shows one line more; those shown keep their windows.
  Gtk::Allocation line = table->board[0]->get_allocation();
  ExpectShown(1, 1);
  GdkWindow* input = GTK_BUTTON(table->board[4999]->gobj())->event_window;
  for (auto [wider, taller] : {std::pair(line.get_width(), 0), {0, line.get_height()}}) {
    window->resize(window->get_width() + wider, window->get_height() + taller);
    ExpectShown(1, 1);
  }
  EXPECT_EQ(GTK_BUTTON(table->board[4999]->gobj())->event_window, input);
  window->resize(1000, 700);
  ExpectShown(0.5, 0.5);
  // A board left goes, each part freed once: its windows at once, its grid and cells once the
  // new board is drawn.
  int gone = 0;
  for (GObject* left : {G_OBJECT(table->board[0]->gobj()), G_OBJECT(table->table->gobj()),
                        G_OBJECT(table->table->get_window()->gobj())})
    g_object_weak_ref(
        left, [](void* n, GObject*) { ++*(int*)n; }, &gone);
  Trace([this] { table->ReCreate(2, 5000, 10, 4); }); // as many blocks as a board can have
  ExpectShown(0, 1);
  EXPECT_EQ(std::vector<int>({gone, int(table->scrWin->get_vadjustment()->get_upper())}),
            std::vector<int>({3, table->table->get_allocation().get_height()}));
}

} // namespace
