// The saved game's writing and checking: the file format, the stamp (a save passes its check
// at once, every time; copies and edits are refused), each refusal of the check with its
// traces, and damaged or hostile files. Each test runs in a fresh temporary working directory;
// the board and its cells are real widgets, so a display is needed.
#include "minebutton.h"
#include "savefile.h"
#include "support.h"
#include "table.h"
#include "timer.h"

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const char saveName[] = "MINE_SAVE.data";

void Replace(std::string* text, const std::string& from, const std::string& to) {
  std::string::size_type at = text->find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text->replace(at, from.size(), to);
}

class SaveFileTest : public TempDirTest {
protected:
  MineTimer timer;
  MineTable* table = 0;
  SaveFile saveFile;

  void SetUp() override {
    TempDirTest::SetUp();
    table = new MineTable(0, &timer, 0);
  }

  void TearDown() override {
    ClearCells();
    delete table;
    TempDirTest::TearDown();
  }

  void ClearCells() {
    for (int i = 0; i < MineTable::CAPACITY; i++) {
      delete table->board[i];
      table->board[i] = 0;
    }
  }

  // A game in progress: bombs, marks on bombs and on safe cells, opened cells with their
  // counts, and the counters that go with them.
  void MakeGame(int nRow, int nCol, int mode = 4) {
    ClearCells();
    table->nRow = nRow;
    table->nCol = nCol;
    table->nSize = 12;
    table->pBomb = 15;
    table->mode = mode;
    table->nBomb = table->BombCount = table->MissCount = 0;
    timer.nSec = 4321;
    std::vector<int> bombs(nRow * nCol);
    for (int i = 0; i < nRow * nCol; i++)
      bombs[i] = i % 7 == 3;
    for (int i = 0; i < nRow * nCol; i++) {
      int row = i % nRow;
      int col = i / nRow;
      int num = 0;
      for (int c = col - 1; c <= col + 1; c++)
        for (int r = row - 1; r <= row + 1; r++)
          if (r >= 0 && r < nRow && c >= 0 && c < nCol)
            num += bombs[c * nRow + r];
      int state = i % 5 == 0 ? 2 : (i % 3 == 1 && !bombs[i] ? 0 : 1);
      table->board[i] = new MineButton(row, col, bombs[i], state, num);
      table->nBomb += bombs[i];
      table->BombCount += state == 2 && bombs[i];
      table->MissCount += state == 2 && !bombs[i];
    }
  }

  std::string Save() {
    testing::internal::CaptureStdout();
    saveFile.SaveState(table);
    return testing::internal::GetCapturedStdout();
  }

  int Find(std::string* trace = 0) {
    testing::internal::CaptureStdout();
    int result = saveFile.FindState();
    std::string text = testing::internal::GetCapturedStdout();
    if (trace != 0)
      *trace = text;
    return result;
  }

  // Writes a crafted file with a stamp that matches it: inode and birth time of the file, and
  // a modification time set to the instant in the stamp.
  void WriteStamped(const std::string& body, const std::string& tail = "") {
    WriteText(saveName, body);
    struct statx st;
    ASSERT_EQ(statx(AT_FDCWD, saveName, 0, STATX_INO | STATX_BTIME, &st), 0);
    int birth = (st.stx_mask & STATX_BTIME) != 0 ? static_cast<int>(st.stx_btime.tv_sec) : 0;
    timespec instant = {1700000000, 123456789};
    WriteText(saveName, body + "FILE<\n" +
                            std::to_string(static_cast<int>(static_cast<unsigned>(st.stx_ino))) +
                            "\t1700000000\t123456789\t" + std::to_string(birth) + "\n>\n" + tail);
    timespec times[2] = {{0, UTIME_OMIT}, instant};
    ASSERT_EQ(utimensat(AT_FDCWD, saveName, times, 0), 0);
  }
};

// The state and board sections of a sound 2 x 2 game: one bomb, marked; one safe cell open.
const std::string smallGame = "STATE<\n2\t2\t10\t1\t8\t1\t0\t55\t4\n>\nBOARD<\n"
                              "0\t0\t2\t1\t1\n1\t0\t0\t0\t1\n0\t1\t1\t0\t1\n1\t1\t1\t0\t1\n>\n";

std::string Edited(const std::string& from, const std::string& to) {
  std::string text = smallGame;
  Replace(&text, from, to);
  return text;
}

} // namespace

TEST_F(SaveFileTest, WritesTheFileToTheByte) {
  MakeGame(3, 2);
  table->board[0]->state = 1;
  table->BombCount = 0;
  table->MissCount = 1;
  EXPECT_EQ(Save(), "WRITE\n4321\n1\n");
  std::string text = ReadText(saveName);
  std::string head = "STATE<\n3\t2\t15\t1\t12\t0\t1\t4321\t4\n>\nBOARD<\n"
                     "0\t0\t1\t0\t1\n1\t0\t0\t0\t1\n2\t0\t1\t0\t0\n"
                     "0\t1\t1\t1\t1\n1\t1\t0\t0\t1\n2\t1\t2\t0\t0\n>\nFILE<\n";
  ASSERT_EQ(text.substr(0, head.size()), head);
  // The stamp: inode, the modification time in seconds and nanoseconds, the birth time.
  struct statx st;
  ASSERT_EQ(statx(AT_FDCWD, saveName, 0, STATX_INO | STATX_MTIME | STATX_BTIME, &st), 0);
  int birth = (st.stx_mask & STATX_BTIME) != 0 ? static_cast<int>(st.stx_btime.tv_sec) : 0;
  EXPECT_EQ(text.substr(head.size()),
            std::to_string(static_cast<int>(static_cast<unsigned>(st.stx_ino))) + "\t" +
                std::to_string(st.stx_mtime.tv_sec) + "\t" + std::to_string(st.stx_mtime.tv_nsec) +
                "\t" + std::to_string(birth) + "\n>\n");
  EXPECT_NEAR(static_cast<double>(st.stx_mtime.tv_sec), static_cast<double>(time(0)), 5);
}

TEST_F(SaveFileTest, AGameWithoutModeIsNeverWritten) {
  MakeGame(3, 3, 0);
  EXPECT_EQ(Save(), "");
  EXPECT_FALSE(FileExists(saveName));
  WriteText(saveName, "older");
  Save();
  EXPECT_EQ(ReadText(saveName), "older");
}

TEST_F(SaveFileTest, ASaveChecksSoundWithEveryTrace) {
  MakeGame(10, 10, 1);
  Save();
  std::string trace;
  EXPECT_EQ(Find(&trace), 0);
  EXPECT_EQ(trace, "LOAD STATE\nFIND:OPEN MINE_SAVE.data\nMATCH BOMBCOUNT\nMATCH MISSCOUNT\n"
                   "MATCH BOMB\nMODE :1\nMATCH ACT\nMATCH INODE\nMATCH ATIME\nMATCH CTIME\n"
                   "MATCH MTIME\n");
  EXPECT_TRUE(FileExists(saveName));
  EXPECT_EQ(Find(), 0);
}

TEST_F(SaveFileTest, SavingAndCheckingPassesEveryTimeAcrossSecondBoundaries) {
  MakeGame(16, 12);
  time_t start = time(0);
  int failures = 0;
  int rounds = 0;
  while (rounds < 1000 || time(0) <= start) {
    timer.nSec = rounds;
    Save();
    if (Find() != 0)
      failures++;
    rounds++;
  }
  EXPECT_EQ(failures, 0) << "of " << rounds;
  EXPECT_GT(time(0), start);
}

// A copy that keeps its times, put in the file's place, can't copy; a plain copy, beside it or
// over it, can't change.
TEST_F(SaveFileTest, CopiesAreRefused) {
  MakeGame(8, 8);
  Save();
  ASSERT_EQ(std::system("cp -p MINE_SAVE.data copy && mv copy MINE_SAVE.data"), 0);
  std::string trace;
  EXPECT_EQ(Find(&trace), 2);
  EXPECT_NE(trace.find("INODE : "), std::string::npos);
  EXPECT_NE(trace.find("MATCH MTIME\n"), std::string::npos);
  Save();
  ASSERT_EQ(std::system("cp MINE_SAVE.data copy && mv copy MINE_SAVE.data"), 0);
  EXPECT_EQ(Find(), 3);
  Save();
  ASSERT_EQ(std::system("cp MINE_SAVE.data copy && cp copy MINE_SAVE.data"), 0);
  EXPECT_EQ(Find(&trace), 3);
  EXPECT_NE(trace.find("MATCH INODE\n"), std::string::npos);
  EXPECT_NE(trace.find("MTIME : "), std::string::npos);
}

TEST_F(SaveFileTest, AnEditWithinTheSameSecondIsRefused) {
  MakeGame(8, 8);
  Save();
  std::string text = ReadText(saveName);
  std::string::size_type at = text.find("4321");
  text[at] = '5';
  WriteText(saveName, text);
  EXPECT_EQ(Find(), 3);

  Save();
  text = ReadText(saveName);
  // The first cell is marked and has no bomb; a bomb there breaks the counts.
  ASSERT_EQ(text.substr(text.find("BOARD<\n") + 7, 10), "0\t0\t2\t0\t0\n");
  text[text.find("BOARD<\n") + 13] = '1';
  WriteText(saveName, text);
  std::string trace;
  EXPECT_EQ(Find(&trace), 4);
  EXPECT_NE(trace.find("WRONG BOMB :"), std::string::npos);
}

TEST_F(SaveFileTest, NoFileIsResultOneAndASaveThatFailsIsReported) {
  std::string trace;
  EXPECT_EQ(Find(&trace), 1);
  EXPECT_EQ(trace, "LOAD STATE\nNO MINE_SAVE.data\n");
  testing::internal::CaptureStdout();
  EXPECT_EQ(saveFile.ElementCheck(0, 1, 2, 3, 4), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "CAN'T GET MINE_SAVE.data\n");
  ASSERT_EQ(mkdir(saveName, 0755), 0);
  MakeGame(8, 8);
  EXPECT_EQ(Save(), "WRITE\n4321\n2\nCAN'T WRITE MINE_SAVE.data\n");
  EXPECT_EQ(Find(), 1);
}

TEST_F(SaveFileTest, ACraftedSoundFileReadsTheSameWithCrlfAndOtherHeaders) {
  WriteStamped(smallGame);
  EXPECT_EQ(Find(), 0);

  std::string crlf;
  for (char c : smallGame)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  WriteStamped(crlf);
  EXPECT_EQ(Find(), 0);

  std::string renamed = smallGame;
  renamed.replace(0, 6, "stuff here<ignored\t1\t2");
  Replace(&renamed, "BOARD<", "<");
  WriteStamped(renamed);
  EXPECT_EQ(Find(), 0);
}

TEST_F(SaveFileTest, EmptyFilesHaveNoModeAndTooFewSections) {
  WriteText(saveName, "");
  std::string trace;
  EXPECT_EQ(Find(&trace), 4);
  EXPECT_EQ(trace, "LOAD STATE\nFIND:OPEN MINE_SAVE.data\nMATCH BOMBCOUNT\nMATCH MISSCOUNT\n"
                   "MATCH BOMB\nUNKNOWN MODE\nFEW ACT\n");
  WriteText(saveName, "no sections at all > here\n");
  EXPECT_EQ(Find(&trace), 4);
  EXPECT_NE(trace.find("ERROR string > \n"), std::string::npos);
}

// Each file is sound but for one fault, and carries a stamp that matches it, so the fault
// alone must refuse it.
TEST_F(SaveFileTest, EachFaultIsTracedAndRefused) {
  std::string oversized = Edited("1\t0\t0\t0\t1", std::string(300, '7') + "1\t0\t0\t0\t1");
  oversized.insert(oversized.find("0\t1\t1\t0\t1"), "0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t");
  oversized += std::string(3 * 1024 * 1024, '\t') + "\n" + std::string("\0\xff\x01\n\t", 5);
  std::string largest = "STATE<\n100\t100\t10\t0\t4\t0\t0\t0\t4\n>\nBOARD<\n";
  for (int i = 0; i < 10000; i++)
    largest += std::to_string(i % 100) + "\t" + std::to_string(i / 100) + "\t1\t0\t0\n";
  struct Case {
    std::string text;
    std::string trace;
  };
  std::vector<Case> cases = {
      {Edited("\t55\t4\n", "\t55\n"), "ERROR STATUS\n"},
      {Edited("1\t0\t0\t0\t1\n", "1\t0\t0\t0\n"), "ERROR BOARD 1\n"},
      {Edited("2\t2\t10\t1\t8\t1\t0", "2\t2\t10\t2\t8\t0\t1"),
       "WRONG BOMBCOUNT :0!=1\nWRONG MISSCOUNT :1!=0\nWRONG BOMB :2!=1\n"},
      {Edited("\t55\t4", "\t55\t5"), "UNKNOWN MODE\n"},
      {Edited("0\t0\t2\t1\t1\n1\t0\t0\t0\t1", "1\t0\t0\t0\t1\n0\t0\t2\t1\t1"),
       "ERROR BOARD PLACE 0\nERROR BOARD PLACE 1\n"},
      {Edited("1\t0\t0\t0\t1", "1\t0\t3\t0\t1"), "ERROR BOARD VALUE 1\n"},
      {Edited("1\t0\t0\t0\t1", "1\t0\t-1\t0\t1"), "ERROR BOARD VALUE 1\n"},
      {Edited("1\t0\t0\t0\t1", "1\t0\t1\t2\t1"), "ERROR BOARD VALUE 1\n"},
      {Edited("1\t0\t0\t0\t1", "1\t0\t0\t0\t9"), "ERROR BOARD VALUE 1\n"},
      {Edited("1\t0\t0\t0\t1", "1\t0\t1\t0\t-1"), "ERROR BOARD VALUE 1\n"},
      {oversized, "ERROR BOARD 1\nERROR BOARD 2\n"},
      {largest.substr(0, largest.rfind("99\t99")) + ">\n", "10000!=100x100\n"},
  };
  const char* limits[] = {"1\t10\t10\t0\t8",       "10\t1\t10\t0\t8",
                          "101\t100\t10\t0\t8",    "100\t101\t10\t0\t8",
                          "10\t10\t10\t0\t3",      "10\t10\t10\t0\t101",
                          "65536\t65536\t1\t0\t8", "99999999999\t-99999999999\t1\t0\t8"};
  for (const char* limit : limits)
    cases.push_back(
        {std::string("STATE<\n") + limit + "\t0\t0\t0\t4\n>\nBOARD<\n>\n", "ERROR STATUS VALUE\n"});
  cases.push_back({Edited("\t0\t55\t4", "\t0\t-1\t4"), "ERROR STATUS VALUE\n"});
  for (const Case& c : cases) {
    WriteStamped(c.text);
    std::string trace;
    EXPECT_EQ(Find(&trace), 4) << c.trace;
    EXPECT_NE(trace.find(c.trace), std::string::npos) << trace;
  }
  WriteText(saveName, smallGame + "FILE<\n1\t2\t3\n>\n");
  std::string trace;
  EXPECT_EQ(Find(&trace), 4);
  EXPECT_NE(trace.find("ERROR FILE \n"), std::string::npos);
  EXPECT_EQ(trace.find("INODE"), std::string::npos);
  WriteStamped(largest + ">\n");
  EXPECT_EQ(Find(), 0);
}

TEST_F(SaveFileTest, AFourthSectionRefusesOnlyWhenClosed) {
  std::string trace;
  WriteStamped(smallGame, "MORE<\n1\t2\n3\n");
  EXPECT_EQ(Find(&trace), 0);
  EXPECT_NE(trace.find("FIND:OPEN MINE_SAVE.data\nFEW COUNT\nFEW COUNT\nMATCH BOMBCOUNT\n"),
            std::string::npos);
  WriteStamped(smallGame, "MORE<\n1\n>\n");
  EXPECT_EQ(Find(&trace), 4);
  EXPECT_NE(trace.find("FEW ACT\n"), std::string::npos);
}
