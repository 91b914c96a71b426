// A win recorded on a full disk: nothing MINE_SCORE.data holds is lost or altered, and a partly
// written record is a fragment no later record fuses with. A file size limit stands in for the
// full disk. Needs a display; runs in a temporary working directory.
#include "support.h"

#include <csignal>
#include <sys/resource.h>

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
