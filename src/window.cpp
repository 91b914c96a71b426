// SPDX-License-Identifier: GPL-3.0-or-later
#include "window.h"

#include "exit.h"
#include "timer.h"
#include "vbox.h"
#include "xpm/pictures.h"

MineWindow::MineWindow() : Gtk::Window(Gtk::WINDOW_TOPLEVEL), timer(0), vbox(0) {
  timer = new MineTimer();
  vbox = new MainVBox(this, timer);
  set_title("Velm'Mine");
  mainIcon = Gdk::Pixbuf::create_from_xpm_data(bomb_xpm);
  set_icon(mainIcon);
  set_position(Gtk::WIN_POS_CENTER);
  // Only until the first board exists: the board then fits the window to its cells.
  set_default_size(362, 448);
}

MineWindow::~MineWindow() {
  // The layout and the board borrow the clock, so they go first.
  delete vbox;
  delete timer;
  mainIcon.reset();
}

void MineWindow::Create() {
  vbox->Create();
  // Not show_all(): the clock label must stay hidden until the clock's first tick.
  show();
  // The toolkit would hand the focus to the reset button, where a stray Space or Enter would
  // throw away a resumed game; Tab still reaches it.
  unset_focus();
  signal_delete_event().connect(sigc::mem_fun(*this, &MineWindow::DeleteEvent));
  signal_window_state_event().connect(sigc::mem_fun(*this, &MineWindow::WindowStateEvent));
}

bool MineWindow::DeleteEvent(GdkEventAny*) {
  // The confirmation deletes itself, or ends the program.
  new ExitDialog(timer);
  return true;
}

bool MineWindow::WindowStateEvent(GdkEventWindowState* event) {
  // The window is sized to the board; a maximised window would only show empty margins.
  // Only a change of that bit alone: iconifying and restoring are left to the window manager.
  if (event->changed_mask == GDK_WINDOW_STATE_MAXIMIZED)
    unmaximize();
  return true;
}
