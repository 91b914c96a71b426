// One cell of the board: a toggle button that carries the cell's game data and shows one
// picture.
#ifndef VELMINE_MINEBUTTON_H
#define VELMINE_MINEBUTTON_H

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

  // Takes ownership of image0 and shows it in place of the previous picture.
  void SetImage(Gtk::Image* image0);

private:
  void ButtonToggled();
  bool PressFocus(GdkEventButton* event);
};

#endif
