// The main window, its menu bar and its dialogs: start-up probe, close request, maximise undo,
// commands, time grabs, the grid dialog and the largest board. Needs a display and a temp dir.
#include "support.h"

#include "aboutdialog.h"
#include "exit.h"
#include "loaddialog.h"
#include "menu.h"
#include "minebutton.h"
#include "savedialog.h"
#include "savefile.h"
#include "setgrid.h"
#include "status.h"
#include "table.h"
#include "timer.h"
#include "vbox.h"
#include "window.h"

#include <iostream>
#include <sys/stat.h>

namespace {

std::vector<Gtk::Dialog*> Open(const Glib::ustring& title = "") {
  std::vector<Gtk::Dialog*> found;
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (Gtk::Dialog* dialog = dynamic_cast<Gtk::Dialog*>(window))
      if (dialog->get_visible() && (title.empty() || dialog->get_title() == title))
        found.push_back(dialog);
  return found;
}

bool CloseRequest(Gtk::Window* window) {
  GdkEvent event = {};
  event.any = {GDK_DELETE, window->get_window()->gobj(), 0};
  return gtk_widget_event(GTK_WIDGET(window->gobj()), &event);
}

// A left button release: on a waiting board it draws the bombs and starts a game.
void Click(MineTable* table, int index) {
  GdkEventButton event = {GDK_BUTTON_RELEASE, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  table->ReleaseEvent(&event, index);
}

} // namespace

class WindowTest : public TempDirTest {
protected:
  void TearDown() override {
    Close();
    TempDirTest::TearDown();
  }
  void Start() {
    testing::internal::CaptureStdout();
    window = new MineWindow();
    window->Create();
    Settle();
    trace = "\n" + testing::internal::GetCapturedStdout();
    table = window->vbox->table;
    menu = window->vbox->menu;
  }
  // Lets the X server answer resizes and maps, and the toolkit lay the result out.
  void Settle() {
    for (int i = 0; i < 3; i++, gdk_display_sync(gdk_display_get_default()))
      Flush();
    Flush();
  }
  void CloseDialogs() {
    for (int guard = 0; guard < 50 && !Open().empty(); guard++, Flush())
      CloseRequest(Open()[0]);
  }
  void Close() {
    CloseDialogs();
    delete window;
    window = 0;
    Flush();
  }
  std::string Status() {
    for (Gtk::Widget* child : window->vbox->vbox->get_children())
      if (GTK_IS_STATUSBAR(child->gobj()))
        return gtk_label_get_text(GTK_LABEL(GTK_STATUSBAR(child->gobj())->label));
    return "";
  }

  MineWindow* window = 0;
  MineTable* table = 0;
  MineMenu* menu = 0;
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
      Click(table, 50);
      window->vbox->saveFile->SaveState(table);
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
    ASSERT_EQ(Open("LOAD").size(), message.empty() ? 0u : 1u);
    if (message.empty())
      continue;
    LoadDialog* load = dynamic_cast<LoadDialog*>(Open("LOAD")[0]);
    EXPECT_EQ(load->label->get_text(), message);
    EXPECT_EQ(window->timer->timeFlag, 0);
    load->okButton->clicked();
    EXPECT_EQ(window->timer->timeFlag, sound ? 1 : 0);
  }
}

TEST_F(WindowTest, CloseRequestAsksAndQuitExitsWithZeroAndAMaximiseIsUndone) {
  Start();
  Click(table, 44);
  EXPECT_TRUE(CloseRequest(window));
  ASSERT_EQ(Open("EXIT").size(), 1u);
  EXPECT_EQ(window->timer->timeFlag, 0);
  EXPECT_EXIT(
      {
        std::vector<Gtk::Widget*> buttons = Open("EXIT")[0]->get_action_area()->get_children();
        static_cast<Gtk::Button*>(buttons.back())->clicked(); // OK
        std::exit(7);
      },
      testing::ExitedWithCode(0), "");
  // With no window manager on the test display, an unmapped window changes its state at once.
  window->hide();
  Flush();
  window->maximize();
  ASSERT_TRUE(window->get_window()->get_state() & Gdk::WINDOW_STATE_MAXIMIZED);
  Flush();
  EXPECT_FALSE(window->get_window()->get_state() & Gdk::WINDOW_STATE_MAXIMIZED);
}

// Each command (none: the Reset button) runs on a game in progress on the board the previous one
// left, Save once on a waiting board; a marked cell tells a board reset in place from a new one.
TEST_F(WindowTest, EachCommandTracesAndActs) {
  const char* beginner = "Beginner : 10 x 10  bomb 10 %";
  const std::tuple<Gtk::MenuItem * MineMenu::*, std::string, std::string, int, bool, const char*>
      commands[] = {
          {0, "button click\n", "", 11, true, "Free : 30 x 12  bomb 41 %"},
          {&MineMenu::resetItem, "Reset...\n", "", 11, true, "Free : 30 x 12  bomb 41 %"},
          {&MineMenu::mediumItem, "Medium...\n", "", 14, false, "Medium : 15 x 15  bomb 15 %"},
          {&MineMenu::mediumItem, "Medium...\n", "", 14, true, "Medium : 15 x 15  bomb 15 %"},
          {&MineMenu::advanceItem, "Advance...\n", "", 9, false, "Advance : 20 x 20  bomb 20 %"},
          {&MineMenu::beginnerItem, "Beginner...\n", "", 24, false, beginner},
          {&MineMenu::saveItem, "ACTIVATE SAVE\n", "", 24, true, beginner},
          {&MineMenu::setgridItem, "", "SET GRID", 24, true, beginner},
          {&MineMenu::exitItem, "", "EXIT", 24, true, beginner},
          {&MineMenu::scoreItem, "OK! MATCH LIST\nACTIVATE SCORE\n", "SCORE", 24, true, beginner},
          {&MineMenu::saveItem, "ACTIVATE SAVE\n", "SAVE", 24, true, beginner},
          {&MineMenu::aboutItem, "ACTIVATE ABOUT\n", "ABOUT", 24, true, beginner}};
  Start();
  table->ReCreate(30, 12, 41, 11);
  for (const auto& [item, said, opens, nSize, inPlace, status] : commands) {
    SCOPED_TRACE(said);
    if (item != &MineMenu::saveItem || !opens.empty())
      Click(table, 55);
    table->board[0]->set_name("marked");
    Flush();
    testing::internal::CaptureStdout();
    item ? (menu->*item)->activate() : window->vbox->button->clicked();
    Flush();
    // A new board goes on to trace its size and the window's fit.
    EXPECT_EQ(testing::internal::GetCapturedStdout().substr(0, opens.empty() ? said.size() : -1),
              said);
    EXPECT_EQ(Open(opens).size(), opens.empty() ? 0u : 1u);
    EXPECT_EQ(Status(), status);
    EXPECT_EQ(table->nSize, nSize);
    EXPECT_EQ(table->board[0]->get_name() == "marked", inPlace);
    for (int i = 0; opens.empty() && i < table->nRow * table->nCol; i++)
      EXPECT_EQ(table->board[i]->state + table->startFlag + window->timer->timeFlag, 1);
    CloseDialogs();
  }
}

TEST_F(WindowTest, TheLargestBoardFitsWithinTheScreen) {
  Start();
  GridDialog* grid = menu->gridDialog;
  grid->Show();
  for (Gtk::SpinButton* spin : {grid->rowSpin, grid->colSpin, grid->bombSpin, grid->sizeSpin})
    spin->set_value(100);
  grid->reset->clicked();
  Settle();
  EXPECT_EQ(Status(), "Free : 100 x 50  bomb 60 %");
  int width = 0, height = 0;
  window->get_size(width, height);
  EXPECT_TRUE(width > 362 && width <= 800 && height <= 600) << width << " x " << height;
}

// A Beginner board with its status bar and grid dialog, and a clock at rest.
class DialogTest : public TempDirTest {
protected:
  DialogTest() : table(0, &timer, 0) {
    table.CreateTable();
    status.Create(&table);
    grid.Create(&table, &status);
  }
  std::vector<int> Grid() {
    std::vector<int> shown;
    for (Gtk::SpinButton* spin : {grid.rowSpin, grid.colSpin, grid.bombSpin, grid.sizeSpin})
      shown.push_back(spin->get_value_as_int());
    return {shown[0], shown[1], shown[2], shown[3], grid.tRow, grid.tCol, grid.tBomb, grid.tSize};
  }

  MineTimer timer;
  MineTable table;
  SaveFile saveFile;
  MineStatus status;
  GridDialog grid;
};

// An open dialog: the window holding the grab, what closing must free, OK and Cancel.
struct Opened {
  Opened(AboutDialog* d) : window(d), parts{d, d->textView, d->okButton}, buttons{d->okButton} {}
  Opened(ExitDialog* d)
      : window(d->dialog), parts{d->dialog, d->label, d->okButton, d->cancelButton},
        buttons{d->okButton, d->cancelButton} {}
  Opened(SaveDialog* d)
      : window(d), parts{d, d->label, d->okButton, d->cancelButton}, buttons{d->okButton,
                                                                             d->cancelButton} {}
  Opened(LoadDialog* d) : window(d), parts{d, d->label, d->okButton}, buttons{d->okButton} {}
  Gtk::Window* window;
  std::vector<Gtk::Widget*> parts;
  Gtk::Button* buttons[2];
};

TEST_F(DialogTest, EveryWayOutReleasesTheGrabAndResumesOnlyWhatItPaused) {
  const std::function<Opened()> open[] = {
      [&] { return Opened(new AboutDialog(&timer)); },
      [&] { return Opened(new ExitDialog(&timer)); },
      [&] { return Opened(new SaveDialog(&table, &saveFile, &timer)); },
      [&] { return Opened(new LoadDialog(&timer, 0)); }};
  // By dialog: OK, Cancel or the close box (2), and what that traces. The save fails: a directory
  // stands in its way (as root, a read-only one would not).
  ASSERT_EQ(mkdir("MINE_SAVE.data", 0755), 0);
  const std::tuple<int, int, std::string> paths[] = {
      {0, 0, "Quit\n"},      {0, 2, "delete...\n"}, {1, 1, "Return...\n"},   {1, 2, "delete...\n"},
      {2, 1, "Return...\n"}, {2, 2, "delete...\n"}, {2, 0, "SAVE FALSED\n"}, {3, 0, ""},
      {3, 2, "delete...\n"}};
  for (const auto& [dialog, way, said] : paths)
    for (int running = 0; running < 2; running++) {
      SCOPED_TRACE(said + std::to_string(dialog));
      running ? timer.Start() : timer.Stop();
      timer.nSec = 57;
      Opened opened = open[dialog]();
      EXPECT_EQ(timer.timeFlag, 0);
      EXPECT_EQ(gtk_grab_get_current(), GTK_WIDGET(opened.window->gobj()));
      int freed = 0;
      for (Gtk::Widget* part : opened.parts)
        g_object_weak_ref(
            G_OBJECT(part->gobj()), [](void* n, GObject*) { ++*(int*)n; }, &freed);
      testing::internal::CaptureStdout();
      way == 2 ? (void)CloseRequest(opened.window) : opened.buttons[way]->clicked();
      EXPECT_NE(testing::internal::GetCapturedStdout().find(said), std::string::npos);
      EXPECT_EQ(timer.timeFlag, running);
      EXPECT_EQ(timer.nSec, 57);
      EXPECT_EQ(gtk_grab_get_current(), nullptr);
      EXPECT_EQ(freed, static_cast<int>(opened.parts.size()));
    }
}

TEST_F(DialogTest, SaveOkWritesAVerifiedGameAndExitsWithZero) {
  EXPECT_EXIT(
      {
        std::atexit(
            [] { std::cerr << (SaveFile().FindState() == 0 ? "saved game verifies" : ""); });
        (new SaveDialog(&table, &saveFile, &timer))->okButton->clicked();
      },
      testing::ExitedWithCode(0), "saved game verifies");
}

// The grid's size for the cells down, the values Show puts back, and the clamp of an odd board.
TEST_F(DialogTest, GridProposesSizesAndShowsTheBoardsValues) {
  for (auto down :
       std::vector<std::pair<int, int>>{{8, 31}, {10, 24}, {15, 14}, {20, 9}, {21, 8}, {50, 8}}) {
    grid.colSpin->set_value(30);
    grid.colSpin->set_value(down.first);
    EXPECT_EQ(Grid(),
              std::vector<int>({10, down.first, 10, down.second, 10, down.first, 10, down.second}));
  }
  timer.Start();
  for (bool closeBox : {false, true}) {
    grid.Show();
    EXPECT_EQ(Grid(), std::vector<int>({10, 10, 10, 24, 10, 10, 10, 24}));
    for (Gtk::SpinButton* spin : {grid.rowSpin, grid.colSpin, grid.bombSpin})
      spin->set_value(33);
    testing::internal::CaptureStdout();
    closeBox ? (void)CloseRequest(grid.dialog) : grid.close->clicked();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), closeBox ? "delete...\n" : "Return...\n");
    EXPECT_FALSE(grid.dialog->is_visible());
  }
  EXPECT_EQ(timer.timeFlag, 1);
  // A loaded game may lie outside the ranges: Reset must apply what the spin buttons show.
  table.nRow = 5, table.nCol = 200, table.pBomb = 90, table.nSize = 2;
  GridDialog odd;
  odd.Create(&table, &status);
  table.nRow = table.nCol = 10;
  EXPECT_EQ(std::vector<int>({odd.tRow, odd.tCol, odd.tBomb, odd.tSize}),
            std::vector<int>({8, 50, 60, 4}));
}
