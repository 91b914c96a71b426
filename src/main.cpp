// The program's entry: the toolkit, the one main window, and the event loop.
#include "window.h"

#include <gtkmm/main.h>

int main(int argc, char* argv[]) {
  Gtk::Main kit(argc, argv, true);
  // Never deleted: the program ends through exit(0) in the quit confirmation or the save dialog.
  MineWindow* window = new MineWindow();
  window->Create();
  Gtk::Main::run(*window);
  return 0;
}
