// The rules of play on real cells: the first opening and the bombs drawn around it, marks, the
// flood, win and loss. Needs a display; runs in a temporary working directory.
#include "support.h"

#include <cstdlib>
#include <sys/resource.h>

namespace {

// Whether two cells are the same or touch, worked out from the geometry alone.
bool Near(const MineTable* t, int a, int b) {
  return std::abs(a % t->nRow - b % t->nRow) <= 1 && std::abs(a / t->nRow - b / t->nRow) <= 1;
}

struct RulesTest : BoardTest {
  void Game(const std::vector<int>& bombs) {
    EXPECT_EQ(Trace([this] { table->ReCreate(12, 9, 10, 8); }), "12\t9\t10\n");
    Plant(bombs);
    ExpectCounts();
    timer.Start();
  }
  // Every cell counts the bombs in its 3 x 3 block, itself included.
  void ExpectCounts() {
    for (int i = 0; i < Cells(); i++) {
      int around = 0;
      for (int j = 0; j < Cells(); j++)
        around += Near(table, i, j) && table->board[j]->bomb;
      ASSERT_EQ(table->board[i]->num, around) << i;
    }
  }
  // The clock stops and every cell is open to the eye but dead.
  void ExpectEnded() {
    EXPECT_EQ(table->startFlag + timer.timeFlag, 0);
    for (int i = 0; i < Cells(); i++)
      ASSERT_EQ(table->board[i]->state + table->board[i]->get_sensitive(), 0) << i;
  }
};

TEST_F(RulesTest, FirstOpeningDrawsAroundAClearedBlockAndCountsEveryCell) {
  const int shapes[][3] = {{10, 10, 35}, {10, 10, 100}, {2, 9, 100}, {30, 20, 35}};
  for (const auto& shape : shapes) {
    table->ReCreate(shape[0], shape[1], shape[2], 6);
    for (int opened : {0, Cells() - 1, Cells() / 2}) {
      SCOPED_TRACE(testing::Message() << shape[0] << "x" << shape[1] << " at " << opened);
      table->KeepCreate();
      timer.nSec = 77;
      EXPECT_TRUE(Press(table, opened, 3)); // no mark before the game starts
      EXPECT_TRUE(Release(table, opened, 1));
      ExpectCounts();
      int bombs = 0;
      for (int i = 0; i < Cells(); i++) {
        MineButton* cell = table->board[i];
        // The opened block is clear and open (the flood may open more); no bomb is open.
        ASSERT_FALSE(cell->bomb && (cell->state == 0 || Near(table, i, opened))) << i;
        ASSERT_TRUE(cell->state == 0 || !Near(table, i, opened)) << i;
        bombs += cell->bomb;
      }
      EXPECT_EQ(std::vector<int>({table->nBomb, table->startFlag, timer.timeFlag, timer.nSec}),
                std::vector<int>({bombs, 1, 1, 0}));
    }
  }
}

// Marks cycle and keep their cell shut; no cell toggles by itself; the flood opens the empty region
// and its border; opening all is no win, a bomb loses, and a release after the end draws nothing.
TEST_F(RulesTest, MarksTheFloodAndALoss) {
  Game({5, 17, 29, 41, 53, 65, 77, 89, 101, 32, 70}); // a wall along row 5, two bombs past it
  for (int state : {2, 1, 2}) {
    EXPECT_TRUE(Press(table, 31, 3));
    EXPECT_TRUE(Shows(31, table->image->TmarkPix[state])) << state;
  }
  EXPECT_TRUE(Press(table, 106, 1));
  EXPECT_FALSE(GTK_BUTTON(table->board[106]->gobj())->button_down);
  Release(table, 24, 1);
  for (int i = 0; i < Cells(); i++) {
    bool region = i % 12 <= 4; // rows 0 to 3 have no bomb around; row 4 borders the wall
    ASSERT_EQ(table->board[i]->state == 0, region) << i;
    ASSERT_TRUE(!region || Shows(i, table->image->TnumPix[table->board[i]->num])) << i;
  }
  Press(table, 17, 3);
  for (int i = 0; i < Cells(); i++)
    EXPECT_TRUE(table->board[i]->bomb || Release(table, i, 1));
  EXPECT_EQ(std::vector<int>({table->board[31]->get_active(), table->MissCount, table->startFlag}),
            std::vector<int>({0, 1, 1}));
  Release(table, 53, 1);
  Release(table, 31, 1);
  ExpectEnded();
  EXPECT_TRUE(Shows(29, table->image->TbombPix));
  EXPECT_TRUE(Shows(17, table->image->TmarkPix[4]));
  EXPECT_TRUE(Shows(31, table->image->TmarkPix[5]));
}

// The flood takes the last wrong mark: a win.
TEST_F(RulesTest, TheFloodTakingTheLastWrongMarkWins) {
  Game({107});
  Press(table, 30, 3);
  Press(table, 107, 3);
  Trace([this] { Release(table, 0, 1); });
  EXPECT_EQ(Shown<NameDialog>().size(), 1u);
  ExpectEnded();
}

// The flood crosses the largest board, past a slot left empty, on a stack too small to recurse.
TEST_F(RulesTest, FloodOverTheLargestBoardNeedsNoDeepStack) {
  EXPECT_EXIT(
      {
        table->ReCreate(100, 100, 0, 4);
        Plant({9999});
        delete table->board[5050];
        table->board[5050] = nullptr;
        rlimit limit;
        limit.rlim_cur = limit.rlim_max = 256 * 1024;
        setrlimit(RLIMIT_STACK, &limit);
        Release(table, 0, 1);
        bool far = table->board[9998]->state == 0 && table->board[9999]->state == 1;
        table->GameOver();
        std::exit(far ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

} // namespace
