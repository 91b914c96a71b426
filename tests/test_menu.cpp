// The menu bar: its tree, the keyboard's way in, and every command once, with its trace line and
// its effect on the board, the status bar and the dialogs. Needs a display; each test runs in a
// fresh temporary working directory with no saved game.
#include "shell_support.h"

#include "aboutdialog.h"
#include "menu.h"
#include "minebutton.h"
#include "savedialog.h"
#include "scoredialog.h"
#include "setgrid.h"

#include <gdk/gdkkeysyms.h>
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>

#include <string>
#include <vector>

namespace {

// The labels of a menu's entries in order, a separator shown as "-".
std::vector<std::string> Entries(Gtk::MenuShell* shell) {
  std::vector<std::string> labels;
  std::vector<Gtk::Widget*> children = shell->get_children();
  for (size_t i = 0; i < children.size(); i++) {
    Gtk::MenuItem* item = dynamic_cast<Gtk::MenuItem*>(children[i]);
    if (!item || !item->get_visible())
      labels.push_back("?");
    else if (dynamic_cast<Gtk::SeparatorMenuItem*>(item))
      labels.push_back("-");
    else
      labels.push_back(std::string(item->get_label()) + (item->get_use_underline() ? "_" : ""));
  }
  return labels;
}

} // namespace

class MenuTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    Start();
    menu = vbox->menu;
  }

  // Chooses a menu entry and returns what it traced.
  std::string Choose(Gtk::MenuItem* item) {
    testing::internal::CaptureStdout();
    item->activate();
    Flush();
    return testing::internal::GetCapturedStdout();
  }

  MineMenu* menu = 0;
};

TEST_F(MenuTest, OffersThreeMenusOfPlainEntries) {
  EXPECT_EQ(Entries(menu->menubar), (std::vector<std::string>{"Game", "Option", "Help"}));
  EXPECT_EQ(menu->fileItem->get_submenu(), menu->fileMenu);
  EXPECT_EQ(menu->optionItem->get_submenu(), menu->optionMenu);
  EXPECT_EQ(menu->helpItem->get_submenu(), menu->helpMenu);
  EXPECT_EQ(Entries(menu->fileMenu),
            (std::vector<std::string>{"Reset", "-", "Beginner", "Medium", "Advance", "-", "Exit"}));
  EXPECT_EQ(Entries(menu->optionMenu), (std::vector<std::string>{"Set Grid", "Score", "Save"}));
  EXPECT_EQ(Entries(menu->helpMenu), (std::vector<std::string>{"About"}));
}

TEST_F(MenuTest, F10OpensTheMenuBar) {
  GdkEvent event = {};
  event.key.type = GDK_KEY_PRESS;
  event.key.window = window->get_window()->gobj();
  event.key.keyval = GDK_F10;
  EXPECT_TRUE(gtk_widget_event(GTK_WIDGET(window->gobj()), &event));
  GtkMenuShell* shell = GTK_MENU_SHELL(menu->menubar->gobj());
  EXPECT_TRUE(shell->active);
  EXPECT_EQ(shell->active_menu_item, GTK_WIDGET(menu->fileItem->gobj()));
  menu->menubar->deactivate();
  Flush();
}

class GameMenuTest : public MenuTest {
protected:
  void ExpectBoard(int nRow, int nCol, int pBomb, int nSize, int mode) {
    EXPECT_EQ(table->nRow, nRow);
    EXPECT_EQ(table->nCol, nCol);
    EXPECT_EQ(table->pBomb, pBomb);
    EXPECT_EQ(table->nSize, nSize);
    EXPECT_EQ(table->mode, mode);
    EXPECT_EQ(table->startFlag, 0);
    ASSERT_NE(table->board[nRow * nCol - 1], nullptr);
    EXPECT_EQ(table->board[nRow * nCol], nullptr);
    EXPECT_EQ(table->board[nRow * nCol - 1]->row, nRow - 1);
    EXPECT_EQ(table->board[nRow * nCol - 1]->col, nCol - 1);
  }
};

TEST_F(GameMenuTest, PresetsRebuildToTheirSizes) {
  EXPECT_TRUE(HasLine(Choose(menu->mediumItem), "Medium..."));
  ExpectBoard(15, 15, 15, 14, 2);
  EXPECT_EQ(StatusText(), "Medium : 15 x 15  bomb 15 %");

  EXPECT_TRUE(HasLine(Choose(menu->advanceItem), "Advance..."));
  ExpectBoard(20, 20, 20, 9, 3);
  EXPECT_EQ(StatusText(), "Advance : 20 x 20  bomb 20 %");

  EXPECT_TRUE(HasLine(Choose(menu->beginnerItem), "Beginner..."));
  ExpectBoard(10, 10, 10, 24, 1);
  EXPECT_EQ(StatusText(), "Beginner : 10 x 10  bomb 10 %");
}

TEST_F(GameMenuTest, PresetOfTheSameSizeResetsInPlace) {
  Choose(menu->mediumItem);
  MineButton* first = table->board[0];
  LeftRelease(table, 112);
  ASSERT_EQ(table->startFlag, 1);
  EXPECT_TRUE(HasLine(Choose(menu->mediumItem), "Medium..."));
  EXPECT_EQ(table->board[0], first);
  ExpectBoard(15, 15, 15, 14, 2);
  EXPECT_EQ(timer->timeFlag, 0);
  for (int i = 0; i < 15 * 15; i++)
    EXPECT_EQ(table->board[i]->state, 1);
  EXPECT_EQ(StatusText(), "Medium : 15 x 15  bomb 15 %");
}

TEST_F(GameMenuTest, StartupBoardTakesBeginnerInPlace) {
  MineButton* first = table->board[0];
  Choose(menu->beginnerItem);
  EXPECT_EQ(table->board[0], first);
  // The first line has two spaces before the colon; only a refresh writes one.
  EXPECT_EQ(StatusText(), "Beginner : 10 x 10  bomb 10 %");
}

TEST_F(GameMenuTest, ResetKeepsFreeBoardSettings) {
  table->ReCreate(30, 12, 41, 11);
  MineButton* first = table->board[0];
  LeftRelease(table, 200);
  ASSERT_EQ(table->startFlag, 1);
  EXPECT_TRUE(HasLine(Choose(menu->resetItem), "Reset..."));
  ExpectBoard(30, 12, 41, 11, 4);
  EXPECT_EQ(table->board[0], first);
  EXPECT_EQ(StatusText(), "Free : 30 x 12  bomb 41 %");
}

TEST_F(GameMenuTest, ExitAsksForConfirmation) {
  EXPECT_EQ(Choose(menu->exitItem), "");
  std::vector<Gtk::Dialog*> confirms = OpenTitled("EXIT");
  ASSERT_EQ(confirms.size(), 1u);
  EXPECT_EQ(ChildLabel(confirms[0]->get_vbox()), "Quit ?");
  EXPECT_TRUE(confirms[0]->has_grab());
  EXPECT_TRUE(window->get_visible());
}

class OptionMenuTest : public MenuTest {};

TEST_F(OptionMenuTest, SetGridShowsTheOneGridDialog) {
  GridDialog* grid = menu->gridDialog;
  ASSERT_NE(grid, nullptr);
  EXPECT_FALSE(grid->dialog->get_visible());
  EXPECT_EQ(Choose(menu->setgridItem), "");
  EXPECT_TRUE(grid->dialog->get_visible());
  grid->close->clicked();
  Choose(menu->setgridItem);
  EXPECT_EQ(menu->gridDialog, grid);
  EXPECT_TRUE(grid->dialog->get_visible());
}

TEST_F(OptionMenuTest, ScorePrintsTheListBeforeOpeningTheTable) {
  std::string out = Choose(menu->scoreItem);
  size_t list = out.find("OK! MATCH LIST\n");
  ASSERT_NE(list, std::string::npos);
  size_t command = out.find("ACTIVATE SCORE\n");
  ASSERT_NE(command, std::string::npos);
  EXPECT_LT(list, command);
  EXPECT_EQ(Open<ScoreDialog>().size(), 1u);
}

TEST_F(OptionMenuTest, SaveBeforeTheFirstOpeningOpensNothing) {
  EXPECT_TRUE(HasLine(Choose(menu->saveItem), "ACTIVATE SAVE"));
  EXPECT_TRUE(Open<SaveDialog>().empty());
}

TEST_F(OptionMenuTest, SaveDuringGameOpensTheSaveDialog) {
  LeftRelease(table, 44);
  ASSERT_EQ(table->startFlag, 1);
  EXPECT_TRUE(HasLine(Choose(menu->saveItem), "ACTIVATE SAVE"));
  std::vector<SaveDialog*> saves = Open<SaveDialog>();
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0]->table, table);
  // The game's time stands still while the player decides.
  EXPECT_EQ(timer->timeFlag, 0);
  saves[0]->cancelButton->clicked();
  Flush();
  EXPECT_EQ(timer->timeFlag, 1);
  EXPECT_FALSE(FileExists("MINE_SAVE.data"));
}

TEST_F(OptionMenuTest, SaveAfterTheGameEndedOpensNothing) {
  LeftRelease(table, 44);
  ASSERT_EQ(table->startFlag, 1);
  table->GameOver();
  CloseDialogs();
  ASSERT_EQ(table->startFlag, 0);
  EXPECT_TRUE(HasLine(Choose(menu->saveItem), "ACTIVATE SAVE"));
  EXPECT_TRUE(Open<SaveDialog>().empty());
}

TEST_F(MenuTest, AboutOpensTheAboutBox) {
  EXPECT_TRUE(HasLine(Choose(menu->aboutItem), "ACTIVATE ABOUT"));
  EXPECT_EQ(Open<AboutDialog>().size(), 1u);
  // Every activation opens a box of its own.
  Choose(menu->aboutItem);
  EXPECT_EQ(Open<AboutDialog>().size(), 2u);
}
