// The score list and MINE_SCORE.data: the score and the line written for a win, the traces of
// reading, the order of the list, and what reading makes of damaged or hostile files. Each
// test runs in a fresh temporary working directory.
#include "scorefile.h"
#include "support.h"

#include <algorithm>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

// A line as the game writes it; the check value is summed here for names of plain ASCII.
std::string Line(int score, int row, int col, int bomb, int sec, int mode, int time,
                 const std::string& name) {
  int check = row * col + bomb + sec;
  for (char c : name)
    check += c;
  return std::to_string(score) + "\t" + std::to_string(row) + "\t" + std::to_string(col) + "\t" +
         std::to_string(bomb) + "\t" + std::to_string(sec) + "\t" + std::to_string(mode) + "\t" +
         std::to_string(time) + "\t" + std::to_string(check) + "\t" + name + "\n";
}

class ScoreFileTest : public TempDirTest {
protected:
  ScoreFile list;

  void TearDown() override {
    testing::internal::CaptureStdout();
    list.ALLDeleteList();
    testing::internal::GetCapturedStdout();
    TempDirTest::TearDown();
  }

  std::string Read() {
    testing::internal::CaptureStdout();
    list.ReadFile();
    return testing::internal::GetCapturedStdout();
  }

  std::string Write(int nRow0, int nCol0, int nBomb0, int nSec0, int mode0, std::string name,
                    int* times = 0) {
    Glib::ustring text(name);
    testing::internal::CaptureStdout();
    int stamp = list.WriteFile(nRow0, nCol0, nBomb0, nSec0, mode0, text);
    if (times != 0)
      *times = stamp;
    return testing::internal::GetCapturedStdout();
  }

  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (ScoreItem* node = list.firstList; node != 0; node = node->next)
      names.push_back(node->name.raw());
    return names;
  }

  // Following next visits listCount records and ends at endList; prev mirrors next.
  void ExpectLinked() {
    int count = 0;
    ScoreItem* prev = 0;
    for (ScoreItem* node = list.firstList; node != 0; node = node->next) {
      EXPECT_EQ(node->prev, prev);
      prev = node;
      count++;
      ASSERT_LE(count, list.listCount);
    }
    EXPECT_EQ(prev, list.endList);
    EXPECT_EQ(count, list.listCount);
  }
};

} // namespace

TEST_F(ScoreFileTest, WorkedExampleIsWrittenToTheByte) {
  int times = 0;
  std::string trace = Write(10, 10, 10, 250, 1, "bob", &times);
  EXPECT_EQ(trace, "SCORE:555 SEC/30:18 RATE:1000 BOMB^3/2:10\n");
  EXPECT_EQ(ReadText("MINE_SCORE.data"),
            "555\t10\t10\t10\t250\t1\t" + std::to_string(times) + "\t667\tbob\n");
  EXPECT_NEAR(times, static_cast<double>(time(0)), 5);
}

TEST_F(ScoreFileTest, ScoreFollowsTheFormulaWithoutOverflowOrDivisionByZero) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(list.CalcScore(10, 10, 10, 29), 1000);
  EXPECT_EQ(list.CalcScore(20, 20, 80, 1200), 3200);
  EXPECT_EQ(list.CalcScore(15, 15, 34, 3000), 467);
  EXPECT_EQ(list.CalcScore(0, 10, 5, 100), 0);
  EXPECT_EQ(list.CalcScore(10, 10, 10, -300), 0);
  EXPECT_EQ(list.CalcScore(1, 1, INT_MAX, 0), INT_MAX);
  std::string trace = testing::internal::GetCapturedStdout();
  EXPECT_NE(trace.find("SCORE:3200 SEC/30:50 RATE:2000 BOMB^3/2:80\n"), std::string::npos);
  EXPECT_NE(trace.find("SCORE:0 SEC/30:13 RATE:0 BOMB^3/2:5\n"), std::string::npos);
}

TEST_F(ScoreFileTest, EmptyNameEndsInATabAndReadsBack) {
  int times = 0;
  Write(10, 10, 10, 250, 1, "", &times);
  std::string text = ReadText("MINE_SCORE.data");
  EXPECT_EQ(text.substr(text.size() - 6), "\t360\t\n");
  Read();
  ASSERT_EQ(list.listCount, 1);
  EXPECT_EQ(list.firstList->name.raw(), "");
  EXPECT_EQ(list.firstList->TIME, times);
}

TEST_F(ScoreFileTest, ReadingTracesAsDesigned) {
  EXPECT_EQ(Read(), "CAN'T OPEN MINE_SCORE.data\n");
  WriteText("MINE_SCORE.data", "");
  EXPECT_EQ(Read(), "OPEN MINE_SCORE.data\nNUM :0\n");

  std::string good = Line(555, 10, 10, 10, 250, 1, 1700000000, "bob");
  std::string altered = good;
  altered[altered.find("250")] = '3';
  WriteText("MINE_SCORE.data", good + "\n" + altered + good + "a\tb\tc\t\t\t\t\t\t\t\n" + "tail");
  EXPECT_EQ(Read(), "OPEN MINE_SCORE.data\nWRONG SCORE ELEMENT\nWRONG SCORE VALUE_8\n"
                    "WRONG SCORE ELEMENT\nNUM :5\n");
  testing::internal::CaptureStdout();
  list.ViewList();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "[0] : 555\t10\t10\t10\t250\t1\t1700000000\tbob\n"
            "[1] : 555\t10\t10\t10\t250\t1\t1700000000\tbob\n"
            "OK! MATCH LIST\n");
}

TEST_F(ScoreFileTest, OnlyRowsColumnsBombsTimeAndNameAreChecked) {
  WriteText("MINE_SCORE.data",
            Line(1, 10, 10, 10, 250, 3, 0, "bob") + "555\t10\t10\t10\t250\t1\t0\t667\tobb\n" +
                "555\t11\t10\t0\t250\t1\t0\t667\tbob\n" + "555\t10\t10\t10\t250\t1\t0\t667\tBob\n");
  EXPECT_EQ(Read(), "OPEN MINE_SCORE.data\nWRONG SCORE VALUE_8\nNUM :4\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"bob", "obb", "bob"}));
}

TEST_F(ScoreFileTest, OrderIsScoreThenFewestTenthsThenFileOrder) {
  WriteText("MINE_SCORE.data",
            Line(300, 10, 10, 10, 90, 1, 1, "a") + Line(500, 10, 10, 10, 90, 1, 2, "b") +
                Line(300, 10, 10, 10, 40, 1, 3, "c") + Line(300, 10, 10, 10, 90, 1, 4, "d") +
                Line(-5, 10, 10, 10, 10, 1, 5, "e") + Line(500, 10, 10, 10, 90, 1, 6, "f") +
                Line(300, 10, 10, 10, 40, 1, 7, "g"));
  Read();
  list.SortList();
  EXPECT_EQ(Names(), (std::vector<std::string>{"b", "f", "c", "g", "a", "d", "e"}));
  ExpectLinked();
}

TEST_F(ScoreFileTest, SortMatchesAStableSortOnManyTies) {
  std::string text;
  std::vector<std::pair<std::pair<int, int>, int>> expected;
  srand(7);
  for (int i = 0; i < 3000; i++) {
    int score = rand() % 20;
    int sec = rand() % 5;
    text += Line(score, 10, 10, 10, sec, 1, i, "n");
    expected.push_back({{-score, sec}, i});
  }
  WriteText("MINE_SCORE.data", text);
  Read();
  list.SortList();
  std::stable_sort(expected.begin(), expected.end(),
                   [](const std::pair<std::pair<int, int>, int>& a,
                      const std::pair<std::pair<int, int>, int>& b) { return a.first < b.first; });
  ExpectLinked();
  ScoreItem* node = list.firstList;
  for (size_t i = 0; i < expected.size() && node != 0; i++, node = node->next)
    ASSERT_EQ(node->TIME, expected[i].second) << "at " << i;
}

TEST_F(ScoreFileTest, ReloadAfterAWinPutsTheNewRecordInPlace) {
  WriteText("MINE_SCORE.data", Line(100, 10, 10, 10, 900, 1, 5, "old"));
  Read();
  int times = 0;
  Write(10, 10, 10, 250, 1, "bob", &times);
  testing::internal::CaptureStdout();
  list.ALLDeleteList();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "SCORE ALL DELETE!\n");
  Read();
  list.SortList();
  ASSERT_EQ(list.listCount, 2);
  EXPECT_EQ(list.firstList->TIME, times);
  EXPECT_EQ(list.endList->name.raw(), "old");
  ScoreItem* old = list.endList;
  list.RejectList(old);
  list.InsertList(old, list.firstList);
  EXPECT_EQ(Names(), (std::vector<std::string>{"old", "bob"}));
  ExpectLinked();
}

TEST_F(ScoreFileTest, ARecordNeverFusesWithAnUnendedLastLine) {
  std::string good = Line(1, 10, 10, 10, 1, 1, 1, "a");
  WriteText("MINE_SCORE.data", good.substr(0, good.size() - 1));
  EXPECT_EQ(Read(), "OPEN MINE_SCORE.data\nNUM :0\n");
  Write(10, 10, 10, 250, 1, "bob");
  EXPECT_EQ(ReadText("MINE_SCORE.data").substr(0, good.size()), good);
  EXPECT_EQ(Read(), "OPEN MINE_SCORE.data\nNUM :2\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "bob"}));
}

// Whatever the name holds, the line written reads back as one record; no name is lost to
// the locale.
TEST_F(ScoreFileTest, NamesReadBackAsTheyWereMeant) {
  std::string old = std::setlocale(LC_ALL, 0);
  std::setlocale(LC_ALL, "C");
  std::string utf8 = "Zo\xc3\xab \xe6\x97\xa5";
  std::string longName = "a";
  for (int i = 0; i < 200; i++)
    longName += "\xc3\xa9";
  EXPECT_NO_THROW(Write(10, 10, 10, 250, 1, utf8));
  Write(10, 10, 10, 250, 1, "b\to\nb\r\x01\x7f\xc2\x85!");
  Write(10, 10, 10, 250, 1, longName);
  Write(10, 10, 10, 250, 1, "\xf0\x9f");
  EXPECT_EQ(Read(), "OPEN MINE_SCORE.data\nNUM :4\n");
  testing::internal::CaptureStdout();
  EXPECT_NO_THROW(list.ViewList());
  std::string trace = testing::internal::GetCapturedStdout();
  std::setlocale(LC_ALL, old.c_str());
  EXPECT_EQ(Names(), (std::vector<std::string>{utf8, "bob!", longName.substr(0, 253), "\xf0\x9f"}));
  EXPECT_NE(trace.find(utf8), std::string::npos);
}

// Each file holds lines that must be dropped among valid ones that must all be kept.
TEST_F(ScoreFileTest, DamagedAndHostileFilesKeepEveryValidLine) {
  std::string good = Line(7, 10, 10, 10, 250, 1, 0, "ok");
  std::string crlf = Line(2, 10, 10, 10, 250, 1, 0, "cr");
  crlf.insert(crlf.size() - 1, "\r");
  const char nul[] = "1\t10\t10\t10\t250\t1\t0\t555\ta\0b\n";
  struct Case {
    std::string text;
    std::string trace;
    std::vector<std::string> names;
  } cases[] = {
      // Lead bytes that promise more bytes than there are: only the bytes there are summed.
      {"1\t10\t10\t10\t250\t1\t0\t337\t\xe9t\xe9\n3\t10\t10\t10\t250\t1\t0\t357\t\xff\xfe\n",
       "",
       {"\xe9t\xe9", "\xff\xfe"}},
      {std::string(nul, sizeof nul - 1) + crlf + "\r\n",
       "WRONG SCORE ELEMENT\n",
       {std::string("a\0b", 3), "cr"}},
      {good + "1\t10\t10\t10\t250\t1\t0\t" + std::to_string(360 + 255 * 'x') + "\t" +
           std::string(255, 'x') + "\n" + std::string(100000, '\t') + "\n" +
           std::string(5 * 1024 * 1024, 'y') + "\n" + good,
       "WRONG SCORE ELEMENT\nWRONG SCORE ELEMENT\nWRONG SCORE ELEMENT\n",
       {"ok", "ok"}},
      // 4294967306 is 10 in 32-bit wrap-around; it reads as the largest int and cannot match.
      {"1\t4294967306\t10\t10\t250\t1\t0\t360\tbob\n"
       "99999999999999999999\t10\t10\t10\t250\t1\t-99999999999\t666\tbig\n"
       "1\t10\t10\t10\t250\t1\t0\t99999999999999999\tbob\n",
       "WRONG SCORE VALUE_8\nWRONG SCORE VALUE_8\n",
       {"big"}},
  };
  for (const Case& c : cases) {
    list.ALLDeleteList();
    WriteText("MINE_SCORE.data", c.text);
    std::string trace = Read();
    EXPECT_EQ(trace.substr(21, trace.rfind("NUM :") - 21), c.trace);
    EXPECT_EQ(Names(), c.names);
    ExpectLinked();
  }
  EXPECT_EQ(list.firstList->score, INT_MAX);
  EXPECT_EQ(list.firstList->TIME, INT_MIN);
}

TEST_F(ScoreFileTest, ADirectoryInPlaceOfTheFileIsReported) {
  ASSERT_EQ(mkdir("MINE_SCORE.data", 0755), 0);
  EXPECT_EQ(Read(), "CAN'T OPEN MINE_SCORE.data\n");
  int times = 0;
  std::string trace = Write(10, 10, 10, 250, 1, "bob", &times);
  EXPECT_EQ(trace, "SCORE:555 SEC/30:18 RATE:1000 BOMB^3/2:10\nCAN'T WRITE MINE_SCORE.data\n");
  EXPECT_NE(times, 0);
}

TEST_F(ScoreFileTest, AFullDiskLosesNothingAndIsReported) {
  std::string good;
  for (int i = 0; i < 10; i++)
    good += Line(7, 10, 10, 10, 250, 1, i, "ok");
  WriteText("MINE_SCORE.data", good);
  // A file size limit stands in for a full disk: the append is cut short with an error. The
  // limit binds every file, the captured trace too, which stays well below it.
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit tight = old;
  tight.rlim_cur = good.size() + 10;
  std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
  std::string trace = Write(10, 10, 10, 250, 1, "bob");
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_NE(trace.find("CAN'T WRITE MINE_SCORE.data\n"), std::string::npos);
  EXPECT_EQ(ReadText("MINE_SCORE.data").substr(0, good.size()), good);

  Write(10, 10, 10, 250, 1, "eve");
  Read();
  list.SortList();
  ASSERT_EQ(list.listCount, 11);
  EXPECT_EQ(list.firstList->name.raw(), "eve");
}
