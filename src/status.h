// SPDX-License-Identifier: GPL-3.0-or-later
// The status bar at the foot of the main window: one line naming the board's mode, size and
// bomb percentage.
#ifndef VELMINE_STATUS_H
#define VELMINE_STATUS_H

#include <gtkmm/statusbar.h>

class MineTable;

class MineStatus {
private:
  unsigned int nowID;
  Glib::ustring buffer;
  Gtk::Statusbar* status;
  MineTable* table;

public:
  MineStatus();
  ~MineStatus();
  MineStatus(const MineStatus&) = delete;
  MineStatus& operator=(const MineStatus&) = delete;

  // The mode's name in the player's language, whole: a translation may be of any length.
  void CheckMode(Glib::ustring& name, int mode);
  Gtk::Statusbar* Create(MineTable* table);
  void Refresh();
};

#endif
