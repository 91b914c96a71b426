// SPDX-License-Identifier: GPL-3.0-or-later
// What must hold whatever bytes the two data files hold, checked by the fuzz targets on every
// input. Each replay puts the bytes in the working directory as the data file, runs the game's
// own code on it, and returns what went wrong, or an empty string. All but the score file's
// reader need a started toolkit.
#ifndef VELMINE_FUZZ_REPLAY_H
#define VELMINE_FUZZ_REPLAY_H

#include "../tests/common.h"
#include "fieldreader.h"
#include "savefile.h"
#include "scoredialog.h"
#include "timer.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace replay {

// The instant named by the stamp lines of the seeds: every saved game replayed is given it as
// its modification time.
const long stampSeconds = 1700000000;
const long stampNanoseconds = 123456789;

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

// Reads the file, sorts it, then records a win from its best record (whatever that holds) and
// reads again: the file must keep every byte it had, and the new record must read back.
inline std::string ReplayScoreFile(const std::string& bytes) {
  WriteAll(scoreName, bytes);
  ScoreFile list;
  list.ReadFile();
  std::string problem = CheckLinked(list);
  if (problem.empty()) {
    list.SortList();
    problem = CheckLinked(list, true);
  }
  ScoreItem best =
      list.firstList != 0 ? *list.firstList : ScoreItem{0, 10, 10, 10, 250, 1, 0, 0, "bob", 0, 0};
  int before = list.listCount;
  long long times = list.WriteFile(best.row, best.col, best.bomb, best.sec, best.mode, best.name);
  if (problem.empty() && ReadAll(scoreName).compare(0, bytes.size(), bytes) != 0)
    problem = "recording a win lost or altered what the file held";
  list.ALLDeleteList();
  list.ReadFile();
  // The list is in file order before sorting, so the new record is the last.
  const ScoreItem* last = list.endList;
  if (problem.empty())
    problem = CheckLinked(list);
  if (problem.empty() &&
      (list.listCount <= before || last == 0 ||
       std::tie(last->row, last->col, last->bomb, last->sec, last->mode, last->TIME) !=
           std::tie(best.row, best.col, best.bomb, best.sec, best.mode, times)))
    problem = "the win recorded does not read back";
  list.ALLDeleteList();
  return problem;
}

// Shows the file in the high-score table, aimed at its best record's stamp, then hides and shows
// each mode again: each time the table holds the best records of the modes shown, at most 30.
inline std::string ReplayScoreTable(const std::string& bytes) {
  WriteAll(scoreName, bytes);
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

// The data lines of each closed section of a saved game, each line's values as the game reads
// them: what the load builds the board from.
inline std::vector<std::vector<std::vector<int>>> Sections(const std::string& text) {
  std::vector<std::vector<std::vector<int>>> sections(1);
  FieldReader reader;
  bool inside = false;
  int lines = 0;
  for (char c : text) {
    inside = inside || c == '<';
    if (inside && c == '>') {
      sections.emplace_back();
      inside = false;
      lines = 0;
    } else if (inside && c == '\t') {
      reader.EndField();
    } else if (inside && c == '\n') {
      reader.EndLine();
      std::vector<int> line(reader.Length());
      for (int i = 0; i < reader.Length() && i < FieldReader::FIELD_COUNT; i++)
        line[i] = reader.Value(i);
      if (lines++ > 0) // not the line holding "<"
        sections.back().push_back(line);
      reader.Clear();
    } else if (inside) {
      reader.Append(c);
    }
  }
  sections.pop_back();
  return sections;
}

// What a file the check accepts must hold, by the last line of each section (the one the load
// keeps): a board within the game's limits, each cell in its slot with values play can produce,
// counters that agree with the cells, and a stamp that fits the status.
inline std::string CheckAccepted(const std::string& text, const SaveFile::Status& status) {
  std::vector<std::vector<std::vector<int>>> sections = Sections(text);
  if (sections.size() != 3 || sections[0].empty() || sections[2].empty())
    return "the check accepts a file without its three sections";
  const std::vector<int>& s = sections[0].back();
  if (s.size() != 9 || s[0] < 2 || s[1] < 2 || s[0] > MineTable::CAPACITY / s[1] || s[4] < 4 ||
      s[4] > 100 || s[7] < 0 || s[8] < 1 || s[8] > 4 ||
      sections[1].size() != static_cast<size_t>(s[0] * s[1]))
    return "the check accepts a board beyond the game's limits, or not a line for each cell";
  int bombs = 0, hits = 0, misses = 0;
  for (int i = 0; i < s[0] * s[1]; i++) {
    const std::vector<int>& c = sections[1][i];
    if (c.size() != 5 || c[0] != i % s[0] || c[1] != i / s[0] || c[2] < 0 || c[2] > 2 || c[3] < 0 ||
        c[3] > 1 || c[4] < 0 || c[4] > 9)
      return "the check accepts a cell out of its slot, or one play cannot produce";
    bombs += c[3];
    hits += c[2] == 2 && c[3] == 1;
    misses += c[2] == 2 && c[3] == 0;
  }
  if (s[3] != bombs || s[5] != hits || s[6] != misses)
    return "the check accepts counters that disagree with the cells";
  const std::vector<int>& f = sections[2].back();
  if (f.size() != 4 || (f[0] != status.inode && (f[0] != 0 || !status.inodeMadeUp)) ||
      f[1] != status.second || f[2] != status.nanosecond || f[3] != status.birth)
    return "the check accepts a stamp that does not fit the file";
  return "";
}

// Checks the text, without a file, against the status its stamp names ("@INO" and "@BIRTH" read
// as 0), on a file system that keeps inode numbers and on one that makes them up.
inline std::string ReplaySaveCheck(const std::string& bytes) {
  for (bool madeUp : {false, true}) {
    SaveFile::Status status = {madeUp ? 7 : 0, madeUp, stampSeconds, stampNanoseconds, 0};
    std::istringstream in(bytes);
    if (SaveFile().FindState(in, &status) == 0 && !CheckAccepted(bytes, status).empty())
      return CheckAccepted(bytes, status);
  }
  return "";
}

// What a board saves, less the stamp, which names the file rather than the game.
inline std::string Saved(MineTable* table) {
  SaveFile().SaveState(table);
  std::string text = ReadAll(saveName);
  return text.substr(0, text.find("FILE<"));
}

// Checks the file, then loads it into an empty board whatever the check said: the load must
// leave a whole board and remove the file. A file that checks sound must load in full, and the
// game loaded must save sound again and load back the same.
inline std::string ReplaySaveFile(const std::string& bytes) {
  WriteSave(bytes);
  SaveFile saveFile;
  int result = saveFile.FindState();
  if (result < 0 || result > 4 || access(saveName, F_OK) != 0)
    return "the check gave an unknown result, or removed the file";
  MineTimer timer;
  MineTable* table = new MineTable(0, &timer, 0);
  saveFile.LoadState(table);
  std::string problem =
      access(saveName, F_OK) == 0 ? "the load left the file" : CheckWhole(table, result == 0);
  if (problem.empty() && result == 0) {
    std::string saved = Saved(table);
    MineTimer copyTimer;
    MineTable* copy = new MineTable(0, &copyTimer, 0);
    problem = saveFile.FindState() != 0 ? "a loaded game does not save sound" : "";
    saveFile.LoadState(copy);
    if (problem.empty() && Saved(copy) != saved)
      problem = "a game saved again loads otherwise";
    copyTimer.Stop();
    delete copy;
  }
  timer.Stop();
  delete table;
  Settle();
  std::remove(saveName);
  return problem;
}

} // namespace replay

#endif
