// The rules of play: the per-cell bomb test, the draw at the first opening, the neighbourhood
// visit, the flood fill, marking, and the end of a game won or lost. Needs a display and runs
// each test in a temporary working directory.
#include "board_support.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <queue>
#include <set>
#include <string>
#include <sys/resource.h>

namespace {

// The per-cell bomb test worked out in 64-bit arithmetic, reducing modulo 2^32 by hand.
int ReferenceBomb(int i, int j, int num, int times, int pBomb) {
  const std::uint64_t mod = std::uint64_t(1) << 32;
  auto wrap = [&](std::int64_t v) { return std::uint64_t((v % std::int64_t(mod) + mod) % mod); };
  std::uint64_t seed = wrap(std::int64_t(num) + 1) * wrap(std::int64_t(i) + 1) % mod;
  seed = seed * wrap(std::int64_t(j) + 1) % mod;
  std::srand(unsigned(seed));
  std::uint64_t r = std::uint64_t(std::rand()) * wrap(std::int64_t(times) + 1) % mod;
  r = r * wrap(std::int64_t(num) + 1) % mod;
  std::int64_t value = r >= mod / 2 ? std::int64_t(r) - std::int64_t(mod) : std::int64_t(r);
  std::int64_t magnitude = value < 0 ? -value : value;
  if (magnitude == std::int64_t(mod / 2))
    magnitude = -magnitude;
  return magnitude % 1000 < std::int64_t(pBomb) * 10 ? 1 : 0;
}

class DrawTest : public BoardTest {
protected:
  int Draw(int i, int j, int num, int times, int pBomb) {
    table->pBomb = pBomb;
    return table->SetBomb(i, j, num, times);
  }

  // After a draw: the opened block is clear, every count obeys the invariant and nBomb counts
  // the bomb flags.
  void ExpectSoundDraw(int opened) {
    for (int index : Block(table, opened))
      EXPECT_EQ(table->board[index]->bomb, 0) << "cleared block " << index;
    EXPECT_EQ(table->board[opened]->num, 0);
    int bombs = 0;
    for (int i = 0; i < Cells(); i++) {
      bombs += table->board[i]->bomb;
      ASSERT_EQ(table->board[i]->num, BombsAround(table, i)) << "cell " << i;
    }
    EXPECT_EQ(table->nBomb, bombs);
    EXPECT_EQ(table->BombCount, 0);
    EXPECT_EQ(table->MissCount, 0);
    EXPECT_EQ(table->startFlag, 1);
    EXPECT_EQ(timer.timeFlag, 1);
    EXPECT_EQ(timer.nSec, 0);
  }
};

TEST_F(DrawTest, BombTestFollowsTheFormulaForWorkedExamples) {
  // glibc's first value after a seed of 1; the cell (0, 0) with index 0 seeds with 1.
  std::srand(1);
  ASSERT_EQ(std::rand(), 1804289383);
  // times 0: 1804289383, remainder 383.
  EXPECT_EQ(Draw(0, 0, 0, 0, 38), 0);
  EXPECT_EQ(Draw(0, 0, 0, 0, 39), 1);
  // times 1: 2 x 1804289383 passes 2^31 and reads as -686388530, remainder 530.
  EXPECT_EQ(Draw(0, 0, 0, 1, 53), 0);
  EXPECT_EQ(Draw(0, 0, 0, 1, 54), 1);
  // times 2: 3 x 1804289383 wraps past 2^32 to 1117900853, remainder 853.
  EXPECT_EQ(Draw(0, 0, 0, 2, 85), 0);
  EXPECT_EQ(Draw(0, 0, 0, 2, 86), 1);
}

TEST_F(DrawTest, BombTestWrapsLikeThirtyTwoBitArithmetic) {
  // Calendar seconds, index and position products far past the int range, and negative inputs.
  const int times[] = {0, 1, 1700000000, INT_MAX, -5, INT_MIN};
  const int positions[][3] = {{0, 0, 0},         {3, 7, 73},         {49, 99, 4999},
                              {70000, 70000, 5}, {INT_MAX, 2, 9999}, {-1, 4, 12}};
  for (int t : times) {
    for (const auto& p : positions) {
      for (int pBomb : {0, 10, 55, 100}) {
        EXPECT_EQ(Draw(p[0], p[1], p[2], t, pBomb), ReferenceBomb(p[0], p[1], p[2], t, pBomb))
            << p[0] << " " << p[1] << " " << p[2] << " " << t << " " << pBomb;
      }
    }
  }
}

TEST_F(DrawTest, MostNegativeDrawStaysNegativeAndCountsAsABomb) {
  // With times + 1 = 2^31, an odd rand() and an odd index + 1 the product is exactly 2^31,
  // which reads as -2147483648 and leaves the remainder -648.
  int oddNum = -1, evenNum = -1;
  for (int num = 0; num < 2000 && (oddNum < 0 || evenNum < 0); num += 2) {
    std::srand(unsigned(num + 1));
    (std::rand() % 2 == 1 ? oddNum : evenNum) = num;
  }
  ASSERT_GE(oddNum, 0);
  ASSERT_GE(evenNum, 0);
  EXPECT_EQ(Draw(0, 0, oddNum, INT_MAX, 0), 1);
  EXPECT_EQ(ReferenceBomb(0, 0, oddNum, INT_MAX, 0), 1);
  // An even rand() makes the product 0: no bomb at 0 %, a bomb at 1 %.
  EXPECT_EQ(Draw(0, 0, evenNum, INT_MAX, 0), 0);
  EXPECT_EQ(Draw(0, 0, evenNum, INT_MAX, 1), 1);
}

TEST_F(DrawTest, EveryDrawClearsTheOpenedBlockAndKeepsTheCounts) {
  const int shapes[][2] = {{10, 10}, {2, 2}, {2, 9}, {13, 4}, {30, 20}};
  for (const auto& shape : shapes) {
    table->ReCreate(shape[0], shape[1], 10, 6);
    int R = shape[0], last = Cells() - 1;
    int starts[] = {0, R - 1, last - R + 1, last, R / 2, last / 2, R + 1, last - R};
    for (int pBomb : {10, 35, 70, 100}) {
      for (int opened : starts) {
        SCOPED_TRACE(testing::Message()
                     << R << "x" << shape[1] << " at " << opened << ", " << pBomb << "%");
        table->pBomb = pBomb;
        table->KeepCreate();
        table->CreateValue(opened);
        ExpectSoundDraw(opened);
        // At 100 % every cell is drawn as a bomb, so only the cleared block is free.
        if (pBomb == 100) {
          EXPECT_EQ(table->nBomb, Cells() - int(Block(table, opened).size()));
        }
      }
    }
  }
}

TEST_F(DrawTest, FirstReleaseDrawsStartsTheClockAndOpensARegion) {
  table->CreateTable();
  table->pBomb = 30;
  timer.nSec = 77;
  Release(table, 44, 1);
  ExpectSoundDraw(44);
  for (int index : Block(table, 44))
    EXPECT_EQ(table->board[index]->state, 0) << index;
  for (int i = 0; i < Cells(); i++) {
    if (table->board[i]->state == 0) {
      EXPECT_EQ(table->board[i]->bomb, 0) << i;
      EXPECT_FALSE(table->board[i]->get_sensitive()) << i;
    }
  }
}

// Records the cells a visit hands to its function.
class ProbeTable : public MineTable {
public:
  ProbeTable() : MineTable(nullptr, nullptr, nullptr) {}
  void Record(int index) {
    seen.push_back(index);
  }
  std::vector<int> Visit(int index) {
    seen.clear();
    BlankButton(static_cast<void (MineTable::*)(int)>(&ProbeTable::Record), index);
    return seen;
  }
  std::vector<int> seen;
};

TEST(VisitTest, NeighboursAreVisitedInTheirFixedOrder) {
  ProbeTable probe;
  probe.nRow = 7;
  probe.nCol = 5;
  const int R = 7;
  struct {
    int n;
    std::vector<int> offsets;
  } cases[] = {
      {17, {0, -1, 1, -R, R, -R - 1, R - 1, -R + 1, R + 1}}, // interior
      {3, {0, -1, 1, R - 1, R, R + 1}},                      // top line
      {14, {0, -R, -R + 1, 1, R + 1, R}},                    // left edge
      {0, {0, 1, R, R + 1}},                                 // top-left corner
      {31, {0, -R - 1, -1, -R, 1, -R + 1}},                  // bottom line
      {28, {0, -R, 1, -R + 1}},                              // bottom-left corner
      {20, {0, -R, -R - 1, -1, R - 1, R}},                   // right edge
      {6, {0, -1, R - 1, R}},                                // top-right corner
      {34, {0, -R, -R - 1, -1}},                             // bottom-right corner
  };
  for (const auto& c : cases) {
    std::vector<int> expected;
    for (int offset : c.offsets)
      expected.push_back(c.n + offset);
    EXPECT_EQ(probe.Visit(c.n), expected) << "cell " << c.n;
  }
}

TEST(VisitTest, EveryCellVisitsExactlyItsClippedBlock) {
  ProbeTable probe;
  probe.nRow = 6;
  probe.nCol = 4;
  for (int n = 0; n < 24; n++) {
    std::vector<int> seen = probe.Visit(n);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), n);
    std::set<int> visited(seen.begin(), seen.end());
    std::vector<int> block = Block(&probe, n);
    EXPECT_EQ(visited, std::set<int>(block.begin(), block.end())) << "cell " << n;
    EXPECT_EQ(seen.size(), block.size()) << "cell " << n;
  }
}

TEST(VisitTest, ACellOnTwoOppositeEdgesIsNotVisited) {
  ProbeTable probe;
  for (auto size : {std::make_pair(1, 5), std::make_pair(5, 1)}) {
    probe.nRow = size.first;
    probe.nCol = size.second;
    testing::internal::CaptureStdout();
    std::vector<int> seen = probe.Visit(2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "BLANK_ERROR\n");
    EXPECT_TRUE(seen.empty());
  }
  // Outside the board there is nothing to visit.
  probe.nRow = 4;
  probe.nCol = 4;
  EXPECT_TRUE(probe.Visit(16).empty());
  EXPECT_TRUE(probe.Visit(-1).empty());
}

class PlayTest : public BoardTest {
protected:
  void SetUp() override {
    BoardTest::SetUp();
    table->ReCreate(12, 9, 10, 8);
    timer.Start();
  }

  // The cells a flood from start must open: its connected region of cells without bombs
  // around, and the numbered cells bordering it, found by a search over the geometry.
  std::set<int> Region(int start) {
    std::set<int> opened;
    std::queue<int> todo;
    todo.push(start);
    opened.insert(start);
    while (!todo.empty()) {
      int at = todo.front();
      todo.pop();
      if (BombsAround(table, at) != 0)
        continue;
      for (int next : Block(table, at)) {
        if (!table->board[next]->bomb && opened.insert(next).second)
          todo.push(next);
      }
    }
    return opened;
  }

  std::set<int> Open() {
    std::set<int> open;
    for (int i = 0; i < Cells(); i++) {
      if (table->board[i]->state == 0)
        open.insert(i);
    }
    return open;
  }

  void ExpectEnded() {
    EXPECT_EQ(table->startFlag, 0);
    EXPECT_EQ(timer.timeFlag, 0);
    for (int i = 0; i < Cells(); i++) {
      EXPECT_EQ(table->board[i]->state, 0) << i;
      EXPECT_FALSE(table->board[i]->get_sensitive()) << i;
    }
  }
};

// A wall of bombs down column 5 splits the 12 x 9 board; a few more lie on the right.
const std::vector<int> wall = {5, 17, 29, 41, 53, 65, 77, 89, 101, 32, 70};

TEST_F(PlayTest, FloodOpensTheZeroRegionAndItsNumberedBorder) {
  Plant(wall);
  Release(table, 4, 1);
  EXPECT_EQ(Open(), std::set<int>({4}));
  EXPECT_EQ(Shown(4), table->image->TnumPix[2]);

  Release(table, 24, 1);
  std::set<int> expected = Region(24);
  expected.insert(4);
  EXPECT_EQ(Open(), expected);
  for (int i : expected) {
    MineButton* cell = table->board[i];
    EXPECT_TRUE(cell->get_active() && !cell->get_sensitive()) << i;
    EXPECT_EQ(Shown(i), table->image->TnumPix[cell->num]) << i;
  }
  EXPECT_EQ(table->startFlag, 1);
}

TEST_F(PlayTest, FloodRemovesWrongMarksInsideAndKeepsMarksElsewhere) {
  Plant(wall);
  Press(table, 36, 3);  // safe, inside the region
  Press(table, 41, 3);  // a bomb of the wall
  Press(table, 107, 3); // safe, beyond the wall
  EXPECT_EQ(table->MissCount, 2);
  EXPECT_EQ(table->BombCount, 1);
  Release(table, 24, 1);
  EXPECT_EQ(table->board[36]->state, 0);
  EXPECT_EQ(table->MissCount, 1);
  EXPECT_EQ(table->board[41]->state, 2);
  EXPECT_EQ(table->board[107]->state, 2);
  EXPECT_EQ(table->BombCount, 1);
  EXPECT_EQ(table->startFlag, 1);
}

TEST_F(PlayTest, RemovingTheLastWrongMarkWins) {
  Plant({107});
  Press(table, 30, 3);
  Press(table, 107, 3);
  EXPECT_EQ(table->startFlag, 1);
  testing::internal::CaptureStdout();
  Release(table, 0, 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "CLEAR!\n");
  EXPECT_EQ(CloseNameDialogs(), 1);
  ExpectEnded();
}

TEST_F(PlayTest, RightButtonTogglesTheMarkAndKeepsTheCountsExact) {
  Plant({3, 50});
  Press(table, 3, 3);
  Press(table, 60, 3);
  EXPECT_EQ(Shown(3), table->image->TmarkPix[2]);
  EXPECT_TRUE(table->BombCount == 1 && table->MissCount == 1);
  Press(table, 3, 3);
  Press(table, 60, 3);
  EXPECT_TRUE(table->board[3]->state == 1 && table->board[60]->state == 1);
  EXPECT_EQ(Shown(3), table->image->TmarkPix[1]);
  EXPECT_TRUE(table->BombCount == 0 && table->MissCount == 0);
  // Every press the toolkit reports counts, the extra ones of a double click included.
  Press(table, 60, 3, GDK_2BUTTON_PRESS);
  EXPECT_EQ(table->board[60]->state, 2);
}

TEST_F(PlayTest, ClicksThatChangeNothing) {
  table->KeepCreate();
  // Before the first opening: right clicks, and releases of other buttons.
  Press(table, 20, 3);
  Release(table, 20, 3);
  EXPECT_TRUE(table->board[20]->state == 1 && table->startFlag == 0);

  Plant({0});
  Press(table, 50, 3);
  // Both handlers claim the event, so the toggle button does not toggle by itself.
  EXPECT_TRUE(Release(table, 50, 1));
  EXPECT_TRUE(table->board[50]->state == 2 && !table->board[50]->get_active());
  Release(table, 51, 2);
  Press(table, 51, 1);
  Press(table, 51, 2);
  EXPECT_TRUE(Open().empty());
  EXPECT_EQ(table->board[51]->state, 1);

  Release(table, 4, 1);
  int open = int(Open().size());
  Press(table, 4, 3);
  EXPECT_EQ(table->board[4]->state, 0);
  EXPECT_EQ(table->MissCount, 0);
  EXPECT_EQ(int(Open().size()), open);
}

TEST_F(PlayTest, MarkingEveryBombWinsWithSafeCellsStillCovered) {
  Plant({10, 90});
  Press(table, 10, 3);
  EXPECT_EQ(table->startFlag, 1);
  testing::internal::CaptureStdout();
  Press(table, 90, 3);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "CLEAR!\n");
  EXPECT_EQ(CloseNameDialogs(), 1);
  ExpectEnded();
  EXPECT_EQ(Shown(10), table->image->TmarkPix[4]);
  EXPECT_EQ(Shown(90), table->image->TmarkPix[4]);
  EXPECT_EQ(Shown(50), table->image->TmarkPix[1]);
}

TEST_F(PlayTest, OpeningEverySafeCellDoesNotWin) {
  Plant(wall);
  for (int i = 0; i < Cells(); i++) {
    if (!table->board[i]->bomb)
      Release(table, i, 1);
  }
  EXPECT_EQ(int(Open().size()), Cells() - int(wall.size()));
  EXPECT_EQ(table->startFlag, 1);
  EXPECT_EQ(CloseNameDialogs(), 0);
}

TEST_F(PlayTest, OpeningABombLosesAndRevealsTheBoard) {
  Plant(wall);
  Release(table, 24, 1);
  Press(table, 17, 3); // a bomb, marked
  Press(table, 95, 3); // a safe cell, marked
  testing::internal::CaptureStdout();
  Release(table, 53, 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  ExpectEnded();
  EXPECT_EQ(CloseNameDialogs(), 0);
  EXPECT_EQ(Shown(53), table->image->TbombPix);
  EXPECT_TRUE(table->board[53]->get_active());
  EXPECT_EQ(Shown(17), table->image->TmarkPix[4]);
  EXPECT_EQ(Shown(95), table->image->TmarkPix[5]);
  EXPECT_EQ(Shown(29), table->image->TbombPix);
  EXPECT_FALSE(table->board[29]->get_active());
  EXPECT_EQ(Shown(24), table->image->TnumPix[0]);
  EXPECT_EQ(Shown(107), table->image->TmarkPix[1]);

  // Clicks after the end change nothing; in particular no new draw starts over the board.
  Release(table, 107, 1);
  Press(table, 106, 3);
  EXPECT_TRUE(table->startFlag == 0 && timer.timeFlag == 0);
  EXPECT_EQ(table->nBomb, int(wall.size()));
  EXPECT_EQ(table->board[29]->bomb, 1);
  EXPECT_EQ(Shown(107), table->image->TmarkPix[1]);
  EXPECT_EQ(Shown(106), table->image->TmarkPix[1]);
}

TEST_F(PlayTest, AFirstOpeningThatLeavesNoBombWins) {
  // At 100 % every bomb of a 3 x 3 board lies in the cleared block of its centre.
  table->ReCreate(3, 3, 100, 8);
  testing::internal::CaptureStdout();
  Release(table, 4, 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "CLEAR!\n");
  EXPECT_EQ(table->nBomb, 0);
  EXPECT_EQ(CloseNameDialogs(), 1);
  ExpectEnded();
  for (int i = 0; i < 9; i++)
    EXPECT_EQ(Shown(i), table->image->TnumPix[0]) << i;
}

TEST_F(PlayTest, AOneWideBoardIsNotClearedAtTheFirstOpening) {
  table->ReCreate(1, 6, 100, 8);
  testing::internal::CaptureStdout();
  Release(table, 2, 1);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("BLANK_ERROR"), std::string::npos);
  EXPECT_EQ(table->nBomb, 6);
  EXPECT_EQ(Shown(2), table->image->TbombPix);
  ExpectEnded();
}

TEST_F(PlayTest, SlotsASavedGameLeftEmptyAreSkipped) {
  Plant({0});
  delete table->board[40];
  table->board[40] = nullptr;
  Release(table, 50, 1);
  EXPECT_EQ(table->board[51]->state, 0);
  table->GameOver();
  EXPECT_EQ(table->startFlag, 0);
}

// The whole capacity board, 100 x 100 cells without a bomb but one in the far corner, floods
// from the opposite corner on a small stack: one level of recursion per empty cell would need
// well over the stack it is given here.
TEST_F(PlayTest, FloodOverTheWholeCapacityBoardNeedsNoDeepStack) {
  EXPECT_EXIT(
      {
        table->ReCreate(100, 100, 0, 4);
        Plant({9999});
        Press(table, 1234, 3);
        rlimit limit;
        getrlimit(RLIMIT_STACK, &limit);
        limit.rlim_cur = 256 * 1024;
        setrlimit(RLIMIT_STACK, &limit);
        Release(table, 0, 1);
        int open = 0;
        for (int i = 0; i < 10000; i++)
          open += table->board[i]->state == 0;
        bool sound = open == 9999 && table->board[9999]->state == 1 && table->MissCount == 0 &&
                     table->startFlag == 1;
        std::exit(sound ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

} // namespace
