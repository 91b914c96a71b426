#include "minebutton.h"

MineButton::MineButton(int row0, int col0, int bomb0, int state0, int num0)
    : image(0), col(col0), row(row0), state(state0), bomb(bomb0), num(num0) {
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
  add(*image);
  image->show();
}

void MineButton::ButtonToggled() {
  // Only the board presses a cell in, and only when it opens it.
  if (state > 0 && get_active())
    set_active(false);
}
