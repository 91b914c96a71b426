// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu.h"

#include "aboutdialog.h"
#include "exit.h"
#include "intl.h"
#include "savedialog.h"
#include "scoredialog.h"
#include "scorefile.h"
#include "setgrid.h"
#include "status.h"
#include "table.h"

#include <iostream>

MineMenu::MineMenu()
    : menubar(new Gtk::MenuBar()), fileMenu(new Gtk::Menu()), optionMenu(new Gtk::Menu()),
      helpMenu(new Gtk::Menu()), fileItem(new Gtk::MenuItem(_("Game"))),
      // TRANSLATORS: Game menu commands: a new game on the same board, and on the preset boards
      // (Beginner 10 x 10 with 10 % bombs, Medium 15 x 15 with 15 %, Advance 20 x 20 with 20 %).
      resetItem(new Gtk::MenuItem(C_("menu", "Reset"))),
      setgridItem(new Gtk::MenuItem(_("Set Grid"))), exitItem(new Gtk::MenuItem(_("Exit"))),
      optionItem(new Gtk::MenuItem(_("Option"))), scoreItem(new Gtk::MenuItem(C_("menu", "Score"))),
      saveItem(new Gtk::MenuItem(C_("menu", "Save"))),
      beginnerItem(new Gtk::MenuItem(C_("menu", "Beginner"))),
      mediumItem(new Gtk::MenuItem(C_("menu", "Medium"))),
      advanceItem(new Gtk::MenuItem(C_("menu", "Advance"))), helpItem(new Gtk::MenuItem(_("Help"))),
      aboutItem(new Gtk::MenuItem(_("About"))), fileSep1(new Gtk::SeparatorMenuItem()),
      fileSep2(new Gtk::SeparatorMenuItem()), timer(0), table(0), status(0), scoreFile(0),
      saveFile(0), gridDialog(0) {}

MineMenu::~MineMenu() {
  delete gridDialog;
  // Entries first, then the menus that hold them, then the bar.
  delete resetItem;
  delete fileSep1;
  delete beginnerItem;
  delete mediumItem;
  delete advanceItem;
  delete fileSep2;
  delete exitItem;
  delete setgridItem;
  delete scoreItem;
  delete saveItem;
  delete aboutItem;
  delete fileMenu;
  delete optionMenu;
  delete helpMenu;
  delete fileItem;
  delete optionItem;
  delete helpItem;
  delete menubar;
}

Gtk::MenuBar* MineMenu::Create(MineTable* table0, MineStatus* status0, MineTimer* timer0,
                               ScoreFile* scoreFile0, SaveFile* saveFile0) {
  table = table0;
  status = status0;
  timer = timer0;
  scoreFile = scoreFile0;
  saveFile = saveFile0;

  Gtk::MenuItem* gameEntries[] = {resetItem,   fileSep1, beginnerItem, mediumItem,
                                  advanceItem, fileSep2, exitItem};
  for (Gtk::MenuItem* entry : gameEntries) {
    fileMenu->append(*entry);
    entry->show();
  }
  fileItem->set_submenu(*fileMenu);
  menubar->append(*fileItem);
  fileItem->show();
  fileMenu->show();

  Gtk::MenuItem* optionEntries[] = {setgridItem, scoreItem, saveItem};
  for (Gtk::MenuItem* entry : optionEntries) {
    optionMenu->append(*entry);
    entry->show();
  }
  optionItem->set_submenu(*optionMenu);
  menubar->append(*optionItem);
  optionItem->show();
  optionMenu->show();

  helpMenu->append(*aboutItem);
  aboutItem->show();
  helpItem->set_submenu(*helpMenu);
  menubar->append(*helpItem);
  helpItem->show();
  helpMenu->show();

  menubar->show();

  gridDialog = new GridDialog();
  gridDialog->Create(table, status);

  exitItem->signal_activate().connect(sigc::mem_fun(*this, &MineMenu::ActivateExit));
  resetItem->signal_activate().connect(sigc::mem_fun(*this, &MineMenu::ActivateReset));
  beginnerItem->signal_activate().connect(sigc::mem_fun(*this, &MineMenu::ActivateBeginner));
  mediumItem->signal_activate().connect(sigc::mem_fun(*this, &MineMenu::ActivateMedium));
  advanceItem->signal_activate().connect(sigc::mem_fun(*this, &MineMenu::ActivateAdvance));
  setgridItem->signal_activate().connect(sigc::mem_fun(*this, &MineMenu::ActivateSetGrid));
  scoreItem->signal_activate().connect(sigc::mem_fun(*this, &MineMenu::ActivateScore));
  saveItem->signal_activate().connect(sigc::mem_fun(*this, &MineMenu::ActivateSave));
  aboutItem->signal_activate().connect(sigc::mem_fun(*this, &MineMenu::ActivateAbout));

  return menubar;
}

// Every new game goes through ReCreate, which keeps the cells when the size is unchanged.
void MineMenu::NewGame(const char* trace, int nRow0, int nCol0, int pBomb0, int nSize0) {
  std::cout << trace << std::endl;
  table->ReCreate(nRow0, nCol0, pBomb0, nSize0);
  status->Refresh();
}

void MineMenu::ActivateReset() {
  NewGame("Reset...", table->nRow, table->nCol, table->pBomb, table->nSize);
}

void MineMenu::ActivateBeginner() {
  NewGame("Beginner...", 10, 10, 10, 24);
}

void MineMenu::ActivateMedium() {
  NewGame("Medium...", 15, 15, 15, 14);
}

void MineMenu::ActivateAdvance() {
  NewGame("Advance...", 20, 20, 20, 9);
}

void MineMenu::ActivateSetGrid() {
  gridDialog->Show();
}

// The dialogs opened below delete themselves when closed; the menu keeps none of them.
void MineMenu::ActivateExit() {
  new ExitDialog(timer);
}

void MineMenu::ActivateScore() {
  scoreFile->ViewList();
  std::cout << "ACTIVATE SCORE" << std::endl;
  ScoreDialog* scoreDialog = new ScoreDialog(scoreFile, timer);
  scoreDialog->Create(0);
}

void MineMenu::ActivateSave() {
  std::cout << "ACTIVATE SAVE" << std::endl;
  // Only a game in progress is worth resuming; a waiting or ended board has nothing to keep.
  if (table->startFlag != 0)
    new SaveDialog(table, saveFile, timer);
}

void MineMenu::ActivateAbout() {
  std::cout << "ACTIVATE ABOUT" << std::endl;
  new AboutDialog(timer);
}
