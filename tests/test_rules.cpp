// The rules of play: the bomb draw, the flood, marks, and the end of a game won or lost. Needs a
// display; each test runs in a temporary working directory.
#include "board_support.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>
#include <sys/resource.h>

namespace {

// The clipped 3 x 3 block around index, itself included.
std::set<int> Block(const MineTable* t, int index) {
  std::set<int> cells;
  int row = index % t->nRow, col = index / t->nRow;
  for (int c = std::max(col - 1, 0); c <= std::min(col + 1, t->nCol - 1); c++)
    for (int r = std::max(row - 1, 0); r <= std::min(row + 1, t->nRow - 1); r++)
      cells.insert(c * t->nRow + r);
  return cells;
}

// On the 12 x 9 board: a wall of bombs along row 5, and two more below it.
const std::vector<int> wall = {5, 17, 29, 41, 53, 65, 77, 89, 101, 32, 70};

class RulesTest : public BoardTest {
protected:
  void Game(const std::vector<int>& bombs) {
    table->ReCreate(12, 9, 10, 8);
    Plant(bombs);
    timer.Start();
  }

  // The open cells; slots left empty are skipped.
  std::set<int> Open() {
    std::set<int> open;
    for (int i = 0; i < Cells(); i++)
      if (table->board[i] != nullptr && table->board[i]->state == 0)
        open.insert(i);
    return open;
  }

  void ExpectEnded() {
    EXPECT_TRUE(table->startFlag == 0 && timer.timeFlag == 0);
    for (int i = 0; i < Cells(); i++)
      EXPECT_TRUE(table->board[i]->state == 0 && !table->board[i]->get_sensitive()) << i;
  }
};

TEST_F(RulesTest, BombTestWrapsLikeThirtyTwoBitArithmetic) {
  // Cell (0, 0) at index 0 seeds with 1, whose first draw 1804289383 leaves 383; twice it
  // passes 2^31 (-686388530, 530), three times 2^32 (1117900853, 853).
  const int remainders[] = {383, 530, 853};
  for (int times = 0; times < 3; times++) {
    table->pBomb = remainders[times] / 10;
    EXPECT_EQ(table->SetBomb(0, 0, 0, times), 0) << times;
    table->pBomb++;
    EXPECT_EQ(table->SetBomb(0, 0, 0, times), 1) << times;
  }
  // With times + 1 = 2^31 the product is 0, or 2^31 for an odd draw: -2147483648, which stays
  // negative and so is a bomb even at 0 %.
  table->pBomb = 0;
  for (int num = 0; num < 100; num += 2) {
    std::srand(unsigned(num + 1));
    int odd = std::rand() % 2;
    EXPECT_EQ(table->SetBomb(0, 0, num, INT_MAX), odd) << num;
  }
}

TEST_F(RulesTest, FirstOpeningDrawsAroundAClearedBlockAndCountsEveryCell) {
  for (const auto& shape : {std::make_pair(10, 10), {2, 9}, {30, 20}}) {
    table->ReCreate(shape.first, shape.second, 10, 6);
    for (int opened : {0, Cells() - 1, Cells() / 2}) {
      for (int pBomb : {35, 100}) {
        SCOPED_TRACE(testing::Message() << shape.first << " rows, at " << opened << ", " << pBomb);
        table->pBomb = pBomb;
        table->KeepCreate();
        timer.nSec = 77;
        Press(table, opened, 3); // no mark before the game starts
        Release(table, opened, 1);
        std::set<int> block = Block(table, opened), open = Open();
        int bombs = 0;
        for (int i = 0; i < Cells(); i++) {
          int around = 0;
          for (int other : Block(table, i))
            around += table->board[other]->bomb;
          ASSERT_EQ(table->board[i]->num, around) << i;
          ASSERT_FALSE(table->board[i]->bomb && (block.count(i) || open.count(i))) << i;
          bombs += table->board[i]->bomb;
        }
        EXPECT_EQ(table->nBomb, pBomb == 100 ? Cells() - int(block.size()) : bombs);
        EXPECT_EQ(table->nBomb, bombs);
        EXPECT_TRUE(table->startFlag == 1 && timer.timeFlag == 1 && timer.nSec == 0);
      }
    }
  }
}

TEST_F(RulesTest, MarksAndTheFloodKeepTheCountsExact) {
  Game(wall);
  Press(table, 3, 3);
  Press(table, 3, 3, GDK_2BUTTON_PRESS); // a double click's extra press counts too
  for (int cell : {36, 41, 107})         // safe in the region, a bomb, safe beyond the wall
    Press(table, cell, 3);
  EXPECT_TRUE(Shown(3) == table->image->TmarkPix[1] && Shown(41) == table->image->TmarkPix[2]);
  EXPECT_TRUE(table->BombCount == 1 && table->MissCount == 2);
  // Both handlers claim the event, so the toggle button does not toggle by itself.
  EXPECT_TRUE(Release(table, 107, 1));
  Release(table, 51, 2);
  EXPECT_TRUE(Open().empty() && !table->board[107]->get_active());
  Release(table, 4, 1);
  Press(table, 4, 3);
  EXPECT_EQ(Open(), std::set<int>({4}));
  Release(table, 24, 1);
  // Rows 0 to 3 have no bomb around; row 4 borders the wall.
  for (int i = 0; i < Cells(); i++) {
    bool region = i % 12 <= 4;
    EXPECT_EQ(Open().count(i) == 1, region) << i;
    EXPECT_TRUE(!region || Shown(i) == table->image->TnumPix[table->board[i]->num]) << i;
  }
  EXPECT_TRUE(table->MissCount == 1 && table->BombCount == 1 && table->startFlag == 1);
}

TEST_F(RulesTest, AGameEndsWonWhenEveryBombAndNothingElseIsMarkedOrLostOnABomb) {
  const struct {
    std::vector<int> bombs, marks, opens;
    const char* trace;
  } games[] = {{{10, 90}, {10, 90}, {}, "CLEAR!\n"}, // safe cells may stay covered
               {{107}, {30, 107}, {0}, "CLEAR!\n"},  // the flood takes the last wrong mark
               {wall, {17, 95}, {24, 53, 107}, ""}}; // 107 is opened after the end
  for (const auto& game : games) {
    Game(game.bombs);
    testing::internal::CaptureStdout();
    for (int mark : game.marks)
      Press(table, mark, 3);
    for (int open : game.opens)
      Release(table, open, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), game.trace);
    EXPECT_EQ(CloseNameDialogs(), game.trace[0] != '\0');
    ExpectEnded();
  }
  // The lost game shows its bombs, and its marks as right or wrong; no new draw started.
  MineImage* im = table->image;
  const std::pair<int, Glib::RefPtr<Gdk::Pixbuf>> shown[] = {
      {53, im->TbombPix},    {29, im->TbombPix},   {17, im->TmarkPix[4]},
      {95, im->TmarkPix[5]}, {24, im->TnumPix[0]}, {107, im->TmarkPix[1]}};
  for (const auto& cell : shown)
    EXPECT_EQ(Shown(cell.first), cell.second) << cell.first;
  EXPECT_TRUE(table->board[53]->get_active() && !table->board[29]->get_active());
  EXPECT_EQ(table->nBomb, int(wall.size()));
  Game(wall);
  for (int i = 0; i < Cells(); i++)
    if (!table->board[i]->bomb)
      Release(table, i, 1);
  EXPECT_TRUE(table->startFlag == 1 && CloseNameDialogs() == 0);
  // At 100 % every bomb of a 3 x 3 board lies around its centre, so opening it wins at once.
  table->ReCreate(3, 3, 100, 8);
  Release(table, 4, 1);
  EXPECT_TRUE(table->nBomb == 0 && CloseNameDialogs() == 1);
  ExpectEnded();
  // A one-wide board has no block to clear: the visit reports it, and the opened bomb loses.
  table->ReCreate(1, 6, 100, 8);
  testing::internal::CaptureStdout();
  Release(table, 2, 1);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("BLANK_ERROR\n"), std::string::npos);
  ExpectEnded();
}

// From a corner the flood crosses the largest board, around a slot a saved game left empty, on a
// stack far too small for one call per cell.
TEST_F(RulesTest, FloodOverTheLargestBoardNeedsNoDeepStack) {
  EXPECT_EXIT(
      {
        table->ReCreate(100, 100, 0, 4);
        Plant({9999});
        delete table->board[5050];
        table->board[5050] = nullptr;
        rlimit limit;
        getrlimit(RLIMIT_STACK, &limit);
        limit.rlim_cur = 256 * 1024;
        setrlimit(RLIMIT_STACK, &limit);
        Release(table, 0, 1);
        bool flooded = Open().size() == 9998u;
        table->GameOver();
        std::exit(flooded ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

} // namespace
