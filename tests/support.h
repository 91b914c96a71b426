// Shared by every test program. Its main() starts the toolkit before the test framework (the
// tests need a display) and fails the program when a test ends it through exit(). TempDirTest
// runs each test in a fresh temporary working directory, where the game keeps its files;
// BoardTest adds a board. The helpers drive the game as the toolkit and the player would.
#ifndef VELMINE_TESTS_SUPPORT_H
#define VELMINE_TESTS_SUPPORT_H

#include "minebutton.h"
#include "scorefile.h"
#include "table.h"
#include "timer.h"

#include <gtest/gtest.h>
#include <gtkmm/container.h>
#include <gtkmm/window.h>

#include <functional>
#include <string>
#include <vector>

class TempDirTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  std::string dir;

private:
  std::string oldDir;
};

void WriteText(const std::string& path, const std::string& text);
// A whole file; empty when it does not exist.
std::string ReadText(const std::string& path);
bool FileExists(const std::string& path);
// What `what` writes to standard output: the game's trace.
std::string Trace(const std::function<void()>& what);
// Runs the main loop until the X server has answered and nothing is pending, so that redraws,
// size requests and resizes have happened.
void Settle();

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

// The shown top-level windows of class T, only those titled `title` unless it is empty.
template <class T> std::vector<T*> Shown(const Glib::ustring& title = "") {
  std::vector<T*> found;
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (T* shown = dynamic_cast<T*>(window))
      if (window->get_visible() && (title.empty() || window->get_title() == title))
        found.push_back(shown);
  return found;
}

// The shown button labelled `label` in a window; fails the test when there is none.
Gtk::Button* ButtonIn(Gtk::Widget* window, const Glib::ustring& label);
// The close box: a delete request as the window manager sends it. Whether a handler took it.
bool CloseRequest(Gtk::Window* window);

// A mouse button pressed, or released, on a cell through the cell's own signal, as the toolkit
// sends it. Whether a handler claimed the event.
bool Press(MineTable* table, int index, unsigned button);
bool Release(MineTable* table, int index, unsigned button);

// One record of MINE_SCORE.data as the game writes it, its check value summed for ASCII names.
std::string ScoreLine(int score, int row, int col, int bomb, int sec, int mode, int stamp,
                      const std::string& name);

// A 10 x 10 board not yet built, with its own clock and an empty score list.
class BoardTest : public TempDirTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // Makes the board a game in progress with bombs exactly on the given cells.
  void Plant(const std::vector<int>& bombs);
  // Whether cell `index` shows `picture`.
  bool Shows(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) const;

  int Cells() const {
    return table->nRow * table->nCol;
  }

  MineTimer timer;
  ScoreFile scores;
  MineTable* table = nullptr;
};

#endif
