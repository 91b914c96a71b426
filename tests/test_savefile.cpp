// The saved game: its bytes and stamp, the check's results and traces, and loading into a fresh
// board. Needs a display; runs in a temporary working directory. Files are stamped as the fuzz
// replay stamps them (replay::WriteSave), so that their contents alone decide.
#include "support.h"

#include <csignal>
#include <fcntl.h>
#include <linux/magic.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

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
}

// Puts this process in a mount namespace of its own, where its mounts reach nowhere else and
// vanish with it; false unless it runs as root with the right to mount.
bool PrivateMounts() {
  static int state = -1;
  if (state < 0)
    state = geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
            mount(0, "/", 0, MS_REC | MS_PRIVATE, 0) == 0;
  return state == 1;
}

// A file system of one kind: the working directory as it is (nanosecond times, a birth time,
// lasting inode numbers), or one made in an image and mounted there: ext4 with small inodes (whole
// seconds, no birth time) and FAT through FUSE (two seconds, no birth time, inode numbers made up
// as files are looked up).
struct Disk {
  const char* name;
  const char* make; // null: the working directory itself
  bool fuse;
  int copyKept; // the check's result for a copy that kept the times, put in the file's place
};

const Disk disks[] = {
    {"WorkingDirectory", nullptr, false, 2},
    {"Ext4WholeSecondsNoBirth", "mkfs.ext4 -q -I 128 disk.img >/dev/null 2>&1", false, 2},
    {"FatTwoSecondsMadeUpInodes", "mkfs.fat disk.img >/dev/null", true, 0}};

void PrintTo(const Disk& disk, std::ostream* out) {
  *out << disk.name;
}

class DiskTest : public SaveFileTest, public testing::WithParamInterface<Disk> {
protected:
  void SetUp() override {
    SaveFileTest::SetUp();
    if (GetParam().make == nullptr)
      return;
    if (!PrivateMounts())
      return Unable("mounting an image needs root and the right to mount");
    ASSERT_EQ(std::system("truncate -s 4M disk.img"), 0);
    // The file system makers live in the system directories, which a user's path may lack.
    if (std::system((std::string("PATH=$PATH:/usr/sbin:/sbin ") + GetParam().make).c_str()) != 0)
      return Unable(std::string("could not make the image: ") + GetParam().make);
    ASSERT_EQ(mkdir("disk", 0755), 0);
    if (!Mount())
      return Unable(GetParam().fuse ? "fusefat could not mount the image"
                                    : "mount -o loop could not mount the image");
  }
  // ./check run as root sets VELMINE_MUST_MOUNT: there a disk that cannot be had fails.
  void Unable(const std::string& why) {
    if (std::getenv("VELMINE_MUST_MOUNT") != nullptr)
      FAIL() << why;
    GTEST_SKIP() << why;
  }
  void TearDown() override {
    Unmount();
    SaveFileTest::TearDown();
  }
  bool Mount() {
    if (!GetParam().fuse) {
      mounted = std::system("mount -o loop disk.img disk") == 0;
    } else if ((fuse = fork()) == 0) {
      // Ends with this process, whatever becomes of it.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      dup2(quiet, 2);
      execlp("fusefat", "fusefat", "-f", "-o", "rw+", "disk.img", "disk", (char*)nullptr);
      _exit(127);
    } else {
      struct statfs fs;
      for (int i = 0; i < 500 && !mounted && waitpid(fuse, nullptr, WNOHANG) == 0;
           i++, usleep(10000))
        mounted = statfs("disk", &fs) == 0 && fs.f_type == FUSE_SUPER_MAGIC;
    }
    return mounted && chdir("disk") == 0;
  }
  void Unmount() {
    if (!mounted)
      return;
    EXPECT_EQ(chdir(dir.c_str()), 0);
    EXPECT_EQ(umount2("disk", 0), 0);
    mounted = false;
    if (fuse > 0)
      waitpid(fuse, nullptr, 0);
    fuse = 0;
  }
  unsigned long long Inode() {
    struct stat st;
    return stat(saveName, &st) == 0 ? st.st_ino : 0;
  }

  bool mounted = false;
  pid_t fuse = 0;
};

INSTANTIATE_TEST_SUITE_P(, DiskTest, testing::ValuesIn(disks),
                         [](const testing::TestParamInfo<Disk>& disk) { return disk.param.name; });

// A save verifies, and still does once the file system was mounted anew and other files were
// looked up first, as at the next start; copies and edits are refused where the file system
// can tell them.
TEST_P(DiskTest, SavesResumeAndCopiesAndEditsAreRefused) {
  replay::WriteSave(smallGame + stamp);
  Load();
  Save(loaded);
  ASSERT_EQ(Find(), 0);
  unsigned long long inode = Inode();
  if (mounted) {
    Unmount();
    ASSERT_TRUE(Mount());
    for (const char* name : {"x", "y", "z"})
      WriteText(name, name);
    EXPECT_EQ(Inode() != inode, GetParam().fuse);
  }
  std::string trace;
  EXPECT_EQ(Find(&trace), 0) << trace;

  // FAT through FUSE forgets a time set on a file that it then renames, and its inode numbers
  // count for nothing: there a copy goes into the file's place by name.
  std::string place =
      GetParam().fuse ? " && rm MINE_SAVE.data && cp c MINE_SAVE.data && touch -r c MINE_SAVE.data"
                      : " && mv c MINE_SAVE.data";
  struct Case {
    std::string command;
    const char* before; // or an edit raises the digit behind this by one
    int result;
  } cases[] = {{"rm -f c && cp MINE_SAVE.data c && touch -r MINE_SAVE.data c" + place, "",
                GetParam().copyKept},
               {"rm -f c && cp MINE_SAVE.data c" + place, "", 3},
               {"", "\t1\t0\t", 3},
               {"", "\n1\t0\t0\t", 4}};
  for (const Case& c : cases) {
    // No file is in the way when the game saves. FAT through FUSE loses the clusters of a file
    // it truncates, so there no file is written over.
    std::remove(saveName);
    Save(loaded);
    EXPECT_EQ(Find(), 0);
    if (!c.command.empty()) {
      ASSERT_EQ(std::system(c.command.c_str()), 0);
    } else {
      std::string text = ReadText(saveName);
      text[text.find(c.before) + std::string(c.before).size()]++;
      if (GetParam().fuse)
        std::remove(saveName);
      WriteText(saveName, text);
    }
    EXPECT_EQ(Find(), c.result) << c.command << c.before;
  }
}

// A directory in the file's place (1, also when saving), and a game that has no mode (no file).
TEST_F(SaveFileTest, FailedSavesAreRefused) {
  replay::WriteSave(smallGame + stamp);
  Load();
  ASSERT_EQ(mkdir(saveName, 0755), 0);
  EXPECT_EQ(Find(), 1);
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
