// The program's entry: the toolkit, the one main window, and the event loop.
#include "window.h"

#include <gtkmm/main.h>

#include <cstdlib>

int main(int argc, char* argv[]) {
  // Every cell is a button with an input window of its own. The toolkit's client-side windows
  // recompute the clipping of all sibling windows whenever one of them moves or goes, so a board
  // of 5000 small cells took minutes to lay out or to replace; the X server does that work far
  // faster.
  setenv("GDK_NATIVE_WINDOWS", "1", 0);
  Gtk::Main kit(argc, argv, true);
  // Never deleted: the program ends through exit(0) in the quit confirmation or the save dialog.
  MineWindow* window = new MineWindow();
  window->Create();
  Gtk::Main::run(*window);
  return 0;
}
