// SPDX-License-Identifier: GPL-3.0-or-later
#include "vbox.h"

#include "intl.h"
#include "loaddialog.h"
#include "menu.h"
#include "savefile.h"
#include "scorefile.h"
#include "status.h"
#include "table.h"
#include "timer.h"
#include "window.h"

#include <gtkmm/label.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace {

// What a widget requests, or nothing for one not shown, which the grid leaves out.
Gtk::Requisition Request(Gtk::Widget* widget) {
  Gtk::Requisition none = {0, 0};
  return widget != 0 && widget->get_visible() ? widget->size_request() : none;
}

} // namespace

MainVBox::MainVBox(MineWindow* window0, MineTimer* timer0)
    : window(window0), vbox(0), button(0), status(0), table(0), menu(0), timer(timer0),
      scoreFile(0), saveFile(0), loadDialog(0) {
  // Four rows are used; the grid grows to them by itself.
  vbox = new Gtk::Table(3, 4, false);
  // TRANSLATORS: the button that starts a new game on the board as it is set (the main
  // window's, beside the clock, and the grid dialog's).
  button = new Gtk::Button(C_("button", "Reset"), false);
  status = new MineStatus();
  // The score list is loaded before the board exists, so a win can always be recorded.
  scoreFile = new ScoreFile();
  scoreFile->ReadFile();
  scoreFile->SortList();
  scoreFile->ViewList();
  saveFile = new SaveFile();
  table = NewTable();
  menu = new MineMenu();
}

MainVBox::~MainVBox() {
  // Borrowers before what they borrow: the menu holds every other object, the board the
  // score list.
  delete menu;
  delete table;
  delete status;
  delete button;
  delete vbox;
  delete saveFile;
  scoreFile->ALLDeleteList();
  delete scoreFile;
}

void MainVBox::Create() {
  window->add(*vbox);

  // A saved game serves once: LoadState removes a sound file, a refused one goes here.
  int found = saveFile->FindState();
  int loaded = 1;
  if (found == 0) {
    std::cout << "FIND SAVE.data" << std::endl;
    loaded = saveFile->LoadState(table);
  }
  if (loaded == 0) {
    loadDialog = new LoadDialog(timer, 0);
  } else if (found == 0) {
    // Not resumed: a file that cannot be removed would be resumed again at every start, so it
    // waits for a folder that can be written. The board may hold part of the game.
    if (loaded == 2)
      std::cout << "KEEP SAVE.data" << std::endl;
    delete table;
    table = NewTable();
    table->CreateTable();
    loadDialog = new LoadDialog(timer, loaded == 2 ? 4 : 5);
  } else if (found == 1) {
    std::cout << "CAN'T FIND SAVE.data" << std::endl;
    table->CreateTable();
  } else {
    table->CreateTable();
    // Results 2 and 3 name the reason, messages 1 and 2 show it; anything else is broken (3).
    loadDialog = new LoadDialog(timer, found == 2 || found == 3 ? found - 1 : 3);
    std::remove("MINE_SAVE.data");
  }

  button->set_size_request(-1, 30);
  // The menu bar and the status bar are made only now, so they see the board as built or loaded.
  vbox->attach(*menu->Create(table, status, timer, scoreFile, saveFile), 0, 3, 0, 1,
               Gtk::FILL | Gtk::EXPAND, Gtk::SHRINK, 0, 0);
  vbox->attach(*timer->timeLabel, 0, 1, 1, 2, Gtk::SHRINK, Gtk::SHRINK, 0, 0);
  vbox->attach(*button, 1, 3, 1, 2, Gtk::FILL | Gtk::EXPAND, Gtk::SHRINK, 0, 0);
  vbox->attach(*table->Show(), 0, 3, 2, 3, Gtk::EXPAND | Gtk::FILL, Gtk::EXPAND | Gtk::FILL, 0, 0);
  vbox->attach(*status->Create(table), 0, 3, 3, 4, Gtk::FILL | Gtk::EXPAND, Gtk::SHRINK, 0, 0);
  button->show();
  vbox->show();
  button->signal_clicked().connect(sigc::mem_fun(*this, &MainVBox::ButtonClicked));
}

MineTable* MainVBox::NewTable() {
  MineTable* board = new MineTable(window, timer, scoreFile);
  // The board fits the window to itself, with the rows this layout puts around it.
  board->windowFor = sigc::mem_fun(*this, &MainVBox::WindowFor);
  return board;
}

void MainVBox::ButtonClicked() {
  std::cout << "button click" << std::endl;
  table->ReCreate(table->nRow, table->nCol, table->pBomb, table->nSize);
  status->Refresh();
}

Gtk::Requisition MainVBox::WindowFor(const Gtk::Requisition& board) {
  // The grid stacks rows of one widget each (the menu bar, the board, the status bar) and one
  // with the clock and the reset button side by side, with no spacing.
  Gtk::Requisition clock = Request(timer->timeLabel), reset = Request(button);
  Gtk::Requisition whole = {std::max(clock.width + reset.width, board.width),
                            std::max(clock.height, reset.height) + board.height};
  for (Gtk::Widget* child : vbox->get_children())
    if (child != timer->timeLabel && child != button && child != table->Show()) {
      Gtk::Requisition row = Request(child);
      whole.width = std::max(whole.width, row.width);
      whole.height += row.height;
    }
  int border = 2 * (window->get_border_width() + vbox->get_border_width());
  whole.width += border;
  whole.height += border;
  return whole;
}
