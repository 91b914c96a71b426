// Loading a saved game into a fresh board: a played game saved and loaded plays on exactly like
// the original, and a damaged file never leaves the board with empty or impossible cells. Runs
// in a temporary working directory with real widgets (a display is needed).
#include "board_support.h"
#include "savefile.h"

#include <string>

namespace {

class SaveLoadTest : public BoardTest {
protected:
  SaveFile saveFile;
  MineTimer loadTimer;
  MineTable* loaded = nullptr;

  void TearDown() override {
    delete loaded;
    loadTimer.Stop();
    BoardTest::TearDown();
  }

  std::string Load() {
    loaded = new MineTable(nullptr, &loadTimer, scoreFile);
    testing::internal::CaptureStdout();
    saveFile.LoadState(loaded);
    return testing::internal::GetCapturedStdout();
  }

  // Every slot of the board holds a cell at its own place, and the counters agree with them.
  void ExpectWhole(MineTable* board) {
    int bombs = 0, hits = 0, misses = 0;
    for (int i = 0; i < MineTable::CAPACITY; i++) {
      MineButton* cell = board->board[i];
      if (i >= board->nRow * board->nCol) {
        ASSERT_EQ(cell, nullptr) << i;
        continue;
      }
      ASSERT_NE(cell, nullptr) << i;
      EXPECT_EQ(cell->col * board->nRow + cell->row, i);
      bombs += cell->bomb;
      hits += cell->state == 2 && cell->bomb;
      misses += cell->state == 2 && !cell->bomb;
    }
    EXPECT_EQ(board->nBomb, bombs);
    EXPECT_EQ(board->BombCount, hits);
    EXPECT_EQ(board->MissCount, misses);
  }

  void ExpectSameGame() {
    EXPECT_EQ(loaded->nRow, table->nRow);
    EXPECT_EQ(loaded->nCol, table->nCol);
    EXPECT_EQ(loaded->pBomb, table->pBomb);
    EXPECT_EQ(loaded->nSize, table->nSize);
    EXPECT_EQ(loaded->mode, table->mode);
    EXPECT_EQ(loaded->nBomb, table->nBomb);
    EXPECT_EQ(loaded->BombCount, table->BombCount);
    EXPECT_EQ(loaded->MissCount, table->MissCount);
    EXPECT_EQ(loaded->startFlag, table->startFlag);
    for (int i = 0; i < Cells(); i++) {
      MineButton* a = table->board[i];
      MineButton* b = loaded->board[i];
      ASSERT_NE(b, nullptr) << i;
      EXPECT_EQ(b->row, a->row);
      EXPECT_EQ(b->col, a->col);
      EXPECT_EQ(b->state, a->state) << i;
      EXPECT_EQ(b->bomb, a->bomb) << i;
      EXPECT_EQ(b->num, a->num) << i;
      EXPECT_EQ(b->get_active(), a->get_active()) << i;
      EXPECT_EQ(b->is_sensitive(), a->is_sensitive()) << i;
      Glib::RefPtr<Gdk::Pixbuf> shown = b->image->get_pixbuf();
      EXPECT_EQ(shown->get_width(), loaded->nSize);
      if (a->state == 0)
        EXPECT_EQ(shown, loaded->image->TnumPix[a->num]) << i;
      else
        EXPECT_EQ(shown, loaded->image->TmarkPix[a->state]) << i;
    }
  }

  int Find(MineTable* board, int state, int bomb, int skip = 0) {
    for (int i = 0; i < Cells(); i++)
      if (board->board[i]->state == state && board->board[i]->bomb == bomb && skip-- == 0)
        return i;
    return -1;
  }
};

} // namespace

TEST_F(SaveLoadTest, APlayedGamePlaysOnExactlyAsSaved) {
  table->ReCreate(12, 9, 25, 16);
  testing::internal::CaptureStdout();
  Release(table, 0, 1);
  int bomb = Find(table, 1, 1);
  int otherBomb = Find(table, 1, 1, 1);
  ASSERT_GE(otherBomb, 0);
  Press(table, bomb, 3);
  Press(table, otherBomb, 3);
  Press(table, Find(table, 1, 0), 3);
  timer.nSec = 987;
  saveFile.SaveState(table);
  ASSERT_EQ(saveFile.FindState(), 0);
  testing::internal::GetCapturedStdout();

  std::string trace = Load();
  EXPECT_EQ(trace, "LOAD STATE\nOPEN MINE_SAVE.data\nMATCH INODE\nMATCH ATIME\nMATCH CTIME\n"
                   "MATCH MTIME\nOK FILE ELEMENT\n");
  EXPECT_FALSE(FileExists("MINE_SAVE.data"));
  EXPECT_EQ(loadTimer.nSec, 987);
  EXPECT_EQ(loadTimer.timeFlag, 1);
  ExpectSameGame();

  // The same moves on both boards: unmark a bomb, mark another, open a safe cell.
  testing::internal::CaptureStdout();
  int safe = Find(table, 1, 0);
  int covered = Find(table, 1, 1);
  for (MineTable* board : {table, loaded}) {
    Press(board, bomb, 3);
    Press(board, covered, 3);
    Release(board, safe, 1);
  }
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(table->board[safe]->state, 0);
  ExpectSameGame();
}

TEST_F(SaveLoadTest, AFileBeyondTheLimitsIsNeverAppliedAndTheBoardStaysWhole) {
  WriteText("MINE_SAVE.data", "STATE<\n1\t10000\t10\t0\t24\t0\t0\t5\t4\n>\nBOARD<\n"
                              "0\t0\t2\t1\t1\n0\t1\t1\t0\t1\n>\nFILE<\n>\n");
  std::string trace = Load();
  EXPECT_NE(trace.find("WRONG STATUS\nWRONG BOARD PLACE\nFILL BOARD 99\n"), std::string::npos);
  EXPECT_EQ(loaded->nRow, 10);
  EXPECT_EQ(loaded->nCol, 10);
  EXPECT_EQ(loadTimer.nSec, 0);
  EXPECT_EQ(loaded->board[0]->state, 2);
  ExpectWhole(loaded);
  EXPECT_EQ(loaded->startFlag, 1);
  EXPECT_FALSE(FileExists("MINE_SAVE.data"));
}

TEST_F(SaveLoadTest, ImpossibleOrMissingCellsAreReplacedByCoveredOnes) {
  WriteText("MINE_SAVE.data", "STATE<\n2\t2\t10\t2\t8\t1\t0\t5\t4\n>\nBOARD<\n"
                              "0\t0\t2\t1\t1\n1\t0\t0\t0\t12\n0\t1\t7\t1\t1\n>\n");
  std::string trace = Load();
  EXPECT_NE(trace.find("WRONG BOARD VALUE\nWRONG BOARD VALUE\nFILL BOARD 3\n"), std::string::npos);
  ExpectWhole(loaded);
  EXPECT_EQ(loaded->nBomb, 1);
  for (int i = 1; i < 4; i++) {
    EXPECT_EQ(loaded->board[i]->state, 1);
    EXPECT_EQ(loaded->board[i]->image->get_pixbuf(), loaded->image->TmarkPix[1]);
  }

  delete loaded;
  loadTimer.Stop();
  trace = Load();
  EXPECT_EQ(trace.find("LOAD STATE\nNO MINE_SAVE.data\nFILL BOARD 100\n"), 0u);
  ExpectWhole(loaded);
  EXPECT_EQ(loadTimer.timeFlag, 1);
}
