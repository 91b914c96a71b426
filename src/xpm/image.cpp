// placeholder: replaced by the real implementation
#include "xpm/image.h"
MineImage::MineImage() {}
MineImage::~MineImage() {}
void MineImage::SetScale(int, int) {}
Gtk::Image* MineImage::CreateNumber(int) { return new Gtk::Image(); }
Gtk::Image* MineImage::CreateMark(int) { return new Gtk::Image(); }
Gtk::Image* MineImage::CreateBomb() { return new Gtk::Image(); }
