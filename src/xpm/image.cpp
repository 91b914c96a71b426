// SPDX-License-Identifier: GPL-3.0-or-later
#include "xpm/image.h"

#include "xpm/pictures.h"

namespace {

const char* const* const numberPictures[9] = {zero_xpm, one_xpm, two_xpm,   three_xpm, four_xpm,
                                              five_xpm, six_xpm, seven_xpm, eight_xpm};
// Mark 0 and mark 1 are the same blank cover.
const char* const* const markPictures[6] = {blank_xpm,    blank_xpm, flag_xpm,
                                            question_xpm, maru_xpm,  batu_xpm};

// Out-of-range requests would index past the loaded pictures; show the nearest valid one.
int Clamp(int value, int low, int high) {
  return value < low ? low : (value > high ? high : value);
}

} // namespace

// The bomb is read at once: the main window shows it as its icon from the start. The rest wait
// for their first use.
MineImage::MineImage() : width(0), height(0) {
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

void MineImage::SetScale(int width0, int height0) {
  width = width0;
  height = height0;
  for (int i = 0; i < 10; i++) {
    TnumPix[i].reset();
    TmarkPix[i].reset();
  }
  TbombPix.reset();
}

const Glib::RefPtr<Gdk::Pixbuf>& MineImage::Number(int num) {
  num = Clamp(num, 0, 8);
  if (!TnumPix[num]) {
    if (!numPix[num])
      numPix[num] = Gdk::Pixbuf::create_from_xpm_data(numberPictures[num]);
    TnumPix[num] = numPix[num]->scale_simple(width, height, Gdk::INTERP_BILINEAR);
  }
  return TnumPix[num];
}

const Glib::RefPtr<Gdk::Pixbuf>& MineImage::Mark(int num) {
  num = Clamp(num, 0, 5);
  if (!TmarkPix[num]) {
    if (!markPix[num]) {
      // The two blank entries share one picture.
      markPix[num] = num < 2 && markPix[1 - num]
                         ? markPix[1 - num]
                         : Gdk::Pixbuf::create_from_xpm_data(markPictures[num]);
    }
    TmarkPix[num] = num < 2 && TmarkPix[1 - num]
                        ? TmarkPix[1 - num]
                        : markPix[num]->scale_simple(width, height, Gdk::INTERP_BILINEAR);
  }
  return TmarkPix[num];
}

const Glib::RefPtr<Gdk::Pixbuf>& MineImage::Bomb() {
  if (!TbombPix)
    TbombPix = bombPix->scale_simple(width, height, Gdk::INTERP_NEAREST);
  return TbombPix;
}

Gtk::Image* MineImage::CreateNumber(int num) {
  return new Gtk::Image(Number(num));
}

Gtk::Image* MineImage::CreateMark(int num) {
  return new Gtk::Image(Mark(num));
}

Gtk::Image* MineImage::CreateBomb() {
  return new Gtk::Image(Bomb());
}
