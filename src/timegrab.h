// The closing half of the time grab, shared by the dialogs that pause the game while they are
// open: release the modal grab, let the clock run on only if this dialog paused it, free the
// dialog.
#ifndef VELMINE_TIMEGRAB_H
#define VELMINE_TIMEGRAB_H

#include "timer.h"

#include <gtkmm/window.h>

// `owner` is deleted last, and the caller must not touch it afterwards: `window` and
// `timeGrab` usually belong to it, so they are used before it goes.
template <class Owner>
void EndTimeGrab(Gtk::Window* window, MineTimer* timer, int timeGrab, Owner* owner) {
  window->remove_modal_grab();
  timer->Resume(timeGrab);
  delete owner;
}

#endif
