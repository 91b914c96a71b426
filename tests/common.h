// SPDX-License-Identifier: GPL-3.0-or-later
// What the tests and the fuzz targets share: the data files' names, reading and writing them, a
// saved game stamped as the game stamps it, and a cell's click. The click and Settle need a
// started toolkit.
#ifndef VELMINE_TESTS_COMMON_H
#define VELMINE_TESTS_COMMON_H

#include "minebutton.h"
#include "scorefile.h"
#include "table.h"

#include <gtkmm/main.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace replay {

const char scoreName[] = "MINE_SCORE.data";
const char saveName[] = "MINE_SAVE.data";

// The instant named by the stamp lines of the seeds: every saved game replayed is given it as
// its modification time.
const long stampSeconds = 1700000000;
const long stampNanoseconds = 123456789;

inline std::string ReadAll(const char* path) {
  std::ostringstream all;
  all << std::ifstream(path, std::ios::binary).rdbuf();
  return all.str();
}

inline void WriteAll(const char* path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A mouse button pressed, or released, on a cell through the cell's own signal, as the toolkit
// sends it. Whether a handler claimed the event.
inline bool ButtonEvent(MineTable* table, int index, unsigned button, GdkEventType type) {
  GdkEventButton event = GdkEventButton();
  event.type = type;
  event.button = button;
  gboolean handled = FALSE;
  const char* signal = type == GDK_BUTTON_RELEASE ? "button-release-event" : "button-press-event";
  g_signal_emit_by_name(table->board[index]->gobj(), signal, &event, &handled);
  return handled;
}

// Lets the toolkit finish what closed windows and freed widgets left for its main loop, as the
// game's own loop would; without it each input would leave some memory behind.
inline void Settle() {
  while (Gtk::Main::events_pending())
    Gtk::Main::iteration(false);
}

// Writes the file with "@INO" and "@BIRTH" replaced by its own inode number and birth time, as
// the game's stamp gives them, and the stamp's instant as its modification time: a file whose
// stamp line reads "@INO", the instant and "@BIRTH" has a sound stamp.
inline void WriteSave(std::string text) {
  std::remove(saveName);
  WriteAll(saveName, "");
  struct statx st;
  if (statx(AT_FDCWD, saveName, 0, STATX_INO | STATX_BTIME, &st) == 0) {
    int birth = (st.stx_mask & STATX_BTIME) != 0 ? static_cast<int>(st.stx_btime.tv_sec) : 0;
    for (const auto& [from, to] :
         {std::make_pair(std::string("@INO"),
                         std::to_string(static_cast<int>(static_cast<unsigned>(st.stx_ino)))),
          std::make_pair(std::string("@BIRTH"), std::to_string(birth))})
      for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
        text.replace(at, from.size(), to);
  }
  WriteAll(saveName, text); // in the same file: its inode is the one stamped
  timespec times[2] = {{0, UTIME_OMIT}, {stampSeconds, stampNanoseconds}};
  utimensat(AT_FDCWD, saveName, times, 0);
}

} // namespace replay

#endif
