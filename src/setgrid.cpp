// SPDX-License-Identifier: GPL-3.0-or-later
#include "setgrid.h"

#include "intl.h"
#include "status.h"
#include "table.h"
#include "xpm/pictures.h"

#include <iostream>

GridDialog::GridDialog()
    : tRow(10), tCol(10), tBomb(10), tSize(24), dialog(new Gtk::Dialog()), table(0), status(0),
      vbox(0), hbox(new Gtk::HBox(false, 0)), reset(0), close(0),
      rowAdj(new Gtk::Adjustment(10, 8, 100, 1, 10, 0)),
      colAdj(new Gtk::Adjustment(10, 8, 50, 1, 10, 0)),
      bombAdj(new Gtk::Adjustment(10, 5, 60, 1, 10, 0)),
      sizeAdj(new Gtk::Adjustment(24, 4, 100, 1, 10, 0)),
      rowSpin(new Gtk::SpinButton(*rowAdj, 0, 0)), colSpin(new Gtk::SpinButton(*colAdj, 0, 0)),
      bombSpin(new Gtk::SpinButton(*bombAdj, 0, 0)), sizeSpin(new Gtk::SpinButton(*sizeAdj, 0, 0)),
      // TRANSLATORS: the grid dialog's line reads "10 x 10 bomb: 10 % size: 24" (cells across,
      // "x", cells down, "bomb:", bomb percentage, "% size:", cell size in pixels), each number
      // in a spin button; this is the "x" between cells across and cells down.
      hLabel1(new Gtk::Label(_("x"))),
      // TRANSLATORS: the grid dialog's line "10 x 10 bomb: 10 % size: 24"; this caption comes
      // before the bomb percentage.
      hLabel2(new Gtk::Label(_("bomb:"))),
      // xgettext:no-c-format
      // TRANSLATORS: the grid dialog's line "10 x 10 bomb: 10 % size: 24"; this caption follows
      // the bomb percentage (its "%") and comes before the cell size in pixels.
      hLabel3(new Gtk::Label(_("% size:"))) {
  vbox = dialog->get_vbox();
  reset = dialog->add_button(C_("button", "Reset"), Gtk::RESPONSE_NONE);
  close = dialog->add_button(_("Close"), Gtk::RESPONSE_NONE);
  dialog->set_title(_("SET GRID"));
  gridIcon = Gdk::Pixbuf::create_from_xpm_data(flag_xpm);
  dialog->set_icon(gridIcon);
  dialog->set_position(Gtk::WIN_POS_CENTER);
  dialog->set_keep_above(true);
}

// Every widget goes before the dialog that holds it (deleting a widget takes it out of its
// container, so nothing is freed twice; the buttons from add_button included), and the
// adjustments go last, after the spin buttons that use them.
GridDialog::~GridDialog() {
  delete rowSpin;
  delete colSpin;
  delete bombSpin;
  delete sizeSpin;
  delete hLabel1;
  delete hLabel2;
  delete hLabel3;
  delete hbox;
  delete reset;
  delete close;
  delete dialog;
  delete rowAdj;
  delete colAdj;
  delete bombAdj;
  delete sizeAdj;
}

void GridDialog::Create(MineTable* table0, MineStatus* status0) {
  table = table0;
  status = status0;
  rowSpin->set_value(table->nRow);
  colSpin->set_value(table->nCol);
  bombSpin->set_value(table->pBomb);
  sizeSpin->set_value(table->nSize);
  rowSpin->set_numeric(false);
  colSpin->set_numeric(false);
  bombSpin->set_numeric(false);
  sizeSpin->set_numeric(false);
  // The spin buttons clamp to their ranges; taking the fields back from them keeps Reset from
  // applying a value the player cannot see (a loaded game may lie outside the ranges).
  tRow = static_cast<int>(rowSpin->get_value());
  tCol = static_cast<int>(colSpin->get_value());
  tBomb = static_cast<int>(bombSpin->get_value());
  tSize = static_cast<int>(sizeSpin->get_value());

  vbox->pack_start(*hbox, Gtk::PACK_EXPAND_WIDGET, 0);
  hbox->pack_start(*rowSpin, Gtk::PACK_SHRINK, 0);
  hbox->pack_start(*hLabel1, Gtk::PACK_EXPAND_WIDGET, 0);
  hbox->pack_start(*colSpin, Gtk::PACK_SHRINK, 0);
  hbox->pack_start(*hLabel2, Gtk::PACK_EXPAND_WIDGET, 0);
  hbox->pack_start(*bombSpin, Gtk::PACK_SHRINK, 0);
  hbox->pack_start(*hLabel3, Gtk::PACK_EXPAND_WIDGET, 0);
  hbox->pack_start(*sizeSpin, Gtk::PACK_SHRINK, 0);
  vbox->show();
  hbox->show();
  rowSpin->show();
  colSpin->show();
  bombSpin->show();
  sizeSpin->show();
  hLabel1->show();
  hLabel2->show();
  hLabel3->show();

  rowSpin->signal_value_changed().connect(sigc::mem_fun(*this, &GridDialog::RowChange));
  colSpin->signal_value_changed().connect(sigc::mem_fun(*this, &GridDialog::ColChange));
  bombSpin->signal_value_changed().connect(sigc::mem_fun(*this, &GridDialog::BombChange));
  sizeSpin->signal_value_changed().connect(sigc::mem_fun(*this, &GridDialog::SizeChange));
  close->signal_clicked().connect(sigc::mem_fun(*this, &GridDialog::CloseClicked));
  reset->signal_clicked().connect(sigc::mem_fun(*this, &GridDialog::ResetClicked));
  dialog->signal_delete_event().connect(sigc::mem_fun(*this, &GridDialog::DeleteSignal));
  dialog->set_resizable(false);
}

// The size is set last, so the size that ColChange proposes for the board's cells down gives
// way to the board's own.
void GridDialog::Show() {
  rowSpin->set_value(table->nRow);
  colSpin->set_value(table->nCol);
  bombSpin->set_value(table->pBomb);
  sizeSpin->set_value(table->nSize);
  dialog->show();
}

void GridDialog::RowChange() {
  tRow = static_cast<int>(rowSpin->get_value());
}

// A new number of cells down proposes a cell size that keeps the board about 300 pixels high,
// never below 8 pixels.
void GridDialog::ColChange() {
  tCol = static_cast<int>(colSpin->get_value());
  int range = 300 / tCol - 6;
  if (range <= 7)
    range = 8;
  tSize = range;
  sizeSpin->set_value(range);
}

void GridDialog::BombChange() {
  tBomb = static_cast<int>(bombSpin->get_value());
}

void GridDialog::SizeChange() {
  tSize = static_cast<int>(sizeSpin->get_value());
}

void GridDialog::ResetClicked() {
  std::cout << "Reset..." << std::endl;
  table->ReCreate(tRow, tCol, tBomb, tSize);
  status->Refresh();
}

void GridDialog::CloseClicked() {
  std::cout << "Return..." << std::endl;
  dialog->hide();
}

bool GridDialog::DeleteSignal(GdkEventAny*) {
  std::cout << "delete..." << std::endl;
  dialog->hide();
  return true;
}
