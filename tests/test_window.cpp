// The main window and its layout: start-up with and without a saved game, the layout grid, the
// reset button, the close request, the undoing of a maximise and the fit of the largest boards.
// Needs a display; each test runs in a fresh temporary working directory, where the game keeps
// its files.
#include "shell_support.h"

#include "loaddialog.h"
#include "menu.h"
#include "minebutton.h"
#include "savefile.h"
#include "setgrid.h"
#include "status.h"
#include "table.h"
#include "timer.h"
#include "vbox.h"
#include "window.h"

#include <gtkmm/label.h>
#include <gtkmm/scrollbar.h>
#include <gtkmm/statusbar.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <utime.h>
#include <vector>

namespace {

// Where a child sits in the layout grid: left, right, top, bottom, then the horizontal and
// vertical options, then the two paddings.
std::vector<guint> AttachOf(Gtk::Table* grid, Gtk::Widget* child) {
  std::vector<guint> at(8);
  gtk_container_child_get(GTK_CONTAINER(grid->gobj()), child->gobj(), "left-attach", &at[0],
                          "right-attach", &at[1], "top-attach", &at[2], "bottom-attach", &at[3],
                          "x-options", &at[4], "y-options", &at[5], "x-padding", &at[6],
                          "y-padding", &at[7], NULL);
  return at;
}

const guint FillExpand = Gtk::FILL | Gtk::EXPAND;
const guint Shrink = Gtk::SHRINK;

} // namespace

class WindowTest : public ShellTest {
protected:
  // Opens a cell and marks another on a board of the given settings, then saves the game as
  // Save & Exit would.
  void SaveGame(int nRow, int nCol, int pBomb, int nSize) {
    Start();
    table->ReCreate(nRow, nCol, pBomb, nSize);
    LeftRelease(table, nRow * nCol / 2);
    ASSERT_EQ(table->startFlag, 1);
    int covered = 0;
    while (table->board[covered]->state != 1)
      covered++;
    RightPress(table, covered);
    ASSERT_EQ(table->board[covered]->state, 2);
    testing::internal::CaptureStdout();
    vbox->saveFile->SaveState(table);
    int check = vbox->saveFile->FindState();
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(check, 0);
    for (int i = 0; i < nRow * nCol; i++) {
      savedState.push_back(table->board[i]->state);
      savedBomb.push_back(table->board[i]->bomb);
    }
    Close();
  }

  void ExpectFreshBoard() {
    EXPECT_EQ(table->startFlag, 0);
    EXPECT_EQ(table->nRow, 10);
    EXPECT_EQ(table->nCol, 10);
    ASSERT_NE(table->board[99], nullptr);
    EXPECT_EQ(table->board[100], nullptr);
    for (int i = 0; i < 100; i++)
      EXPECT_EQ(table->board[i]->state, 1);
    EXPECT_EQ(StatusText(), "Beginner  : 10 x 10  bomb 10 %");
  }

  // A refused file: fresh board, no probe trace, the file gone and the load dialog's reason.
  void ExpectRefused(const std::string& message) {
    EXPECT_FALSE(HasLine(trace, "FIND SAVE.data"));
    EXPECT_FALSE(HasLine(trace, "CAN'T FIND SAVE.data"));
    EXPECT_FALSE(FileExists("MINE_SAVE.data"));
    ExpectFreshBoard();
    std::vector<LoadDialog*> loads = Open<LoadDialog>();
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0]->label->get_text(), message);
    loads[0]->okButton->clicked();
    Flush();
    EXPECT_EQ(timer->timeFlag, 0);
  }

  std::vector<int> savedState;
  std::vector<int> savedBomb;
};

TEST_F(WindowTest, StartsCentredWithTheLayoutGrid) {
  Start();
  EXPECT_EQ(window->get_title(), "Velm'Mine");
  EXPECT_EQ(window->property_window_position().get_value(), Gtk::WIN_POS_CENTER);
  EXPECT_TRUE(window->get_visible());
  EXPECT_TRUE(window->get_icon());
  EXPECT_EQ(window->get_child(), vbox->vbox);
  EXPECT_EQ(vbox->vbox->property_n_rows().get_value(), 4u);
  EXPECT_EQ(vbox->vbox->property_n_columns().get_value(), 4u);
  EXPECT_EQ(vbox->vbox->get_children().size(), 5u);

  ASSERT_NE(StatusBar(), nullptr);
  EXPECT_EQ(AttachOf(vbox->vbox, vbox->menu->menubar),
            (std::vector<guint>{0, 3, 0, 1, FillExpand, Shrink, 0, 0}));
  EXPECT_EQ(AttachOf(vbox->vbox, timer->timeLabel),
            (std::vector<guint>{0, 1, 1, 2, Shrink, Shrink, 0, 0}));
  EXPECT_EQ(AttachOf(vbox->vbox, vbox->button),
            (std::vector<guint>{1, 3, 1, 2, FillExpand, Shrink, 0, 0}));
  EXPECT_EQ(AttachOf(vbox->vbox, table->Show()),
            (std::vector<guint>{0, 3, 2, 3, FillExpand, FillExpand, 0, 0}));
  EXPECT_EQ(AttachOf(vbox->vbox, StatusBar()),
            (std::vector<guint>{0, 3, 3, 4, FillExpand, Shrink, 0, 0}));
}

TEST_F(WindowTest, ShowsEverythingButTheClockUntilItTicks) {
  Start();
  EXPECT_TRUE(vbox->vbox->get_visible());
  EXPECT_TRUE(vbox->menu->menubar->get_visible());
  EXPECT_TRUE(vbox->button->get_visible());
  EXPECT_EQ(vbox->button->get_label(), "Reset");
  EXPECT_FALSE(vbox->button->get_use_underline());
  int width = 0, height = 0;
  vbox->button->get_size_request(width, height);
  EXPECT_EQ(height, 30);
  EXPECT_TRUE(table->Show()->get_visible());
  EXPECT_TRUE(StatusBar()->get_visible());
  EXPECT_FALSE(timer->timeLabel->get_visible());
  EXPECT_EQ(StatusText(), "Beginner  : 10 x 10  bomb 10 %");
}

TEST_F(WindowTest, WithoutSavedGameBuildsFreshBoardSilently) {
  Start();
  EXPECT_TRUE(HasLine(trace, "CAN'T FIND SAVE.data"));
  EXPECT_FALSE(HasLine(trace, "FIND SAVE.data"));
  EXPECT_TRUE(OpenDialogs().empty());
  EXPECT_FALSE(FileExists("MINE_SAVE.data"));
  ExpectFreshBoard();
  EXPECT_EQ(table->nSize, 24);
  EXPECT_EQ(table->mode, 1);
}

TEST_F(WindowTest, FitsTheBeginnerBoardWithoutScrolling) {
  Start();
  int width = 0, height = 0;
  window->get_size(width, height);
  EXPECT_LE(width, 800);
  EXPECT_LE(height, 600);
  EXPECT_FALSE(table->scrWin->get_hscrollbar()->get_visible());
  EXPECT_FALSE(table->scrWin->get_vscrollbar()->get_visible());
  EXPECT_EQ(table->sizeFlag, 0);
}

TEST_F(WindowTest, ResumesSoundSavedGameOnce) {
  SaveGame(12, 9, 30, 20);
  ASSERT_TRUE(FileExists("MINE_SAVE.data"));

  Start();
  EXPECT_TRUE(HasLine(trace, "FIND SAVE.data"));
  EXPECT_FALSE(HasLine(trace, "CAN'T FIND SAVE.data"));
  EXPECT_FALSE(FileExists("MINE_SAVE.data"));
  EXPECT_EQ(table->nRow, 12);
  EXPECT_EQ(table->nCol, 9);
  EXPECT_EQ(table->pBomb, 30);
  EXPECT_EQ(table->nSize, 20);
  EXPECT_EQ(table->startFlag, 1);
  for (int i = 0; i < 12 * 9; i++) {
    ASSERT_NE(table->board[i], nullptr);
    EXPECT_EQ(table->board[i]->state, savedState[i]) << "cell " << i;
    EXPECT_EQ(table->board[i]->bomb, savedBomb[i]) << "cell " << i;
  }
  // The status bar is made after the load, so it describes the resumed board.
  EXPECT_EQ(StatusText(), "Free  : 12 x 9  bomb 30 %");

  std::vector<LoadDialog*> loads = Open<LoadDialog>();
  ASSERT_EQ(loads.size(), 1u);
  EXPECT_EQ(loads[0]->label->get_text(), "Load State");
  // The resumed game's time waits for the player to dismiss the dialog.
  EXPECT_EQ(timer->timeFlag, 0);
  loads[0]->okButton->clicked();
  Flush();
  EXPECT_EQ(timer->timeFlag, 1);

  // A saved game serves once.
  Close();
  Start();
  EXPECT_TRUE(HasLine(trace, "CAN'T FIND SAVE.data"));
  ExpectFreshBoard();
}

TEST_F(WindowTest, RefusesBrokenFile) {
  WriteText("MINE_SAVE.data", "STATE<\n10\t10\t10\n>\n");
  Start();
  ExpectRefused("SAVE Broken");
}

TEST_F(WindowTest, RefusesChangedFile) {
  SaveGame(10, 10, 30, 24);
  struct stat st;
  ASSERT_EQ(stat("MINE_SAVE.data", &st), 0);
  struct utimbuf times = {st.st_atime, st.st_mtime - 100};
  ASSERT_EQ(utime("MINE_SAVE.data", &times), 0);
  Start();
  ExpectRefused("Can't Change");
}

TEST_F(WindowTest, RefusesCopiedFile) {
  SaveGame(10, 10, 30, 24);
  // A copy with the original's times: only the file's identity gives it away.
  struct stat st;
  ASSERT_EQ(stat("MINE_SAVE.data", &st), 0);
  WriteText("copy.data", ReadText("MINE_SAVE.data"));
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, "copy.data", times, 0), 0);
  ASSERT_EQ(std::rename("copy.data", "MINE_SAVE.data"), 0);
  Start();
  ExpectRefused("Can't Copy");
}

class ResetButtonTest : public WindowTest {};

TEST_F(ResetButtonTest, StartsNewGameWithSameSettings) {
  Start();
  MineButton* first = table->board[0];
  testing::internal::CaptureStdout();
  vbox->button->clicked();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(HasLine(out, "button click"));
  EXPECT_EQ(table->board[0], first);
  EXPECT_EQ(table->nSize, 24);
  // The refreshed line differs from the first one only in the space before the colon.
  EXPECT_EQ(StatusText(), "Beginner : 10 x 10  bomb 10 %");
}

TEST_F(ResetButtonTest, KeepsFreeBoardSettings) {
  Start();
  table->ReCreate(12, 9, 33, 20);
  vbox->button->clicked();
  EXPECT_EQ(table->nRow, 12);
  EXPECT_EQ(table->nCol, 9);
  EXPECT_EQ(table->pBomb, 33);
  EXPECT_EQ(table->nSize, 20);
  EXPECT_EQ(table->mode, 4);
  EXPECT_EQ(StatusText(), "Free : 12 x 9  bomb 33 %");
}

TEST_F(ResetButtonTest, DiscardsRunningGame) {
  Start();
  LeftRelease(table, 44);
  ASSERT_EQ(table->startFlag, 1);
  ASSERT_EQ(timer->timeFlag, 1);
  vbox->button->clicked();
  EXPECT_EQ(table->startFlag, 0);
  EXPECT_EQ(timer->timeFlag, 0);
  for (int i = 0; i < 100; i++) {
    EXPECT_EQ(table->board[i]->state, 1);
    EXPECT_TRUE(table->board[i]->get_sensitive());
  }
}

class CloseRequestTest : public WindowTest {};

TEST_F(CloseRequestTest, AsksBeforeQuittingEachTime) {
  Start();
  EXPECT_TRUE(CloseRequest(window));
  Flush();
  EXPECT_TRUE(window->get_visible());
  std::vector<Gtk::Dialog*> confirms = OpenTitled("EXIT");
  ASSERT_EQ(confirms.size(), 1u);
  EXPECT_EQ(ChildLabel(confirms[0]->get_vbox()), "Quit ?");

  EXPECT_TRUE(window->DeleteEvent(0));
  Flush();
  EXPECT_EQ(OpenTitled("EXIT").size(), 2u);
  EXPECT_TRUE(window->get_visible());
}

TEST_F(CloseRequestTest, PausesRunningGameWhileAsking) {
  Start();
  LeftRelease(table, 44);
  ASSERT_EQ(timer->timeFlag, 1);
  CloseRequest(window);
  EXPECT_EQ(timer->timeFlag, 0);
  CloseDialogs();
  EXPECT_EQ(timer->timeFlag, 1);
  EXPECT_EQ(table->startFlag, 1);
}

TEST_F(CloseRequestTest, QuitEndsProgramWithStatusZero) {
  Start();
  EXPECT_EXIT(
      {
        CloseRequest(window);
        std::vector<Gtk::Dialog*> confirms = OpenTitled("EXIT");
        std::vector<Gtk::Widget*> buttons = confirms.at(0)->get_action_area()->get_children();
        for (size_t i = 0; i < buttons.size(); i++) {
          Gtk::Button* button = dynamic_cast<Gtk::Button*>(buttons[i]);
          if (button && button->get_label() == "OK")
            button->clicked();
        }
        std::exit(7);
      },
      testing::ExitedWithCode(0), "");
}

class MaximiseTest : public WindowTest {
protected:
  bool Maximized() {
    return window->get_window()->get_state() & Gdk::WINDOW_STATE_MAXIMIZED;
  }
};

// With no window manager on the test display, an unmapped window changes its state at once and
// reports it through the same event a window manager would cause.
TEST_F(MaximiseTest, UndoesMaximiseAtOnce) {
  Start();
  window->hide();
  Flush();
  window->maximize();
  ASSERT_TRUE(Maximized());
  Flush();
  EXPECT_FALSE(Maximized());
}

TEST_F(MaximiseTest, LeavesCombinedChangesAlone) {
  Start();
  window->hide();
  Flush();
  window->maximize();
  ASSERT_TRUE(Maximized());
  GdkEventWindowState event = {};
  event.type = GDK_WINDOW_STATE;
  event.changed_mask = GdkWindowState(GDK_WINDOW_STATE_MAXIMIZED | GDK_WINDOW_STATE_FULLSCREEN);
  event.new_window_state = event.changed_mask;
  EXPECT_TRUE(window->WindowStateEvent(&event));
  EXPECT_TRUE(Maximized());
  event.changed_mask = GDK_WINDOW_STATE_MAXIMIZED;
  EXPECT_TRUE(window->WindowStateEvent(&event));
  EXPECT_FALSE(Maximized());
}

TEST_F(MaximiseTest, IconifyingLeavesTheGameRunning) {
  Start();
  LeftRelease(table, 44);
  window->hide();
  Flush();
  window->iconify();
  Flush();
  EXPECT_TRUE(window->get_window()->get_state() & Gdk::WINDOW_STATE_ICONIFIED);
  EXPECT_EQ(timer->timeFlag, 1);
  EXPECT_EQ(table->startFlag, 1);
}

// The grid dialog's largest boards: 100 x 50 cells at 60 %, with the smallest and the largest
// pictures.
class LargestBoardTest : public WindowTest, public testing::WithParamInterface<int> {};

TEST_P(LargestBoardTest, FitsWithinScreenAndPlays) {
  Start();
  GridDialog* grid = vbox->menu->gridDialog;
  grid->Show();
  grid->rowSpin->set_value(100);
  grid->colSpin->set_value(50);
  grid->bombSpin->set_value(60);
  grid->sizeSpin->set_value(GetParam());
  grid->reset->clicked();
  grid->close->clicked();
  Settle();
  ASSERT_EQ(table->nRow, 100);
  ASSERT_EQ(table->nCol, 50);
  ASSERT_EQ(table->nSize, GetParam());
  EXPECT_EQ(StatusText(), "Free : 100 x 50  bomb 60 %");

  int width = 0, height = 0;
  window->get_size(width, height);
  EXPECT_LE(width, 800);
  EXPECT_LE(height, 600);
  EXPECT_GT(width, 362);
  EXPECT_TRUE(table->scrWin->get_hscrollbar()->get_visible());
  EXPECT_TRUE(table->scrWin->get_vscrollbar()->get_visible());

  LeftRelease(table, 2525);
  EXPECT_EQ(table->startFlag, 1);
  EXPECT_EQ(timer->timeFlag, 1);
  EXPECT_EQ(table->board[2525]->state, 0);
  EXPECT_EQ(table->board[2525]->bomb, 0);
  EXPECT_EQ(table->board[4999]->row, 99);
  EXPECT_EQ(table->board[4999]->col, 49);
}

INSTANTIATE_TEST_SUITE_P(PictureSizes, LargestBoardTest, testing::Values(4, 100));
