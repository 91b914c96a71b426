// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: owns the game clock and the layout object that builds everything else.
#ifndef VELMINE_WINDOW_H
#define VELMINE_WINDOW_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/window.h>

class MainVBox;
class MineTimer;

class MineWindow : public Gtk::Window {
public:
  Glib::RefPtr<Gdk::Pixbuf> mainIcon;
  MineTimer* timer;
  MainVBox* vbox;

  MineWindow();
  virtual ~MineWindow();

  void Create();

protected:
  bool DeleteEvent(GdkEventAny* event);
  bool WindowStateEvent(GdkEventWindowState* event);
};

#endif
