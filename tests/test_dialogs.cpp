// The dialogs that pause the game (the time grab on every way out, the save dialog's exit) and
// the grid dialog on a real board. Needs a display; runs in a temporary directory.
#include "support.h"

#include "aboutdialog.h"
#include "exit.h"
#include "loaddialog.h"
#include "savedialog.h"
#include "savefile.h"
#include "setgrid.h"
#include "status.h"
#include "table.h"
#include "timer.h"

#include <functional>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool CloseRequest(Gtk::Window* window) {
  GdkEvent event = {};
  event.any.type = GDK_DELETE;
  event.any.window = window->get_window()->gobj();
  return gtk_widget_event(GTK_WIDGET(window->gobj()), &event);
}

void CountFreed(gpointer freed, GObject*) {
  ++*static_cast<int*>(freed);
}

void ReportSavedGame() {
  if (SaveFile().FindState() == 0)
    std::cerr << "saved game verifies" << std::endl;
}

} // namespace

// A Beginner board with its status bar and grid dialog, and a clock at rest. MINE_SAVE.data is a
// directory, so no save succeeds until a test removes it (as root, a read-only one would not do).
class DialogTest : public TempDirTest {
protected:
  DialogTest() : table(0, &timer, 0) {
    table.CreateTable();
    status.Create(&table);
    grid.Create(&table, &status);
  }
  void SetUp() override {
    TempDirTest::SetUp();
    ASSERT_EQ(mkdir("MINE_SAVE.data", 0755), 0);
  }
  // The spin buttons' values, then the fields Reset applies.
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

// An open dialog: the window that holds the grab, what closing it must free, OK and Cancel.
struct Opened {
  Gtk::Window* window;
  std::vector<Gtk::Widget*> parts;
  Gtk::Button* buttons[2];
};

TEST_F(DialogTest, EveryWayOutReleasesTheGrabAndResumesOnlyWhatItPaused) {
  const std::function<Opened()> open[] = {
      [&]() -> Opened {
        AboutDialog* d = new AboutDialog(&timer);
        return {d, {d, d->textView, d->okButton}, {d->okButton}};
      },
      [&]() -> Opened {
        ExitDialog* d = new ExitDialog(&timer);
        return {
            d->dialog, {d->dialog, d->label, d->okButton, d->cancelButton}, {0, d->cancelButton}};
      },
      [&]() -> Opened {
        SaveDialog* d = new SaveDialog(&table, &saveFile, &timer);
        return {d, {d, d->label, d->okButton, d->cancelButton}, {d->okButton, d->cancelButton}};
      },
      [&]() -> Opened {
        LoadDialog* d = new LoadDialog(&timer, 4);
        EXPECT_EQ(d->label->get_text(), ""); // an unknown code has no message
        return {d, {d, d->label, d->okButton}, {d->okButton}};
      }};
  // By dialog: OK, Cancel or the close box (2), and what that traces. The save here fails.
  const struct {
    int dialog, way;
    const char* trace;
  } paths[] = {
      {0, 0, "Quit\n"},      {0, 2, "delete...\n"}, {1, 1, "Return...\n"},   {1, 2, "delete...\n"},
      {2, 1, "Return...\n"}, {2, 2, "delete...\n"}, {2, 0, "SAVE FALSED\n"}, {3, 0, ""},
      {3, 2, "delete...\n"}};
  for (const auto& path : paths)
    for (int running = 0; running < 2; running++) {
      SCOPED_TRACE(std::string(path.trace) + std::to_string(path.dialog));
      running ? timer.Start() : timer.Stop();
      timer.nSec = 57;
      Opened opened = open[path.dialog]();
      EXPECT_EQ(timer.timeFlag, 0);
      EXPECT_EQ(gtk_grab_get_current(), GTK_WIDGET(opened.window->gobj()));
      int freed = 0;
      for (Gtk::Widget* part : opened.parts)
        g_object_weak_ref(G_OBJECT(part->gobj()), CountFreed, &freed);
      testing::internal::CaptureStdout();
      if (path.way == 2)
        EXPECT_TRUE(CloseRequest(opened.window));
      else
        opened.buttons[path.way]->clicked();
      EXPECT_NE(testing::internal::GetCapturedStdout().find(path.trace), std::string::npos);
      EXPECT_EQ(timer.timeFlag, running);
      EXPECT_EQ(timer.nSec, 57);
      EXPECT_EQ(gtk_grab_get_current(), nullptr);
      EXPECT_EQ(freed, static_cast<int>(opened.parts.size()));
    }
}

TEST_F(DialogTest, SaveOkWritesAVerifiedGameAndExitsWithZero) {
  ASSERT_EQ(rmdir("MINE_SAVE.data"), 0);
  EXPECT_EXIT(
      {
        std::atexit(ReportSavedGame);
        (new SaveDialog(&table, &saveFile, &timer))->okButton->clicked();
      },
      testing::ExitedWithCode(0), "saved game verifies");
}

TEST_F(DialogTest, GridProposesACellSizeForTheCellsDown) {
  for (auto down :
       std::vector<std::pair<int, int>>{{8, 31}, {10, 24}, {15, 14}, {20, 9}, {21, 8}, {50, 8}}) {
    grid.colSpin->set_value(30);
    grid.colSpin->set_value(down.first);
    EXPECT_EQ(Grid(),
              std::vector<int>({10, down.first, 10, down.second, 10, down.first, 10, down.second}));
  }
}

TEST_F(DialogTest, GridHidesWithoutApplyingAndShowPutsTheBoardsValuesBack) {
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
    EXPECT_EQ(table.nRow * table.nCol, 100);
  }
  EXPECT_EQ(timer.timeFlag, 1);
}

// A loaded game may lie outside the ranges: Reset must apply what the spin buttons show.
TEST_F(DialogTest, GridFieldsFollowTheClampedValuesOfAnOddBoard) {
  table.nRow = 5;
  table.nCol = 200;
  table.pBomb = 90;
  table.nSize = 2;
  GridDialog odd;
  odd.Create(&table, &status);
  table.nRow = table.nCol = 10;
  EXPECT_EQ(std::vector<int>({odd.tRow, odd.tCol, odd.tBomb, odd.tSize}),
            std::vector<int>({8, 50, 60, 4}));
}
