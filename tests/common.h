// SPDX-License-Identifier: GPL-3.0-or-later
// What the tests and the fuzz targets share: the data files' names, reading and writing them, and
// a cell's click. The click and Settle need a started toolkit.
#ifndef VELMINE_TESTS_COMMON_H
#define VELMINE_TESTS_COMMON_H

#include "minebutton.h"
#include "scorefile.h"
#include "table.h"

#include <gtkmm/main.h>

#include <fstream>
#include <sstream>
#include <string>

namespace replay {

const char scoreName[] = "MINE_SCORE.data";
const char saveName[] = "MINE_SAVE.data";

inline std::string ReadAll(const char* path) {
  std::ostringstream all;
  all << std::ifstream(path, std::ios::binary).rdbuf();
  return all.str();
}

inline void WriteAll(const char* path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A mouse button pressed, or released, on a cell as the toolkit sends it; whether it was claimed.
inline bool ButtonEvent(MineTable* table, int index, unsigned button, GdkEventType type) {
  GdkEventButton event = GdkEventButton();
  event.type = type;
  event.button = button;
  gboolean handled = FALSE;
  const char* signal = type == GDK_BUTTON_RELEASE ? "button-release-event" : "button-press-event";
  g_signal_emit_by_name(table->board[index]->gobj(), signal, &event, &handled);
  return handled;
}

// Lets the main loop finish what closed windows and freed widgets left, else memory stays behind.
inline void Settle() {
  while (Gtk::Main::events_pending())
    Gtk::Main::iteration(false);
}

} // namespace replay

#endif
