// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's own cost that the game is measured against: a bare grid of toggle buttons, each
// showing one shared picture, in a table inside a scrolled window, with no game behind it. The
// window is sized as the game sizes its own to a board.
#ifndef VELMINE_BENCH_FLOOR_H
#define VELMINE_BENCH_FLOOR_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/box.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/table.h>
#include <gtkmm/togglebutton.h>
#include <gtkmm/window.h>

#include <algorithm>

// Fills window with an across x down grid, under one line of text when text is set (a game shows
// text, and the fonts behind it, from the first paint on); every widget is owned by the window.
inline void BareGrid(Gtk::Window& window, int across, int down, bool text = false) {
  Glib::RefPtr<Gdk::Pixbuf> picture = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, true, 8, 24, 24);
  picture->fill(0);
  Gtk::Table* table = Gtk::manage(new Gtk::Table(down, across, false));
  for (int i = 0; i < across * down; i++) {
    Gtk::ToggleButton* cell = Gtk::manage(new Gtk::ToggleButton());
    cell->add(*Gtk::manage(new Gtk::Image(picture)));
    table->attach(*cell, i % across, i % across + 1, i / across, i / across + 1, Gtk::SHRINK,
                  Gtk::SHRINK, 0, 0);
  }
  Gtk::ScrolledWindow* scrolled = Gtk::manage(new Gtk::ScrolledWindow());
  scrolled->set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  scrolled->add(*table);
  if (text) {
    Gtk::VBox* box = Gtk::manage(new Gtk::VBox());
    box->pack_start(*Gtk::manage(new Gtk::Label("Reset")), Gtk::PACK_SHRINK);
    box->pack_start(*scrolled);
    box->show_all();
    window.add(*box);
  } else {
    scrolled->show_all();
    window.add(*scrolled);
  }
  Gtk::Requisition grid = table->size_request();
  window.set_default_size(std::min(grid.width + 20, 800), std::min(grid.height + 105, 600));
}

#endif
