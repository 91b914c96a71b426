// SPDX-License-Identifier: GPL-3.0-or-later
#include "savefile.h"

#include "fieldreader.h"
#include "filesync.h"
#include "minebutton.h"
#include "table.h"
#include "timer.h"
#include "xpm/image.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <linux/magic.h>
#include <locale>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

const char fileName[] = "MINE_SAVE.data";

// A saved clock beyond this could not count on for long without overflowing; no game is
// played for years.
const int clockLimit = 1000000000;

// The sizes a board can take: at least 2 cells each way, at most its cell slots, pictures
// that can be drawn. A file beyond them is refused before any cell is made.
bool StatusFits(int nRow0, int nCol0, int nSize0, int nSec0) {
  return MineTable::BoardFits(nRow0, nCol0) && nSize0 >= 4 && nSize0 <= 100 && nSec0 >= 0 &&
         nSec0 < clockLimit;
}

// Cell values play can produce; anything else would pick a picture that does not exist.
bool CellFits(int state, int bomb, int num) {
  if (state < 0 || state > 2 || bomb < 0 || bomb > 1 || num < 0 || num > 9)
    return false;
  return !(state == 0 && bomb == 0 && num > 8);
}

void Count(int* counter) {
  if (*counter < INT_MAX)
    (*counter)++;
}

// The file's status in the four roles of the stamp: see WriteStamp.
using Status = SaveFile::Status;

bool ReadStatus(Status* status) {
  struct statx st;
  struct statfs fs;
  if (statx(AT_FDCWD, fileName, 0, STATX_INO | STATX_MTIME | STATX_BTIME, &st) != 0 ||
      statfs(fileName, &fs) != 0)
    return false;
  status->inode = static_cast<int>(static_cast<unsigned int>(st.stx_ino));
  status->inodeMadeUp = fs.f_type == MSDOS_SUPER_MAGIC || fs.f_type == EXFAT_SUPER_MAGIC ||
                        fs.f_type == FUSE_SUPER_MAGIC;
  status->second = static_cast<int>(st.stx_mtime.tv_sec);
  status->nanosecond = static_cast<int>(st.stx_mtime.tv_nsec);
  status->birth = (st.stx_mask & STATX_BTIME) != 0 ? static_cast<int>(st.stx_btime.tv_sec) : 0;
  return true;
}

// One line of the check's report; returns whether it matched.
bool Report(bool match, const std::string& good, const std::string& bad) {
  std::cout << (match ? good : bad) << std::endl;
  return match;
}

// "MATCH what", or the wrong line's lead with the expected and the found value.
bool Compare(const char* what, const char* wrong, long long expected, long long found) {
  return Report(expected == found, std::string("MATCH ") + what,
                wrong + std::to_string(expected) + "!=" + std::to_string(found));
}

// Only a whole board within the limits is written: the check would refuse anything else, and a
// board beyond its slots cannot be walked.
bool WholeBoard(MineTable* table0) {
  if (!StatusFits(table0->nRow, table0->nCol, table0->nSize, table0->timer->nSec))
    return false;
  for (int i = 0; i < table0->nRow * table0->nCol; i++)
    if (table0->board[i] == 0)
      return false;
  return true;
}

int WriteBoard(int fd, MineTable* table0) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << "STATE<\n";
  out << table0->nRow << '\t' << table0->nCol << '\t' << table0->pBomb << '\t' << table0->nBomb
      << '\t' << table0->nSize << '\t' << table0->BombCount << '\t' << table0->MissCount << '\t'
      << table0->timer->nSec << '\t' << table0->mode << '\n';
  out << ">\nBOARD<\n";
  for (int i = 0; i < table0->nRow * table0->nCol; i++) {
    MineButton* cell = table0->board[i];
    out << cell->row << '\t' << cell->col << '\t' << cell->state << '\t' << cell->bomb << '\t'
        << cell->num << '\n';
  }
  out << ">\n";
  return WriteAll(fd, out.str());
}

// Sets the access time too, which nothing compares: some file systems (FAT through FUSE) ignore
// a modification time set alone. 0, or the error number.
int SetTime(const timespec& instant) {
  timespec times[2] = {instant, instant};
  return utimensat(AT_FDCWD, fileName, times, 0) == 0 ? 0 : errno;
}

// Sets the modification time to *instant and reads back what the file system kept of it. One
// that keeps less than the nanoseconds gets an instant two seconds back instead (FAT's step,
// the coarsest in use): every later write leaves a time past it, so no edit comes out equal.
bool KeepTime(timespec* instant, Status* status) {
  if (SetTime(*instant) != 0 || !ReadStatus(status))
    return false;
  if (status->second == static_cast<int>(instant->tv_sec) &&
      status->nanosecond == static_cast<int>(instant->tv_nsec))
    return true;
  instant->tv_sec -= 2;
  return SetTime(*instant) == 0 && ReadStatus(status);
}

// The stamp. The access time moves whenever the file is read, and the status change time with
// every write and with each time set, so neither can stand for itself. The stamp therefore
// holds: the inode number (32 bits: a copy put in the file's place has another); in the
// access-time place, the seconds of the instant that the file's modification time is set to,
// as the file system keeps it (see KeepTime); in the modification-time place, its nanoseconds;
// in the creation-time place, the file's birth time where the file system keeps one (a copy is
// born anew), else 0. Once the file is complete and closed the same instant is set again, so no
// write of ours disturbs what is compared, and any edit or plain copy moves the time.
int WriteStamp(int fd, const Status& stamp) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << "FILE<\n"
      << (stamp.inodeMadeUp ? 0 : stamp.inode) << '\t' << stamp.second << '\t' << stamp.nanosecond
      << '\t' << stamp.birth << "\n>\n";
  return WriteAll(fd, out.str());
}

// What the check and the load each do with what the scanner finds.
class ScanSteps {
public:
  virtual ~ScanSteps() {}
  virtual void LineStep(int actCount, int* SP, int length, int enterCount) = 0;
  virtual void SectionEnd(int actCount, int enterCount) = 0;
};

// Reads the file to its end, a character at a time: sections are told apart by their order
// alone, line 0 of each (the one holding "<") is skipped, and each data line is handed over
// with its values. Returns the number of sections closed.
int Scan(std::istream& in, ScanSteps& steps) {
  FieldReader reader;
  int SAVE[FieldReader::FIELD_COUNT];
  int actFlag = 0;
  int actCount = 0;
  int enterCount = 0;
  std::streambuf* buffer = in.rdbuf();
  for (int c = buffer->sbumpc(); c != std::char_traits<char>::eof(); c = buffer->sbumpc()) {
    if (c == '<')
      actFlag = 1;
    if (c == '>') {
      if (actFlag == 1) {
        steps.SectionEnd(actCount, enterCount);
        actFlag = 0;
        Count(&actCount);
        enterCount = 0;
        reader.Clear();
      } else {
        std::cout << "ERROR string > " << std::endl;
      }
    } else if (actFlag == 1) {
      if (c == '\t') {
        reader.EndField();
      } else if (c == '\n') {
        if (enterCount > 0) {
          reader.EndLine();
          int length = reader.Length();
          for (int i = 0; i < length && i < FieldReader::FIELD_COUNT; i++)
            SAVE[i] = reader.Value(i);
          steps.LineStep(actCount, SAVE, length, enterCount);
        }
        reader.Clear();
        Count(&enterCount);
      } else {
        reader.Append(static_cast<char>(c));
      }
    }
  }
  return actCount;
}

class CheckSteps : public ScanSteps {
public:
  int result = 0;
  int nRow0 = 0;
  int nCol0 = 0;
  int nBomb0 = 0;
  int BombCount0 = 0;
  int MissCount0 = 0;
  int mode0 = 0;
  int inode = 0;
  int atime = 0;
  int mtime = 0;
  int ctime = 0;
  // Wide enough for any number of lines.
  long long matchFlag = 0;
  long long missFlag = 0;
  long long bFlag = 0;
  bool statusFlag = false;

  void LineStep(int actCount, int* SP, int length, int enterCount) override {
    if (actCount == 0)
      StatusLine(SP, length);
    else if (actCount == 1)
      BoardLine(SP, length, enterCount - 1);
    else if (actCount == 2)
      FileLine(SP, length);
    else
      std::cout << "FEW COUNT" << std::endl;
  }

  void SectionEnd(int actCount, int enterCount) override {
    if (actCount == 1 && enterCount - 1 != static_cast<long long>(nRow0) * nCol0) {
      std::cout << enterCount << "!=" << nRow0 << "x" << nCol0 << std::endl;
      result = 4;
    }
  }

private:
  void StatusLine(int* SP, int length) {
    if (length != 9) {
      std::cout << "ERROR STATUS" << std::endl;
      result = 4;
      return;
    }
    nRow0 = SP[0];
    nCol0 = SP[1];
    nBomb0 = SP[3];
    BombCount0 = SP[5];
    MissCount0 = SP[6];
    mode0 = SP[8];
    statusFlag = StatusFits(SP[0], SP[1], SP[4], SP[7]);
    if (!statusFlag) {
      std::cout << "ERROR STATUS VALUE" << std::endl;
      result = 4;
    }
  }

  void BoardLine(int* SP, int length, int position) {
    if (length != 5) {
      std::cout << "ERROR BOARD " << position << std::endl;
      result = 4;
      return;
    }
    // Each cell must sit in its own slot, or the load would leave slots empty.
    if (statusFlag && (SP[0] != position % nRow0 || SP[1] != position / nRow0)) {
      std::cout << "ERROR BOARD PLACE " << position << std::endl;
      result = 4;
    }
    if (!CellFits(SP[2], SP[3], SP[4])) {
      std::cout << "ERROR BOARD VALUE " << position << std::endl;
      result = 4;
    }
    int s = SP[2];
    int b = SP[3];
    if (s == 2) {
      if (b > 0) {
        bFlag++;
        matchFlag++;
      } else {
        missFlag++;
      }
    } else if (b > 0) {
      bFlag++;
    }
  }

  void FileLine(int* SP, int length) {
    if (length != 4) {
      std::cout << "ERROR FILE " << std::endl;
      result = 4;
      return;
    }
    inode = SP[0];
    atime = SP[1];
    mtime = SP[2];
    ctime = SP[3];
  }
};

class LoadSteps : public ScanSteps {
public:
  LoadSteps(SaveFile* saveFile0, MineTable* table0) : saveFile(saveFile0), table(table0) {}

  void LineStep(int actCount, int* SP, int length, int enterCount) override {
    if (actCount == 0)
      saveFile->EnterStatus(table, SP, length, enterCount);
    else if (actCount == 1)
      saveFile->EnterBoard(table, SP, length, enterCount);
    else if (actCount == 2)
      saveFile->EnterFile(table, SP, length, enterCount);
  }

  void SectionEnd(int actCount, int) override {
    if (actCount == 0) {
      table->table->resize(table->nRow, table->nCol);
      table->image->SetScale(table->nSize, table->nSize);
    }
  }

private:
  SaveFile* saveFile;
  MineTable* table;
};

// A file that lost cell lines, or whose lines were out of place, would leave slots that play
// cannot cope with: such slots get a covered cell without a bomb, and the counters are taken
// from the cells so that the board stays consistent.
void MakeWhole(MineTable* table0) {
  int size = table0->Cells();
  int empty = 0;
  for (int i = 0; i < size; i++)
    if (table0->board[i] == 0)
      empty++;
  if (empty == 0)
    return;
  std::cout << "FILL BOARD " << empty << std::endl;
  table0->table->resize(table0->nRow, table0->nCol);
  table0->image->SetScale(table0->nSize, table0->nSize);
  for (int i = 0; i < size; i++)
    if (table0->board[i] == 0)
      table0->FreshCell(i);
  table0->CountBombs();
  table0->SetMode();
}

// The stamp against the file's status (0 when it could not be read): flag0 when they agree,
// else a check result.
int JudgeStamp(int flag0, int inode, int atime, int mtime, int ctime, const Status* status) {
  if (status == 0) {
    std::cout << "CAN'T GET MINE_SAVE.data" << std::endl;
    return 1;
  }
  int result = flag0;
  // A stamp written where the number was known to be made up holds 0; a number in an older
  // stamp still counts while it lasts.
  if (!Compare("INODE", "INODE : ", inode, status->inodeMadeUp && inode == 0 ? 0 : status->inode))
    result = 2;
  // The access-time place holds the seconds of the modification time: where the file system
  // keeps no more than seconds, they alone show an edit.
  bool moved = !Compare("ATIME", "ATIME : ", atime, status->second);
  if (!Compare("CTIME", "CTIME : ", ctime, status->birth))
    result = 2;
  if (!Compare("MTIME", "MTIME : ", mtime, status->nanosecond))
    moved = true;
  return moved ? 3 : result;
}

} // namespace

SaveFile::SaveFile() {}

SaveFile::~SaveFile() {}

int SaveFile::SaveState(MineTable* table0) {
  if (table0->mode <= 0)
    return 0;
  if (!WholeBoard(table0)) {
    std::cout << "CAN'T WRITE MINE_SAVE.data" << std::endl;
    return EINVAL;
  }
  std::cout << "WRITE" << std::endl;
  std::cout << table0->timer->nSec << std::endl;
  std::cout << table0->board[0]->state << std::endl;

  int fd = open(fileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    int error = errno;
    std::cout << "CAN'T WRITE MINE_SAVE.data" << std::endl;
    return error;
  }
  // The time is set and read back while the file is still empty: some file systems (FAT through
  // FUSE) show a time set on a file with unwritten changes only once it is closed.
  timespec instant;
  clock_gettime(CLOCK_REALTIME, &instant);
  Status stamp;
  bool stamped = KeepTime(&instant, &stamp);
  if (!stamped)
    std::cout << "CAN'T GET MINE_SAVE.data" << std::endl;
  int error = WriteBoard(fd, table0);
  if (error == 0 && stamped)
    error = WriteStamp(fd, stamp);
  if (close(fd) != 0 && error == 0)
    error = errno;
  if (error == 0 && stamped)
    error = SetTime(instant);
  // Forced only now, with its time as finally set: a file forced before would come back from a
  // power cut with an older time, and be refused as changed.
  if (error == 0)
    error = SyncFile(fileName);
  if (error == 0)
    error = SyncDirectory(fileName);
  if (error != 0) {
    // A file cut short would only be refused at the next start.
    std::cout << "CAN'T WRITE MINE_SAVE.data" << std::endl;
    std::remove(fileName);
  }
  return error;
}

int SaveFile::FindState() {
  std::cout << "LOAD STATE" << std::endl;
  std::ifstream in;
  if (!OpenRegular(in, fileName)) {
    std::cout << "NO MINE_SAVE.data" << std::endl;
    return 1;
  }
  std::cout << "FIND:OPEN MINE_SAVE.data" << std::endl;
  Status status;
  return FindState(in, ReadStatus(&status) ? &status : 0);
}

int SaveFile::FindState(std::istream& in, const Status* status) {
  CheckSteps steps;
  int actCount = Scan(in, steps);

  int result = steps.result;
  if (!Compare("BOMBCOUNT", "WRONG BOMBCOUNT :", steps.BombCount0, steps.matchFlag))
    result = 4;
  if (!Compare("MISSCOUNT", "WRONG MISSCOUNT :", steps.MissCount0, steps.missFlag))
    result = 4;
  if (!Compare("BOMB", "WRONG BOMB :", steps.nBomb0, steps.bFlag))
    result = 4;
  // Only the four modes exist; another code would name no mode anywhere it is shown.
  if (!Report(steps.mode0 >= 1 && steps.mode0 <= 4, "MODE :" + std::to_string(steps.mode0),
              "UNKNOWN MODE"))
    result = 4;
  if (!Report(actCount == 3, "MATCH ACT", "FEW ACT"))
    result = 4;
  if (result == 0)
    result = JudgeStamp(0, steps.inode, steps.atime, steps.mtime, steps.ctime, status);
  return result;
}

int SaveFile::LoadState(MineTable* table0) {
  std::cout << "LOAD STATE" << std::endl;
  std::ifstream in;
  if (!OpenRegular(in, fileName)) {
    std::cout << "NO MINE_SAVE.data" << std::endl;
    return 1;
  }
  std::cout << "OPEN MINE_SAVE.data" << std::endl;
  LoadSteps steps(this, table0);
  Scan(in, steps);
  in.close();
  // A game whose file stays would be resumed again at the next start.
  if (std::remove(fileName) != 0) {
    std::cout << "CAN'T REMOVE MINE_SAVE.data" << std::endl;
    return 2;
  }
  // Should the disk fail to keep the removal, the game in hand is all there is: it goes on.
  SyncDirectory(fileName);
  MakeWhole(table0);
  table0->table->show();
  table0->startFlag = 1;
  table0->timer->Start();
  return 0;
}

int SaveFile::ElementCheck(int flag0, int inode, int atime, int mtime, int ctime) {
  Status status;
  return JudgeStamp(flag0, inode, atime, mtime, ctime, ReadStatus(&status) ? &status : 0);
}

void SaveFile::EnterStatus(MineTable* table0, int* SP, int length, int) {
  // Sizes the board cannot hold are never applied: the cells would not fit their slots.
  if (length != 9 || !StatusFits(SP[0], SP[1], SP[4], SP[7]) || SP[8] < 1 || SP[8] > 4) {
    std::cout << "WRONG STATUS" << std::endl;
    return;
  }
  table0->nRow = SP[0];
  table0->nCol = SP[1];
  table0->pBomb = SP[2];
  table0->nBomb = SP[3];
  table0->nSize = SP[4];
  table0->BombCount = SP[5];
  table0->MissCount = SP[6];
  table0->timer->nSec = SP[7];
  table0->mode = SP[8];
}

void SaveFile::EnterBoard(MineTable* table0, int* SP, int length, int enterCount) {
  if (length != 5) {
    std::cout << "WRONG BOARD ELEMENTS" << std::endl;
    return;
  }
  int row = SP[0];
  int col = SP[1];
  int state = SP[2];
  int bomb = SP[3];
  int num = SP[4];
  // The position is checked before the index is formed from it, so no value can reach past
  // the board.
  if (row < 0 || row >= table0->nRow || col < 0 || col >= table0->nCol ||
      static_cast<long long>(col) * table0->nRow + row != enterCount - 1 ||
      enterCount - 1 >= table0->Cells()) {
    std::cout << "WRONG BOARD PLACE" << std::endl;
    return;
  }
  if (!CellFits(state, bomb, num)) {
    std::cout << "WRONG BOARD VALUE" << std::endl;
    return;
  }
  int index = enterCount - 1;
  MineButton* cell = new MineButton(row, col, bomb, state, num);
  if (state == 0) {
    cell->set_active(true);
    cell->set_sensitive(false);
    cell->SetImage(bomb != 0 ? table0->image->CreateBomb() : table0->image->CreateNumber(num));
  } else {
    cell->SetImage(table0->image->CreateMark(state));
  }
  // A cell already in the slot is replaced by the board.
  table0->PlaceCell(cell, index);
}

void SaveFile::EnterFile(MineTable*, int* SP, int length, int) {
  if (length != 4) {
    std::cout << "WORNG FILE ELEMENTS" << std::endl;
    return;
  }
  if (ElementCheck(0, SP[0], SP[1], SP[2], SP[3]) == 0)
    std::cout << "OK FILE ELEMENT" << std::endl;
  else
    std::cout << "NO FILE ELEMENT" << std::endl;
}
