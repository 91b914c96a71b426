// SPDX-License-Identifier: GPL-3.0-or-later
// The high-score table: the best 30 records of the shown modes, sortable, with the newest win
// selected.
#ifndef VELMINE_SCOREDIALOG_H
#define VELMINE_SCOREDIALOG_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/cellrendererprogress.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/liststore.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/table.h>
#include <gtkmm/treemodelcolumn.h>
#include <gtkmm/treeview.h>
#include <gtkmm/treeviewcolumn.h>

class MineTimer;
class ScoreFile;
struct ScoreItem;

class ScoreCol : public Gtk::TreeModelColumnRecord {
public:
  Gtk::TreeModelColumn<int> num;
  Gtk::TreeModelColumn<int> score;
  Gtk::TreeModelColumn<int> board;
  Gtk::TreeModelColumn<Glib::ustring> strBoard;
  Gtk::TreeModelColumn<int> bomb;
  Gtk::TreeModelColumn<int> sec;
  Gtk::TreeModelColumn<Glib::ustring> strSec;
  Gtk::TreeModelColumn<int> rate;
  Gtk::TreeModelColumn<Glib::ustring> strMode;
  Gtk::TreeModelColumn<Glib::ustring> strName;

  ScoreCol();
};

class ScoreDialog : public Gtk::Dialog {
public:
  Glib::RefPtr<Gdk::Pixbuf> scoreIcon;
  Gtk::CheckButton* beginnerCheck;
  Gtk::CheckButton* mediumCheck;
  Gtk::CheckButton* advanceCheck;
  Gtk::CheckButton* freeCheck;
  Gtk::Table* checkBox;
  long long targetRow;
  int beginnerFlag;
  int mediumFlag;
  int advanceFlag;
  int freeFlag;
  int timeGrab;
  MineTimer* timer;
  ScoreFile* scoreFile;
  Gtk::ScrolledWindow* scrWin;
  Gtk::TreeView* listView;
  Glib::RefPtr<Gtk::ListStore> mList;
  Gtk::CellRendererProgress* cellProg;
  Gtk::TreeViewColumn* progCol;
  ScoreCol* scoreCol;
  Gtk::Button* okButton;
  Gtk::VBox* vbox;

  ScoreDialog(ScoreFile* scoreFile0, MineTimer* timer0);
  virtual ~ScoreDialog();

  void Create(long long targetRow0);
  void ReadFile();
  // The mode's name in the player's language, whole; a code without a name leaves it untouched.
  void SelectMode(Glib::ustring& buffer0, int mode);

protected:
  void OkClicked();
  bool SignalDelete(GdkEventAny* event);
  void BeginnerChecked();
  void MediumChecked();
  void AdvanceChecked();
  void FreeChecked();

private:
  bool ModeShown(int mode);
  void AppendRow(ScoreItem* item, int num);
  // The body shared by the four check boxes' handlers.
  void ModeChecked(Gtk::CheckButton* check, int& flag, const char* name);
  // The closing shared by OK and the close box: the grab, the clock, then the dialog itself.
  void CloseDialog();
};

#endif
