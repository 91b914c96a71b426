// The main window, its menu bar, its clock and its dialogs, driven through what they show: the
// start-up probe, the close request, the maximise undo, the commands, the clock (through its tick
// handler and the main loop, never sleeps), the time grabs and the grid dialog. Needs a display;
// runs in a temporary working directory.
#include "support.h"

#include "aboutdialog.h"
#include "exit.h"
#include "loaddialog.h"
#include "savedialog.h"
#include "setgrid.h"
#include "status.h"
#include "vbox.h"
#include "window.h"

#include <glibmm/main.h>
#include <gtkmm/label.h>
#include <gtkmm/menu.h>
#include <gtkmm/scrollbar.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/statusbar.h>

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
  int ScrollBars() {
    return table->scrWin->get_hscrollbar()->get_visible() +
           table->scrWin->get_vscrollbar()->get_visible();
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

// Whether a game is saved first, then what befalls the file (a copy keeps the original's times).
TEST_F(WindowTest, StartUpResumesASoundSaveOnceAndRefusesTheRest) {
  const std::tuple<bool, const char*, std::string> cases[] = {
      {false, "true", ""},
      {true, "true", "Load State"},
      {false, "printf 'STATE<\\n10\\t10\\t10\\n>\\n' >MINE_SAVE.data", "SAVE Broken"},
      {true, "touch -m -d '1 hour ago' MINE_SAVE.data", "Can't Change"},
      {true, "cp -p MINE_SAVE.data copy && mv copy MINE_SAVE.data", "Can't Copy"}};
  for (const auto& [save, shell, message] : cases) {
    SCOPED_TRACE(message);
    Close();
    if (save) {
      Start();
      table->ReCreate(12, 9, 30, 20);
      Release(table, 50, 1);
      Trace([this] { vbox->saveFile->SaveState(table); });
      Close();
    }
    ASSERT_EQ(std::system(shell), 0);
    Start();
    bool sound = message == "Load State";
    EXPECT_EQ(trace.find("\nFIND SAVE.data\n") != trace.npos, sound);
    EXPECT_EQ(trace.find("\nCAN'T FIND SAVE.data\n") != trace.npos, message.empty());
    EXPECT_FALSE(FileExists("MINE_SAVE.data"));
    EXPECT_FALSE(window->timer->timeLabel->get_visible()); // until the clock's first tick
    EXPECT_EQ(table->startFlag, sound ? 1 : 0);
    EXPECT_EQ(Status(), sound ? "Free  : 12 x 9  bomb 30 %" : "Beginner  : 10 x 10  bomb 10 %");
    std::vector<LoadDialog*> load = Shown<LoadDialog>("LOAD");
    ASSERT_EQ(load.size(), message.empty() ? 0u : 1u);
    if (message.empty())
      continue;
    EXPECT_EQ(Texts(load[0]), std::vector<std::string>({message, "Ok"}));
    EXPECT_EQ(window->timer->timeFlag, 0);
    ButtonIn(load[0], "Ok")->clicked();
    EXPECT_EQ(window->timer->timeFlag, sound ? 1 : 0);
  }
  LoadDialog* unknown = new LoadDialog(window->timer, 4); // a code with no message shows none
  EXPECT_EQ(Texts(unknown), std::vector<std::string>({"", "Ok"}));
  ButtonIn(unknown, "Ok")->clicked();
}

TEST_F(WindowTest, CloseRequestAsksAndQuitExitsWithZeroAndAMaximiseIsUndone) {
  Start();
  Release(table, 44, 1);
  EXPECT_TRUE(CloseRequest(window));
  ASSERT_EQ(Shown<Gtk::Dialog>("EXIT").size(), 1u);
  Gtk::Dialog* exit = Shown<Gtk::Dialog>("EXIT")[0];
  EXPECT_EQ(Texts(exit), std::vector<std::string>({"Quit ?", "Cancel", "OK"}));
  EXPECT_EQ(window->timer->timeFlag, 0);
  EXPECT_EXIT(
      {
        ButtonIn(exit, "OK")->clicked();
        std::exit(7);
      },
      testing::ExitedWithCode(0), "");
  // With no window manager on the test display, an unmapped window changes its state at once.
  window->hide();
  Settle();
  window->maximize();
  ASSERT_TRUE(window->get_window()->get_state() & Gdk::WINDOW_STATE_MAXIMIZED);
  Settle();
  EXPECT_FALSE(window->get_window()->get_state() & Gdk::WINDOW_STATE_MAXIMIZED);
}

// Each command (a menu and an entry; no menu: the Reset button) runs on a game in progress on the
// board the previous one left, Save once on a waiting board; a marked cell tells a board reset in
// place from a new one.
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

TEST_F(WindowTest, EachCommandTracesAndActs) {
  const char* beginner = "Beginner : 10 x 10  bomb 10 %";
  const std::tuple<std::string, std::string, std::string, std::string, int, bool, const char*>
      commands[] = {
          {"", "Reset", "button click\n", "", 11, true, "Free : 30 x 12  bomb 41 %"},
          {"Game", "Reset", "Reset...\n", "", 11, true, "Free : 30 x 12  bomb 41 %"},
          {"Game", "Medium", "Medium...\n", "", 14, false, "Medium : 15 x 15  bomb 15 %"},
          {"Game", "Medium", "Medium...\n", "", 14, true, "Medium : 15 x 15  bomb 15 %"},
          {"Game", "Advance", "Advance...\n", "", 9, false, "Advance : 20 x 20  bomb 20 %"},
          {"Game", "Beginner", "Beginner...\n", "", 24, false, beginner},
          {"Option", "Save", "ACTIVATE SAVE\n", "", 24, true, beginner},
          {"Option", "Set Grid", "", "SET GRID", 24, true, beginner},
          {"Game", "Exit", "", "EXIT", 24, true, beginner},
          {"Option", "Score", "OK! MATCH LIST\nACTIVATE SCORE\n", "SCORE", 24, true, beginner},
          {"Option", "Save", "ACTIVATE SAVE\n", "SAVE", 24, true, beginner},
          {"Help", "About", "ACTIVATE ABOUT\n", "ABOUT", 24, true, beginner}};
  Start();
  table->ReCreate(30, 12, 41, 11);
  for (const auto& [menu, entry, said, opens, nSize, inPlace, status] : commands) {
    SCOPED_TRACE(entry);
    if (entry != "Save" || !opens.empty())
      Release(table, 55, 1);
    table->board[0]->set_name("marked");
    Settle();
    std::string out = Trace([&, menu = menu, entry = entry] {
      menu.empty() ? ButtonIn(window, entry)->clicked() : Entry(menu, entry)->activate();
      Settle();
    });
    // A new board goes on to trace its size and the window's fit.
    EXPECT_EQ(out.substr(0, opens.empty() ? said.size() : -1), said);
    EXPECT_EQ(Shown<Gtk::Dialog>(opens).size(), opens.empty() ? 0u : 1u);
    EXPECT_EQ(Status(), status);
    EXPECT_EQ(table->nSize, nSize);
    EXPECT_EQ(table->board[0]->get_name() == "marked", inPlace);
    for (int i = 0; opens.empty() && i < table->nRow * table->nCol; i++)
      EXPECT_EQ(table->board[i]->state + table->startFlag + window->timer->timeFlag, 1);
    for (Gtk::Dialog* dialog : Shown<Gtk::Dialog>())
      CloseRequest(dialog);
    EXPECT_EQ(ScrollBars(), 0) << "a board that fits is cut";
  }
  Trace([this] {
    table->ReCreate(100, 50, 10, 8);
    Settle();
  });
  EXPECT_EQ(ScrollBars(), 2);
}

TEST_F(WindowTest, DialogsPauseTheClockOnlyWhileOpenAndFreeAllTheyShow) {
  Start();
  MineTimer* timer = window->timer;
  const std::function<Gtk::Window*()> open[] = {
      [&] { return new AboutDialog(timer); }, [&] { return (new ExitDialog(timer))->dialog; },
      [&] { return new SaveDialog(table, vbox->saveFile, timer); },
      [&] { return new LoadDialog(timer, 0); },
      [&] {
        ScoreDialog* score = new ScoreDialog(vbox->scoreFile, timer);
        score->Create(0);
        return score;
      }};
  // By dialog: the button pressed ("" the close box), and what that traces. A failed save is
  // test_faults'.
  const std::tuple<int, std::string, std::string> paths[] = {
      {0, "Ok", "Quit\n"},    {0, "", "delete...\n"},       {1, "Cancel", "Return...\n"},
      {1, "", "delete...\n"}, {2, "Cancel", "Return...\n"}, {2, "", "delete...\n"},
      {3, "Ok", ""},          {3, "", "delete...\n"},       {4, "OK", "Return...\n"},
      {4, "", "delete...\n"}};
  for (const auto& [dialog, button, said] : paths)
    for (int running = 0; running < 2; running++) {
      SCOPED_TRACE(said + std::to_string(dialog));
      running ? timer->Start() : timer->Stop();
      timer->nSec = 57;
      Gtk::Window* shown = open[dialog]();
      EXPECT_EQ(timer->timeFlag, 0);
      EXPECT_EQ(gtk_grab_get_current(), GTK_WIDGET(shown->gobj()));
      int freed = 0;
      std::vector<Gtk::Widget*> parts = ShownIn<Gtk::Widget>(shown);
      for (Gtk::Widget* part : parts)
        g_object_weak_ref(
            G_OBJECT(part->gobj()), [](void* n, GObject*) { ++*(int*)n; }, &freed);
      std::string out = Trace([&] {
        button.empty() ? (void)CloseRequest(shown) : ButtonIn(shown, button)->clicked();
        Settle();
      });
      EXPECT_NE(out.find(said), std::string::npos) << out;
      EXPECT_EQ(std::vector<int>({timer->timeFlag, timer->nSec, freed}),
                std::vector<int>({running, 57, static_cast<int>(parts.size())}));
      EXPECT_EQ(gtk_grab_get_current(), nullptr);
    }
  EXPECT_EXIT(
      {
        std::atexit([] { std::cerr << (SaveFile().FindState() == 0 ? "saved, verified" : ""); });
        ButtonIn(new SaveDialog(table, vbox->saveFile, timer), "Ok")->clicked();
      },
      testing::ExitedWithCode(0), "saved, verified");
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
    EXPECT_FALSE(grid->is_visible());
    EXPECT_EQ(window->timer->timeFlag, 1);
    Entry("Option", "Set Grid")->activate();
    EXPECT_EQ(shown(), std::vector<int>({10, 10, 10, 24}));
  }
  for (int i = 0; i < 4; i++)
    spins[i]->set_value(i < 3 ? 1000 : 8);
  Trace([&] { ButtonIn(grid, "Reset")->clicked(); });
  EXPECT_EQ(std::vector<int>({table->nRow, table->nCol, table->pBomb, table->nSize}),
            std::vector<int>({100, 50, 60, 8}));
  EXPECT_EQ(Status(), "Free : 100 x 50  bomb 60 %");
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

TEST_F(ClockTest, OneConnectionTicksTenthsAndOnlyAClockTheGrabPausedResumes) {
  EXPECT_EQ(Start(), 0);
  EXPECT_EQ(Start(), 1);
  RunPast(1, 5000);
  ASSERT_EQ(Stop(), 0);
  int stoppedAt = nSec;
  RunPast(INT_MAX, 300); // a connection left behind by the second Start would tick on
  EXPECT_EQ(nSec, stoppedAt);
  Resume(Stop()); // Stop() gives 1: the clock was not running
  EXPECT_EQ(timeFlag, 0);
  Start();
  Resume(Stop());
  RunPast(stoppedAt, 5000);
  EXPECT_GT(nSec, stoppedAt);
  const std::pair<int, const char*> ticks[] = {{0, "time:      0.1 sec"},
                                               {9999999, "time: 1000000.0 sec"},
                                               {INT_MAX, "time: 214748364.7 sec"}};
  for (const auto& tick : ticks) {
    nSec = tick.first;
    EXPECT_TRUE(TimeOut());
    EXPECT_EQ(timeLabel->get_text(), tick.second) << tick.first;
  }
}

} // namespace
