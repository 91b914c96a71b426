// The winner's name entry, through what it shows: its input filter, the close box, and Ok
// recording the win and opening the table on it. Needs a display and a temporary directory.
#include "support.h"

class NameDialogTest : public BoardTest {
protected:
  void SetUp() override {
    BoardTest::SetUp();
    table->nBomb = 10;
    table->mode = 1;
    timer.nSec = 250;
    dialog = new NameDialog(table);
    std::vector<Gtk::Entry*> entries = ShownIn<Gtk::Entry>(dialog);
    ASSERT_EQ(entries.size(), 1u);
    entry = entries[0];
  }
  void TearDown() override {
    delete dialog;
    BoardTest::TearDown();
  }

  NameDialog* dialog = nullptr;
  Gtk::Entry* entry = nullptr;
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
    int position = entry->get_text_length();
    entry->insert_text(c[0], Glib::ustring(c[0]).bytes(), position);
    EXPECT_EQ(entry->get_text(), c[1]) << c[0];
  }
  EXPECT_EQ(Trace([this] { EXPECT_TRUE(CloseRequest(dialog)); }), "no delete\n");
  EXPECT_TRUE(dialog->get_visible());
}

TEST_F(NameDialogTest, OkRecordsTheWinAndSelectsItInTheTable) {
  WriteText("MINE_SCORE.data", ScoreLine(1000, 10, 10, 10, 20, 1, 5, "ann"));
  entry->set_text("bo\303\251");
  std::string trace = Trace([this] { ButtonIn(dialog, "Ok")->clicked(); });
  dialog = nullptr;
  EXPECT_NE(trace.find("Ok...\n[bo\303\251]\n"), std::string::npos);
  std::vector<ScoreDialog*> shown = Shown<ScoreDialog>("SCORE");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(ReadText("MINE_SCORE.data"),
            ScoreLine(1000, 10, 10, 10, 20, 1, 5, "ann") + "555\t10\t10\t10\t250\t1\t" +
                std::to_string(shown[0]->targetRow) + "\t508\tbo\303\251\n");
  Gtk::TreeModel::Path path;
  Gtk::TreeViewColumn* column;
  shown[0]->listView->get_cursor(path, column);
  EXPECT_EQ(path.to_string(), "1");
}
