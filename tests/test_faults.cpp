// A full disk under the two data files, when a win is recorded and when a game is saved:
// nothing MINE_SCORE.data holds is lost or altered, and a save that fails says "SAVE FALSED"
// and leaves the game playable. A file size limit keeps the score file from growing, and the
// saved game is a link to /dev/full. Needs a display; runs in a temporary working directory.
#include "support.h"

#include "namedialog.h"
#include "savedialog.h"
#include "savefile.h"
#include "scoredialog.h"

#include <gtkmm/entry.h>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char scoreName[] = "MINE_SCORE.data";
const char saveName[] = "MINE_SAVE.data";
// The size limit is set at a multiple of this, where the score file then ends.
const int page = 4096;

// Valid records of exactly `bytes` bytes; the last name is as long as it needs to be.
std::string ScoreText(int bytes, int* records) {
  std::string text;
  int i = 0;
  for (; bytes - static_cast<int>(text.size()) > 250; i++)
    text += ScoreLine(500 - i, 10, 10, 10, 100 + i, 1, 1700000000 + i, "player");
  // The check value's digits grow with the name, so the name is sized by trying.
  std::string name;
  while (text.size() + ScoreLine(1, 10, 10, 10, 100 + i, 1, 0, name + 'z').size() <= size_t(bytes))
    name += 'z';
  text += ScoreLine(1, 10, 10, 10, 100 + i, 1, 0, name);
  *records = i + 1;
  EXPECT_EQ(text.size(), static_cast<size_t>(bytes));
  return text;
}

class FaultTest : public BoardTest {
protected:
  void TearDown() override {
    Heal();
    BoardTest::TearDown();
  }

  // No room for any byte beyond the last page of the score file, and none for a saved game.
  void Full() {
    struct stat st;
    off_t size = stat(scoreName, &st) == 0 ? st.st_size : 0;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    struct rlimit tight = oldLimit;
    tight.rlim_cur = (size + page - 1) / page * page;
    std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    ASSERT_EQ(symlink("/dev/full", saveName), 0);
    full = true;
  }

  // Undoes the fault, as a player would by freeing some room.
  void Heal() {
    if (!full)
      return;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(std::remove(saveName), 0);
    full = false;
  }

  // A won game: the bombs are marked through the cells' own signals, and the name dialog the
  // win opens records it under `name`. Returns the trace.
  std::string Win(const std::string& name) {
    table->ReCreate(10, 10, 10, 24);
    Plant({3, 27, 58, 99});
    std::string trace = Trace([&] {
      for (int bomb : {3, 27, 58, 99})
        Press(table, bomb, 3);
      std::vector<NameDialog*> dialogs = Shown<NameDialog>();
      ASSERT_EQ(dialogs.size(), 1u);
      ShownIn<Gtk::Entry>(dialogs[0]).at(0)->set_text(name);
      ButtonIn(dialogs[0], "Ok")->clicked();
    });
    for (ScoreDialog* dialog : Shown<ScoreDialog>())
      delete dialog;
    return trace;
  }

  int Count(const std::string& name) {
    int count = 0;
    for (ScoreItem* node = scores.firstList; node != nullptr; node = node->next)
      count += node->name.raw() == name;
    return count;
  }

  std::vector<int> States() {
    std::vector<int> states;
    for (int i = 0; i < Cells(); i++)
      states.push_back(table->board[i]->state);
    return states;
  }

  SaveFile saveFile;
  bool full = false;
  struct rlimit oldLimit;
};

} // namespace

// With no room at all the line is not written; with room for a few bytes they are, and stay a
// fragment that no later record fuses with.
TEST_F(FaultTest, AWinOnAFullDiskKeepsEveryScore) {
  for (int slack : {0, 10}) {
    SCOPED_TRACE(slack);
    int records = 0;
    std::string scoreText = ScoreText(2 * page - slack, &records);
    WriteText(scoreName, scoreText);
    Full();
    std::string trace = Win("eve");
    EXPECT_NE(trace.find("CAN'T WRITE MINE_SCORE.data\n"), std::string::npos) << trace;
    std::string text = ReadText(scoreName);
    EXPECT_EQ(text.substr(0, scoreText.size()), scoreText);
    EXPECT_EQ(text.size(), scoreText.size() + slack);
    EXPECT_EQ(scores.listCount, records);
    EXPECT_EQ(Count("eve"), 0);

    Heal();
    Win("ida");
    EXPECT_EQ(ReadText(scoreName).substr(0, scoreText.size()), scoreText);
    EXPECT_EQ(scores.listCount, records + 1);
    EXPECT_EQ(Count("ida"), 1);
    Trace([this] { scores.ALLDeleteList(); });
  }
}

// The save dialog's Ok on a game in progress, clock running: the save fails and says so, and the
// game goes on as it was.
TEST_F(FaultTest, ASaveOnAFullDiskSaysSoAndPlayGoesOn) {
  int records = 0;
  std::string scoreText = ScoreText(page, &records);
  WriteText(scoreName, scoreText);
  table->ReCreate(10, 10, 10, 24);
  Plant({3, 27, 58, 99});
  Release(table, 44, 1);
  timer.Start();
  std::vector<int> before = States();
  Full();
  SaveDialog* dialog = new SaveDialog(table, &saveFile, &timer);
  EXPECT_EQ(timer.timeFlag, 0);
  std::string trace = Trace([&] { ButtonIn(dialog, "Ok")->clicked(); });
  EXPECT_NE(trace.find("CAN'T WRITE MINE_SAVE.data\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find("SAVE FALSED\n"), std::string::npos) << trace;
  EXPECT_TRUE(Shown<SaveDialog>().empty());
  EXPECT_EQ(gtk_grab_get_current(), nullptr);
  EXPECT_EQ(timer.timeFlag, 1);
  EXPECT_EQ(States(), before);
  // Still playable: a mark on a bomb, then an opening.
  Press(table, 27, 3);
  EXPECT_EQ(table->BombCount, 1);
  Release(table, 0, 1);
  EXPECT_EQ(table->board[0]->state, 0);
  EXPECT_EQ(table->startFlag, 1);

  Heal();
  EXPECT_EQ(ReadText(scoreName), scoreText);
  // Whatever part of the file was written is refused at the next start.
  Trace([&] {
    EXPECT_NE(saveFile.FindState(), 0);
    saveFile.SaveState(table);
    EXPECT_EQ(saveFile.FindState(), 0);
  });
}
