// SPDX-License-Identifier: GPL-3.0-or-later
// The custom grid dialog: cells across and down, bomb percentage and cell size, applied by its
// Reset button. Long-lived and not modal; closing only hides it.
#ifndef VELMINE_SETGRID_H
#define VELMINE_SETGRID_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/label.h>
#include <gtkmm/spinbutton.h>

class MineStatus;
class MineTable;

class GridDialog {
public:
  int tRow;
  int tCol;
  int tBomb;
  int tSize;
  Glib::RefPtr<Gdk::Pixbuf> gridIcon;
  Gtk::Dialog* dialog;
  MineTable* table;
  MineStatus* status;
  Gtk::VBox* vbox;
  Gtk::HBox* hbox;
  Gtk::Button* reset;
  Gtk::Button* close;
  Gtk::Adjustment* rowAdj;
  Gtk::Adjustment* colAdj;
  Gtk::Adjustment* bombAdj;
  Gtk::Adjustment* sizeAdj;
  Gtk::SpinButton* rowSpin;
  Gtk::SpinButton* colSpin;
  Gtk::SpinButton* bombSpin;
  Gtk::SpinButton* sizeSpin;
  Gtk::Label* hLabel1;
  Gtk::Label* hLabel2;
  Gtk::Label* hLabel3;

  GridDialog();
  ~GridDialog();
  GridDialog(const GridDialog&) = delete;
  GridDialog& operator=(const GridDialog&) = delete;

  void Create(MineTable* table0, MineStatus* status0);
  void Show();

protected:
  void RowChange();
  void ColChange();
  void BombChange();
  void SizeChange();
  void ResetClicked();
  void CloseClicked();
  bool DeleteSignal(GdkEventAny* event);
};

#endif
