// The main window and its menu bar: the start-up probe, the close request, the maximise undo,
// every command and the largest board's fit. Needs a display; runs in a temporary directory.
#include "support.h"

#include "loaddialog.h"
#include "menu.h"
#include "minebutton.h"
#include "savefile.h"
#include "setgrid.h"
#include "table.h"
#include "timer.h"
#include "vbox.h"
#include "window.h"

#include <gtkmm/label.h>
#include <gtkmm/scrollbar.h>
#include <gtkmm/statusbar.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <utime.h>

// The program has the X server clip the cells' windows; the toolkit reads this at its start.
const bool nativeWindows = setenv("GDK_NATIVE_WINDOWS", "1", 1) == 0;

namespace {

class ShellWindow : public MineWindow {
public:
  using MineWindow::WindowStateEvent;
};

template <class T> std::vector<T*> Open(const Glib::ustring& title = "") {
  std::vector<T*> found;
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (T* dialog = dynamic_cast<T*>(window))
      if (window->get_visible() && (title.empty() || window->get_title() == title))
        found.push_back(dialog);
  return found;
}

bool CloseRequest(Gtk::Window* window) {
  GdkEvent event = {};
  event.any.type = GDK_DELETE;
  event.any.window = window->get_window()->gobj();
  return gtk_widget_event(GTK_WIDGET(window->gobj()), &event);
}

void Click(MineTable* table, int index, GdkEventType type, guint button) {
  GdkEventButton event = {};
  event.type = type;
  event.button = button;
  type == GDK_BUTTON_PRESS ? table->PressEvent(&event, index) : table->ReleaseEvent(&event, index);
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
    window = new ShellWindow();
    window->Create();
    for (int i = 0; i < 3; i++, gdk_display_sync(gdk_display_get_default()))
      Flush();
    Flush();
    trace = testing::internal::GetCapturedStdout();
    table = window->vbox->table;
    menu = window->vbox->menu;
  }
  // Every dialog closes from its title bar, deleting or hiding itself.
  void CloseDialogs() {
    for (int guard = 0; guard < 50 && !Open<Gtk::Dialog>().empty(); guard++, Flush())
      CloseRequest(Open<Gtk::Dialog>()[0]);
  }
  void Close() {
    CloseDialogs();
    delete window;
    window = 0;
    Flush();
  }
  std::string Status() {
    for (Gtk::Widget* child : window->vbox->vbox->get_children())
      if (Gtk::Statusbar* bar = dynamic_cast<Gtk::Statusbar*>(child)) {
        std::vector<Gtk::Widget*> area =
            dynamic_cast<Gtk::Container*>(bar->get_message_area())->get_children();
        return dynamic_cast<Gtk::Label*>(area.at(0))->get_text();
      }
    return "";
  }
  int TimeFlag() {
    return window->timer->timeFlag;
  }

  ShellWindow* window = 0;
  MineTable* table = 0;
  MineMenu* menu = 0;
  std::string trace;
};

TEST_F(WindowTest, StartUpResumesASoundSaveOnceAndRefusesTheRest) {
  std::vector<int> saved;
  auto save = [&] {
    Start();
    table->ReCreate(12, 9, 30, 20);
    Click(table, 50, GDK_BUTTON_RELEASE, 1);
    int covered = 0;
    while (table->board[covered]->state != 1)
      covered++;
    Click(table, covered, GDK_BUTTON_PRESS, 3);
    window->vbox->saveFile->SaveState(table);
    for (int i = 0; i < 108; i++)
      saved.push_back(table->board[i]->state * 100 + table->board[i]->bomb);
    Close();
  };
  struct stat st;
  const struct {
    std::function<void()> prepare;
    const char* message;
  } cases[] = {
      {[] {}, ""},
      {save, "Load State"},
      {[] { WriteText("MINE_SAVE.data", "STATE<\n10\t10\t10\n>\n"); }, "SAVE Broken"},
      {[&] {
         save();
         stat("MINE_SAVE.data", &st);
         struct utimbuf times = {st.st_atime, st.st_mtime - 100};
         utime("MINE_SAVE.data", &times);
       },
       "Can't Change"},
      {[&] { // a copy with the original's times: only the file's identity gives it away
         save();
         stat("MINE_SAVE.data", &st);
         WriteText("copy.data", ReadText("MINE_SAVE.data"));
         struct timespec times[2] = {st.st_atim, st.st_mtim};
         utimensat(AT_FDCWD, "copy.data", times, 0);
         std::rename("copy.data", "MINE_SAVE.data");
       },
       "Can't Copy"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    saved.clear();
    c.prepare();
    Start();
    bool sound = std::string(c.message) == "Load State";
    EXPECT_EQ(("\n" + trace).find("\nFIND SAVE.data\n") != trace.npos, sound);
    EXPECT_EQ(trace.find("CAN'T FIND SAVE.data\n") != trace.npos, c.message[0] == 0);
    EXPECT_FALSE(FileExists("MINE_SAVE.data"));
    EXPECT_FALSE(window->timer->timeLabel->get_visible());
    EXPECT_EQ(table->startFlag, sound ? 1 : 0);
    EXPECT_EQ(table->nRow * table->nCol, sound ? 108 : 100);
    for (int i = 0; i < table->nRow * table->nCol; i++)
      EXPECT_EQ(table->board[i]->state * 100 + table->board[i]->bomb, sound ? saved[i] : 100);
    EXPECT_EQ(Status(), sound ? "Free  : 12 x 9  bomb 30 %" : "Beginner  : 10 x 10  bomb 10 %");
    std::vector<LoadDialog*> loads = Open<LoadDialog>();
    ASSERT_EQ(loads.size(), c.message[0] ? 1u : 0u);
    if (!loads.empty()) {
      EXPECT_EQ(loads[0]->label->get_text(), c.message);
      EXPECT_EQ(TimeFlag(), 0);
      loads[0]->okButton->clicked();
      EXPECT_EQ(TimeFlag(), sound ? 1 : 0);
    }
    Close();
  }
}

TEST_F(WindowTest, CloseRequestPausesAndAsksAndQuitExitsWithZero) {
  Start();
  Click(table, 44, GDK_BUTTON_RELEASE, 1);
  EXPECT_TRUE(CloseRequest(window));
  EXPECT_TRUE(window->get_visible());
  ASSERT_EQ(Open<Gtk::Dialog>("EXIT").size(), 1u);
  EXPECT_EQ(TimeFlag(), 0);
  EXPECT_EXIT(
      {
        for (Gtk::Widget* child : Open<Gtk::Dialog>("EXIT")[0]->get_action_area()->get_children())
          if (Gtk::Button* button = dynamic_cast<Gtk::Button*>(child))
            if (button->get_label() == "OK")
              button->clicked();
        std::exit(7);
      },
      testing::ExitedWithCode(0), "");
  Close();
}

// With no window manager on the test display, an unmapped window changes its state at once.
TEST_F(WindowTest, UndoesAMaximiseButNotACombinedChange) {
  Start();
  auto maximized = [&] { return window->get_window()->get_state() & Gdk::WINDOW_STATE_MAXIMIZED; };
  window->hide();
  Flush();
  window->maximize();
  ASSERT_TRUE(maximized());
  Flush();
  EXPECT_FALSE(maximized());
  window->maximize();
  GdkEventWindowState event = {};
  event.changed_mask = GdkWindowState(GDK_WINDOW_STATE_MAXIMIZED | GDK_WINDOW_STATE_FULLSCREEN);
  EXPECT_TRUE(window->WindowStateEvent(&event));
  EXPECT_TRUE(maximized());
}

TEST_F(WindowTest, EachCommandTracesAndActs) {
  const struct {
    Gtk::MenuItem* MineMenu::*item; // none: the Reset button under the menu bar
    const char* trace;
    const char* opens;
    int nRow, nCol, nSize, mode;
    const char* status;
  } commands[] = {
      {0, "button click\n", "", 30, 12, 11, 4, "Free : 30 x 12  bomb 41 %"},
      {&MineMenu::resetItem, "Reset...\n", "", 30, 12, 11, 4, "Free : 30 x 12  bomb 41 %"},
      {&MineMenu::beginnerItem, "Beginner...\n", "", 10, 10, 24, 1,
       "Beginner : 10 x 10  bomb 10 %"},
      {&MineMenu::mediumItem, "Medium...\n", "", 15, 15, 14, 2, "Medium : 15 x 15  bomb 15 %"},
      {&MineMenu::advanceItem, "Advance...\n", "", 20, 20, 9, 3, "Advance : 20 x 20  bomb 20 %"},
      {&MineMenu::setgridItem, "", "SET GRID", 0, 0, 0, 0, ""},
      {&MineMenu::exitItem, "", "EXIT", 0, 0, 0, 0, ""},
      {&MineMenu::scoreItem, "OK! MATCH LIST\nACTIVATE SCORE\n", "SCORE", 0, 0, 0, 0, ""},
      {&MineMenu::saveItem, "ACTIVATE SAVE\n", "SAVE", 0, 0, 0, 0, ""},
      {&MineMenu::aboutItem, "ACTIVATE ABOUT\n", "ABOUT", 0, 0, 0, 0, ""},
  };
  Start();
  for (const auto& c : commands) {
    SCOPED_TRACE(c.trace);
    table->ReCreate(30, 12, 41, 11);
    Click(table, 200, GDK_BUTTON_RELEASE, 1);
    Flush();
    ASSERT_EQ(table->startFlag, 1);
    testing::internal::CaptureStdout();
    c.item ? (menu->*c.item)->activate() : window->vbox->button->clicked();
    Flush();
    // A new board goes on to trace its size and the window's fit.
    EXPECT_EQ(testing::internal::GetCapturedStdout().substr(0, c.opens[0] ? -1 : strlen(c.trace)),
              c.trace);
    EXPECT_EQ(Open<Gtk::Dialog>(c.opens).size(), c.opens[0] ? 1u : 0u);
    EXPECT_EQ(table->startFlag, c.opens[0] ? 1 : 0);
    if (!c.opens[0]) {
      EXPECT_EQ(std::vector<int>({table->nRow, table->nCol, table->nSize, table->mode}),
                std::vector<int>({c.nRow, c.nCol, c.nSize, c.mode}));
      MineButton* last = table->board[c.nRow * c.nCol - 1];
      ASSERT_NE(last, nullptr);
      EXPECT_EQ(last->row * 1000 + last->col, (c.nRow - 1) * 1000 + c.nCol - 1);
      EXPECT_EQ(table->board[c.nRow * c.nCol], nullptr);
      EXPECT_EQ(Status(), c.status);
    }
    CloseDialogs();
  }
}

TEST_F(WindowTest, APresetOfTheSameSizeResetsInPlace) {
  Start();
  MineButton* first = table->board[0];
  Click(table, 44, GDK_BUTTON_RELEASE, 1);
  menu->beginnerItem->activate();
  EXPECT_EQ(table->board[0], first);
  EXPECT_EQ(TimeFlag(), 0);
  for (int i = 0; i < 100; i++)
    EXPECT_EQ(table->board[i]->state, 1);
  // Only the first status line has two spaces before the colon.
  EXPECT_EQ(Status(), "Beginner : 10 x 10  bomb 10 %");
}

TEST_F(WindowTest, SaveOpensOnlyWhileAGameRuns) {
  Start();
  for (int ended = 0; ended < 2; ended++) {
    if (ended) {
      Click(table, 44, GDK_BUTTON_RELEASE, 1);
      table->GameOver();
      CloseDialogs();
    }
    menu->saveItem->activate();
    EXPECT_TRUE(Open<Gtk::Dialog>("SAVE").empty());
  }
}

TEST_F(WindowTest, TheLargestBoardFitsWithinTheScreen) {
  Start();
  GridDialog* grid = menu->gridDialog;
  grid->Show();
  for (Gtk::SpinButton* spin : {grid->rowSpin, grid->colSpin, grid->bombSpin, grid->sizeSpin})
    spin->set_value(100);
  grid->reset->clicked();
  grid->close->clicked();
  for (int i = 0; i < 3; i++, gdk_display_sync(gdk_display_get_default()))
    Flush();
  ASSERT_EQ(std::vector<int>({table->nRow, table->nCol, table->nSize}),
            std::vector<int>({100, 50, 100}));
  int width = 0, height = 0;
  window->get_size(width, height);
  EXPECT_LE(width, 800);
  EXPECT_LE(height, 600);
  EXPECT_GT(width, 362);
  EXPECT_TRUE(table->scrWin->get_hscrollbar()->get_visible());
  EXPECT_TRUE(table->scrWin->get_vscrollbar()->get_visible());
  Click(table, 2525, GDK_BUTTON_RELEASE, 1);
  EXPECT_EQ(table->board[2525]->state * 100 + table->board[2525]->bomb, 0);
  EXPECT_EQ(Status(), "Free : 100 x 50  bomb 60 %");
}
