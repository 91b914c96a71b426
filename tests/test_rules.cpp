// The rules of play on real cells: the first opening and the bombs drawn around it, the flood,
// marks, win and loss. Needs a display; runs in a temporary working directory.
#include "support.h"

#include <cstdlib>
#include <sys/resource.h>

namespace {

// Whether two cells are the same or touch, worked out from the geometry alone.
bool Near(const MineTable* t, int a, int b) {
  return std::abs(a % t->nRow - b % t->nRow) <= 1 && std::abs(a / t->nRow - b / t->nRow) <= 1;
}

// On the 12 x 9 board: a wall of bombs along row 5, and two more below it.
const std::vector<int> wall = {5, 17, 29, 41, 53, 65, 77, 89, 101, 32, 70};

struct RulesTest : BoardTest {
  void Game(const std::vector<int>& bombs) {
    table->ReCreate(12, 9, 10, 8);
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
      EXPECT_EQ(table->nBomb, bombs);
      EXPECT_EQ(std::vector<int>({table->startFlag, timer.timeFlag, timer.nSec}),
                std::vector<int>({1, 1, 0}));
    }
  }
}

TEST_F(RulesTest, FloodOpensTheEmptyRegionAndItsBorderButOpeningAllIsNoWin) {
  Game(wall);
  // The right button marks and unmarks; both handlers claim their events, so the toggle button
  // cannot toggle by itself, and a marked cell does not open.
  for (int state : {2, 1, 2}) {
    EXPECT_TRUE(Press(table, 107, 3));
    EXPECT_EQ(table->board[107]->state, state);
    EXPECT_TRUE(Shows(107, table->image->TmarkPix[state]));
  }
  EXPECT_TRUE(Release(table, 107, 1));
  EXPECT_EQ(table->board[107]->state, 2);
  EXPECT_FALSE(table->board[107]->get_active());
  EXPECT_EQ(table->MissCount, 1);
  // The toggle button's own handler never sees a press, so it never holds a cell down.
  EXPECT_TRUE(Press(table, 106, 1));
  EXPECT_FALSE(GTK_BUTTON(table->board[106]->gobj())->button_down);
  Release(table, 24, 1);
  for (int i = 0; i < Cells(); i++) {
    bool region = i % 12 <= 4; // rows 0 to 3 have no bomb around; row 4 borders the wall
    EXPECT_EQ(table->board[i]->state == 0, region) << i;
    EXPECT_TRUE(!region || Shows(i, table->image->TnumPix[table->board[i]->num])) << i;
  }
  Press(table, 107, 3); // unmarked: opening every safe cell is still no win
  for (int i = 0; i < Cells(); i++)
    if (!table->board[i]->bomb)
      Release(table, i, 1);
  EXPECT_EQ(table->startFlag, 1);
  EXPECT_TRUE(Shown<NameDialog>().empty());
}

TEST_F(RulesTest, AGameEndsWonWhenEveryBombAndNothingElseIsMarkedOrLostOnABomb) {
  const struct {
    std::vector<int> bombs, marks, opens;
    const char* trace;
  } games[] = {
      {{10, 90}, {10, 50, 50, 90}, {}, "CLEAR!\n"}, // a mark taken back; safe cells covered
      {{107}, {30, 107}, {0}, "CLEAR!\n"},          // the flood takes the last wrong mark
      {wall, {17, 95}, {24, 53, 107}, ""}};         // 107 is opened after the end
  for (const auto& game : games) {
    Game(game.bombs);
    EXPECT_EQ(Trace([&] {
                for (int mark : game.marks)
                  Press(table, mark, 3);
                for (int open : game.opens)
                  Release(table, open, 1);
              }),
              game.trace);
    std::vector<NameDialog*> won = Shown<NameDialog>();
    EXPECT_EQ(won.size(), game.trace[0] != '\0' ? 1u : 0u);
    for (NameDialog* dialog : won)
      delete dialog;
    EXPECT_EQ(table->startFlag, 0);
    EXPECT_EQ(timer.timeFlag, 0);
    for (int i = 0; i < Cells(); i++) {
      EXPECT_EQ(table->board[i]->state, 0) << i;
      EXPECT_FALSE(table->board[i]->get_sensitive()) << i;
    }
  }
  // The lost game shows its bombs, and its marks as right or wrong; no new draw started.
  EXPECT_TRUE(Shows(29, table->image->TbombPix));
  EXPECT_TRUE(Shows(17, table->image->TmarkPix[4]));
  EXPECT_TRUE(Shows(95, table->image->TmarkPix[5]));
  EXPECT_TRUE(Shows(107, table->image->TmarkPix[1]));
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
