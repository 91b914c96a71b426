// The winner's name entry: the input filter, the close box, and Ok recording the win in
// MINE_SCORE.data and opening the table on it. Needs a display and a temporary working directory.
#include "namedialog.h"
#include "scoredialog.h"
#include "scorefile.h"
#include "support.h"
#include "table.h"
#include "timer.h"

#include <clocale>
#include <string>

class NameDialogTest : public TempDirTest {
protected:
  ScoreFile list;
  MineTimer timer;
  MineTable* board = 0;
  NameDialog* dialog = 0;

  void SetUp() override {
    TempDirTest::SetUp();
    board = new MineTable(0, &timer, &list);
    board->nRow = board->nCol = board->nBomb = 10;
    board->mode = 1;
    timer.nSec = 250;
    dialog = new NameDialog(board);
  }
  void TearDown() override {
    delete dialog;
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
      delete dynamic_cast<ScoreDialog*>(window);
    list.ALLDeleteList();
    delete board;
    TempDirTest::TearDown();
  }
  // Inserts a chunk as a key press or a paste does, at `at` (the end by default); returns the
  // position the entry hands back for its cursor.
  int Insert(const Glib::ustring& chunk, int at = -1) {
    int position = at < 0 ? dialog->entry->get_text_length() : at;
    dialog->entry->insert_text(chunk, chunk.bytes(), position);
    return position;
  }
  Glib::ustring Text() {
    return dialog->entry->get_text();
  }
  // Presses Ok, which deletes the dialog, and returns the table it opened.
  ScoreDialog* Ok() {
    dialog->okButton->clicked();
    dialog = 0;
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
      if (ScoreDialog* table = dynamic_cast<ScoreDialog*>(window))
        return table;
    return 0;
  }
};

TEST_F(NameDialogTest, TypingTakesLowercaseLettersAndDigitsUpToEight) {
  for (const char* key : {"B", "o", "b", "-", " ", "7"})
    Insert(key);
  EXPECT_EQ(Insert("A", 1), 1); // refused where it was typed; the cursor stays
  EXPECT_EQ(Text(), "ob7");
  for (const char* key : {"a", "b", "c", "d", "e", "f"})
    Insert(key);
  EXPECT_EQ(Text(), "ob7abcde");
}

TEST_F(NameDialogTest, PasteJudgedByItsFirstCharacterAndControlCharacters) {
  Insert("abC-1");
  Insert("Abc");
  Insert("x\ty");
  Insert("9\n");
  Insert("q\177");
  EXPECT_EQ(Text(), "abC-1");
}

TEST_F(NameDialogTest, LimitRemovesOnlyWhatTheChunkBroughtIn) {
  Insert("abcdef");
  EXPECT_EQ(Insert("XYZ"), 6);
  EXPECT_EQ(Text(), "abcdef");
  Insert("gh");
  Insert("Q");
  EXPECT_EQ(Text(), "abcdefgh");
}

TEST_F(NameDialogTest, CloseBoxKeepsTheDialogOpen) {
  GdkEventAny event = {GDK_DELETE, dialog->get_window()->gobj(), TRUE};
  testing::internal::CaptureStdout();
  dialog->event(reinterpret_cast<GdkEvent*>(&event));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "no delete\n");
  EXPECT_TRUE(dialog->get_visible());
}

TEST_F(NameDialogTest, OkRecordsTheWinAndSelectsItInTheTable) {
  WriteText("MINE_SCORE.data", "1000\t10\t10\t10\t20\t1\t5\t447\tann\n");
  Insert("bob");
  ScoreDialog* table = Ok();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(ReadText("MINE_SCORE.data"),
            "1000\t10\t10\t10\t20\t1\t5\t447\tann\n555\t10\t10\t10\t250\t1\t" +
                std::to_string(table->targetRow) + "\t667\tbob\n");
  ASSERT_EQ(list.listCount, 2);
  EXPECT_EQ(list.endList->TIME, table->targetRow);
  Gtk::TreeModel::Path path;
  Gtk::TreeViewColumn* column;
  table->listView->get_cursor(path, column);
  EXPECT_EQ(path.to_string(), "1");
  EXPECT_EQ(timer.timeFlag, 0); // the win had stopped the clock
}

TEST_F(NameDialogTest, EmptyNameIsRecorded) {
  testing::internal::CaptureStdout();
  Ok();
  EXPECT_EQ(testing::internal::GetCapturedStdout().substr(0, 19), "Ok...\n[]\nSIZE_ZERO\n");
  std::string file = ReadText("MINE_SCORE.data");
  EXPECT_EQ(file.substr(file.size() - 2), "\t\n");
  ASSERT_EQ(list.listCount, 1);
  EXPECT_EQ(list.firstList->name, "");
}

// A pasted name may hold letters the C locale cannot spell; the file keeps it as UTF-8.
TEST_F(NameDialogTest, NonAsciiNameSurvivesTheCLocale) {
  std::string locale = std::setlocale(LC_ALL, 0);
  std::setlocale(LC_ALL, "C");
  Insert("z\303\251\342\202\254");
  testing::internal::CaptureStdout();
  Ok();
  std::string out = testing::internal::GetCapturedStdout();
  std::setlocale(LC_ALL, locale.c_str());
  EXPECT_NE(out.find("[z\303\251\342\202\254]\n"), std::string::npos);
  ASSERT_EQ(list.listCount, 1);
  EXPECT_EQ(list.firstList->name, "z\303\251\342\202\254");
}
