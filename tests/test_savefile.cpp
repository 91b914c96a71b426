// The saved game: its bytes and stamp, the check's results and traces, and loading into a fresh
// board. Real widgets (a display); each test runs in a fresh temporary working directory.
#include "board_support.h"
#include "savefile.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const char saveName[] = "MINE_SAVE.data";
// A sound 2 x 2 game: one bomb, marked; one safe cell open.
const std::string smallGame = "STATE<\n2\t2\t10\t1\t8\t1\t0\t55\t4\n>\nBOARD<\n"
                              "0\t0\t2\t1\t1\n1\t0\t0\t0\t1\n0\t1\t1\t0\t1\n1\t1\t1\t0\t1\n>\n";

std::string Edited(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

class SaveFileTest : public BoardTest {
protected:
  SaveFile saveFile;
  MineTimer loadTimer;
  MineTable* loaded = nullptr;

  void TearDown() override {
    delete loaded;
    loadTimer.Stop();
    BoardTest::TearDown();
  }
  std::string Save(MineTable* board) {
    testing::internal::CaptureStdout();
    saveFile.SaveState(board);
    return testing::internal::GetCapturedStdout();
  }
  // The file a board saves, less its stamp.
  std::string Body(MineTable* board) {
    Save(board);
    return ReadText(saveName).substr(0, ReadText(saveName).find("FILE<"));
  }
  int Find(std::string* trace = nullptr) {
    testing::internal::CaptureStdout();
    int result = saveFile.FindState();
    std::string text = testing::internal::GetCapturedStdout();
    if (trace != nullptr)
      *trace = text;
    return result;
  }
  std::string Load() {
    delete loaded;
    loadTimer.Stop();
    loadTimer.nSec = 0;
    loaded = new MineTable(nullptr, &loadTimer, scoreFile);
    testing::internal::CaptureStdout();
    saveFile.LoadState(loaded);
    return testing::internal::GetCapturedStdout();
  }
  // The stamp of the file as it is now, given its modification time.
  std::string Stamp(long sec, long nsec) {
    struct statx st;
    EXPECT_EQ(statx(AT_FDCWD, saveName, 0, STATX_INO | STATX_BTIME, &st), 0);
    int birth = (st.stx_mask & STATX_BTIME) != 0 ? static_cast<int>(st.stx_btime.tv_sec) : 0;
    return std::to_string(static_cast<int>(static_cast<unsigned>(st.stx_ino))) + "\t" +
           std::to_string(sec) + "\t" + std::to_string(nsec) + "\t" + std::to_string(birth);
  }
  // A crafted file whose stamp matches it, so that only its contents can refuse it.
  void WriteStamped(const std::string& body) {
    WriteText(saveName, body);
    WriteText(saveName, body + "FILE<\n" + Stamp(1700000000, 123456789) + "\n>\n");
    timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, saveName, times, 0), 0);
  }
  // Every slot holds a cell in its own place, drawn at the board's size, and the counters agree.
  void ExpectWhole(MineTable* board) {
    int bombs = 0, hits = 0, misses = 0;
    for (int i = 0; i < MineTable::CAPACITY; i++) {
      MineButton* cell = board->board[i];
      ASSERT_EQ(cell != nullptr, i < board->nRow * board->nCol) << i;
      if (cell == nullptr)
        continue;
      EXPECT_EQ(cell->col * board->nRow + cell->row, i);
      EXPECT_EQ(cell->image->get_pixbuf()->get_width(), board->nSize) << i;
      bombs += cell->bomb;
      hits += cell->state == 2 && cell->bomb;
      misses += cell->state == 2 && !cell->bomb;
    }
    EXPECT_EQ(board->nBomb, bombs);
    EXPECT_EQ(board->BombCount, hits);
    EXPECT_EQ(board->MissCount, misses);
  }
};

} // namespace

TEST_F(SaveFileTest, WritesTheGameAndItsStampToTheByte) {
  WriteStamped(smallGame);
  Load();
  EXPECT_EQ(Save(loaded), "WRITE\n55\n2\n");
  struct statx st;
  ASSERT_EQ(statx(AT_FDCWD, saveName, 0, STATX_MTIME, &st), 0);
  EXPECT_EQ(ReadText(saveName),
            smallGame + "FILE<\n" + Stamp(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec) + "\n>\n");
  EXPECT_NEAR(static_cast<double>(st.stx_mtime.tv_sec), static_cast<double>(time(0)), 5);
  std::string trace;
  EXPECT_EQ(Find(&trace), 0);
  EXPECT_EQ(trace, "LOAD STATE\nFIND:OPEN MINE_SAVE.data\nMATCH BOMBCOUNT\nMATCH MISSCOUNT\n"
                   "MATCH BOMB\nMODE :4\nMATCH ACT\nMATCH INODE\nMATCH ATIME\nMATCH CTIME\n"
                   "MATCH MTIME\n");
}

TEST_F(SaveFileTest, SavingAndCheckingPassesEveryTimeAcrossSecondBoundaries) {
  WriteStamped(smallGame);
  Load();
  time_t start = time(0);
  int failures = 0, rounds = 0;
  for (; rounds < 1000 || time(0) <= start; rounds++) {
    loadTimer.nSec = rounds;
    Save(loaded);
    failures += Find() != 0;
  }
  EXPECT_EQ(failures, 0) << "of " << rounds;
}

TEST_F(SaveFileTest, CopiesAndEditsAreRefused) {
  WriteStamped(smallGame);
  Load();
  struct Case {
    const char* command;
    const char* before; // an edit raises the digit behind this by one
    int result;
  } cases[] = {{"cp -p MINE_SAVE.data c && mv c MINE_SAVE.data", nullptr, 2},
               {"cp MINE_SAVE.data c && mv c MINE_SAVE.data", nullptr, 3},
               {"cp MINE_SAVE.data c && cp c MINE_SAVE.data", nullptr, 3},
               {nullptr, "\t1\t0\t", 3},
               {nullptr, "\n1\t0\t0\t", 4}};
  for (const Case& c : cases) {
    Save(loaded);
    if (c.command != nullptr) {
      ASSERT_EQ(std::system(c.command), 0);
    } else {
      std::string text = ReadText(saveName);
      text[text.find(c.before) + std::string(c.before).size()]++;
      WriteText(saveName, text);
    }
    EXPECT_EQ(Find(), c.result) << (c.command != nullptr ? c.command : c.before);
  }
}

TEST_F(SaveFileTest, NoFileAndFailedOrRefusedSavesAreReported) {
  std::string trace;
  EXPECT_EQ(Find(&trace), 1);
  EXPECT_EQ(trace, "LOAD STATE\nNO MINE_SAVE.data\n");
  WriteStamped(smallGame);
  Load();
  loaded->mode = 0;
  EXPECT_EQ(Save(loaded), "");
  EXPECT_FALSE(FileExists(saveName));
  loaded->mode = 4;
  ASSERT_EQ(mkdir(saveName, 0755), 0);
  EXPECT_EQ(Save(loaded), "WRITE\n55\n2\nCAN'T WRITE MINE_SAVE.data\n");
  EXPECT_EQ(Find(), 1);
}

// Each file but the last few carries a stamp that matches it: its contents alone decide.
TEST_F(SaveFileTest, ReadingJudgesCraftedFilesByTheirContents) {
  std::string crlf, largest = "STATE<\n100\t100\t10\t0\t4\t0\t0\t0\t4\n>\nBOARD<\n";
  for (char c : smallGame)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  for (int i = 0; i < 10000; i++)
    largest += std::to_string(i % 100) + "\t" + std::to_string(i / 100) + "\t1\t0\t0\n";
  std::string huge = Edited(smallGame, "1\t0\t0\t0\t1", std::string(300, '7') + "1\t0\t0\t0\t1");
  huge = Edited(huge, "0\t1\t1\t0\t1", "0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t1\t1\t0\t1");
  huge += std::string(3 << 20, '\t') + "\n" + std::string("\0\xff\x01\n\t", 5);
  std::vector<std::pair<std::string, std::string>> cases = {
      {crlf, "MATCH MTIME\n"},
      {Edited(Edited(smallGame, "STATE<", "stuff<x\t1\t2"), "BOARD<", "<"), "MATCH MTIME\n"},
      {largest + ">\n", "MATCH MTIME\n"},
      {smallGame + "MORE<\n1\n>\n", "FEW ACT\n"},
      {Edited(smallGame, "\t55\t4\n", "\t55\n"), "ERROR STATUS\n"},
      {Edited(smallGame, "1\t0\t0\t0\t1\n", "1\t0\t0\t0\n"), "ERROR BOARD 1\n"},
      {Edited(smallGame, "2\t2\t10\t1\t8\t1\t0", "2\t2\t10\t2\t8\t0\t1"),
       "WRONG BOMBCOUNT :0!=1\nWRONG MISSCOUNT :1!=0\nWRONG BOMB :2!=1\n"},
      {Edited(smallGame, "\t55\t4", "\t55\t5"), "UNKNOWN MODE\n"},
      {Edited(smallGame, "0\t0\t2\t1\t1\n1\t0\t0\t0\t1", "1\t0\t0\t0\t1\n0\t0\t2\t1\t1"),
       "ERROR BOARD PLACE 0\nERROR BOARD PLACE 1\n"},
      {huge, "ERROR BOARD 1\nERROR BOARD 2\n"},
      {largest.substr(0, largest.rfind("99\t99")) + ">\n", "10000!=100x100\n"},
      {Edited(smallGame, "\t0\t55\t4", "\t0\t-1\t4"), "ERROR STATUS VALUE\n"}};
  for (const char* cell : {"3\t0\t1", "-1\t0\t1", "1\t2\t1", "0\t0\t9", "1\t0\t-1"})
    cases.push_back({Edited(smallGame, "\n1\t0\t0\t0\t1", std::string("\n1\t0\t") + cell),
                     "ERROR BOARD VALUE 1\n"});
  for (const char* size : {"1\t10\t10\t1\t8", "10\t1\t10\t1\t8", "101\t100\t10\t1\t8",
                           "100\t101\t10\t1\t8", "2\t2\t10\t1\t3", "2\t2\t10\t1\t101",
                           "65536\t65536\t10\t1\t8", "99999999999\t-99999999999\t10\t1\t8"})
    cases.push_back({Edited(smallGame, "2\t2\t10\t1\t8", size), "ERROR STATUS VALUE\n"});
  for (const auto& c : cases) {
    WriteStamped(c.first);
    std::string trace;
    EXPECT_EQ(Find(&trace), c.second == "MATCH MTIME\n" ? 0 : 4) << c.second;
    EXPECT_NE(trace.find(c.second), std::string::npos) << trace;
  }
  for (const char* text : {"", "no sections > here\n", "STATE<\n>\nBOARD<\n>\nFILE<\n1\t2\n>\n"}) {
    WriteText(saveName, text);
    EXPECT_EQ(Find(), 4) << text;
  }
}

TEST_F(SaveFileTest, APlayedGameLoadsAndPlaysOnExactlyAsSaved) {
  auto first = [this](int state, int bomb) {
    for (int i = 0; i < Cells(); i++)
      if (table->board[i]->state == state && table->board[i]->bomb == bomb)
        return i;
    return -1;
  };
  table->ReCreate(12, 9, 25, 16);
  testing::internal::CaptureStdout();
  Release(table, 0, 1);
  int bomb = first(1, 1);
  Press(table, bomb, 3);
  Press(table, first(1, 1), 3);
  Press(table, first(1, 0), 3);
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(table->BombCount, 2);
  timer.nSec = 987;
  std::string saved = Body(table);
  EXPECT_EQ(Load(), "LOAD STATE\nOPEN MINE_SAVE.data\nMATCH INODE\nMATCH ATIME\nMATCH CTIME\n"
                    "MATCH MTIME\nOK FILE ELEMENT\n");
  EXPECT_EQ(loadTimer.timeFlag, 1);
  for (int i = 0; i < Cells(); i++)
    EXPECT_EQ(loaded->board[i]->image->get_pixbuf(),
              table->board[i]->state == 0 ? loaded->image->TnumPix[table->board[i]->num]
                                          : loaded->image->TmarkPix[table->board[i]->state]);
  EXPECT_EQ(Body(loaded), saved);

  // The same moves on both: unmark a bomb, mark a covered one, open a safe cell.
  int covered = first(1, 1), safe = first(1, 0);
  testing::internal::CaptureStdout();
  for (MineTable* board : {table, loaded}) {
    Press(board, bomb, 3);
    Press(board, covered, 3);
    Release(board, safe, 1);
  }
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(table->board[safe]->state, 0);
  ExpectWhole(loaded);
  EXPECT_EQ(Body(loaded), Body(table));
}

// A damaged file is never applied beyond what the board can hold, and leaves no slot empty.
TEST_F(SaveFileTest, DamagedFilesLoadIntoAWholeBoard) {
  struct Case {
    std::string text, trace;
    int nRow;
  } cases[] = {{"STATE<\n1\t10000\t10\t0\t24\t0\t0\t5\t4\n>\nBOARD<\n0\t0\t2\t1\t1\n"
                "0\t1\t1\t0\t1\n>\nFILE<\n>\n",
                "WRONG STATUS\nWRONG BOARD PLACE\nFILL BOARD 99\n", 10},
               {"STATE<\n2\t2\t10\t2\t8\t1\t0\t5\t4\n>\nBOARD<\n0\t0\t2\t1\t1\n1\t0\t2\t0\t1\n"
                "0\t1\t7\t1\t1\n>\n",
                "WRONG BOARD VALUE\nFILL BOARD 2\n", 2},
               {"", "LOAD STATE\nNO MINE_SAVE.data\nFILL BOARD 100\n", 10}};
  for (const Case& c : cases) {
    if (!c.text.empty())
      WriteText(saveName, c.text);
    EXPECT_NE(Load().find(c.trace), std::string::npos) << c.trace;
    EXPECT_FALSE(FileExists(saveName));
    EXPECT_EQ(loaded->nRow, c.nRow);
    EXPECT_EQ(loadTimer.nSec, c.nRow == 2 ? 5 : 0);
    EXPECT_EQ(loaded->board[0]->state, c.text.empty() ? 1 : 2);
    ExpectWhole(loaded);
  }
}
