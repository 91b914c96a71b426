// The winner's name entry: its input filter, the close box, and Ok recording the win and opening
// the table on it. Needs a display and a temporary working directory.
#include "namedialog.h"
#include "scoredialog.h"
#include "scorefile.h"
#include "support.h"
#include "table.h"
#include "timer.h"

#include <string>

class NameDialogTest : public TempDirTest {
protected:
  ScoreFile list;
  MineTimer timer;
  MineTable* board = nullptr;
  NameDialog* dialog = nullptr;

  void SetUp() override {
    TempDirTest::SetUp();
    board = new MineTable(nullptr, &timer, &list);
    board->nRow = board->nCol = board->nBomb = 10;
    board->mode = 1;
    timer.nSec = 250;
    dialog = new NameDialog(board);
  }
  void TearDown() override {
    delete dialog;
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
      delete dynamic_cast<ScoreDialog*>(window);
    delete board;
    list.ALLDeleteList();
    TempDirTest::TearDown();
  }
};

// Chunks come as key presses or pastes: each is judged by its first character, refused whole
// for a control character, and cut to the eight characters a name may hold.
TEST_F(NameDialogTest, TheEntryTakesOnlyWhatANameMayHold) {
  const char* chunks[][2] = {{"B", ""},
                             {"o", "o"},
                             {"A", "o"},
                             {"b7-", "ob7-"},
                             {"Abc", "ob7-"},
                             {"x\ty", "ob7-"},
                             {"9\n", "ob7-"},
                             {"q\177", "ob7-"},
                             {"z\303\251", "ob7-z\303\251"},
                             {"xyz", "ob7-z\303\251xy"},
                             {"q", "ob7-z\303\251xy"}};
  for (const auto& c : chunks) {
    int position = dialog->entry->get_text_length();
    dialog->entry->insert_text(c[0], Glib::ustring(c[0]).bytes(), position);
    EXPECT_EQ(dialog->entry->get_text(), c[1]) << c[0];
  }
  GdkEventAny event = {GDK_DELETE, dialog->get_window()->gobj(), TRUE};
  testing::internal::CaptureStdout();
  dialog->event(reinterpret_cast<GdkEvent*>(&event));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "no delete\n");
  EXPECT_TRUE(dialog->get_visible());
}

TEST_F(NameDialogTest, OkRecordsTheWinAndSelectsItInTheTable) {
  WriteText("MINE_SCORE.data", "1000\t10\t10\t10\t20\t1\t5\t447\tann\n");
  dialog->entry->set_text("bo\303\251");
  testing::internal::CaptureStdout();
  dialog->okButton->clicked();
  dialog = nullptr;
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Ok...\n[bo\303\251]\n"),
            std::string::npos);
  ScoreDialog* table = nullptr;
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (dynamic_cast<ScoreDialog*>(window) != nullptr)
      table = dynamic_cast<ScoreDialog*>(window);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(ReadText("MINE_SCORE.data"), "1000\t10\t10\t10\t20\t1\t5\t447\tann\n555\t10\t10\t10\t"
                                         "250\t1\t" +
                                             std::to_string(table->targetRow) +
                                             "\t508\tbo\303\251\n");
  Gtk::TreeModel::Path path;
  Gtk::TreeViewColumn* column;
  table->listView->get_cursor(path, column);
  EXPECT_EQ(path.to_string(), "1");
}
