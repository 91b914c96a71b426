// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's floor for start-up: a bare grid of toggle buttons (floor.h), ACROSS x DOWN
// (10 x 10 when not given), under a line of text when a third argument "text" is given, shown
// until the process is ended.
#include "floor.h"

#include <gtkmm/main.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  Gtk::Main kit(argc, argv, true);
  int across = argc > 2 ? std::atoi(argv[1]) : 10;
  int down = argc > 2 ? std::atoi(argv[2]) : 10;
  if (across < 1 || down < 1)
    return 2;
  Gtk::Window window;
  BareGrid(window, across, down, argc > 3 && std::strcmp(argv[3], "text") == 0);
  window.show();
  Gtk::Main::run(window);
  return 0;
}
