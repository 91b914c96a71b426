// What must hold whatever bytes the two data files hold: checked on every input by the fuzz
// targets, and replayed on their findings by the regression tests. Each function puts the bytes
// in the working directory as the data file, runs the game's own code on it, and returns what
// went wrong, or an empty string. All but the score file's reader need a started toolkit.
#ifndef VELMINE_FUZZ_REPLAY_H
#define VELMINE_FUZZ_REPLAY_H

#include "minebutton.h"
#include "savefile.h"
#include "scoredialog.h"
#include "scorefile.h"
#include "table.h"
#include "timer.h"

#include <glibmm/ustring.h>
#include <gtkmm/main.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace replay {

const char scoreName[] = "MINE_SCORE.data";
const char saveName[] = "MINE_SAVE.data";

// The instant named by the stamp lines of the seeds: every file replayed is given it as its
// modification time.
const long stampSeconds = 1700000000;
const long stampNanoseconds = 123456789;

inline std::string ReadAll(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

inline bool Exists(const char* path) {
  struct stat st;
  return stat(path, &st) == 0;
}

inline void ReplaceAll(std::string* text, const std::string& from, const std::string& to) {
  for (std::string::size_type at = text->find(from); at != std::string::npos;
       at = text->find(from, at + to.size()))
    text->replace(at, from.size(), to);
}

// Lets the toolkit finish what closed windows and freed widgets left for its main loop, as the
// game's own loop would; without it each input would leave some memory behind.
inline void Settle() {
  while (Gtk::Main::events_pending())
    Gtk::Main::iteration(false);
}

// Following next visits listCount records and ends at endList, and prev mirrors next.
inline std::string CheckLinked(const ScoreFile& list) {
  ScoreItem* prev = 0;
  int count = 0;
  for (ScoreItem* node = list.firstList; node != 0; node = node->next) {
    if (node->prev != prev)
      return "a record's prev does not mirror next";
    prev = node;
    if (++count > list.listCount)
      return "more records linked than counted";
  }
  if (prev != list.endList)
    return "the walk does not end at endList";
  if (count != list.listCount)
    return "fewer records linked than counted";
  return "";
}

inline std::string CheckOrdered(const ScoreFile& list) {
  for (ScoreItem* node = list.firstList; node != 0 && node->next != 0; node = node->next) {
    const ScoreItem* next = node->next;
    if (next->score > node->score || (next->score == node->score && next->sec < node->sec))
      return "the list is out of order";
  }
  return "";
}

// Reads the file, sorts it, then records a win from its best record (whatever that holds) and
// reads again: the file must keep every byte it had, and the new record must read back.
inline std::string ReplayScoreFile(const std::string& bytes) {
  {
    std::ofstream out(scoreName, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ScoreFile list;
  list.ReadFile();
  std::string problem = CheckLinked(list);
  if (problem.empty()) {
    list.SortList();
    problem = CheckLinked(list);
  }
  if (problem.empty())
    problem = CheckOrdered(list);
  if (!problem.empty()) {
    list.ALLDeleteList();
    return problem;
  }

  int row = 10, col = 10, bomb = 10, sec = 250, mode = 1;
  Glib::ustring name("bob");
  if (list.firstList != 0) {
    row = list.firstList->row;
    col = list.firstList->col;
    bomb = list.firstList->bomb;
    sec = list.firstList->sec;
    mode = list.firstList->mode;
    name = list.firstList->name;
  }
  int before = list.listCount;
  int times = list.WriteFile(row, col, bomb, sec, mode, name);
  if (ReadAll(scoreName).compare(0, bytes.size(), bytes) != 0)
    problem = "recording a win lost or altered what the file held";
  list.ALLDeleteList();
  list.ReadFile();
  if (problem.empty())
    problem = CheckLinked(list);
  // The list is in file order before sorting, so the new record is the last.
  const ScoreItem* last = list.endList;
  if (problem.empty() &&
      (list.listCount <= before || last == 0 || last->row != row || last->col != col ||
       last->bomb != bomb || last->sec != sec || last->mode != mode || last->TIME != times))
    problem = "the win recorded does not read back";
  list.ALLDeleteList();
  return problem;
}

// Shows the file in the high-score table, aimed at its best record's stamp, then hides and
// shows each mode again: each time the table holds the best records of the modes shown, at most
// thirty of them.
inline std::string ReplayScoreTable(const std::string& bytes) {
  {
    std::ofstream out(scoreName, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ScoreFile list;
  list.ReadFile();
  list.SortList();
  MineTimer timer;
  ScoreDialog* dialog = new ScoreDialog(&list, &timer);
  dialog->Create(list.firstList != 0 ? list.firstList->TIME : 0);
  Gtk::CheckButton* checks[4] = {dialog->beginnerCheck, dialog->mediumCheck, dialog->advanceCheck,
                                 dialog->freeCheck};
  bool shown[5] = {false, true, true, true, true};
  std::string problem;
  for (int step = 0; step < 9 && problem.empty(); step++) {
    if (step > 0) {
      int mode = step <= 4 ? step : step - 4;
      shown[mode] = step > 4;
      checks[mode - 1]->set_active(shown[mode]);
    }
    int expected = 0;
    for (ScoreItem* node = list.firstList; node != 0 && expected < 30; node = node->next)
      expected += node->mode >= 1 && node->mode <= 4 && shown[node->mode];
    if (static_cast<int>(dialog->mList->children().size()) != expected)
      problem = "the table does not hold the best records of the modes shown";
  }
  dialog->okButton->clicked();
  Settle();
  list.ALLDeleteList();
  return problem;
}

// Writes the file with "@INO" and "@BIRTH" replaced by its own inode number and birth time, as
// the game's stamp gives them, and the stamp's instant as its modification time: a file whose
// stamp line reads "@INO", the instant and "@BIRTH" has a sound stamp.
inline void WriteSave(const std::string& bytes) {
  std::remove(saveName);
  std::ofstream out(saveName, std::ios::binary | std::ios::trunc);
  struct statx st;
  std::string text = bytes;
  if (statx(AT_FDCWD, saveName, 0, STATX_INO | STATX_BTIME, &st) == 0) {
    int birth = (st.stx_mask & STATX_BTIME) != 0 ? static_cast<int>(st.stx_btime.tv_sec) : 0;
    ReplaceAll(&text, "@INO", std::to_string(static_cast<int>(static_cast<unsigned>(st.stx_ino))));
    ReplaceAll(&text, "@BIRTH", std::to_string(birth));
  }
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = stampSeconds;
  times[1].tv_nsec = stampNanoseconds;
  utimensat(AT_FDCWD, saveName, times, 0);
}

// Every slot of the board holds a cell at its own place with values play can produce, and no
// slot beyond the board holds one.
inline std::string CheckWhole(const MineTable* table) {
  if (table->nRow < 2 || table->nCol < 2 || !MineTable::BoardFits(table->nRow, table->nCol))
    return "the board's size is beyond its limits";
  int cells = table->nRow * table->nCol;
  for (int i = 0; i < MineTable::CAPACITY; i++) {
    const MineButton* cell = table->board[i];
    if (i >= cells) {
      if (cell != 0)
        return "a cell lies beyond the board";
      continue;
    }
    if (cell == 0)
      return "a slot of the board is empty";
    if (cell->col * table->nRow + cell->row != i)
      return "a cell is out of its slot";
    if (cell->state < 0 || cell->state > 2 || cell->bomb < 0 || cell->bomb > 1 || cell->num < 0 ||
        cell->num > 9)
      return "a cell holds a value play cannot produce";
  }
  return "";
}

inline std::string CheckCounters(const MineTable* table) {
  int cells = table->nRow * table->nCol;
  int bombs = 0, hits = 0, misses = 0;
  for (int i = 0; i < cells; i++) {
    const MineButton* cell = table->board[i];
    bombs += cell->bomb != 0;
    hits += cell->state == 2 && cell->bomb != 0;
    misses += cell->state == 2 && cell->bomb == 0;
  }
  if (table->nBomb != bombs || table->BombCount != hits || table->MissCount != misses)
    return "the counters disagree with the cells";
  if (table->mode < 1 || table->mode > 4)
    return "the game has no mode";
  return "";
}

inline std::string CompareGames(const MineTable* a, const MineTable* b) {
  if (a->nRow != b->nRow || a->nCol != b->nCol || a->pBomb != b->pBomb || a->nSize != b->nSize ||
      a->nBomb != b->nBomb || a->BombCount != b->BombCount || a->MissCount != b->MissCount ||
      a->mode != b->mode || a->timer->nSec != b->timer->nSec)
    return "a game saved again loads with other counters";
  for (int i = 0; i < a->nRow * a->nCol; i++) {
    const MineButton* x = a->board[i];
    const MineButton* y = b->board[i];
    if (x->state != y->state || x->bomb != y->bomb || x->num != y->num ||
        x->get_active() != y->get_active() || x->is_sensitive() != y->is_sensitive())
      return "a game saved again loads with other cells";
  }
  return "";
}

// Checks the file, then loads it into an empty board whatever the check said: the load must
// leave a whole board and remove the file. A file that checks sound must load in full, and
// the game loaded must save sound again and load back the same.
inline std::string ReplaySaveFile(const std::string& bytes) {
  WriteSave(bytes);
  SaveFile saveFile;
  int result = saveFile.FindState();
  if (result < 0 || result > 4)
    return "the check gave an unknown result";
  if (!Exists(saveName))
    return "the check removed the file";

  MineTimer timer;
  MineTable* table = new MineTable(0, &timer, 0);
  saveFile.LoadState(table);
  std::string problem;
  if (Exists(saveName))
    problem = "the load left the file";
  if (problem.empty())
    problem = CheckWhole(table);
  if (problem.empty() && result == 0)
    problem = CheckCounters(table);
  if (problem.empty() && result == 0) {
    saveFile.SaveState(table);
    if (saveFile.FindState() != 0) {
      problem = "a loaded game does not save sound";
    } else {
      MineTimer copyTimer;
      MineTable* copy = new MineTable(0, &copyTimer, 0);
      saveFile.LoadState(copy);
      problem = CompareGames(table, copy);
      copyTimer.Stop();
      delete copy;
    }
  }
  timer.Stop();
  delete table;
  Settle();
  std::remove(saveName);
  return problem;
}

} // namespace replay

#endif
