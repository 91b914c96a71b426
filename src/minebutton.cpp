// SPDX-License-Identifier: GPL-3.0-or-later
#include "minebutton.h"

#include "toolkit.h"

MineButton::MineButton(int row0, int col0, int bomb0, int state0, int num0)
    : image(0), col(col0), row(row0), state(state0), bomb(bomb0), num(num0), laterPressed(-1),
      laterUsable(-1) {
  set_inconsistent(true);
  set_focus_on_click(true);
  signal_toggled().connect(sigc::mem_fun(*this, &MineButton::ButtonToggled), true);
  // Ahead of the board's handler, which claims every press before the toggle button's own
  // handler could take the focus: a clicked cell takes it as any button would, so a stray key
  // lands on the cell, where it changes nothing, and not on the reset button.
  signal_button_press_event().connect(sigc::mem_fun(*this, &MineButton::PressFocus), false);
}

bool MineButton::PressFocus(GdkEventButton*) {
  if (get_focus_on_click() && !has_focus())
    grab_focus();
  return false;
}

MineButton::~MineButton() {
  delete image;
}

void MineButton::SetImage(Gtk::Image* image0) {
  // Deleting the old widget also takes it out of the button.
  delete image;
  image = image0;
  laterPicture.reset();
  add(*image);
  image->show();
}

void MineButton::SetPicture(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  if (get_child_visible())
    ShowPicture(picture);
  else
    laterPicture = picture;
}

void MineButton::SetPressed(bool pressed) {
  if (get_child_visible())
    set_active(pressed);
  else
    laterPressed = pressed;
}

void MineButton::SetUsable(bool usable) {
  if (get_child_visible())
    set_sensitive(usable);
  else
    laterUsable = usable;
}

void MineButton::SetInView(bool inView) {
  if (inView == get_child_visible())
    return;
  if (inView) {
    // Brought up to date before it is mapped, so it is drawn once, as it now is.
    Glib::RefPtr<Gdk::Pixbuf> picture;
    picture.swap(laterPicture);
    if (picture)
      ShowPicture(picture);
    if (laterPressed >= 0)
      set_active(laterPressed != 0);
    if (laterUsable >= 0)
      set_sensitive(laterUsable != 0);
    laterPressed = laterUsable = -1;
  }
  set_child_visible(inView);
  // Its input window goes too: every window among the cells' makes each change to the others
  // dearer.
  DropHiddenWindows(this);
}

void MineButton::ShowPicture(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  // The picture widget is kept: only what it shows changes.
  if (image == 0) {
    SetImage(new Gtk::Image(picture));
    return;
  }
  // Every picture of a board takes the same room: one of the same size is swapped in place, not
  // laid out again with the whole grid.
  if (!SwapPicture(image, picture))
    image->set(picture);
}

void MineButton::ButtonToggled() {
  // Only the board presses a cell in, and only when it opens it.
  if (state > 0 && get_active())
    set_active(false);
}
