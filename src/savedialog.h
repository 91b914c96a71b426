// SPDX-License-Identifier: GPL-3.0-or-later
// The save-and-exit confirmation: writes the game in progress, verifies it and ends the
// program.
#ifndef VELMINE_SAVEDIALOG_H
#define VELMINE_SAVEDIALOG_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/label.h>

class MineTable;
class MineTimer;
class SaveFile;

class SaveDialog : public Gtk::Dialog {
public:
  Glib::RefPtr<Gdk::Pixbuf> saveIcon;
  Gtk::VBox* vbox;
  Gtk::Label* label;
  MineTable* table;
  MineTimer* timer;
  SaveFile* saveFile;
  int timeGrab;
  Gtk::Button* okButton;
  Gtk::Button* cancelButton;

  SaveDialog(MineTable* table0, SaveFile* saveFile0, MineTimer* timer0);
  virtual ~SaveDialog();

protected:
  void OkClicked();
  void CancelClicked();
  bool SignalDelete(GdkEventAny* event);
};

#endif
