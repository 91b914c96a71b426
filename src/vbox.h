// SPDX-License-Identifier: GPL-3.0-or-later
// The main layout: creates and owns the long-lived objects of the game, decides at start-up
// between a fresh board and a resumed saved game, and lays the widgets out in the window.
#ifndef VELMINE_VBOX_H
#define VELMINE_VBOX_H

#include <gtkmm/button.h>
#include <gtkmm/table.h>

class LoadDialog;
class MineMenu;
class MineStatus;
class MineTable;
class MineTimer;
class MineWindow;
class SaveFile;
class ScoreFile;

class MainVBox {
public:
  MineWindow* window;
  Gtk::Table* vbox;
  Gtk::Button* button;
  MineStatus* status;
  MineTable* table;
  MineMenu* menu;
  MineTimer* timer;
  ScoreFile* scoreFile;
  SaveFile* saveFile;
  LoadDialog* loadDialog;

  MainVBox(MineWindow* window, MineTimer* timer);
  ~MainVBox();
  MainVBox(const MainVBox&) = delete;
  MainVBox& operator=(const MainVBox&) = delete;

  void Create();
  void ButtonClicked();
  // The window's size when the board's widget is given board: the widgets around it as Create
  // lays them out, with what they request now, inside the window's border.
  Gtk::Requisition WindowFor(const Gtk::Requisition& board);

private:
  // A board wired to this layout, for the first start and for a saved game not resumed.
  MineTable* NewTable();
};

#endif
