#include "savefile.h"

#include "fieldreader.h"
#include "minebutton.h"
#include "table.h"
#include "timer.h"
#include "xpm/image.h"

#include <climits>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <locale>
#include <sys/stat.h>

namespace {

const char fileName[] = "MINE_SAVE.data";

// A saved clock beyond this could not count on for long without overflowing; no game is
// played for years.
const int clockLimit = 1000000000;

// The sizes a board can take: at least 2 cells each way, at most its cell slots, pictures
// that can be drawn. A file beyond them is refused before any cell is made.
bool StatusFits(int nRow0, int nCol0, int nSize0, int nSec0) {
  return nRow0 >= 2 && nCol0 >= 2 && MineTable::BoardFits(nRow0, nCol0) && nSize0 >= 4 &&
         nSize0 <= 100 && nSec0 >= 0 && nSec0 < clockLimit;
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

// The file's status in the four roles of the stamp; see SaveFile::SaveState.
bool ReadStatus(int* inode, int* second, int* nanosecond, int* birth) {
  struct statx st;
  if (statx(AT_FDCWD, fileName, 0, STATX_INO | STATX_MTIME | STATX_BTIME, &st) != 0)
    return false;
  *inode = static_cast<int>(static_cast<unsigned int>(st.stx_ino));
  *second = static_cast<int>(st.stx_mtime.tv_sec);
  *nanosecond = static_cast<int>(st.stx_mtime.tv_nsec);
  *birth = (st.stx_mask & STATX_BTIME) != 0 ? static_cast<int>(st.stx_btime.tv_sec) : 0;
  return true;
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

} // namespace

SaveFile::SaveFile() {}

SaveFile::~SaveFile() {}

void SaveFile::SaveState(MineTable* table0) {
  if (table0->mode <= 0)
    return;
  // Only a whole board within the limits is written: the check would refuse anything else,
  // and a board beyond its slots cannot be walked.
  bool whole = StatusFits(table0->nRow, table0->nCol, table0->nSize, table0->timer->nSec);
  int size = whole ? table0->nRow * table0->nCol : 0;
  for (int i = 0; i < size; i++)
    if (table0->board[i] == 0)
      whole = false;
  if (!whole) {
    std::cout << "CAN'T WRITE MINE_SAVE.data" << std::endl;
    return;
  }
  std::cout << "WRITE" << std::endl;
  std::cout << table0->timer->nSec << std::endl;
  std::cout << table0->board[0]->state << std::endl;

  std::ofstream out(fileName, std::ios::out | std::ios::trunc);
  if (!out.is_open()) {
    std::cout << "CAN'T WRITE MINE_SAVE.data" << std::endl;
    return;
  }
  out.imbue(std::locale::classic());
  out << "STATE<" << std::endl;
  out << table0->nRow << '\t' << table0->nCol << '\t' << table0->pBomb << '\t' << table0->nBomb
      << '\t' << table0->nSize << '\t' << table0->BombCount << '\t' << table0->MissCount << '\t'
      << table0->timer->nSec << '\t' << table0->mode << std::endl;
  out << ">" << std::endl;
  out << "BOARD<" << std::endl;
  for (int i = 0; i < size; i++) {
    MineButton* cell = table0->board[i];
    out << cell->row << '\t' << cell->col << '\t' << cell->state << '\t' << cell->bomb << '\t'
        << cell->num << std::endl;
  }
  out << ">" << std::endl;

  // The stamp. The access time moves whenever the file is read, and the status change time
  // with every write and with the time set below, so neither can stand for itself. The stamp
  // therefore holds: the inode number (32 bits: a copy put in the file's place has another);
  // in the access-time place, the seconds of an instant taken now; in the modification-time
  // place, that instant's nanoseconds; in the creation-time place, the file's birth time where
  // the file system keeps one (a copy is born anew), else 0. Once the file is complete and
  // closed its modification time is set to exactly that instant, so no later write of ours
  // disturbs what is compared, and any edit or plain copy moves the nanoseconds.
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  int inode, second, nanosecond, birth;
  bool stamped = ReadStatus(&inode, &second, &nanosecond, &birth);
  if (!stamped) {
    std::cout << "CAN'T GET MINE_SAVE.data" << std::endl;
  } else {
    out << "FILE<" << std::endl;
    out << inode << '\t' << static_cast<int>(now.tv_sec) << '\t' << static_cast<int>(now.tv_nsec)
        << '\t' << birth << std::endl;
    out << ">" << std::endl;
  }
  out.close();
  if (out.fail()) {
    std::cout << "CAN'T WRITE MINE_SAVE.data" << std::endl;
    return;
  }
  if (stamped) {
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = now;
    utimensat(AT_FDCWD, fileName, times, 0);
  }
}

int SaveFile::FindState() {
  std::cout << "LOAD STATE" << std::endl;
  std::ifstream in;
  if (!OpenRegular(in, fileName)) {
    std::cout << "NO MINE_SAVE.data" << std::endl;
    return 1;
  }
  std::cout << "FIND:OPEN MINE_SAVE.data" << std::endl;
  CheckSteps steps;
  int actCount = Scan(in, steps);
  in.close();

  int result = steps.result;
  if (steps.matchFlag == steps.BombCount0) {
    std::cout << "MATCH BOMBCOUNT" << std::endl;
  } else {
    std::cout << "WRONG BOMBCOUNT :" << steps.BombCount0 << "!=" << steps.matchFlag << std::endl;
    result = 4;
  }
  if (steps.missFlag == steps.MissCount0) {
    std::cout << "MATCH MISSCOUNT" << std::endl;
  } else {
    std::cout << "WRONG MISSCOUNT :" << steps.MissCount0 << "!=" << steps.missFlag << std::endl;
    result = 4;
  }
  if (steps.bFlag == steps.nBomb0) {
    std::cout << "MATCH BOMB" << std::endl;
  } else {
    std::cout << "WRONG BOMB :" << steps.nBomb0 << "!=" << steps.bFlag << std::endl;
    result = 4;
  }
  // Only the four modes exist; another code would name no mode anywhere it is shown.
  if (steps.mode0 >= 1 && steps.mode0 <= 4) {
    std::cout << "MODE :" << steps.mode0 << std::endl;
  } else {
    std::cout << "UNKNOWN MODE" << std::endl;
    result = 4;
  }
  if (actCount == 3) {
    std::cout << "MATCH ACT" << std::endl;
  } else {
    std::cout << "FEW ACT" << std::endl;
    result = 4;
  }
  if (result == 0)
    result = ElementCheck(0, steps.inode, steps.atime, steps.mtime, steps.ctime);
  return result;
}

void SaveFile::LoadState(MineTable* table0) {
  std::cout << "LOAD STATE" << std::endl;
  std::ifstream in;
  if (!OpenRegular(in, fileName)) {
    std::cout << "NO MINE_SAVE.data" << std::endl;
  } else {
    std::cout << "OPEN MINE_SAVE.data" << std::endl;
    LoadSteps steps(this, table0);
    Scan(in, steps);
    in.close();
    std::remove(fileName);
  }
  MakeWhole(table0);
  table0->table->show();
  table0->startFlag = 1;
  table0->timer->Start();
}

int SaveFile::ElementCheck(int flag0, int inode, int atime, int mtime, int ctime) {
  int fileInode, second, nanosecond, birth;
  if (!ReadStatus(&fileInode, &second, &nanosecond, &birth)) {
    std::cout << "CAN'T GET MINE_SAVE.data" << std::endl;
    return 1;
  }
  int result = flag0;
  if (inode == fileInode) {
    std::cout << "MATCH INODE" << std::endl;
  } else {
    std::cout << "INODE : " << inode << "!=" << fileInode << std::endl;
    result = 2;
  }
  if (atime == second) {
    std::cout << "MATCH ATIME" << std::endl;
  } else {
    std::cout << "ATIME : " << atime << "!=" << second << std::endl;
    result = 2;
  }
  if (ctime == birth) {
    std::cout << "MATCH CTIME" << std::endl;
  } else {
    std::cout << "CTIME : " << ctime << "!=" << birth << std::endl;
    result = 2;
  }
  if (mtime == nanosecond) {
    std::cout << "MATCH MTIME" << std::endl;
  } else {
    std::cout << "MTIME : " << mtime << "!=" << nanosecond << std::endl;
    result = 3;
  }
  return result;
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
