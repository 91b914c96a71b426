// SPDX-License-Identifier: GPL-3.0-or-later
// One cell of the board: a toggle button that carries the cell's game data and shows one
// picture.
#ifndef VELMINE_MINEBUTTON_H
#define VELMINE_MINEBUTTON_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/image.h>
#include <gtkmm/togglebutton.h>

class MineButton : public Gtk::ToggleButton {
public:
  Gtk::Image* image;
  int col;
  int row;
  int state; // 0 open, 1 covered, 2 marked
  int bomb;
  int num;

  MineButton(int row0, int col0, int bomb0, int state0, int num0);
  virtual ~MineButton();

  // Gives the cell its picture widget, taking ownership of image0, in place of any before it;
  // play then changes what the widget shows through SetPicture.
  void SetImage(Gtk::Image* image0);

  // What play changes on a cell: the picture its picture widget shows, whether it is pressed in
  // and whether it takes the mouse. A cell out of view (not child-visible) only notes them: what
  // cannot be seen is not redrawn or laid out again until it comes into view.
  void SetPicture(const Glib::RefPtr<Gdk::Pixbuf>& picture);
  void SetPressed(bool pressed);
  void SetUsable(bool usable);
  // Brings the cell into view with everything noted while it was out, or takes it out of view.
  void SetInView(bool inView);

private:
  void ButtonToggled();
  bool PressFocus(GdkEventButton* event);
  void ShowPicture(const Glib::RefPtr<Gdk::Pixbuf>& picture);

  Glib::RefPtr<Gdk::Pixbuf> laterPicture;
  // -1 while nothing is noted, else the value to apply.
  int laterPressed;
  int laterUsable;
};

#endif
