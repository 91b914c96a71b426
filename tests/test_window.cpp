// The main window, its menu bar, its clock and its dialogs, the high-score table among them,
// driven through what they show. Needs a display; runs in a temporary working directory.
#include "support.h"

#include "loaddialog.h"
#include "setgrid.h"
#include "status.h"
#include "vbox.h"
#include "window.h"

#include <glibmm/main.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/label.h>
#include <gtkmm/menu.h>
#include <gtkmm/scrollbar.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/statusbar.h>

#include <map>

namespace {

// The texts of the labels shown in a widget.
std::vector<std::string> Texts(Gtk::Widget* top) {
  std::vector<std::string> texts;
  for (Gtk::Label* label : ShownIn<Gtk::Label>(top))
    texts.push_back(label->get_text());
  return texts;
}

class WindowTest : public TempDirTest {
protected:
  void TearDown() override {
    Close();
    TempDirTest::TearDown();
  }
  void Start() {
    trace = "\n" + Trace([this] {
              window = new MineWindow();
              window->Create();
              Settle();
            });
    vbox = window->vbox;
    table = vbox->table;
  }
  void Close() {
    for (int guard = 0; guard < 50 && !Shown<Gtk::Dialog>().empty(); guard++, Settle())
      CloseRequest(Shown<Gtk::Dialog>()[0]);
    delete window;
    window = nullptr;
    Settle();
  }
  std::string Status() {
    return Texts(ShownIn<Gtk::Statusbar>(window).at(0)).at(0);
  }
  // The entry labelled `label` in the menu shown under the menu bar's `title`.
  Gtk::MenuItem* Entry(const std::string& title, const std::string& label) {
    for (Gtk::MenuItem* top : ShownIn<Gtk::MenuItem>(window))
      for (Gtk::MenuItem* item : ShownIn<Gtk::MenuItem>(top->get_submenu()))
        if (top->get_label() == title && item->get_label() == label)
          return item;
    ADD_FAILURE() << "no " << title << " > " << label;
    return nullptr;
  }

  MineWindow* window = nullptr;
  MainVBox* vbox = nullptr;
  MineTable* table = nullptr;
  std::string trace;
};

// A sound save is resumed, the clock paused until its message is closed; a broken, moved or
// copied one (a copy keeps the original's times) is refused with its reason. Both are deleted.
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
    Trace([this] { vbox->saveFile->SaveState(table); });
    Close();
    ASSERT_EQ(std::system(shell), 0);
    Start();
    bool sound = message == "Load State";
    EXPECT_EQ(trace.find("\nFIND SAVE.data\n") != trace.npos, sound);
    EXPECT_FALSE(FileExists("MINE_SAVE.data"));
    EXPECT_FALSE(window->timer->timeLabel->get_visible()); // until the clock's first tick
    EXPECT_EQ(Status(), sound ? "Free  : 12 x 9  bomb 30 %" : "Beginner  : 10 x 10  bomb 10 %");
    Gtk::Window* load = Shown<Gtk::Window>("LOAD").at(0);
    EXPECT_EQ(Texts(load), std::vector<std::string>({message, "Ok"}));
    EXPECT_EQ(std::vector<int>({table->startFlag, window->timer->timeFlag}),
              std::vector<int>({sound, 0}));
    ButtonIn(load, "Ok")->clicked();
    EXPECT_EQ(window->timer->timeFlag, sound ? 1 : 0);
  }
  LoadDialog* unknown = new LoadDialog(window->timer, 4); // a code with no message shows none
  EXPECT_EQ(Texts(unknown), std::vector<std::string>({"", "Ok"}));
  ButtonIn(unknown, "Ok")->clicked();
}

// A key goes where the focus is, which is on the reset button only when Tab put it there.
TEST_F(WindowTest, AStrayKeyKeepsTheGameAndTabThenSpaceResets) {
  Start();
  auto key = [this](guint keyval) {
    return Trace([&] {
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
    });
  };
  Release(table, 55, 1);
  int covered = 0;
  while (table->board[covered]->state == 0)
    covered++;
  for (guint keyval : {GDK_space, GDK_Return}) {
    EXPECT_EQ(key(keyval), "");
    Press(table, covered, 3);
    EXPECT_EQ(key(keyval), "");
    EXPECT_EQ(window->get_focus(), table->board[covered]);
    EXPECT_EQ(table->startFlag + table->board[covered]->get_active(), 1);
  }
  Close();
  Start();
  key(GDK_Tab);
  EXPECT_EQ(key(GDK_space).substr(0, 13), "button click\n");
}

// Each game command on a game in progress, and Save on a waiting board, which opens nothing: a
// marked cell tells a board reset in place from a new one. The window fits each board, scrolls
// only one beyond the screen's share, and is never left maximised.
TEST_F(WindowTest, EachGameCommandTracesAndActsAndTheWindowFitsTheBoard) {
  const std::tuple<std::string, std::string, std::string, int, bool, const char*> commands[] = {
      {"", "Reset", "button click\n", 11, true, "Free : 30 x 12  bomb 41 %"},
      {"Game", "Reset", "Reset...\n", 11, true, "Free : 30 x 12  bomb 41 %"},
      {"Game", "Medium", "Medium...\n", 14, false, "Medium : 15 x 15  bomb 15 %"},
      {"Option", "Save", "ACTIVATE SAVE\n", 14, true, "Medium : 15 x 15  bomb 15 %"}};
  Start();
  table->ReCreate(30, 12, 41, 11);
  for (const auto& [menu, entry, said, nSize, inPlace, status] : commands) {
    if (entry != "Save")
      Release(table, 55, 1);
    table->board[0]->set_name("marked");
    std::string out = Trace([&, menu = menu, entry = entry] {
      menu.empty() ? ButtonIn(window, entry)->clicked() : Entry(menu, entry)->activate();
      Settle();
    });
    EXPECT_EQ(out.substr(0, said.size()), said); // a new board goes on to trace its size and fit
    EXPECT_EQ(Status(), status);
    EXPECT_EQ(std::vector<int>({table->nSize, table->board[0]->get_name() == "marked"}),
              std::vector<int>({nSize, inPlace}))
        << entry;
    for (int i = 0; i < table->nRow * table->nCol; i++)
      ASSERT_EQ(table->board[i]->state + table->startFlag + window->timer->timeFlag, 1) << entry;
    EXPECT_TRUE(Shown<Gtk::Dialog>().empty());
    EXPECT_FALSE(table->scrWin->get_hscrollbar()->get_visible()) << "a board that fits is cut";
    EXPECT_FALSE(table->scrWin->get_vscrollbar()->get_visible()) << "a board that fits is cut";
  }
  Trace([this] {
    table->ReCreate(100, 50, 10, 8);
    Settle();
  });
  EXPECT_TRUE(table->scrWin->get_hscrollbar()->get_visible());
  EXPECT_TRUE(table->scrWin->get_vscrollbar()->get_visible());
  // With no window manager on the test display, an unmapped window changes its state at once.
  window->hide();
  Settle();
  window->maximize();
  ASSERT_TRUE(window->get_window()->get_state() & Gdk::WINDOW_STATE_MAXIMIZED);
  Settle();
  EXPECT_FALSE(window->get_window()->get_state() & Gdk::WINDOW_STATE_MAXIMIZED);
}

// Each dialog, opened as the player opens it (no menu: the main window's close box), pauses the
// clock and holds the grab while open; closed by its button or its close box, it resumes only a
// clock it paused and frees all it showed.
TEST_F(WindowTest, DialogsPauseTheClockOnlyWhileOpenAndFreeAllTheyShow) {
  Start();
  Release(table, 55, 1);
  MineTimer* timer = window->timer;
  // The menu and entry, what opening traces, the title, the button and what it traces.
  const std::array<std::string, 6> dialogs[] = {
      {"Help", "About", "ACTIVATE ABOUT\n", "ABOUT", "Ok", "Quit\n"},
      {"", "", "", "EXIT", "Cancel", "Return...\n"},
      {"Option", "Save", "ACTIVATE SAVE\n", "SAVE", "Cancel", "Return...\n"},
      {"Option", "Score", "OK! MATCH LIST\nACTIVATE SCORE\n", "SCORE", "OK", "Return...\n"}};
  for (const auto& [menu, entry, opening, title, button, closing] : dialogs)
    for (int path = 0; path < 4; path++) {
      bool closeBox = path & 1, running = path & 2;
      running ? timer->Start() : timer->Stop();
      timer->nSec = 57;
      EXPECT_EQ(Trace([&, menu = menu, entry = entry] {
                  menu.empty() ? (void)CloseRequest(window) : Entry(menu, entry)->activate();
                }),
                opening);
      Gtk::Window* shown = Shown<Gtk::Window>(title).at(0);
      EXPECT_EQ(timer->timeFlag, 0);
      EXPECT_EQ(gtk_grab_get_current(), GTK_WIDGET(shown->gobj()));
      int freed = 0;
      std::vector<Gtk::Widget*> parts = ShownIn<Gtk::Widget>(shown);
      for (Gtk::Widget* part : parts)
        g_object_weak_ref(
            G_OBJECT(part->gobj()), [](void* n, GObject*) { ++*(int*)n; }, &freed);
      EXPECT_EQ(Trace([&, button = button] {
                  closeBox ? (void)CloseRequest(shown) : ButtonIn(shown, button)->clicked();
                  Settle();
                }),
                closeBox ? "delete...\n" : closing);
      EXPECT_EQ(std::vector<int>({timer->timeFlag, timer->nSec, freed}),
                std::vector<int>({running, 57, static_cast<int>(parts.size())}))
          << title;
      EXPECT_EQ(gtk_grab_get_current(), nullptr);
    }
}

// The size proposed for the cells down (never below 8 pixels), the values shown again, Reset, and
// an odd board's values clamped to what the spin buttons show.
TEST_F(WindowTest, TheGridDialogProposesSizesAndAppliesWhatItShows) {
  Start();
  Entry("Option", "Set Grid")->activate();
  Gtk::Dialog* grid = Shown<Gtk::Dialog>("SET GRID").at(0);
  std::vector<Gtk::SpinButton*> spins = ShownIn<Gtk::SpinButton>(grid);
  ASSERT_EQ(spins.size(), 4u);
  auto shown = [&] {
    std::vector<int> values;
    for (Gtk::SpinButton* spin : spins)
      values.push_back(spin->get_value_as_int());
    return values;
  };
  for (auto down : std::vector<std::pair<int, int>>{
           {8, 31}, {10, 24}, {15, 14}, {20, 9}, {21, 8}, {22, 8}, {23, 8}, {50, 8}}) {
    spins[1]->set_value(30);
    spins[1]->set_value(down.first);
    EXPECT_EQ(shown(), std::vector<int>({10, down.first, 10, down.second}));
  }
  Release(table, 0, 1);
  for (bool closeBox : {false, true}) {
    for (int i = 0; i < 3; i++)
      spins[i]->set_value(33);
    EXPECT_EQ(
        Trace([&] { closeBox ? (void)CloseRequest(grid) : ButtonIn(grid, "Close")->clicked(); }),
        closeBox ? "delete...\n" : "Return...\n");
    EXPECT_EQ(std::vector<int>({grid->is_visible(), window->timer->timeFlag}),
              std::vector<int>({0, 1}));
    Entry("Option", "Set Grid")->activate();
    EXPECT_EQ(shown(), std::vector<int>({10, 10, 10, 24}));
  }
  for (int i = 0; i < 4; i++)
    spins[i]->set_value(i < 3 ? 1000 : 8);
  Trace([&] { ButtonIn(grid, "Reset")->clicked(); });
  EXPECT_EQ(Status(), "Free : 100 x 50  bomb 60 %");
  EXPECT_EQ(table->nSize, 8);
  table->nRow = 5, table->nCol = 200, table->pBomb = 90, table->nSize = 2;
  GridDialog odd;
  odd.Create(table, vbox->status);
  EXPECT_EQ(std::vector<int>({odd.tRow, odd.tCol, odd.tBomb, odd.tSize}),
            std::vector<int>({8, 50, 60, 4}));
  table->nRow = 100, table->nCol = 50, table->nSize = 8;
}

struct ClockTest : ::testing::Test, MineTimer {
  // Runs the main loop until the count passes from or limitMs have gone by.
  void RunPast(int from, int limitMs) {
    bool late = false;
    auto limit = Glib::signal_timeout().connect([&]() { return !(late = true); }, limitMs);
    while (nSec <= from && !late)
      Glib::MainContext::get_default()->iteration(true);
    limit.disconnect();
  }
};

// A second Start adds no second connection; Stop stops the ticks; the count stops at the top.
TEST_F(ClockTest, OneConnectionTicksTenthsUpToTheTop) {
  EXPECT_EQ(std::vector<int>({Start(), Start()}), std::vector<int>({0, 1}));
  RunPast(1, 5000);
  ASSERT_EQ(Stop(), 0);
  int stoppedAt = nSec;
  RunPast(INT_MAX, 300);
  EXPECT_EQ(nSec, stoppedAt);
  const std::pair<int, const char*> ticks[] = {{0, "time:      0.1 sec"},
                                               {9999999, "time: 1000000.0 sec"},
                                               {INT_MAX, "time: 214748364.7 sec"}};
  for (const auto& tick : ticks) {
    nSec = tick.first;
    EXPECT_TRUE(TimeOut());
    EXPECT_EQ(timeLabel->get_text(), tick.second) << tick.first;
  }
}

// The high-score table from a hand-made list.
class ScoreDialogTest : public ::testing::Test {
protected:
  void TearDown() override {
    delete dialog;
    list.ALLDeleteList();
  }
  void Add(int score, int row, int bomb, int sec, int mode, int stamp, std::string name = "b") {
    list.AppendList(new ScoreItem{score, row, row, bomb, sec, mode, 0, stamp, name, 0, 0});
  }
  void Open(int target) {
    delete dialog;
    dialog = new ScoreDialog(&list, &timer);
    dialog->Create(target);
    for (Gtk::CheckButton* check : ShownIn<Gtk::CheckButton>(dialog))
      checks[check->get_label()] = check;
  }
  template <class T> std::vector<T> Column(const Gtk::TreeModelColumn<T>& column) {
    std::vector<T> values;
    for (const Gtk::TreeModel::Row& row : dialog->mList->children())
      values.push_back(row[column]);
    return values;
  }
  int CursorRow() {
    Gtk::TreeModel::Path path;
    Gtk::TreeViewColumn* column;
    dialog->listView->get_cursor(path, column);
    return path.empty() ? -1 : path[0];
  }

  ScoreFile list;
  MineTimer timer;
  ScoreDialog* dialog = nullptr;
  std::map<std::string, Gtk::CheckButton*> checks;
};

// Whatever a record holds shows soundly, no column is cut, and the view is at least 550 pixels
// wide; the columns sort by their numbers.
TEST_F(ScoreDialogTest, RowsShowRecordsSoundlyAndSortByNumbers) {
  Add(1000, 10, 10, 7, 1, 11, "");
  Add(555, 20, 80, 1200, 3, 12, "\377a\303");
  Add(300, 100000, 2000000000, -7, 4, 13);
  Add(200, 2, 9, 250, 2, 14);
  Open(0);
  const ScoreCol& col = *dialog->scoreCol;
  EXPECT_EQ(Column(col.strBoard),
            (std::vector<Glib::ustring>{"100 (10x10)", "400 (20x20)", "10000000000 (100000x100000)",
                                        "4 (2x2)"}));
  EXPECT_EQ(Column(col.strSec),
            (std::vector<Glib::ustring>{"0.7 sec", "120.0 sec", "-0.7 sec", "25.0 sec"}));
  EXPECT_EQ(Column(col.strName),
            (std::vector<Glib::ustring>{"NO NAME", "\357\277\275a\357\277\275", "b", "b"}));
  EXPECT_EQ(Column(col.strMode),
            (std::vector<Glib::ustring>{"Beginner", "Advance", "Free", "Medium"}));
  EXPECT_EQ(Column(col.rate), (std::vector<int>{10, 20, 20, 100}));
  EXPECT_EQ(CursorRow(), -1);
  Settle();
  int columns = 0;
  for (Gtk::TreeViewColumn* column : dialog->listView->get_columns())
    columns += column->get_width();
  Gdk::Rectangle shown;
  dialog->listView->get_visible_rect(shown);
  EXPECT_LE(columns, shown.get_width());
  EXPECT_GE(shown.get_width(), 550);
  dialog->listView->get_column(4)->clicked();
  EXPECT_EQ(Column(col.sec), (std::vector<int>{-7, 7, 250, 1200}));
  dialog->listView->get_column(2)->clicked();
  EXPECT_EQ(Column(col.num), (std::vector<int>{4, 1, 2, 3}));
}

// The filters show the thirty best of the modes ticked (an unknown mode never), ranked afresh;
// the last record with the target stamp is selected, through the filters too; from the menu
// (stamp 0) only a hand-edited record stamped 0 is.
TEST_F(ScoreDialogTest, FiltersShowThirtyBestRankedAfreshAndTheTargetSelected) {
  for (int i = 0; i < 40; i++)
    Add(1000 - i, 10, 10, 100, i % 5 == 0 ? 2 : (i == 1 ? 7 : 1), i == 3 || i == 5 ? 77 : i + 1);
  Open(77);
  EXPECT_EQ(std::vector<int>({int(dialog->mList->children().size()), CursorRow()}),
            std::vector<int>({30, 4}));
  EXPECT_EQ(Trace([this] { checks["Medium"]->set_active(false); }), "Medium\nNO ACTIVE\n");
  EXPECT_EQ(Column(dialog->scoreCol->score).back(), 962);
  EXPECT_EQ(Column(dialog->scoreCol->num).back(), 30);
  EXPECT_EQ(CursorRow(), 1);
  checks["Beginner"]->set_active(false);
  checks["Medium"]->set_active(true);
  EXPECT_EQ(std::vector<int>({int(dialog->mList->children().size()), CursorRow()}),
            std::vector<int>({8, 1}));
  list.firstList->TIME = 0;
  Open(0);
  EXPECT_EQ(CursorRow(), 0);
  list.firstList->TIME = 9;
  Open(0);
  EXPECT_EQ(dialog->listView->get_selection()->count_selected_rows(), 0);
}

} // namespace
