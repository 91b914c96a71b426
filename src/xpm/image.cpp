#include "xpm/image.h"

#include "xpm/pictures.h"

namespace {

const char* const* const numberPictures[9] = {zero_xpm, one_xpm, two_xpm,   three_xpm, four_xpm,
                                              five_xpm, six_xpm, seven_xpm, eight_xpm};

// Out-of-range requests would index past the loaded pictures; show the nearest valid one.
int Clamp(int value, int low, int high) {
  return value < low ? low : (value > high ? high : value);
}

} // namespace

MineImage::MineImage() {
  for (int i = 0; i < 9; i++)
    numPix[i] = Gdk::Pixbuf::create_from_xpm_data(numberPictures[i]);
  markPix[0] = Gdk::Pixbuf::create_from_xpm_data(blank_xpm);
  markPix[1] = Gdk::Pixbuf::create_from_xpm_data(blank_xpm);
  markPix[2] = Gdk::Pixbuf::create_from_xpm_data(flag_xpm);
  markPix[3] = Gdk::Pixbuf::create_from_xpm_data(question_xpm);
  markPix[4] = Gdk::Pixbuf::create_from_xpm_data(maru_xpm);
  markPix[5] = Gdk::Pixbuf::create_from_xpm_data(batu_xpm);
  bombPix = Gdk::Pixbuf::create_from_xpm_data(bomb_xpm);
}

MineImage::~MineImage() {
  for (int i = 0; i < 10; i++) {
    numPix[i].reset();
    markPix[i].reset();
    TnumPix[i].reset();
    TmarkPix[i].reset();
  }
  bombPix.reset();
  TbombPix.reset();
}

void MineImage::SetScale(int width, int height) {
  for (int i = 0; i < 9; i++)
    TnumPix[i] = numPix[i]->scale_simple(width, height, Gdk::INTERP_BILINEAR);
  for (int i = 0; i < 6; i++)
    TmarkPix[i] = markPix[i]->scale_simple(width, height, Gdk::INTERP_BILINEAR);
  TbombPix = bombPix->scale_simple(width, height, Gdk::INTERP_NEAREST);
}

Gtk::Image* MineImage::CreateNumber(int num) {
  return new Gtk::Image(TnumPix[Clamp(num, 0, 8)]);
}

Gtk::Image* MineImage::CreateMark(int num) {
  return new Gtk::Image(TmarkPix[Clamp(num, 0, 5)]);
}

Gtk::Image* MineImage::CreateBomb() {
  return new Gtk::Image(TbombPix);
}
