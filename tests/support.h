// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the test programs: a main() failing a test that ends the program, fixtures, helpers.
#ifndef VELMINE_TESTS_SUPPORT_H
#define VELMINE_TESTS_SUPPORT_H

#include "aboutdialog.h"
#include "common.h"
#include "filesync.h"
#include "intl.h"
#include "loaddialog.h"
#include "menu.h"
#include "namedialog.h"
#include "savedialog.h"
#include "savefile.h"
#include "scoredialog.h"
#include "setgrid.h"
#include "timer.h"
#include "vbox.h"
#include "window.h"
#include "xpm/image.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/menu.h>
#include <gtkmm/messagedialog.h>
#include <gtkmm/scrollbar.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/statusbar.h>

#include <algorithm>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

class TempDirTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  static long OpenFiles() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  }

  std::string dir;

private:
  const long files = OpenFiles(); // as the test starts
  std::string oldDir;
};

// The game's trace while `what` runs (in memory: a test's file size limit binds every file).
inline std::string Trace(const std::function<void()>& what) {
  std::ostringstream text;
  std::streambuf* old = std::cout.rdbuf(text.rdbuf());
  what();
  std::cout.rdbuf(old);
  return text.str();
}

// Runs the main loop until the X server has answered and redraws and resizes are done.
inline void Settle() {
  for (int round = 0; round < 4; round++, gdk_display_sync(gdk_display_get_default()))
    replay::Settle();
}

// The widgets of class T shown in `top` (itself included), in the order of its children.
template <class T> std::vector<T*> ShownIn(Gtk::Widget* top) {
  std::vector<T*> found;
  if (top == nullptr || !top->get_visible())
    return found;
  if (T* widget = dynamic_cast<T*>(top))
    found.push_back(widget);
  if (Gtk::Container* box = dynamic_cast<Gtk::Container*>(top))
    for (Gtk::Widget* child : box->get_children())
      for (T* widget : ShownIn<T>(child))
        found.push_back(widget);
  return found;
}

// The shown top-level windows of class T, titled `title` unless it is empty.
template <class T> std::vector<T*> Shown(const Glib::ustring& title = "") {
  std::vector<T*> found;
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (T* shown = dynamic_cast<T*>(window))
      if (window->get_visible() && (title.empty() || window->get_title() == title))
        found.push_back(shown);
  return found;
}

// The shown button labelled `label` in a window; fails the test when there is none.
inline Gtk::Button* ButtonIn(Gtk::Widget* window, const Glib::ustring& label) {
  for (Gtk::Button* button : ShownIn<Gtk::Button>(window))
    if (button->get_label() == label)
      return button;
  ADD_FAILURE() << "no button " << label << " shown";
  return nullptr;
}

// The close box as the main loop takes it, closing a window that no handler kept. Whether it stays.
inline bool CloseRequest(Gtk::Window* window) {
  GdkEvent event = {};
  event.any = {GDK_DELETE, window->get_window()->gobj(), TRUE};
  gtk_main_do_event(&event);
  std::vector<Gtk::Window*> shown = Shown<Gtk::Window>();
  return std::count(shown.begin(), shown.end(), window) > 0;
}

// As digits: whether a window has an icon, is modal, resizable, kept above; then its placement.
inline int Hints(Gtk::Window* window) {
  return bool(window->get_icon()) * 10000 + window->get_modal() * 1000 +
         window->get_resizable() * 100 +
         bool(gdk_window_get_state(window->get_window()->gobj()) & GDK_WINDOW_STATE_ABOVE) * 10 +
         window->property_window_position().get_value();
}

// A mouse button pressed or released on a cell; whether a handler claimed it.
inline bool Press(MineTable* table, int index, unsigned button) {
  return replay::ButtonEvent(table, index, button, GDK_BUTTON_PRESS);
}

inline bool Release(MineTable* table, int index, unsigned button) {
  return replay::ButtonEvent(table, index, button, GDK_BUTTON_RELEASE);
}

// A 10 x 10 board not yet built, with its own clock and an empty score list.
class BoardTest : public TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    table = new MineTable(nullptr, &timer, &scores);
  }
  void TearDown() override;

  int Cells() const {
    return table->nRow * table->nCol;
  }
  // Makes the board a game in progress with bombs exactly on the given cells.
  void Plant(const std::vector<int>& bombs) {
    for (int i = 0; i < Cells(); i++)
      table->board[i]->bomb = std::count(bombs.begin(), bombs.end(), i) > 0;
    table->SetNum();
    table->nBomb = static_cast<int>(bombs.size());
    table->BombCount = table->MissCount = 0;
    table->startFlag = 1;
  }
  bool Shows(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) const {
    return table->board[index]->image->get_pixbuf() == picture;
  }

  MineTimer timer;
  ScoreFile scores;
  MineTable* table = nullptr;
};

#endif
