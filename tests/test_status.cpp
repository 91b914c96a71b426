// The status bar: the line describing the board at start-up and after each new game, and the
// mode names. Needs a display and runs each test in a temporary working directory.
#include "board_support.h"

#include "status.h"

#include <gtkmm/label.h>

#include <cstring>
#include <string>

namespace {

class StatusTest : public BoardTest {
protected:
  void TearDown() override {
    delete status;
    BoardTest::TearDown();
  }

  // The text the status bar shows.
  std::string Line() {
    Gtk::Container* area = dynamic_cast<Gtk::Container*>(bar->get_message_area());
    std::vector<Gtk::Widget*> children = area->get_children();
    for (size_t i = 0; i < children.size(); i++) {
      Gtk::Label* label = dynamic_cast<Gtk::Label*>(children[i]);
      if (label != nullptr)
        return label->get_text();
    }
    return "(no label)";
  }

  MineStatus* status = new MineStatus();
  Gtk::Statusbar* bar = nullptr;
};

TEST_F(StatusTest, FirstLineHasTwoSpacesBeforeTheColon) {
  table->CreateTable();
  bar = status->Create(table);
  EXPECT_EQ(Line(), "Beginner  : 10 x 10  bomb 10 %");
  EXPECT_TRUE(bar->get_visible());
  int width = 0, height = 0;
  bar->get_size_request(width, height);
  EXPECT_EQ(width, -1);
  EXPECT_EQ(height, 30);
}

TEST_F(StatusTest, RefreshReplacesTheLineAndLeavesOnlyOne) {
  table->CreateTable();
  bar = status->Create(table);
  status->Refresh();
  EXPECT_EQ(Line(), "Beginner : 10 x 10  bomb 10 %");
  status->Refresh();
  EXPECT_EQ(Line(), "Beginner : 10 x 10  bomb 10 %");

  table->ReCreate(30, 16, 25, 12);
  status->Refresh();
  // Cells across come before cells down.
  EXPECT_EQ(Line(), "Free : 30 x 16  bomb 25 %");

  // Taking the shown line away leaves the bar empty: no earlier line is left beneath it.
  bar->pop(bar->get_context_id("Free : 30 x 16  bomb 25 %"));
  EXPECT_EQ(Line(), "");
}

TEST_F(StatusTest, EveryPresetIsNamed) {
  table->CreateTable();
  bar = status->Create(table);
  table->ReCreate(15, 15, 15, 14);
  status->Refresh();
  EXPECT_EQ(Line(), "Medium : 15 x 15  bomb 15 %");
  table->ReCreate(20, 20, 20, 9);
  status->Refresh();
  EXPECT_EQ(Line(), "Advance : 20 x 20  bomb 20 %");
}

TEST_F(StatusTest, FirstLineDescribesALoadedBoard) {
  // What a saved-game load leaves on the board before the status bar is created.
  table->nRow = 15;
  table->nCol = 15;
  table->pBomb = 15;
  table->mode = 2;
  bar = status->Create(table);
  EXPECT_EQ(Line(), "Medium  : 15 x 15  bomb 15 %");
}

TEST_F(StatusTest, ModeNamesCoverEveryCodeAndNothingElse) {
  const char* expected[] = {"", "Beginner", "Medium", "Advance", "Free"};
  char name[32];
  for (int mode = 0; mode <= 4; mode++) {
    std::strcpy(name, "junk");
    status->CheckMode(name, mode);
    EXPECT_STREQ(name, expected[mode]);
  }
  for (int mode : {-1, 5, 99}) {
    std::strcpy(name, "junk");
    status->CheckMode(name, mode);
    EXPECT_STREQ(name, "") << mode;
  }
}

} // namespace
