// SPDX-License-Identifier: GPL-3.0-or-later
// The About box: the game's title line, version and credit.
#ifndef VELMINE_ABOUTDIALOG_H
#define VELMINE_ABOUTDIALOG_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/textbuffer.h>
#include <gtkmm/textview.h>

class MineTimer;

class AboutDialog : public Gtk::Dialog {
public:
  int timeGrab;
  MineTimer* timer;
  Glib::RefPtr<Gdk::Pixbuf> aboutIcon;
  Glib::RefPtr<Gtk::TextBuffer> textBuffer;
  Glib::RefPtr<Gtk::TextBuffer::TagTable> tagTable;
  Glib::RefPtr<Gtk::TextBuffer::Tag> titleStr;
  Glib::RefPtr<Gtk::TextBuffer::Tag> nameStr;
  Glib::RefPtr<Gtk::TextBuffer::Tag> createStr;
  Glib::RefPtr<Gtk::TextBuffer::Tag> yearStr;
  Glib::RefPtr<Gtk::TextBuffer::Mark> mark[20];
  Gtk::TextView* textView;
  Gtk::Button* okButton;
  Gtk::VBox* vbox;

  AboutDialog(MineTimer* timer);
  virtual ~AboutDialog();

protected:
  void OkClicked();
  bool DeleteEvent(GdkEventAny* event);
};

#endif
