// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar and its commands: new games, the grid dialog, the score table, saving, About
// and Exit.
#ifndef VELMINE_MENU_H
#define VELMINE_MENU_H

#include <gtkmm/menu.h>
#include <gtkmm/menubar.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/separatormenuitem.h>

class GridDialog;
class MineStatus;
class MineTable;
class MineTimer;
class SaveFile;
class ScoreFile;

class MineMenu {
public:
  Gtk::MenuBar* menubar;
  Gtk::Menu* fileMenu;
  Gtk::Menu* optionMenu;
  Gtk::Menu* helpMenu;
  Gtk::MenuItem* fileItem;
  Gtk::MenuItem* resetItem;
  Gtk::MenuItem* setgridItem;
  Gtk::MenuItem* exitItem;
  Gtk::MenuItem* optionItem;
  Gtk::MenuItem* scoreItem;
  Gtk::MenuItem* saveItem;
  Gtk::MenuItem* beginnerItem;
  Gtk::MenuItem* mediumItem;
  Gtk::MenuItem* advanceItem;
  Gtk::MenuItem* helpItem;
  Gtk::MenuItem* aboutItem;
  Gtk::SeparatorMenuItem* fileSep1;
  Gtk::SeparatorMenuItem* fileSep2;
  MineTimer* timer;
  MineTable* table;
  MineStatus* status;
  ScoreFile* scoreFile;
  SaveFile* saveFile;
  GridDialog* gridDialog;

  MineMenu();
  ~MineMenu();
  MineMenu(const MineMenu&) = delete;
  MineMenu& operator=(const MineMenu&) = delete;

  Gtk::MenuBar* Create(MineTable* table, MineStatus* status, MineTimer* timer, ScoreFile* scoreFile,
                       SaveFile* saveFile);

protected:
  void NewGame(const char* trace, int nRow0, int nCol0, int pBomb0, int nSize0);
  void ActivateReset();
  void ActivateBeginner();
  void ActivateMedium();
  void ActivateAdvance();
  void ActivateSetGrid();
  void ActivateExit();
  void ActivateScore();
  void ActivateSave();
  void ActivateAbout();
};

#endif
