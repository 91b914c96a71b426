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

#include <gtkmm/scrollbar.h>

#include <cstring>

// The program has the X server clip the cells' windows; the toolkit reads this at its start.
const bool nativeWindows = setenv("GDK_NATIVE_WINDOWS", "1", 1) == 0;

namespace {

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

// A left button release: on a waiting board it draws the bombs and starts a game.
void Click(MineTable* table, int index) {
  GdkEventButton event = {};
  event.type = GDK_BUTTON_RELEASE;
  event.button = 1;
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
    timer = window->timer;
  }
  // Lets the X server answer resizes and maps, and the toolkit lay the result out.
  void Settle() {
    for (int i = 0; i < 3; i++, gdk_display_sync(gdk_display_get_default()))
      Flush();
    Flush();
  }
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
      if (GTK_IS_STATUSBAR(child->gobj()))
        return gtk_label_get_text(GTK_LABEL(GTK_STATUSBAR(child->gobj())->label));
    return "";
  }

  MineWindow* window = 0;
  MineTable* table = 0;
  MineMenu* menu = 0;
  MineTimer* timer = 0;
  std::string trace;
};

TEST_F(WindowTest, StartUpResumesASoundSaveOnceAndRefusesTheRest) {
  // Whether a game is saved first, then what happens to the file. A copy keeps the original's
  // times: only the file's identity gives it away.
  const struct {
    bool save;
    const char *shell, *message;
  } cases[] = {{false, "true", ""},
               {true, "true", "Load State"},
               {false, "printf 'STATE<\\n10\\t10\\t10\\n>\\n' >MINE_SAVE.data", "SAVE Broken"},
               {true, "touch -m -d '1 hour ago' MINE_SAVE.data", "Can't Change"},
               {true, "cp -p MINE_SAVE.data copy && mv copy MINE_SAVE.data", "Can't Copy"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    if (c.save) {
      Start();
      table->ReCreate(12, 9, 30, 20);
      Click(table, 50);
      window->vbox->saveFile->SaveState(table);
      Close();
    }
    ASSERT_EQ(std::system(c.shell), 0);
    Start();
    std::string message = c.message;
    bool sound = message == "Load State";
    EXPECT_EQ(trace.find("\nFIND SAVE.data\n") != trace.npos, sound);
    EXPECT_EQ(trace.find("\nCAN'T FIND SAVE.data\n") != trace.npos, message.empty());
    EXPECT_FALSE(FileExists("MINE_SAVE.data"));
    EXPECT_FALSE(timer->timeLabel->get_visible());
    EXPECT_EQ(table->startFlag, sound ? 1 : 0);
    EXPECT_EQ(Status(), sound ? "Free  : 12 x 9  bomb 30 %" : "Beginner  : 10 x 10  bomb 10 %");
    std::vector<LoadDialog*> loads = Open<LoadDialog>();
    ASSERT_EQ(loads.size(), message.empty() ? 0u : 1u);
    if (!loads.empty()) {
      EXPECT_EQ(loads[0]->label->get_text(), message);
      EXPECT_EQ(timer->timeFlag, 0);
      loads[0]->okButton->clicked();
      EXPECT_EQ(timer->timeFlag, sound ? 1 : 0);
    }
    Close();
  }
}

TEST_F(WindowTest, CloseRequestPausesAndAsksAndQuitExitsWithZero) {
  Start();
  Click(table, 44);
  EXPECT_TRUE(CloseRequest(window));
  EXPECT_TRUE(window->get_visible());
  ASSERT_EQ(Open<Gtk::Dialog>("EXIT").size(), 1u);
  EXPECT_EQ(timer->timeFlag, 0);
  EXPECT_EXIT(
      {
        std::vector<Gtk::Widget*> buttons =
            Open<Gtk::Dialog>("EXIT")[0]->get_action_area()->get_children();
        static_cast<Gtk::Button*>(buttons.back())->clicked(); // OK
        std::exit(7);
      },
      testing::ExitedWithCode(0), "");
}

// With no window manager on the test display, an unmapped window changes its state at once.
TEST_F(WindowTest, UndoesAMaximise) {
  Start();
  window->hide();
  Flush();
  window->maximize();
  ASSERT_TRUE(window->get_window()->get_state() & Gdk::WINDOW_STATE_MAXIMIZED);
  Flush();
  EXPECT_FALSE(window->get_window()->get_state() & Gdk::WINDOW_STATE_MAXIMIZED);
}

// Each command runs on a game in progress on the board the previous one left; a marked cell
// tells a board reset in place from a rebuilt one.
TEST_F(WindowTest, EachCommandTracesAndActs) {
  const char* free = "Free : 30 x 12  bomb 41 %";
  const char* beginner = "Beginner : 10 x 10  bomb 10 %";
  const struct {
    Gtk::MenuItem* MineMenu::*item; // none: the Reset button under the menu bar
    const char *trace, *opens;
    int nSize;
    bool inPlace;
    const char* status;
  } commands[] = {
      {0, "button click\n", "", 11, true, free},
      {&MineMenu::resetItem, "Reset...\n", "", 11, true, free},
      {&MineMenu::mediumItem, "Medium...\n", "", 14, false, "Medium : 15 x 15  bomb 15 %"},
      {&MineMenu::mediumItem, "Medium...\n", "", 14, true, "Medium : 15 x 15  bomb 15 %"},
      {&MineMenu::advanceItem, "Advance...\n", "", 9, false, "Advance : 20 x 20  bomb 20 %"},
      {&MineMenu::beginnerItem, "Beginner...\n", "", 24, false, beginner},
      {&MineMenu::setgridItem, "", "SET GRID", 24, true, beginner},
      {&MineMenu::exitItem, "", "EXIT", 24, true, beginner},
      {&MineMenu::scoreItem, "OK! MATCH LIST\nACTIVATE SCORE\n", "SCORE", 24, true, beginner},
      {&MineMenu::saveItem, "ACTIVATE SAVE\n", "SAVE", 24, true, beginner},
      {&MineMenu::aboutItem, "ACTIVATE ABOUT\n", "ABOUT", 24, true, beginner}};
  Start();
  table->ReCreate(30, 12, 41, 11);
  for (const auto& c : commands) {
    SCOPED_TRACE(c.trace);
    if (c.item != &MineMenu::saveItem || c.opens[0]) // Save once on a waiting board
      Click(table, 55);
    table->board[0]->set_name("marked");
    Flush();
    testing::internal::CaptureStdout();
    c.item ? (menu->*c.item)->activate() : window->vbox->button->clicked();
    Flush();
    // A new board goes on to trace its size and the window's fit.
    EXPECT_EQ(testing::internal::GetCapturedStdout().substr(0, c.opens[0] ? -1 : strlen(c.trace)),
              c.trace);
    EXPECT_EQ(Open<Gtk::Dialog>(c.opens).size(), c.opens[0] ? 1u : 0u);
    EXPECT_EQ(Status(), c.status);
    EXPECT_EQ(table->nSize, c.nSize);
    EXPECT_EQ(table->board[0]->get_name() == "marked", c.inPlace);
    for (int i = 0; !c.opens[0] && i < table->nRow * table->nCol; i++)
      EXPECT_EQ(table->board[i]->state + table->startFlag + timer->timeFlag, 1);
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
  grid->close->clicked();
  Settle();
  EXPECT_EQ(Status(), "Free : 100 x 50  bomb 60 %");
  EXPECT_EQ(table->nSize, 100);
  int width = 0, height = 0;
  window->get_size(width, height);
  EXPECT_TRUE(width > 362 && width <= 800 && height <= 600) << width << " x " << height;
  EXPECT_TRUE(table->scrWin->get_hscrollbar()->get_visible());
  EXPECT_TRUE(table->scrWin->get_vscrollbar()->get_visible());
}
