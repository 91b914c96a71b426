// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit.h"

#include <gtk/gtk.h>

// Each function relies on how GTK 2.24 lays out its structures or orders its work; its check stops
// a build against any other version, where that has to be looked at again.
#define GTK_2_24 (GTK_MAJOR_VERSION == 2 && GTK_MINOR_VERSION == 24)

bool SwapPicture(Gtk::Image* image, const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  // Gtk::Image::set queues a resize whatever it shows, and the layout pass that follows walks
  // every cell of the grid: with it, on the largest board, the whole-board flood took 1.5 times as
  // long and the end-of-game reveal twice as long. Written against GtkImage's storage_type and
  // data.pixbuf.pixbuf fields, which hold one reference to the buffer shown.
  static_assert(GTK_2_24, "SwapPicture writes GtkImage's fields as GTK 2.24 lays them out");
  GtkImage* shown = image->gobj();
  if (shown->storage_type != GTK_IMAGE_PIXBUF)
    return false;
  GdkPixbuf* old = shown->data.pixbuf.pixbuf;
  if (old == picture->gobj())
    return true;
  if (gdk_pixbuf_get_width(old) != picture->get_width() ||
      gdk_pixbuf_get_height(old) != picture->get_height())
    return false;
  shown->data.pixbuf.pixbuf = picture->gobj_copy();
  g_object_unref(old);
  g_object_notify(G_OBJECT(shown), "pixbuf");
  image->queue_draw();
  return true;
}

void DropWindows(Gtk::Widget* widget) {
  // GTK unrealizes children before their parent, and each child window it destroys makes it
  // re-clip every sibling left: for thousands of cells that is quadratic, and scrolling a page of
  // 8-pixel cells on the largest board took 1.4 times as long with a plain unrealize. Destroying
  // the widget's window first takes every window inside it in one go. GTK 2.24's unrealize then
  // destroys that window once more, which only releases its reference to it: hence the extra one
  // taken here.
  static_assert(GTK_2_24, "DropWindows relies on GTK 2.24's unrealize of a destroyed window");
  GtkWidget* box = widget->gobj();
  if (!gtk_widget_get_realized(box))
    return;
  GdkWindow* own = gtk_widget_get_window(box);
  g_object_ref(own);
  gdk_window_destroy(own);
  gtk_widget_unrealize(box);
}

void DropHiddenWindows(Gtk::Widget* widget) {
  // GTK keeps the windows of a widget that is no longer child-visible, unmapped, as long as its
  // parent is realized: every such window among the cells' makes each change to the others
  // dearer. Kept, on the largest board, they made scrolling a page 1.6 times as long, the flood
  // 1.5 times and the reveal twice as long.
  static_assert(GTK_2_24, "DropHiddenWindows relies on GTK 2.24 realizing a child made visible");
  if (!widget->get_child_visible() && widget->get_realized())
    gtk_widget_unrealize(widget->gobj());
}

void MapAgain(Gtk::Widget* widget) {
  // After DropWindows on a widget that stays child-visible in a mapped parent, nothing maps it
  // again until the parent is mapped anew; this is the other half of DropWindows' saving.
  static_assert(GTK_2_24, "MapAgain relies on GTK 2.24's map of a child-visible widget");
  gtk_widget_map(widget->gobj());
}

GdkWindow* NewChildWindow(Gtk::Widget* box, Gtk::Widget* owner) {
  // A widget draws its children in whatever window it is told they live in, and GDK routes a
  // window's events to the widget its user data names: so the cells can be split among windows of
  // their own, each unmapped or reshaped at once, where the toolkit would give them one window.
  // Without them, scrolling a page of 8-pixel cells on the largest board clips every cell's window
  // against the others.
  static_assert(GTK_2_24, "NewChildWindow relies on GTK 2.24 drawing a child in its parent window");
  GdkWindow* parent = box->get_window()->gobj();
  GdkWindowAttr attributes = GdkWindowAttr();
  attributes.window_type = GDK_WINDOW_CHILD;
  attributes.wclass = GDK_INPUT_OUTPUT;
  attributes.width = 1;
  attributes.height = 1;
  attributes.visual = gdk_drawable_get_visual(parent);
  attributes.colormap = gdk_drawable_get_colormap(parent);
  attributes.event_mask = GDK_EXPOSURE_MASK;
  GdkWindow* window =
      gdk_window_new(parent, &attributes, GDK_WA_X | GDK_WA_Y | GDK_WA_VISUAL | GDK_WA_COLORMAP);
  gdk_window_set_user_data(window, owner->gobj());
  gdk_window_set_back_pixmap(window, NULL, TRUE);
  return window;
}

void RealizeIn(Gtk::Widget* widget, GdkWindow* window) {
  static_assert(GTK_2_24, "RealizeIn relies on GTK 2.24 realizing a child in its parent window");
  gtk_widget_set_parent_window(widget->gobj(), window);
}
