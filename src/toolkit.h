// SPDX-License-Identifier: GPL-3.0-or-later
// The few things the board does that GTK 2.24 keeps to itself: each is done here alone, against
// that version only, because the public calls cost the largest board too much.
#ifndef VELMINE_TOOLKIT_H
#define VELMINE_TOOLKIT_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/image.h>
#include <gtkmm/widget.h>

// Shows picture in image in place of a pixel buffer of the same size, drawn but not laid out
// again, or leaves image as it is when it shows picture already; false, having done nothing,
// when image shows anything else.
bool SwapPicture(Gtk::Image* image, const Glib::RefPtr<Gdk::Pixbuf>& picture);

// Destroys a realized widget's window with every window inside it at once, then unrealizes the
// widget and so its children, which find their windows gone.
void DropWindows(Gtk::Widget* widget);

// Frees the windows of a widget that is not child-visible; it makes them anew when it is
// child-visible again in a mapped parent.
void DropHiddenWindows(Gtk::Widget* widget);

// Realizes and maps a widget that DropWindows left unrealized though it is still child-visible
// in a mapped parent.
void MapAgain(Gtk::Widget* widget);

// A window of the game's own inside box's window, not shown, at least 1 x 1: the toolkit hands
// its exposures to owner, which draws the children it holds in it.
GdkWindow* NewChildWindow(Gtk::Widget* box, Gtk::Widget* owner);

// Has widget, when next realized, make its windows inside window (null: its parent's own).
void RealizeIn(Gtk::Widget* widget, GdkWindow* window);

#endif
