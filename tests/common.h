// SPDX-License-Identifier: GPL-3.0-or-later
// What the tests and the fuzz targets share: the data files' names, reading and writing them, a
// saved game stamped as the game stamps it, a cell's click, and whether the board and the score
// list are whole. All but the file helpers need a started toolkit.
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

// Following next visits listCount records, in order when `sorted`, and ends at endList; prev
// mirrors next.
inline std::string CheckLinked(const ScoreFile& list, bool sorted = false) {
  ScoreItem* prev = 0;
  int count = 0;
  for (ScoreItem* node = list.firstList; node != 0; prev = node, node = node->next) {
    if (node->prev != prev || ++count > list.listCount)
      return "the records are linked wrongly";
    if (sorted && prev != 0 &&
        (node->score > prev->score || (node->score == prev->score && node->sec < prev->sec)))
      return "the list is out of order";
  }
  return prev != list.endList || count != list.listCount ? "the records are linked wrongly" : "";
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

// Every slot of the board holds a cell at its own place with values play can produce, and no
// slot beyond the board holds one; when `counted`, the counters agree with the cells and the game
// has a mode.
inline std::string CheckWhole(const MineTable* table, bool counted = false) {
  if (table->nRow < 2 || table->nCol < 2 || !MineTable::BoardFits(table->nRow, table->nCol))
    return "the board's size is beyond its limits";
  int bombs = 0, hits = 0, misses = 0;
  for (int i = 0; i < MineTable::CAPACITY; i++) {
    const MineButton* cell = table->board[i];
    if ((cell != 0) != (i < table->nRow * table->nCol))
      return "a slot of the board is empty, or one beyond it is not";
    if (cell == 0)
      continue;
    if (cell->col * table->nRow + cell->row != i)
      return "a cell is out of its slot";
    if (cell->state < 0 || cell->state > 2 || cell->bomb < 0 || cell->bomb > 1 || cell->num < 0 ||
        cell->num > 9)
      return "a cell holds a value play cannot produce";
    bombs += cell->bomb;
    hits += cell->state == 2 && cell->bomb;
    misses += cell->state == 2 && !cell->bomb;
  }
  if (counted && (table->nBomb != bombs || table->BombCount != hits || table->MissCount != misses))
    return "the counters disagree with the cells";
  return counted && (table->mode < 1 || table->mode > 4) ? "the game has no mode" : "";
}

} // namespace replay

#endif
