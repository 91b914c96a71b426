// SPDX-License-Identifier: GPL-3.0-or-later
// The saved game: writes a game in progress to MINE_SAVE.data with a stamp of the file's own
// status, checks such a file, and rebuilds the board from it.
#ifndef VELMINE_SAVEFILE_H
#define VELMINE_SAVEFILE_H

#include <iosfwd>

class MineTable;

class SaveFile {
public:
  // What the file system tells of the file, in the four roles of the stamp.
  struct Status {
    int inode;
    // FAT, exFAT and most FUSE daemons make inode numbers up as files are looked up: the same file
    // may show another number after a remount, so there the stamp holds 0 in its place.
    bool inodeMadeUp;
    int second;
    int nanosecond;
    int birth;
  };

  SaveFile();
  ~SaveFile();

  // 0 when the file was written whole; else the error number of the step that failed, and
  // nothing of the file is left.
  int SaveState(MineTable* table0);
  // 0 sound, 1 no file, 2 inode/access/creation time moved, 3 modification time moved,
  // 4 incomplete or inconsistent.
  int FindState();
  // The same check of the text read from in, its stamp judged against the status given (read
  // by FindState just before the text; 0 when it could not be read).
  int FindState(std::istream& in, const Status* status);
  // 0 once the game is on the board and its file is gone. 1 when the file could not be read, 2
  // when it could not be removed (it stays): then nothing was resumed, and the board, which may
  // hold cells of the game, is to be discarded.
  int LoadState(MineTable* table0);
  int ElementCheck(int flag0, int inode, int atime, int mtime, int ctime);
  void EnterStatus(MineTable* table0, int* SP, int length, int enterCount);
  void EnterBoard(MineTable* table0, int* SP, int length, int enterCount);
  void EnterFile(MineTable* table0, int* SP, int length, int enterCount);
};

#endif
