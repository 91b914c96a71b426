// Shared by the shell's tests: a main window whose handlers are reachable, a fixture that starts
// it as the program does, and helpers that find, close and read the dialogs it opens.
#ifndef VELMINE_TESTS_SHELL_SUPPORT_H
#define VELMINE_TESTS_SHELL_SUPPORT_H

#include "support.h"

#include "table.h"
#include "timer.h"
#include "vbox.h"
#include "window.h"

#include <gtkmm/dialog.h>
#include <gtkmm/label.h>
#include <gtkmm/statusbar.h>

#include <cstdlib>
#include <string>
#include <vector>

// The program has the X server clip the cells' windows (see main.cpp); the toolkit reads this at
// its start, before any test runs, and the tests run it the same way.
inline const bool nativeWindows = setenv("GDK_NATIVE_WINDOWS", "1", 1) == 0;

// Makes the protected handlers reachable.
class ShellWindow : public MineWindow {
public:
  using MineWindow::DeleteEvent;
  using MineWindow::WindowStateEvent;
};

// Lets the X server answer resizes and maps, and the toolkit lay the result out.
inline void Settle() {
  for (int i = 0; i < 3; i++) {
    Flush();
    gdk_display_sync(gdk_display_get_default());
  }
  Flush();
}

inline std::vector<Gtk::Dialog*> OpenDialogs() {
  std::vector<Gtk::Dialog*> open;
  Glib::ListHandle<Gtk::Window*> windows = Gtk::Window::list_toplevels();
  for (Glib::ListHandle<Gtk::Window*>::iterator it = windows.begin(); it != windows.end(); ++it) {
    Gtk::Dialog* dialog = dynamic_cast<Gtk::Dialog*>(*it);
    if (dialog && dialog->get_visible())
      open.push_back(dialog);
  }
  return open;
}

template <class T> std::vector<T*> Open() {
  std::vector<T*> found;
  std::vector<Gtk::Dialog*> open = OpenDialogs();
  for (size_t i = 0; i < open.size(); i++)
    if (T* dialog = dynamic_cast<T*>(open[i]))
      found.push_back(dialog);
  return found;
}

inline std::vector<Gtk::Dialog*> OpenTitled(const Glib::ustring& title) {
  std::vector<Gtk::Dialog*> found;
  std::vector<Gtk::Dialog*> open = OpenDialogs();
  for (size_t i = 0; i < open.size(); i++)
    if (open[i]->get_title() == title)
      found.push_back(open[i]);
  return found;
}

// A close request as the window manager sends it; the toolkit holds the widget while the
// handlers run, so a dialog may delete itself in them.
inline bool CloseRequest(Gtk::Window* window) {
  GdkEvent event = {};
  event.any.type = GDK_DELETE;
  event.any.window = window->get_window()->gobj();
  event.any.send_event = TRUE;
  return gtk_widget_event(GTK_WIDGET(window->gobj()), &event);
}

// Closes every open dialog from its title bar; each deletes or hides itself.
inline void CloseDialogs() {
  for (int guard = 0; guard < 50; guard++) {
    std::vector<Gtk::Dialog*> open = OpenDialogs();
    if (open.empty())
      return;
    CloseRequest(open.front());
    Flush();
  }
}

inline std::string ChildLabel(Gtk::Widget* widget) {
  Gtk::Container* box = dynamic_cast<Gtk::Container*>(widget);
  if (!box)
    return "";
  std::vector<Gtk::Widget*> children = box->get_children();
  for (size_t i = 0; i < children.size(); i++)
    if (Gtk::Label* label = dynamic_cast<Gtk::Label*>(children[i]))
      return label->get_text();
  return "";
}

// A release of the left button over a cell: the first one draws the bombs and starts a game.
inline void LeftRelease(MineTable* table, int index) {
  GdkEventButton event = {};
  event.type = GDK_BUTTON_RELEASE;
  event.button = 1;
  table->ReleaseEvent(&event, index);
}

// A press of the right button over a cell: marks or unmarks it while a game runs.
inline void RightPress(MineTable* table, int index) {
  GdkEventButton event = {};
  event.type = GDK_BUTTON_PRESS;
  event.button = 3;
  table->PressEvent(&event, index);
}

inline bool HasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

class ShellTest : public TempDirTest {
protected:
  void TearDown() override {
    Close();
    TempDirTest::TearDown();
  }

  // Starts the program's window in the working directory, keeping what start-up traced.
  void Start() {
    testing::internal::CaptureStdout();
    window = new ShellWindow();
    window->Create();
    Settle();
    trace = testing::internal::GetCapturedStdout();
    vbox = window->vbox;
    table = vbox->table;
    timer = window->timer;
  }

  void Close() {
    CloseDialogs();
    delete window;
    window = 0;
    Flush();
  }

  Gtk::Statusbar* StatusBar() {
    std::vector<Gtk::Widget*> children = vbox->vbox->get_children();
    for (size_t i = 0; i < children.size(); i++)
      if (Gtk::Statusbar* bar = dynamic_cast<Gtk::Statusbar*>(children[i]))
        return bar;
    return 0;
  }

  std::string StatusText() {
    Gtk::Statusbar* bar = StatusBar();
    return bar ? ChildLabel(bar->get_message_area()) : "";
  }

  ShellWindow* window = 0;
  MainVBox* vbox = 0;
  MineTable* table = 0;
  MineTimer* timer = 0;
  std::string trace;
};

#endif
