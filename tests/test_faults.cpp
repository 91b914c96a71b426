// Faults of the disk under the two data files. A win recorded on a full disk (a file size limit
// stands in for it) loses or alters nothing MINE_SCORE.data held, and a record cut short is a
// fragment no later record fuses with. A save that fails says so and why, leaves no file behind
// and lets the game go on. Needs a display; runs in a temporary working directory.
#include "support.h"

#include "savedialog.h"

#include <gtkmm/messagedialog.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using FaultTest = BoardTest;

TEST_F(FaultTest, AWinOnAFullDiskKeepsEveryScore) {
  // A won game, its bombs marked through the cells' own signals, recorded under `name`: the
  // trace, and the stamp of the record the score table then opens on.
  auto win = [this](const char* name) {
    table->ReCreate(10, 10, 10, 24);
    Plant({3, 27, 58, 99});
    std::string trace = Trace([&] {
      for (int bomb : {3, 27, 58, 99})
        Press(table, bomb, 3);
      ShownIn<Gtk::Entry>(Shown<NameDialog>().at(0)).at(0)->set_text(name);
      ButtonIn(Shown<NameDialog>().at(0), "Ok")->clicked();
    });
    ScoreDialog* shown = Shown<ScoreDialog>().at(0);
    long long opened = shown->targetRow;
    delete shown;
    return std::make_pair(trace, opened);
  };
  std::string kept;
  for (int i = 0; i < 100; i++)
    kept += ScoreLine(500 - i, 10, 10, 10, 100 + i, 1, 1700000000 + i, "player");
  signal(SIGXFSZ, SIG_IGN);
  rlimit free;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &free), 0);
  // With no room at all the line is not written; with room for ten bytes, those are.
  for (int room : {0, 10}) {
    SCOPED_TRACE(room);
    WriteText("MINE_SCORE.data", kept);
    rlimit full = free;
    full.rlim_cur = kept.size() + room;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    EXPECT_NE(win("eve").first.find("CAN'T WRITE MINE_SCORE.data\n"), std::string::npos);
    std::string text = ReadText("MINE_SCORE.data");
    EXPECT_EQ(text.substr(0, kept.size()), kept);
    EXPECT_EQ(text.size(), kept.size() + room);
    EXPECT_EQ(scores.listCount, 100);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &free), 0);
    long long opened = win("ida").second;
    EXPECT_EQ(ReadText("MINE_SCORE.data").substr(0, kept.size()), kept);
    EXPECT_EQ(scores.listCount, 101);
    // Below the old scores, and the one the table opens on.
    EXPECT_EQ(scores.endList->name.raw(), "ida");
    EXPECT_EQ(scores.endList->TIME, opened);
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
  auto states = [this] {
    std::vector<int> all;
    for (int i = 0; i < Cells(); i++)
      all.push_back(table->board[i]->state);
    return all;
  };
  const std::vector<int> before = states();
  ASSERT_EQ(before[44], 0);
  const std::tuple<std::function<void()>, const char*, bool> faults[] = {
      {[] { ASSERT_EQ(symlink("/dev/full", "MINE_SAVE.data"), 0); }, "The disk is full.", true},
      {[] { ASSERT_EQ(mkdir("MINE_SAVE.data", 0755), 0); }, "could not be written", false},
      {[this] { table->MissCount = 1; }, "did not read back", true}};
  for (const auto& [fault, why, gone] : faults) {
    SCOPED_TRACE(why);
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
    EXPECT_EQ(FileExists("MINE_SAVE.data"), !gone);
    rmdir("MINE_SAVE.data");
    EXPECT_EQ(states(), before);
  }
  table->MissCount = 0;
  Press(table, 27, 3);
  EXPECT_EQ(std::vector<int>({table->board[27]->state, table->BombCount, table->startFlag}),
            std::vector<int>({2, 1, 1}));
}
