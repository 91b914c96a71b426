// The status bar's line: at start-up, after each new game, and the mode names. Needs a display.
#include "board_support.h"

#include "status.h"

#include <gtkmm/label.h>

#include <cstring>

namespace {

// The text the status bar shows.
std::string Line(Gtk::Statusbar* bar) {
  for (Gtk::Widget* child : dynamic_cast<Gtk::Container*>(bar->get_message_area())->get_children())
    if (Gtk::Label* label = dynamic_cast<Gtk::Label*>(child))
      return label->get_text();
  return "(no label)";
}

TEST_F(BoardTest, StatusLineFollowsTheBoard) {
  MineStatus status;
  // What a saved-game load leaves on the board before the status bar is created.
  table->nRow = table->nCol = table->pBomb = 15;
  table->mode = 2;
  Gtk::Statusbar* bar = status.Create(table);
  EXPECT_EQ(Line(bar), "Medium  : 15 x 15  bomb 15 %"); // two spaces only in the first line
  const struct {
    int rows, cols, pBomb;
    const char* line;
  } games[] = {{10, 10, 10, "Beginner : 10 x 10  bomb 10 %"},
               {10, 10, 10, "Beginner : 10 x 10  bomb 10 %"},
               {30, 16, 25, "Free : 30 x 16  bomb 25 %"},
               {20, 20, 20, "Advance : 20 x 20  bomb 20 %"}};
  for (const auto& game : games) {
    table->ReCreate(game.rows, game.cols, game.pBomb, 9);
    status.Refresh();
    EXPECT_EQ(Line(bar), game.line);
  }
  // Taking the shown line away leaves the bar empty: no earlier line is left beneath it.
  bar->pop(bar->get_context_id("Advance : 20 x 20  bomb 20 %"));
  EXPECT_EQ(Line(bar), "");
  char name[32];
  for (int mode : {-1, 0, 5}) {
    std::strcpy(name, "junk");
    status.CheckMode(name, mode);
    EXPECT_STREQ(name, "") << mode;
  }
}

} // namespace
