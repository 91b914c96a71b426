// Faults of the disk under the two data files. A win recorded on a full disk: nothing
// MINE_SCORE.data holds is lost or altered, and a partly written record is a fragment no later
// record fuses with (a file size limit stands in for the full disk). A save that fails says so
// and why, leaves no file behind and lets the game go on. Needs a display; runs in a temporary
// working directory.
#include "support.h"

#include "savedialog.h"
#include "savefile.h"

#include <gtkmm/messagedialog.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using FaultTest = BoardTest;

TEST_F(FaultTest, AWinOnAFullDiskKeepsEveryScore) {
  // A won game, its bombs marked through the cells' own signals, recorded under `name`.
  auto win = [this](const char* name) {
    table->ReCreate(10, 10, 10, 24);
    Plant({3, 27, 58, 99});
    std::string trace = Trace([&] {
      for (int bomb : {3, 27, 58, 99})
        Press(table, bomb, 3);
      ShownIn<Gtk::Entry>(Shown<NameDialog>().at(0)).at(0)->set_text(name);
      ButtonIn(Shown<NameDialog>().at(0), "Ok")->clicked();
    });
    for (ScoreDialog* dialog : Shown<ScoreDialog>())
      delete dialog;
    return trace;
  };
  signal(SIGXFSZ, SIG_IGN);
  rlimit free;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &free), 0);
  // With no room at all the line is not written; with room for ten bytes, those are.
  for (int room : {0, 10}) {
    SCOPED_TRACE(room);
    std::string scores;
    for (int i = 0; scores.size() < 8000; i++)
      scores += ScoreLine(500 - i, 10, 10, 10, 100 + i, 1, 1700000000 + i, "player");
    WriteText("MINE_SCORE.data", scores);
    rlimit full = free;
    full.rlim_cur = scores.size() + room;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    EXPECT_NE(win("eve").find("CAN'T WRITE MINE_SCORE.data\n"), std::string::npos);
    std::string text = ReadText("MINE_SCORE.data");
    EXPECT_EQ(text.substr(0, scores.size()), scores);
    EXPECT_EQ(text.size(), scores.size() + room);
    int records = this->scores.listCount;
    EXPECT_EQ(records, int(std::count(scores.begin(), scores.end(), '\n')));
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &free), 0);
    win("ida");
    EXPECT_EQ(ReadText("MINE_SCORE.data").substr(0, scores.size()), scores);
    EXPECT_EQ(this->scores.listCount, records + 1);
    EXPECT_EQ(this->scores.endList->name.raw(), "ida"); // scores below the old ones
    Trace([this] { this->scores.ALLDeleteList(); });
  }
  signal(SIGXFSZ, SIG_DFL);
}

// The disk full (a link to /dev/full), a directory in the file's way, and a file that does not
// read back (counters that disagree with the cells): each is told in a message that keeps the
// clock paused until it is closed, no file of ours is left, and the game goes on as it was.
TEST_F(FaultTest, AFailedSaveIsToldAndPlayGoesOn) {
  SaveFile saveFile;
  table->CreateTable();
  Plant({3, 27, 58, 99});
  Release(table, 44, 1);
  ASSERT_EQ(table->board[44]->state, 0);
  const std::tuple<std::function<void()>, const char*, bool> faults[] = {
      {[] { ASSERT_EQ(symlink("/dev/full", "MINE_SAVE.data"), 0); }, "The disk is full.", true},
      {[] { ASSERT_EQ(mkdir("MINE_SAVE.data", 0755), 0); }, "could not be written", false},
      {[this] { table->MissCount = 1; }, "did not read back", true}};
  for (const auto& [fault, why, gone] : faults) {
    SCOPED_TRACE(why);
    std::vector<int> before;
    for (int i = 0; i < Cells(); i++)
      before.push_back(table->board[i]->state);
    timer.Start();
    fault();
    std::string trace =
        Trace([&] { ButtonIn(new SaveDialog(table, &saveFile, &timer), "Ok")->clicked(); });
    EXPECT_NE(trace.find("SAVE FALSED\n"), std::string::npos) << trace;
    std::vector<Gtk::MessageDialog*> told = Shown<Gtk::MessageDialog>("NOT SAVED");
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0]->property_secondary_text().get_value().find(why), std::string::npos);
    EXPECT_EQ(gtk_grab_get_current(), GTK_WIDGET(told[0]->gobj()));
    EXPECT_EQ(timer.timeFlag, 0);
    ButtonIn(told[0], "gtk-ok")->clicked();
    EXPECT_EQ(std::vector<int>({gtk_grab_get_current() == nullptr, timer.timeFlag,
                                static_cast<int>(Shown<Gtk::MessageDialog>().size())}),
              std::vector<int>({1, 1, 0}));
    struct stat st;
    EXPECT_EQ(lstat("MINE_SAVE.data", &st) == 0, !gone);
    rmdir("MINE_SAVE.data");
    std::vector<int> after;
    for (int i = 0; i < Cells(); i++)
      after.push_back(table->board[i]->state);
    EXPECT_EQ(after, before);
  }
  table->MissCount = 0;
  Press(table, 27, 3);
  EXPECT_EQ(std::vector<int>({table->board[27]->state, table->BombCount, table->startFlag}),
            std::vector<int>({2, 1, 1}));
}
