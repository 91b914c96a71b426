// SPDX-License-Identifier: GPL-3.0-or-later
// The main window, its menu, clock and dialogs. Needs a display; runs in a temporary directory.
#include "support.h"

namespace {

std::string Label(Gtk::Widget* top) {
  return ShownIn<Gtk::Label>(top).at(0)->get_text();
}

// Runs the main loop until `done`, for `ms` milliseconds at most.
void RunUntil(const std::function<bool()>& done, int ms) {
  for (gint64 end = g_get_monotonic_time() + ms * 1000; !done() && g_get_monotonic_time() < end;)
    Gtk::Main::iteration(false);
}

class WindowTest : public TempDirTest {
protected:
  void TearDown() override {
    Close();
    TempDirTest::TearDown();
  }
  void Start() {
    window = new MineWindow();
    window->Create();
    Settle();
    table = window->vbox->table;
  }
  void Close() {
    delete window;
    window = nullptr;
    Settle();
  }
  void Key(guint keyval) {
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    ASSERT_TRUE(gdk_keymap_get_entries_for_keyval(nullptr, keyval, &keys, &count));
    for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
      GdkEvent event = {};
      event.key = {type,    window->get_window()->gobj(),          TRUE, 0, 0, keyval, 0,
                   nullptr, static_cast<guint16>(keys[0].keycode), 0,    0};
      gtk_widget_event(GTK_WIDGET(window->gobj()), &event);
    }
    g_free(keys);
    Settle();
  }
  Gtk::MenuItem* Entry(const std::string& title, const std::string& label) {
    for (Gtk::MenuItem* top : ShownIn<Gtk::MenuItem>(window))
      for (Gtk::MenuItem* item : ShownIn<Gtk::MenuItem>(top->get_submenu()))
        if (top->get_label() == title && item->get_label() == label)
          return item;
    ADD_FAILURE() << "no " << title << " > " << label;
    return nullptr;
  }

  MineWindow* window = nullptr;
  MineTable* table = nullptr;
};

// A sound save resumes once its message is closed, others are refused with their reason; all go.
TEST_F(WindowTest, StartUpResumesASoundSaveOnceAndRefusesTheRest) {
  const std::pair<const char*, std::string> cases[] = {
      {"true", "Load State"},
      {"printf 'STATE<\\n10\\t10\\t10\\n>\\n' >MINE_SAVE.data", "SAVE Broken"},
      {"touch -m -d '1 hour ago' MINE_SAVE.data", "Can't Change"},
      {"cp -p MINE_SAVE.data copy && mv copy MINE_SAVE.data", "Can't Copy"}};
  for (const auto& [shell, message] : cases) {
    Close();
    Start();
    table->ReCreate(12, 9, 30, 20);
    Release(table, 50, 1);
    Trace([this] { window->vbox->saveFile->SaveState(table); });
    Close();
    ASSERT_EQ(std::system(shell), 0);
    Start();
    bool sound = message == "Load State";
    EXPECT_NE(access(replay::saveName, F_OK), 0);
    EXPECT_EQ(Label(ShownIn<Gtk::Statusbar>(window).at(0)),
              sound ? "Free  : 12 x 9  bomb 30 %" : "Beginner  : 10 x 10  bomb 10 %");
    Gtk::Window* load = Shown<Gtk::Window>("LOAD").at(0);
    EXPECT_EQ(Label(load), message);
    EXPECT_EQ(std::vector<int>({table->startFlag, window->timer->timeFlag, Hints(load)}),
              std::vector<int>({sound, 0, 10011}));
    EXPECT_EQ(Trace([&] { sound ? ButtonIn(load, "Ok")->clicked() : (void)CloseRequest(load); }),
              sound ? "" : "delete...\n");
    EXPECT_EQ(window->timer->timeFlag, sound ? 1 : 0);
  }
  for (int code : {-1, 6}) { // a code with no message, on either side, shows none
    LoadDialog* unknown = new LoadDialog(window->timer, code);
    EXPECT_EQ(Label(unknown) + std::to_string(Hints(unknown)), "11"); // nor an icon
    ButtonIn(unknown, "Ok")->clicked();
  }
}

// Stray keys, then each command on a game (no menu: the close box), Save on a waiting board too.
TEST_F(WindowTest, EachCommandTracesAndActs) {
  // Menu, entry, trace, then a new game's status, cell size, pictures' size and clock, or a
  // dialog's title, button, closing trace and hints.
  const std::array<std::string, 7> commands[] = {
      {"Game", "Reset", "Reset...\n", "Free : 12 x 9  bomb 30 % 20 20 time :"},
      {"Game", "Medium", "Medium...\n", "Medium : 15 x 15  bomb 15 % 14 14 time :"},
      {"Game", "Advance", "Advance...\n", "Advance : 20 x 20  bomb 20 % 9 9 time :"},
      {"Game", "Beginner", "Beginner...\n", "Beginner : 10 x 10  bomb 10 % 24 24 time :"},
      {"Option", "Save", "ACTIVATE SAVE\n", "Beginner : 10 x 10  bomb 10 % 24 24 time :"},
      {"Help", "About", "ACTIVATE ABOUT\n", "ABOUT", "Ok", "Quit\n", "10011"},
      {"", "", "", "EXIT", "Cancel", "Return...\n", "10011"},
      {"Option", "Save", "ACTIVATE SAVE\n", "SAVE", "Cancel", "Return...\n", "10013"},
      {"Option", "Score", "OK! MATCH LIST\nACTIVATE SCORE\n", "SCORE", "OK", "Return...\n",
       "10111"}};
  Start();
  EXPECT_EQ(std::make_pair(Hints(window), !window->get_focus()), std::make_pair(10101, true));
  MineTimer* timer = window->timer;
  EXPECT_FALSE(timer->timeLabel->get_visible()); // until the clock's first tick
  Release(table, 55, 1);
  RunUntil([timer] { return timer->timeLabel->get_visible(); }, 2000);
  EXPECT_TRUE(timer->timeLabel->get_visible());
  int covered = 0;
  while (table->board[covered]->state == 0)
    covered++;
  for (guint keyval : {GDK_space, GDK_Return}) {
    EXPECT_EQ(Trace([&] { Key(keyval); }), "");
    Press(table, covered, 3);
    EXPECT_EQ(Trace([&] { Key(keyval); }), "");
    EXPECT_EQ(window->get_focus(), table->board[covered]);
    EXPECT_EQ(std::vector<int>({table->startFlag, table->board[covered]->get_active()}),
              std::vector<int>({1, 0}));
  }
  window->unset_focus(); // as at start-up, where Tab reaches the Reset button
  Key(GDK_Tab);
  EXPECT_EQ(Trace([&] { Key(GDK_space); }).substr(0, 13), "button click\n");
  std::string built = Trace([this] {
    table->ReCreate(12, 9, 30, 20);
    Settle();
  });
  int across = 0, down = 0;
  std::sscanf(built.substr(built.find("width=")).c_str(), "width=%d,height=%d", &across, &down);
  for (const auto& [menu, entry, said, shows, button, closing, hints] : commands)
    for (int path = 0; path < (button.empty() ? 1 : 4); path++) {
      if (said != "ACTIVATE SAVE\n" || !button.empty())
        Release(table, 55, 1);
      table->board[0]->set_name("marked");
      bool closeBox = path & 1, running = path & 2;
      running ? timer->Start() : timer->Stop();
      timer->nSec = 57;
      std::string out = Trace([&, menu = menu, entry = entry] {
        menu.empty() ? (void)CloseRequest(window) : Entry(menu, entry)->activate();
        Settle();
      });
      EXPECT_EQ(out.substr(0, said.size()), said); // a new board goes on to trace its size and fit
      if (button.empty()) {
        EXPECT_EQ(Label(ShownIn<Gtk::Statusbar>(window).at(0)) + " " +
                      std::to_string(table->nSize) + " " +
                      std::to_string(table->board[0]->image->get_pixbuf()->get_width()) + " " +
                      timer->timeLabel->get_text(),
                  shows);
        EXPECT_EQ(table->board[0]->get_name() == "marked", entry == "Reset" || entry == "Save");
        for (int i = 0; i < table->nRow * table->nCol; i++)
          ASSERT_EQ(std::vector<int>({table->board[i]->state, table->startFlag, timer->timeFlag}),
                    std::vector<int>({1, 0, 0}))
              << entry;
        // The view is the grid as traced, neither cut nor padded: the window fits the board.
        std::sscanf(out.c_str() + std::min(out.find("width="), out.size()), "width=%d,height=%d",
                    &across, &down);
        EXPECT_EQ(std::vector<int>({int(Shown<Gtk::Dialog>().size()),
                                    int(table->scrWin->get_hadjustment()->get_page_size()),
                                    int(table->scrWin->get_vadjustment()->get_page_size())}),
                  std::vector<int>({0, across, down}))
            << entry;
        continue;
      }
      Gtk::Window* shown = Shown<Gtk::Window>(shows).at(0);
      EXPECT_EQ(timer->timeFlag, 0);
      EXPECT_EQ(gtk_grab_get_current(), GTK_WIDGET(shown->gobj()));
      EXPECT_EQ(std::to_string(Hints(shown)), hints);
      for (Gtk::TreeView* list : ShownIn<Gtk::TreeView>(shown)) // the score table, empty here
        EXPECT_GE(list->get_allocation().get_width(), 550);
      std::string styles; // the About box's runs, by how many styles each has; none elsewhere
      for (Gtk::TextView* text : ShownIn<Gtk::TextView>(shown)) {
        EXPECT_GE(text->get_allocation().get_width(), 250); // whatever the credit line holds
        for (auto at = text->get_buffer()->begin(); !at.is_end(); at.forward_char())
          styles += char('0' + at.get_tags().size());
      }
      EXPECT_EQ(styles,
                shows != "ABOUT" ? "" : "11111111111111111111111100111111111112222222222222222222");
      int freed = 0;
      std::vector<Gtk::Widget*> parts = ShownIn<Gtk::Widget>(shown);
      for (Gtk::Widget* part : parts)
        g_object_weak_ref(
            G_OBJECT(part->gobj()), [](void* n, GObject*) { ++*(int*)n; }, &freed);
      int clock[2]; // read before the main loop runs on, where a slow run sees the clock tick
      EXPECT_EQ(Trace([&, button = button] {
                  closeBox ? (void)CloseRequest(shown) : ButtonIn(shown, button)->clicked();
                  clock[0] = timer->timeFlag, clock[1] = timer->nSec;
                  Settle();
                }),
                closeBox ? "delete...\n" : closing);
      EXPECT_EQ(std::vector<int>({clock[0], clock[1], freed, gtk_grab_get_current() == nullptr}),
                std::vector<int>({running, 57, static_cast<int>(parts.size()), 1}))
          << shows;
    }
  // Smaller than its board, the window scrolls to every cell; large again, it shows no bar.
  Gtk::ScrolledWindow* view = table->scrWin;
  auto bars = [&](int width, int height) {
    window->resize(width, height);
    Settle();
    return std::vector<int>(
        {view->get_hscrollbar()->get_visible(), view->get_vscrollbar()->get_visible(),
         int(view->get_hadjustment()->get_upper()), int(view->get_vadjustment()->get_upper())});
  };
  int width = window->get_width(), height = window->get_height();
  EXPECT_EQ(bars(width - 60, height - 60), std::vector<int>({1, 1, across, down}));
  EXPECT_EQ(bars(width, height), std::vector<int>({0, 0, across, down}));
  for (auto [depth, tall] : {std::pair(50, 1), {10, 0}}) { // too large both ways, or across only
    table->ReCreate(100, depth, 10, 8);
    Settle();
    EXPECT_EQ(std::vector<int>({view->get_hscrollbar()->get_visible(),
                                view->get_vscrollbar()->get_visible(), window->get_width(),
                                window->get_height() == 600}),
              std::vector<int>({1, tall, 800, tall}));
  }
}

// Sizes proposed for the cells down; an odd board's values clamped to what is shown; no maximising.
TEST_F(WindowTest, TheGridDialogProposesSizesAndTakesOnlyWhatItShows) {
  Start();
  Trace([this] { table->ReCreate(12, 9, 35, 20); });
  Entry("Option", "Set Grid")->activate(); // it opens on the board's values
  Gtk::Dialog* dialog = Shown<Gtk::Dialog>("SET GRID").at(0);
  std::string shows;
  for (Gtk::Widget* part : ShownIn<Gtk::Widget>(dialog))
    if (Gtk::Label* label = dynamic_cast<Gtk::Label*>(part))
      shows += label->get_text() + " ";
    else if (Gtk::SpinButton* spin = dynamic_cast<Gtk::SpinButton*>(part))
      shows += std::to_string(spin->get_value_as_int()) + " ";
  ASSERT_EQ(shows + std::to_string(Hints(dialog)), "12 x 9 bomb: 35 % size: 20 Close Reset 10011");
  std::vector<Gtk::SpinButton*> spins = ShownIn<Gtk::SpinButton>(dialog);
  for (auto [down, size] : std::vector<std::pair<int, int>>{
           {8, 31}, {10, 24}, {15, 14}, {20, 9}, {21, 8}, {22, 8}, {23, 8}, {50, 8}}) {
    spins[1]->set_value(30);
    spins[1]->set_value(down);
    EXPECT_EQ(spins[3]->get_value_as_int(), size) << down;
  }
  // Reset makes the board shown; Close and the close box hide the dialog, which opens again.
  std::string said = Trace([&] {
    ButtonIn(dialog, "Reset")->clicked();
    EXPECT_FALSE(CloseRequest(dialog));
    Entry("Option", "Set Grid")->activate();
    ButtonIn(dialog, "Close")->clicked();
  });
  EXPECT_EQ(said + Label(ShownIn<Gtk::Statusbar>(window).at(0)) +
                std::to_string(Shown<Gtk::Dialog>().size()),
            "Reset...\n12\t50\t35\ndelete...\nReturn...\nFree : 12 x 50  bomb 35 %0");
  std::tie(table->nRow, table->nCol, table->pBomb, table->nSize) = std::make_tuple(5, 200, 90, 2);
  GridDialog odd;
  odd.Create(table, window->vbox->status);
  EXPECT_EQ(std::vector<int>({odd.tRow, odd.tCol, odd.tBomb, odd.tSize}),
            std::vector<int>({8, 50, 60, 4}));
  window->hide(); // unmapped, its state changes at once, as a window manager would change it
  Settle();
  window->maximize();
  Settle();
  EXPECT_EQ(gdk_window_get_state(window->get_window()->gobj()) & GDK_WINDOW_STATE_MAXIMIZED, 0);
}

// Tenths up to the top; a second start keeps the one timeout, which a stop ends.
TEST(ClockTest, TicksTenthsUpToTheTopFromOneTimeout) {
  struct Clock : MineTimer {
    using MineTimer::TimeOut;
  } clock;
  clock.Start();
  clock.Start();
  clock.Stop();
  RunUntil([] { return false; }, 250);
  EXPECT_EQ(clock.nSec, 0);
  const std::pair<int, const char*> ticks[] = {{0, "time:      0.1 sec"},
                                               {9999999, "time: 1000000.0 sec"},
                                               {INT_MAX, "time: 214748364.7 sec"}};
  for (const auto& [count, text] : ticks) {
    clock.nSec = count;
    EXPECT_TRUE(clock.TimeOut());
    EXPECT_EQ(clock.timeLabel->get_text(), text);
  }
}

// Any record shows soundly and uncut; the boxes hide a mode's records and rank the rest anew, 30
// at most; of two records with the stamp aimed at, the later is selected; columns sort by number.
TEST(ScoreDialogTest, RowsShowRecordsSoundlyFilteredRankedAndSortedByNumbers) {
  ScoreFile list;
  MineTimer timer;
  list.AppendList(new ScoreItem{1000, 10, 10, 10, 7, 1, 0, 11, "", 0, 0});
  list.AppendList(new ScoreItem{555, 20, 20, 80, 1200, 3, 0, 0, "\377a\303", 0, 0});
  list.AppendList(new ScoreItem{300, 100000, 100000, 2000000000, -7, 4, 0, 13, "b", 0, 0});
  list.AppendList(new ScoreItem{200, 2, 2, 9, 250, 2, 0, 0, "b", 0, 0});
  for (int i = 0; i < 30; i++)
    list.AppendList(new ScoreItem{100, 8, 8, 9, 250, 2, 0, 20 + i, "e", 0, 0});
  ScoreDialog* dialog = new ScoreDialog(&list, &timer);
  dialog->Create(0);
  const ScoreCol& col = *dialog->scoreCol;
  auto rows = [&] {
    std::vector<std::string> shown;
    for (const Gtk::TreeModel::Row& row : dialog->mList->children())
      shown.push_back(std::to_string(row[col.num]) + " " + std::to_string(row[col.score]) + " " +
                      row[col.strBoard] + " " + std::to_string(row[col.bomb]) + " " +
                      row[col.strSec] + " " + row[col.strName] + " " + row[col.strMode] + " " +
                      std::to_string(row[col.rate]));
    return shown;
  };
  auto toggle = [](Gtk::CheckButton* box) { return Trace([box] { box->clicked(); }); };
  const std::vector<std::string> all = {
      "1 1000 100 (10x10) 10 0.7 sec NO NAME Beginner 10",
      "2 555 400 (20x20) 80 120.0 sec \357\277\275a\357\277\275 Advance 20",
      "3 300 10000000000 (100000x100000) 2000000000 -0.7 sec b Free 20",
      "4 200 4 (2x2) 9 25.0 sec b Medium 100", "30 100 64 (8x8) 9 25.0 sec e Medium 14"};
  std::vector<std::string> shown = rows();
  ASSERT_EQ(shown.size(), 30u);
  shown.erase(shown.begin() + 4, shown.end() - 1); // the first four and the last
  EXPECT_EQ(shown, all);
  EXPECT_TRUE(dialog->listView->get_selection()->is_selected(Gtk::TreeModel::Path("3")));
  Settle();
  int columns = 0;
  for (Gtk::TreeViewColumn* column : dialog->listView->get_columns())
    columns += column->get_width();
  EXPECT_LE(columns, dialog->listView->get_allocation().get_width());
  EXPECT_EQ(toggle(dialog->beginnerCheck), "Beginner\nNO ACTIVE\n");
  EXPECT_EQ(std::vector<std::string>({rows().at(0), rows().at(29)}),
            std::vector<std::string>({"1" + all[1].substr(1), all[4]}));
  EXPECT_EQ(toggle(dialog->mediumCheck) + toggle(dialog->beginnerCheck),
            "Medium\nNO ACTIVE\nBeginner\nACTIVE\n");
  EXPECT_EQ(rows(), std::vector<std::string>({all[0], all[1], all[2]}));
  dialog->listView->get_column(4)->clicked();
  EXPECT_EQ(rows(), std::vector<std::string>({all[2], all[0], all[1]}));
  dialog->listView->get_column(2)->clicked();
  EXPECT_EQ(rows(), std::vector<std::string>({all[0], all[1], all[2]}));
  delete dialog;
}

} // namespace
