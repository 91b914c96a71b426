// The saved game: its bytes and stamp, the check's results and traces, and loading into a fresh
// board. Needs a display; runs in a temporary working directory. Files are stamped as the fuzz
// replay stamps them (replay::WriteSave), so that their contents alone decide.
#include "support.h"

#include <fcntl.h>

namespace {

const char saveName[] = "MINE_SAVE.data";
// A sound 2 x 2 game: one bomb, marked; one safe cell open.
const std::string smallGame = "STATE<\n2\t2\t10\t1\t8\t1\t0\t55\t4\n>\nBOARD<\n"
                              "0\t0\t2\t1\t1\n1\t0\t0\t0\t1\n0\t1\t1\t0\t1\n1\t1\t1\t0\t1\n>\n";
const std::string stamp = "FILE<\n@INO\t1700000000\t123456789\t@BIRTH\n>\n";

std::string Edited(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

class SaveFileTest : public BoardTest {
protected:
  void TearDown() override {
    delete loaded;
    BoardTest::TearDown();
  }
  std::string Save(MineTable* board) {
    return Trace([&] { saveFile.SaveState(board); });
  }
  // The file a board saves, less its stamp.
  std::string Body(MineTable* board) {
    Save(board);
    return ReadText(saveName).substr(0, ReadText(saveName).find("FILE<"));
  }
  int Find(std::string* trace = nullptr) {
    int result = 0;
    std::string text = Trace([&] { result = saveFile.FindState(); });
    if (trace != nullptr)
      *trace = text;
    return result;
  }
  std::string Load() {
    delete loaded;
    loadTimer.Stop();
    loadTimer.nSec = 0;
    loaded = new MineTable(nullptr, &loadTimer, &scores);
    return Trace([this] { saveFile.LoadState(loaded); });
  }

  SaveFile saveFile;
  MineTimer loadTimer;
  MineTable* loaded = nullptr;
};

TEST_F(SaveFileTest, WritesTheGameAndItsStampToTheByte) {
  replay::WriteSave(smallGame + stamp);
  Load();
  EXPECT_EQ(Save(loaded), "WRITE\n55\n2\n");
  struct statx st;
  ASSERT_EQ(statx(AT_FDCWD, saveName, 0, STATX_INO | STATX_MTIME | STATX_BTIME, &st), 0);
  int birth = (st.stx_mask & STATX_BTIME) != 0 ? static_cast<int>(st.stx_btime.tv_sec) : 0;
  EXPECT_EQ(ReadText(saveName),
            smallGame + "FILE<\n" + std::to_string(static_cast<int>(unsigned(st.stx_ino))) + "\t" +
                std::to_string(st.stx_mtime.tv_sec) + "\t" + std::to_string(st.stx_mtime.tv_nsec) +
                "\t" + std::to_string(birth) + "\n>\n");
  EXPECT_NEAR(st.stx_mtime.tv_sec, time(0), 5);
  std::string trace;
  EXPECT_EQ(Find(&trace), 0);
  EXPECT_EQ(trace, "LOAD STATE\nFIND:OPEN MINE_SAVE.data\nMATCH BOMBCOUNT\nMATCH MISSCOUNT\n"
                   "MATCH BOMB\nMODE :4\nMATCH ACT\nMATCH INODE\nMATCH ATIME\nMATCH CTIME\n"
                   "MATCH MTIME\n");
  // Saved again and again, across second boundaries, it always checks sound.
  int failures = 0, rounds = 0;
  for (time_t start = time(0); rounds < 1000 || time(0) <= start; rounds++) {
    loadTimer.nSec = rounds;
    Save(loaded);
    failures += Find() != 0;
  }
  EXPECT_EQ(failures, 0) << "of " << rounds;
}

// A copy with the times kept (2), a plain copy and an edit (3), an inconsistent edit (4), a
// directory in the file's place (1, also when saving), and a game that has no mode (no file).
TEST_F(SaveFileTest, CopiesEditsAndFailedSavesAreRefused) {
  replay::WriteSave(smallGame + stamp);
  Load();
  const std::pair<const char*, int> cases[] = {
      {"cp -p MINE_SAVE.data c && mv c MINE_SAVE.data", 2},
      {"cp MINE_SAVE.data c && mv c MINE_SAVE.data", 3},
      {"cp MINE_SAVE.data c && cp c MINE_SAVE.data", 3},
      {"sed -i 's/^1\t0\t0\t0\t1$/1\t0\t0\t0\t2/' MINE_SAVE.data", 3},
      {"sed -i 's/^1\t0\t0\t0\t1$/1\t0\t0\t1\t1/' MINE_SAVE.data", 4},
      {"rm MINE_SAVE.data && mkdir MINE_SAVE.data", 1}};
  for (const auto& c : cases) {
    Save(loaded);
    ASSERT_EQ(std::system(c.first), 0);
    EXPECT_EQ(Find(), c.second) << c.first;
  }
  EXPECT_EQ(Save(loaded), "WRITE\n55\n2\nCAN'T WRITE MINE_SAVE.data\n");
  std::string trace;
  ASSERT_EQ(rmdir(saveName), 0);
  EXPECT_EQ(Find(&trace), 1);
  EXPECT_EQ(trace, "LOAD STATE\nNO MINE_SAVE.data\n");
  loaded->mode = 0;
  EXPECT_EQ(Save(loaded), "");
  EXPECT_FALSE(FileExists(saveName));
}

// Each file carries a stamp that matches it: its contents alone decide, and the trace says why.
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
    replay::WriteSave(c.first + stamp);
    std::string trace;
    EXPECT_EQ(Find(&trace), c.second == "MATCH MTIME\n" ? 0 : 4) << c.second;
    EXPECT_NE(trace.find(c.second), std::string::npos) << trace;
  }
  for (const char* text : {"", "no sections > here\n", "STATE<\n>\nBOARD<\n>\nFILE<\n1\t2\n>\n"}) {
    WriteText(saveName, text);
    std::string trace;
    EXPECT_EQ(Find(&trace), 4) << text;
    EXPECT_EQ(trace.find("ERROR FILE \n") != std::string::npos, text[0] == 'S') << trace;
  }
}

// Marks on and beside bombs, saved, loaded and played on with the same moves as the original.
TEST_F(SaveFileTest, APlayedGameLoadsAndPlaysOnExactlyAsSaved) {
  auto first = [this](int state, int bomb) {
    for (int i = 0; i < Cells(); i++)
      if (table->board[i]->state == state && table->board[i]->bomb == bomb)
        return i;
    return -1;
  };
  table->ReCreate(12, 9, 25, 16);
  Release(table, 0, 1);
  int bomb = first(1, 1);
  Press(table, bomb, 3);
  Press(table, first(1, 1), 3);
  Press(table, first(1, 0), 3);
  timer.nSec = 987;
  std::string saved = Body(table);
  EXPECT_EQ(Load(), "LOAD STATE\nOPEN MINE_SAVE.data\nMATCH INODE\nMATCH ATIME\nMATCH CTIME\n"
                    "MATCH MTIME\nOK FILE ELEMENT\n");
  EXPECT_FALSE(FileExists(saveName));
  EXPECT_EQ(loadTimer.timeFlag, 1);
  for (int i = 0; i < Cells(); i++)
    EXPECT_EQ(loaded->board[i]->image->get_pixbuf(),
              table->board[i]->state == 0 ? loaded->image->TnumPix[table->board[i]->num]
                                          : loaded->image->TmarkPix[table->board[i]->state]);
  EXPECT_EQ(Body(loaded), saved);
  int covered = first(1, 1), safe = first(1, 0);
  for (MineTable* board : {table, loaded}) {
    Press(board, bomb, 3);
    Press(board, covered, 3);
    Release(board, safe, 1);
  }
  EXPECT_EQ(table->board[safe]->state, 0);
  EXPECT_EQ(replay::CheckCounters(loaded), "");
  EXPECT_EQ(Body(loaded), Body(table));
}

// A damaged file is never applied beyond what the board can hold, and leaves no slot empty.
TEST_F(SaveFileTest, DamagedFilesLoadIntoAWholeBoard) {
  const std::tuple<std::string, std::string, int> cases[] = {
      {"STATE<\n1\t10000\t10\t0\t24\t0\t0\t5\t4\n>\nBOARD<\n0\t0\t2\t1\t1\n0\t1\t1\t0\t1\n>\n"
       "FILE<\n>\n",
       "WRONG STATUS\nWRONG BOARD PLACE\nFILL BOARD 99\n", 10},
      {"STATE<\n2\t2\t10\t2\t8\t1\t0\t5\t4\n>\nBOARD<"
       "\n0\t0\t2\t1\t1\n1\t0\t2\t0\t1\n0\t1\t7\t1\t1\n1\t1\t1\n>\n",
       "WRONG BOARD VALUE\nWRONG BOARD ELEMENTS\nFILL BOARD 2\n", 2},
      {"", "LOAD STATE\nNO MINE_SAVE.data\nFILL BOARD 100\n", 10}};
  for (const auto& [text, trace, nRow] : cases) {
    if (!text.empty())
      WriteText(saveName, text);
    EXPECT_NE(Load().find(trace), std::string::npos) << trace;
    EXPECT_FALSE(FileExists(saveName));
    EXPECT_EQ(std::vector<int>({loaded->nRow, loadTimer.nSec, loaded->board[0]->state}),
              std::vector<int>({nRow, nRow == 2 ? 5 : 0, text.empty() ? 1 : 2}));
    EXPECT_EQ(replay::CheckWhole(loaded) + replay::CheckCounters(loaded), "");
    for (int i = 0; i < loaded->nRow * loaded->nCol; i++)
      EXPECT_EQ(loaded->board[i]->image->get_pixbuf()->get_width(), loaded->nSize) << i;
  }
}

} // namespace
