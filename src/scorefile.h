// SPDX-License-Identifier: GPL-3.0-or-later
// The high-score list: the score of a win, the append-only file MINE_SCORE.data, and its valid
// records in memory as a doubly linked list, best first.
#ifndef VELMINE_SCOREFILE_H
#define VELMINE_SCOREFILE_H

#include <glibmm/ustring.h>

struct ScoreItem {
  int score;
  int row;
  int col;
  int bomb;
  int sec;
  int mode;
  int select;
  long long TIME;
  Glib::ustring name;
  ScoreItem* next;
  ScoreItem* prev;
};

class ScoreFile {
public:
  ScoreItem* firstList;
  ScoreItem* endList;
  int listCount;
  // The error number of the last WriteFile, 0 once its record was on the disk.
  int writeError;

  ScoreFile();
  ~ScoreFile();
  ScoreFile(const ScoreFile&) = delete;
  ScoreFile& operator=(const ScoreFile&) = delete;

  int CalcScore(int nRow0, int nCol0, int nBomb0, int nSec0);
  int CalcName(const char* NAME, int length);
  long long WriteFile(int nRow0, int nCol0, int nBomb0, int nSec0, int mode0, Glib::ustring& name);
  void ReadFile();
  void EnterScore(Glib::ustring* READ, int length);
  void SortList();
  void AppendList(ScoreItem* node);
  void RejectList(ScoreItem* node);
  void ALLDeleteList();
  void ViewList();

private:
  void FreeList();
};

#endif
