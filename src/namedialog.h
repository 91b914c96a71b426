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

  NameDialog(MineTable* table0);
  virtual ~NameDialog();

protected:
  void InsertText(const Glib::ustring& text, int* position);
  void OkClicked();
  bool DeleteEvent(GdkEventAny* event);
};

#endif
