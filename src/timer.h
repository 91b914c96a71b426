// SPDX-License-Identifier: GPL-3.0-or-later
// The game clock: counts tenths of a second on a 100 ms timeout of the main loop and shows
// them in its label.
#ifndef VELMINE_TIMER_H
#define VELMINE_TIMER_H

#include <gtkmm/label.h>
#include <sigc++/connection.h>

class MineTimer {
private:
  Glib::ustring buffer;
  sigc::connection mTimer;

public:
  int nSec;
  int timeFlag;
  Gtk::Label* timeLabel;

  MineTimer();
  ~MineTimer();
  MineTimer(const MineTimer&) = delete;
  MineTimer& operator=(const MineTimer&) = delete;

  // Both return 0 when they changed the clock's state, 1 when it already was in that state.
  int Start();
  int Stop();
  // The closing half of the dialogs' time grab: restarts the clock only when the dialog's
  // own Stop() had paused a running clock (timeGrab 0).
  void Resume(int timeGrab);

protected:
  bool TimeOut();
};

#endif
