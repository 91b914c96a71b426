// SPDX-License-Identifier: GPL-3.0-or-later
// The board's picture set: the source pictures as pixel buffers, their copies scaled to the
// cell size, and a factory for the picture widgets the cells show.
#ifndef VELMINE_IMAGE_H
#define VELMINE_IMAGE_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/image.h>

class MineImage {
public:
  Glib::RefPtr<Gdk::Pixbuf> numPix[10];
  Glib::RefPtr<Gdk::Pixbuf> bombPix;
  Glib::RefPtr<Gdk::Pixbuf> markPix[10];
  Glib::RefPtr<Gdk::Pixbuf> TnumPix[10];
  Glib::RefPtr<Gdk::Pixbuf> TbombPix;
  Glib::RefPtr<Gdk::Pixbuf> TmarkPix[10];

  MineImage();
  ~MineImage();

  void SetScale(int width, int height);
  // Each returns a new widget that the caller owns (normally handed to MineButton::SetImage).
  Gtk::Image* CreateNumber(int num);
  Gtk::Image* CreateMark(int num);
  Gtk::Image* CreateBomb();

  // The pictures at the cell size, shared by every cell that shows them. A picture is read from
  // its source and scaled only when first asked for, so a board that never shows it never pays
  // for it.
  const Glib::RefPtr<Gdk::Pixbuf>& Number(int num);
  const Glib::RefPtr<Gdk::Pixbuf>& Mark(int num);
  const Glib::RefPtr<Gdk::Pixbuf>& Bomb();

private:
  int width;
  int height;
};

#endif
