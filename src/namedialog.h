// SPDX-License-Identifier: GPL-3.0-or-later
// The winner's name entry: records the win in the score file and opens the score table on it.
#ifndef VELMINE_NAMEDIALOG_H
#define VELMINE_NAMEDIALOG_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>

class MineTable;
class MineTimer;
class ScoreFile;

class NameDialog : public Gtk::Dialog {
public:
  Glib::RefPtr<Gdk::Pixbuf> nameIcon;
  MineTable* table;
  MineTimer* timer;
  ScoreFile* scoreFile;
  Gtk::Label* label;
  Gtk::Entry* entry;
  Gtk::Button* okButton;
  Gtk::VBox* vbox;
  Gtk::HBox* hbox;
  // Characters in the entry before the chunk being inserted: the length limit may take in only
  // part of a chunk, and only what actually went in may be removed again.
  int lengthBefore;

  NameDialog(MineTable* table0);
  virtual ~NameDialog();

protected:
  void InsertTextBegin(const Glib::ustring& text, int* position);
  void InsertText(const Glib::ustring& text, int* position);
  void OkClicked();
  bool DeleteEvent(GdkEventAny* event);
};

#endif
