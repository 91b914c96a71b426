// The high-score table: rows built from a hand-made score list, the mode filters, the target
// selection, the sort keys and the clock pause. Needs a display.
#include "scoredialog.h"
#include "scorefile.h"
#include "support.h"
#include "timer.h"

#include <string>
#include <vector>

class ScoreDialogTest : public ::testing::Test {
protected:
  ScoreFile list;
  MineTimer timer;
  ScoreDialog* dialog = 0;

  void TearDown() override {
    delete dialog;
    while (list.firstList != 0) {
      ScoreItem* next = list.firstList->next;
      delete list.firstList;
      list.firstList = next;
    }
  }
  void Add(int score, int row, int col, int bomb, int sec, int mode, int stamp,
           const std::string& name = "bob") {
    ScoreItem* item =
        new ScoreItem{score, row, col, bomb, sec, mode, 0, stamp, name, 0, list.endList};
    (list.endList != 0 ? list.endList->next : list.firstList) = item;
    list.endList = item;
    list.listCount++;
  }
  void Open(int target) {
    dialog = new ScoreDialog(&list, &timer);
    dialog->Create(target);
  }
  // One column of every row, in view order.
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
  // Closing deletes the dialog.
  void Close() {
    dialog->okButton->clicked();
    dialog = 0;
  }
};

TEST_F(ScoreDialogTest, RowsShowTheRecordsAsTexts) {
  Add(1000, 10, 10, 10, 7, 1, 11, "");
  Add(555, 10, 10, 10, 250, 1, 12);
  Add(200, 20, 20, 80, 1200, 3, 13);
  Open(0);
  EXPECT_EQ(Column(dialog->scoreCol->strBoard),
            (std::vector<Glib::ustring>{"100 (10x10)", "100 (10x10)", "400 (20x20)"}));
  EXPECT_EQ(Column(dialog->scoreCol->strSec),
            (std::vector<Glib::ustring>{"0.7 sec", "25.0 sec", "120.0 sec"}));
  EXPECT_EQ(Column(dialog->scoreCol->strName),
            (std::vector<Glib::ustring>{"NO NAME", "bob", "bob"}));
  EXPECT_EQ(Column(dialog->scoreCol->strMode),
            (std::vector<Glib::ustring>{"Beginner", "Beginner", "Advance"}));
  EXPECT_EQ(Column(dialog->scoreCol->rate), (std::vector<int>{10, 10, 20}));
  EXPECT_EQ(Column(dialog->scoreCol->num), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(CursorRow(), -1);
}

TEST_F(ScoreDialogTest, ThirtyBestOfTheShownModesRankedAfresh) {
  for (int i = 0; i < 40; i++)
    Add(1000 - i, 10, 10, 10, 100, i % 5 == 0 ? 2 : (i == 1 ? 7 : 1), i);
  Open(0);
  EXPECT_EQ(dialog->mList->children().size(), 30u);
  EXPECT_EQ(Column(dialog->scoreCol->score)[1], 998); // mode 7 is never shown, takes no rank
  testing::internal::CaptureStdout();
  dialog->mediumCheck->set_active(false);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Medium\nNO ACTIVE\n");
  std::vector<int> scores = Column(dialog->scoreCol->score);
  ASSERT_EQ(scores.size(), 30u);
  EXPECT_EQ(scores[0], 998);
  EXPECT_EQ(scores[29], 962);
  EXPECT_EQ(Column(dialog->scoreCol->num).back(), 30);

  dialog->beginnerCheck->set_active(false);
  dialog->advanceCheck->set_active(false);
  dialog->freeCheck->set_active(false);
  EXPECT_EQ(dialog->mList->children().size(), 0u);
  testing::internal::CaptureStdout();
  dialog->mediumCheck->set_active(true);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Medium\nACTIVE\n");
  EXPECT_EQ(dialog->mList->children().size(), 8u);
}

TEST_F(ScoreDialogTest, TargetSelectsTheLastRecordWithItsStamp) {
  Add(900, 10, 10, 10, 100, 1, 0);
  Add(800, 15, 15, 33, 100, 2, 77);
  Add(700, 10, 10, 10, 100, 1, 77);
  Add(600, 10, 10, 10, 100, 1, 5);
  Open(77);
  EXPECT_EQ(CursorRow(), 2);
  EXPECT_EQ(dialog->listView->get_selection()->count_selected_rows(), 1);
  dialog->beginnerCheck->set_active(false);
  EXPECT_EQ(CursorRow(), 0); // the medium record, now the only one stamped 77
  delete dialog;
  Open(0); // from the menu: only a record stamped 0 (hand-edited) is selected
  EXPECT_EQ(CursorRow(), 0);
  delete dialog;
  list.firstList->TIME = 9; // and none at all when no record carries 0
  Open(0);
  EXPECT_EQ(CursorRow(), -1);
  EXPECT_EQ(dialog->listView->get_selection()->count_selected_rows(), 0);
}

TEST_F(ScoreDialogTest, NumericColumnsSortByTheirNumbers) {
  Add(300, 10, 10, 10, 1200, 1, 1);
  Add(200, 20, 20, 80, 7, 3, 2);
  Add(100, 8, 9, 10, 250, 4, 3);
  Open(0);
  const ScoreCol& col = *dialog->scoreCol;
  dialog->listView->get_column(4)->clicked();
  EXPECT_EQ(Column(col.sec), (std::vector<int>{7, 250, 1200}));
  dialog->listView->get_column(2)->clicked();
  EXPECT_EQ(Column(col.board), (std::vector<int>{72, 100, 400}));
}

TEST_F(ScoreDialogTest, ClockPausedOnlyWhileItWasRunning) {
  Add(900, 10, 10, 10, 100, 6, 0);
  list.firstList->select = 1;
  timer.Start();
  Open(0);
  EXPECT_EQ(timer.timeFlag, 0);
  testing::internal::CaptureStdout();
  Close();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Return...\n");
  EXPECT_EQ(timer.timeFlag, 1);
  EXPECT_EQ(timer.Stop(), 0); // the restart left a live connection
  EXPECT_EQ(list.firstList->select, 0);

  Open(0);
  GdkEventAny event = {GDK_DELETE, dialog->get_window()->gobj(), TRUE};
  testing::internal::CaptureStdout();
  dialog->event(reinterpret_cast<GdkEvent*>(&event));
  dialog = 0;
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "delete...\n");
  EXPECT_EQ(timer.timeFlag, 0);
}

// Lines a player edited by hand can still pass the check value.
TEST_F(ScoreDialogTest, HandEditedRecordsShowSoundly) {
  Add(900, 0, 5, 3, -7, 4, 1, "\377ab\303");
  Add(800, 100000, 100000, 2000000000, 5, 4, 2, std::string("a\0b", 3));
  Add(700, 2, 2, 9, 5, 4, 3);
  Open(0);
  Flush(); // drawn too
  std::vector<Glib::ustring> names = Column(dialog->scoreCol->strName);
  EXPECT_EQ(names[0], "\357\277\275ab\357\277\275"); // U+FFFD for each stray byte
  EXPECT_EQ(names[1], "a\357\277\275b");
  EXPECT_EQ(Column(dialog->scoreCol->rate), (std::vector<int>{0, 20, 100}));
  EXPECT_EQ(Column(dialog->scoreCol->strBoard)[1], "10000000000 (100000x100000)");
  EXPECT_EQ(Column(dialog->scoreCol->strSec)[0], "-0.7 sec");
}
