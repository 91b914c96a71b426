// placeholder: replaced by the real implementation
#include "minebutton.h"
MineButton::MineButton(int row0, int col0, int bomb0, int state0, int num0) : image(0), col(col0), row(row0), state(state0), bomb(bomb0), num(num0) {}
MineButton::~MineButton() { delete image; }
void MineButton::SetImage(Gtk::Image* image0) { delete image; image = image0; add(*image); }
void MineButton::ButtonToggled() {}
