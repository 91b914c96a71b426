// SPDX-License-Identifier: GPL-3.0-or-later
// The two halves of the time grab, shared by the dialogs that pause the game while they are
// open: on opening, take the modal grab and pause the clock; on closing, release the grab, let the
// clock run on only if this dialog paused it, and free the dialog.
#ifndef VELMINE_TIMEGRAB_H
#define VELMINE_TIMEGRAB_H

#include "timer.h"

#include <gtkmm/window.h>

// Also gives the dialog its title and places it centred, above the main window. Returns what the
// dialog keeps as its timeGrab: 0 when it paused a running clock.
inline int BeginTimeGrab(Gtk::Window* window, MineTimer* timer, const char* title) {
  window->set_title(title);
  window->set_position(Gtk::WIN_POS_CENTER);
  window->set_keep_above(true);
  window->add_modal_grab();
  return timer->Stop();
}

// `owner` is deleted last, and the caller must not touch it afterwards: `window` and
// `timeGrab` usually belong to it, so they are used before it goes.
template <class Owner>
void EndTimeGrab(Gtk::Window* window, MineTimer* timer, int timeGrab, Owner* owner) {
  window->remove_modal_grab();
  timer->Resume(timeGrab);
  delete owner;
}

#endif
