// The high-score table, through what it shows: rows from a hand-made list, the mode filters,
// the target row and numeric sorting (the clock pause is among the dialogs' time grabs in
// test_window). Needs a display.
#include "support.h"

#include <gtkmm/checkbutton.h>

#include <map>
#include <string>
#include <vector>

class ScoreDialogTest : public ::testing::Test {
protected:
  ScoreFile list;
  MineTimer timer;
  ScoreDialog* dialog = nullptr;
  std::map<std::string, Gtk::CheckButton*> checks;

  void TearDown() override {
    delete dialog;
    list.ALLDeleteList();
  }
  void Add(int score, int row, int bomb, int sec, int mode, int stamp, std::string name = "b") {
    ScoreItem* item = new ScoreItem{score, row, row, bomb, sec, mode, 0, stamp, name, 0, 0};
    list.AppendList(item);
  }
  void Open(int target) {
    delete dialog;
    dialog = new ScoreDialog(&list, &timer);
    dialog->Create(target);
    for (Gtk::CheckButton* check : ShownIn<Gtk::CheckButton>(dialog))
      checks[check->get_label()] = check;
    ASSERT_EQ(checks.size(), 4u);
  }
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
};

TEST_F(ScoreDialogTest, RowsShowRecordsSoundlyAndSortByNumbers) {
  Add(1000, 10, 10, 7, 1, 11, "");
  Add(555, 20, 80, 1200, 3, 12, "\377a\303");
  Add(300, 100000, 2000000000, -7, 4, 13);
  Add(200, 2, 9, 250, 2, 14);
  Open(0);
  const ScoreCol& col = *dialog->scoreCol;
  EXPECT_EQ(Column(col.strBoard),
            (std::vector<Glib::ustring>{"100 (10x10)", "400 (20x20)", "10000000000 (100000x100000)",
                                        "4 (2x2)"}));
  EXPECT_EQ(Column(col.strSec),
            (std::vector<Glib::ustring>{"0.7 sec", "120.0 sec", "-0.7 sec", "25.0 sec"}));
  EXPECT_EQ(Column(col.strName),
            (std::vector<Glib::ustring>{"NO NAME", "\357\277\275a\357\277\275", "b", "b"}));
  EXPECT_EQ(Column(col.strMode),
            (std::vector<Glib::ustring>{"Beginner", "Advance", "Free", "Medium"}));
  EXPECT_EQ(Column(col.rate), (std::vector<int>{10, 20, 20, 100}));
  EXPECT_EQ(CursorRow(), -1);
  Settle();
  int columns = 0;
  for (Gtk::TreeViewColumn* column : dialog->listView->get_columns())
    columns += column->get_width();
  Gdk::Rectangle shown;
  dialog->listView->get_visible_rect(shown);
  EXPECT_LE(columns, shown.get_width());
  EXPECT_GE(shown.get_width(), 550);
  dialog->listView->get_column(4)->clicked();
  EXPECT_EQ(Column(col.sec), (std::vector<int>{-7, 7, 250, 1200}));
  dialog->listView->get_column(2)->clicked();
  EXPECT_EQ(Column(col.num), (std::vector<int>{4, 1, 2, 3}));
}

TEST_F(ScoreDialogTest, FiltersShowThirtyBestOfTheShownModesRankedAfresh) {
  for (int i = 0; i < 40; i++)
    Add(1000 - i, 10, 10, 100, i % 5 == 0 ? 2 : (i == 1 ? 7 : 1), i);
  Open(0);
  EXPECT_EQ(dialog->mList->children().size(), 30u);
  EXPECT_EQ(Column(dialog->scoreCol->score)[1], 998); // mode 7 is never shown
  EXPECT_EQ(Trace([this] { checks["Medium"]->set_active(false); }), "Medium\nNO ACTIVE\n");
  std::vector<int> scores = Column(dialog->scoreCol->score);
  EXPECT_EQ(scores.size(), 30u);
  EXPECT_EQ(scores.back(), 962);
  EXPECT_EQ(Column(dialog->scoreCol->num).back(), 30);
  checks["Beginner"]->set_active(false);
  checks["Medium"]->set_active(true);
  EXPECT_EQ(dialog->mList->children().size(), 8u);
}

TEST_F(ScoreDialogTest, TargetSelectsTheLastRecordWithItsStamp) {
  Add(900, 10, 10, 100, 1, 0);
  Add(800, 15, 33, 100, 2, 77);
  Add(700, 10, 10, 100, 1, 77);
  Open(77);
  EXPECT_EQ(CursorRow(), 2);
  EXPECT_EQ(dialog->listView->get_selection()->count_selected_rows(), 1);
  checks["Beginner"]->set_active(false);
  EXPECT_EQ(CursorRow(), 0);
  Open(0); // from the menu: only a record stamped 0 (hand-edited) is selected
  EXPECT_EQ(CursorRow(), 0);
  list.firstList->TIME = 9;
  Open(0);
  EXPECT_EQ(dialog->listView->get_selection()->count_selected_rows(), 0);
}
