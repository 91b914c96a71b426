// Faults of the disk under the two data files: the working directory read-only, or full, when a
// win is recorded and when a game is saved. Nothing MINE_SCORE.data holds is ever lost or
// altered, and a save that fails says "SAVE FALSED" and leaves the game playable. Run as root
// with the right to mount, the faults are real: a small tmpfs mounted over the working directory
// in a mount namespace of this process alone, then remounted read-only or filled up. Otherwise
// permissions make the directory read-only (they do not stop root, so that case is skipped for a
// root that may not mount), a file size limit keeps the score file from growing, and the saved
// game is a link to /dev/full. Needs a display (the board is made of widgets).
#include "board_support.h"

#include "savedialog.h"
#include "savefile.h"
#include "scoredialog.h"

#include <gtk/gtk.h>
#include <gtkmm/window.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char scoreName[] = "MINE_SCORE.data";
const char saveName[] = "MINE_SAVE.data";
// A tmpfs counts its room in pages; a file whose size is a multiple of one has no room left in
// its last page.
const int page = 4096;

// A mount namespace for this process alone: its mounts reach nowhere else and vanish with it.
bool PrivateMounts() {
  static int state = -1;
  if (state < 0)
    state = geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
            mount(0, "/", 0, MS_REC | MS_PRIVATE, 0) == 0;
  return state == 1;
}

// A save that wrongly passed its check would end the process with status 0, which the test
// runner would count as a pass.
bool saving = false;

void ExitWhileSaving() {
  if (saving) {
    std::fputs("a save on a faulty disk ended the program as if it had succeeded\n", stderr);
    std::_Exit(1);
  }
}

// The trace lines, kept in memory: a file size limit binds every file the process writes.
class Trace {
public:
  Trace() : old(std::cout.rdbuf(text.rdbuf())) {}
  ~Trace() {
    std::cout.rdbuf(old);
  }
  std::string Text() const {
    return text.str();
  }

private:
  std::ostringstream text;
  std::streambuf* old;
};

std::string ScoreLine(int i, const std::string& name) {
  int check = 10 * 10 + 10 + 100 + i;
  for (char c : name)
    check += c;
  return std::to_string(500 - i) + "\t10\t10\t10\t" + std::to_string(100 + i) + "\t1\t" +
         std::to_string(1700000000 + i) + "\t" + std::to_string(check) + "\t" + name + "\n";
}

// Valid records of exactly `bytes` bytes; the last name is as long as it needs to be.
std::string ScoreText(int bytes, int* records) {
  std::string text;
  int i = 0;
  for (; bytes - static_cast<int>(text.size()) > 250; i++)
    text += ScoreLine(i, "player" + std::string(1, static_cast<char>('a' + i % 26)));
  // The check value's digits grow with the name, so the name is sized by trying.
  std::string name;
  while (text.size() + ScoreLine(i, name + 'z').size() <= static_cast<size_t>(bytes))
    name += 'z';
  text += ScoreLine(i++, name);
  *records = i;
  EXPECT_EQ(text.size(), static_cast<size_t>(bytes));
  return text;
}

int SaveDialogs() {
  int count = 0;
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    count += dynamic_cast<SaveDialog*>(window) != 0;
  return count;
}

class FaultTest : public BoardTest {
protected:
  void SetUp() override {
    BoardTest::SetUp();
    static bool guarded = false;
    if (!guarded)
      guarded = std::atexit(ExitWhileSaving) == 0;
    if (PrivateMounts()) {
      ASSERT_EQ(mount("velmine-test", dir.c_str(), "tmpfs", 0, "size=256k"), 0);
      mounted = true;
      ASSERT_EQ(chdir(dir.c_str()), 0);
    }
  }

  void TearDown() override {
    saving = false;
    Heal();
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
      delete dynamic_cast<ScoreDialog*>(window);
    testing::internal::CaptureStdout();
    scoreFile->ALLDeleteList();
    testing::internal::GetCapturedStdout();
    if (mounted) {
      EXPECT_EQ(chdir("/"), 0);
      EXPECT_EQ(umount2(dir.c_str(), MNT_DETACH), 0);
    }
    BoardTest::TearDown();
  }

  // Makes the working directory and what it holds read-only; false where this process cannot.
  bool ReadOnly() {
    if (mounted) {
      readOnly = mount(0, dir.c_str(), 0, MS_REMOUNT | MS_RDONLY, 0) == 0;
    } else if (geteuid() != 0) {
      chmod(scoreName, 0444);
      readOnly = chmod(dir.c_str(), 0555) == 0;
    }
    return readOnly;
  }

  // Leaves no room for any byte beyond the last page of the score file: the tmpfs is filled up,
  // or else the file size limit stops there and the saved game goes to /dev/full.
  void Full() {
    if (mounted) {
      int fd = open("filler", O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ASSERT_GE(fd, 0);
      std::vector<char> block(page);
      while (write(fd, block.data(), page) == page)
        continue;
      while (write(fd, block.data(), 1) == 1)
        continue;
      close(fd);
    } else {
      struct stat st;
      off_t size = stat(scoreName, &st) == 0 ? st.st_size : 0;
      ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
      struct rlimit tight = oldLimit;
      tight.rlim_cur = (size + page - 1) / page * page;
      std::signal(SIGXFSZ, SIG_IGN);
      ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
      ASSERT_EQ(symlink("/dev/full", saveName), 0);
    }
    full = true;
  }

  // Undoes the fault, as a player would by freeing some room.
  void Heal() {
    if (readOnly) {
      if (mounted) {
        EXPECT_EQ(mount(0, dir.c_str(), 0, MS_REMOUNT, 0), 0);
      } else {
        EXPECT_EQ(chmod(dir.c_str(), 0755), 0);
        chmod(scoreName, 0644);
      }
      readOnly = false;
    }
    if (full) {
      if (mounted) {
        EXPECT_EQ(std::remove("filler"), 0);
      } else {
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &oldLimit), 0);
        std::signal(SIGXFSZ, SIG_DFL);
        EXPECT_EQ(std::remove(saveName), 0);
      }
      full = false;
    }
  }

  // A won game: the bombs are marked through the cells' own signals, and the name dialog the
  // win opens records it under `name`. Returns the trace.
  std::string Win(const std::string& name) {
    table->ReCreate(10, 10, 10, 24);
    Plant({3, 27, 58, 99});
    Trace trace;
    for (int bomb : {3, 27, 58, 99})
      Press(table, bomb, 3);
    NameDialog* dialog = 0;
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
      if (dynamic_cast<NameDialog*>(window) != 0)
        dialog = dynamic_cast<NameDialog*>(window);
    EXPECT_NE(dialog, nullptr);
    if (dialog != 0) {
      dialog->entry->set_text(name);
      dialog->okButton->clicked();
    }
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
      delete dynamic_cast<ScoreDialog*>(window);
    return trace.Text();
  }

  int Count(const std::string& name) {
    int count = 0;
    for (ScoreItem* node = scoreFile->firstList; node != 0; node = node->next)
      count += node->name.raw() == name;
    return count;
  }

  // A game under way, with its clock running, on a board whose bombs the test knows: a region
  // in the middle is open.
  void StartGame() {
    table->ReCreate(10, 10, 10, 24);
    Plant({3, 27, 58, 99});
    Release(table, 44, 1);
    timer.Start();
    ASSERT_EQ(table->board[44]->state, 0);
    ASSERT_EQ(timer.timeFlag, 1);
  }

  std::vector<int> States() {
    std::vector<int> states;
    for (int i = 0; i < Cells(); i++)
      states.push_back(table->board[i]->state);
    return states;
  }

  // Presses the save dialog's Ok; the save must fail and say so, and the game must go on as it
  // was, clock running. Returns the trace.
  std::string FailedSave() {
    std::vector<int> before = States();
    SaveDialog* dialog = new SaveDialog(table, &saveFile, &timer);
    EXPECT_EQ(timer.timeFlag, 0);
    Trace trace;
    saving = true;
    dialog->okButton->clicked();
    saving = false;
    EXPECT_NE(trace.Text().find("SAVE FALSED\n"), std::string::npos) << trace.Text();
    EXPECT_EQ(SaveDialogs(), 0);
    EXPECT_EQ(gtk_grab_get_current(), nullptr);
    EXPECT_EQ(timer.timeFlag, 1);
    EXPECT_EQ(States(), before);
    return trace.Text();
  }

  // The game still answers the mouse: a mark on a bomb, then an opening.
  void ExpectPlayable() {
    Trace trace;
    Press(table, 27, 3);
    EXPECT_EQ(table->board[27]->state, 2);
    EXPECT_EQ(table->BombCount, 1);
    int covered = 0;
    while (covered < Cells() && (table->board[covered]->state != 1 || table->board[covered]->bomb))
      covered++;
    ASSERT_LT(covered, Cells());
    Release(table, covered, 1);
    EXPECT_EQ(table->board[covered]->state, 0);
    EXPECT_EQ(table->startFlag, 1);
  }

  SaveFile saveFile;
  bool mounted = false;
  bool readOnly = false;
  bool full = false;
  struct rlimit oldLimit;
};

} // namespace

TEST_F(FaultTest, AWinOnAReadOnlyDiskKeepsEveryScore) {
  int records = 0;
  std::string scores = ScoreText(3 * page, &records);
  WriteText(scoreName, scores);
  if (!ReadOnly())
    GTEST_SKIP() << "cannot make the directory read-only: running as root without the right to "
                    "mount, and no permission stops root";
  std::string trace = Win("eve");
  EXPECT_NE(trace.find("CAN'T WRITE MINE_SCORE.data\n"), std::string::npos) << trace;
  EXPECT_EQ(ReadText(scoreName), scores);
  EXPECT_EQ(scoreFile->listCount, records);
  EXPECT_EQ(Count("eve"), 0);

  Heal();
  Win("eve");
  EXPECT_EQ(ReadText(scoreName).substr(0, scores.size()), scores);
  EXPECT_EQ(scoreFile->listCount, records + 1);
  EXPECT_EQ(Count("eve"), 1);
}

// With no room at all the line is not written; with room for a few bytes they are, and stay a
// fragment that no later record fuses with.
TEST_F(FaultTest, AWinOnAFullDiskKeepsEveryScore) {
  for (int slack : {0, 10}) {
    SCOPED_TRACE(slack);
    int records = 0;
    std::string scores = ScoreText(2 * page - slack, &records);
    WriteText(scoreName, scores);
    Full();
    std::string trace = Win("eve");
    EXPECT_NE(trace.find("CAN'T WRITE MINE_SCORE.data\n"), std::string::npos) << trace;
    std::string text = ReadText(scoreName);
    EXPECT_EQ(text.substr(0, scores.size()), scores);
    EXPECT_EQ(text.size(), scores.size() + slack);
    EXPECT_EQ(scoreFile->listCount, records);
    EXPECT_EQ(Count("eve"), 0);

    Heal();
    Win("ida");
    EXPECT_EQ(ReadText(scoreName).substr(0, scores.size()), scores);
    EXPECT_EQ(scoreFile->listCount, records + 1);
    EXPECT_EQ(Count("ida"), 1);
    testing::internal::CaptureStdout();
    scoreFile->ALLDeleteList();
    testing::internal::GetCapturedStdout();
  }
}

TEST_F(FaultTest, ASaveOnAReadOnlyDiskSaysSoAndPlayGoesOn) {
  int records = 0;
  std::string scores = ScoreText(page, &records);
  WriteText(scoreName, scores);
  StartGame();
  if (!ReadOnly())
    GTEST_SKIP() << "cannot make the directory read-only: running as root without the right to "
                    "mount, and no permission stops root";
  std::string trace = FailedSave();
  EXPECT_NE(trace.find("NO MINE_SAVE.data\n"), std::string::npos);
  EXPECT_FALSE(FileExists(saveName));
  ExpectPlayable();

  Heal();
  EXPECT_EQ(ReadText(scoreName), scores);
  Trace quiet;
  saveFile.SaveState(table);
  EXPECT_EQ(saveFile.FindState(), 0);
}

TEST_F(FaultTest, ASaveOnAFullDiskSaysSoAndPlayGoesOn) {
  int records = 0;
  std::string scores = ScoreText(page, &records);
  WriteText(scoreName, scores);
  StartGame();
  Full();
  std::string trace = FailedSave();
  EXPECT_NE(trace.find("CAN'T WRITE MINE_SAVE.data\n"), std::string::npos) << trace;
  ExpectPlayable();

  Heal();
  EXPECT_EQ(ReadText(scoreName), scores);
  Trace quiet;
  // Whatever part of the file was written is refused at the next start.
  EXPECT_NE(saveFile.FindState(), 0);
  saveFile.SaveState(table);
  EXPECT_EQ(saveFile.FindState(), 0);
}
