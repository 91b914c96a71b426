// SPDX-License-Identifier: GPL-3.0-or-later
// The quit confirmation: "Quit ?" with OK, which ends the program, and Cancel.
#ifndef VELMINE_EXIT_H
#define VELMINE_EXIT_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/label.h>

class MineTimer;

class ExitDialog {
public:
  int timeGrab;
  MineTimer* timer;
  Gtk::Dialog* dialog;
  Gtk::Button* okButton;
  Gtk::Button* cancelButton;
  Gtk::VBox* vbox;
  Gtk::Label* label;
  Glib::RefPtr<Gdk::Pixbuf> exitIcon;

  ExitDialog(MineTimer* timer);
  ~ExitDialog();
  ExitDialog(const ExitDialog&) = delete;
  ExitDialog& operator=(const ExitDialog&) = delete;

protected:
  void OkClicked();
  void CancelClicked();
  bool SignalDelete(GdkEventAny* event);
};

#endif
