// SPDX-License-Identifier: GPL-3.0-or-later
// Tells the player at start-up what became of the saved game: loaded, or why it was refused.
#ifndef VELMINE_LOADDIALOG_H
#define VELMINE_LOADDIALOG_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/label.h>

class MineTimer;

class LoadDialog : public Gtk::Dialog {
public:
  Glib::RefPtr<Gdk::Pixbuf> loadIcon;
  Gtk::VBox* vbox;
  Gtk::Label* label;
  MineTimer* timer;
  int timeGrab;
  Gtk::Button* okButton;

  LoadDialog(MineTimer* timer0, int mNum0);
  virtual ~LoadDialog();

protected:
  void OkClicked();
  bool SignalDelete(GdkEventAny* event);
};

#endif
