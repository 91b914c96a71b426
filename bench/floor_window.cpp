// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's floor for start-up: an empty window, shown until the process is ended.
#include <gtkmm/main.h>
#include <gtkmm/window.h>

int main(int argc, char** argv) {
  Gtk::Main kit(argc, argv, true);
  Gtk::Window window;
  window.set_default_size(362, 448);
  window.show();
  Gtk::Main::run(window);
  return 0;
}
