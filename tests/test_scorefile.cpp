// The score list and MINE_SCORE.data: the score and line of a win, reading with its traces, the
// order, and damaged or hostile files. Runs in a temporary working directory.
#include "support.h"

#include <clocale>

namespace {

std::string Line(int score, int sec, int time, const std::string& name) {
  return ScoreLine(score, 10, 10, 10, sec, 1, time, name);
}

class ScoreFileTest : public TempDirTest {
protected:
  void TearDown() override {
    Trace([this] { list.ALLDeleteList(); });
    TempDirTest::TearDown();
  }
  // Reads the file afresh; returns the trace after the lines every read begins with.
  std::string Read() {
    std::string trace = Trace([this] {
      list.ALLDeleteList();
      list.ReadFile();
    });
    for (std::string head : {"SCORE ALL DELETE!\n", "OPEN MINE_SCORE.data\n"})
      if (trace.find(head) == 0)
        trace.erase(0, head.size());
    return trace;
  }
  std::string Write(const std::string& name, long long* times = nullptr) {
    Glib::ustring text(name);
    long long stamp = 0;
    std::string trace = Trace([&] { stamp = list.WriteFile(10, 10, 10, 250, 1, text); });
    if (times != nullptr)
      *times = stamp;
    return trace;
  }
  // The names in list order, once the links are found sound.
  std::vector<std::string> Names() {
    EXPECT_EQ(replay::CheckLinked(list), "");
    std::vector<std::string> names;
    for (ScoreItem* node = list.firstList; node != nullptr; node = node->next)
      names.push_back(node->name.raw());
    return names;
  }

  ScoreFile list;
};

TEST_F(ScoreFileTest, AWinIsScoredAndWrittenToTheByte) {
  long long times = 0;
  EXPECT_EQ(Write("bob", &times), "SCORE:555 SEC/30:18 RATE:1000 BOMB^3/2:10\n");
  EXPECT_EQ(ReadText("MINE_SCORE.data"),
            "555\t10\t10\t10\t250\t1\t" + std::to_string(times) + "\t667\tbob\n");
  EXPECT_NEAR(times, static_cast<double>(time(0)), 5);
  // Beyond real boards the score neither overflows nor divides by zero.
  const int cases[][5] = {{20, 20, 80, 1200, 3200},
                          {15, 15, 34, 3000, 467},
                          {0, 10, 5, 100, 0},
                          {10, 10, 10, -300, 0},
                          {1, 1, INT_MAX, 0, INT_MAX}};
  std::string trace = Trace([&] {
    for (const auto& c : cases)
      EXPECT_EQ(list.CalcScore(c[0], c[1], c[2], c[3]), c[4]) << c[0] << "x" << c[1];
  });
  EXPECT_NE(trace.find("SCORE:3200 SEC/30:50 RATE:2000 BOMB^3/2:80\n"), std::string::npos);
  ASSERT_EQ(std::remove("MINE_SCORE.data"), 0);
  ASSERT_EQ(mkdir("MINE_SCORE.data", 0755), 0); // a directory in the file's place
  EXPECT_EQ(Read(), "CAN'T OPEN MINE_SCORE.data\n");
  EXPECT_EQ(Write("bob"),
            "SCORE:555 SEC/30:18 RATE:1000 BOMB^3/2:10\nCAN'T WRITE MINE_SCORE.data\n");
}

TEST_F(ScoreFileTest, SortIsByScoreThenFewestTenthsAndStable) {
  std::string text;
  std::vector<std::tuple<int, int, std::string>> expected;
  for (int i = 0; i < 3000; i++) {
    int score = (i * 7919) % 20 - 2, sec = (i * 104729) % 5;
    text += Line(score, sec, i, std::to_string(i));
    expected.push_back({-score, sec, std::to_string(i)});
  }
  WriteText("MINE_SCORE.data", text);
  Read();
  list.SortList();
  std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
    return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
  });
  std::vector<std::string> names;
  for (const auto& e : expected)
    names.push_back(std::get<2>(e));
  EXPECT_EQ(Names(), names);
}

// Each file holds lines to drop among valid ones that must all be kept.
TEST_F(ScoreFileTest, ReadingKeepsExactlyTheValidLines) {
  std::string good = Line(7, 250, 0, "ok"), altered = good, crlf = Line(2, 250, 0, "cr");
  altered[altered.find("250")] = '3';
  crlf.insert(crlf.size() - 1, "\r");
  // A name may end in a carriage return that its check value counts, in LF and in CRLF files.
  std::string crName = Line(3, 250, 0, "cr\r"), crNameCrlf = crName;
  crNameCrlf.insert(crNameCrlf.size() - 1, "\r");
  const char nul[] = "1\t10\t10\t10\t250\t1\t0\t555\ta\0b\n";
  struct Case {
    std::string text, trace;
    std::vector<std::string> names;
  } cases[] = {
      {"", "NUM :0\n", {}},
      {good + "\n" + altered + good + "a\tb\tc\t\t\t\t\t\t\t\ntail",
       "WRONG SCORE ELEMENT\nWRONG SCORE VALUE_8\nWRONG SCORE ELEMENT\nNUM :5\n",
       {"ok", "ok"}},
      // Only rows, columns, bombs, tenths and name are covered by the check value.
      {Line(1, 250, 0, "bob").replace(0, 1, "9").replace(15, 1, "3") +
           "555\t10\t10\t10\t250\t1\t0\t667\tobb\n555\t11\t10\t0\t250\t1\t0\t667\tbob\n",
       "NUM :3\n",
       {"bob", "obb", "bob"}},
      // Lead bytes that promise more bytes than there are: only the bytes there are summed.
      {"1\t10\t10\t10\t250\t1\t0\t337\t\xe9t\xe9\n3\t10\t10\t10\t250\t1\t0\t357\t\xff\xfe\n",
       "NUM :2\n",
       {"\xe9t\xe9", "\xff\xfe"}},
      {std::string(nul, sizeof nul - 1) + crlf + "\r\n" + crName + crNameCrlf,
       "WRONG SCORE ELEMENT\nNUM :5\n",
       {std::string("a\0b", 3), "cr", "cr\r", "cr\r"}},
      {good + "1\t10\t10\t10\t250\t1\t0\t" + std::to_string(360 + 255 * 'x') + "\t" +
           std::string(255, 'x') + "\n" + std::string(100000, '\t') + "\n" +
           std::string(5 << 20, 'y') + "\n" + good,
       "WRONG SCORE ELEMENT\nWRONG SCORE ELEMENT\nWRONG SCORE ELEMENT\nNUM :5\n",
       {"ok", "ok"}},
      // Values beyond an int read as its limits: 4294967306 (10 in 32-bit wrap-around) as the
      // largest, whose check value wraps to 557, and never as 10, which would give 667. The
      // time stamp has 64 bits.
      {"1\t4294967306\t10\t10\t250\t1\t4102444800\t557\tbob\n"
       "99999999999999999999\t10\t10\t10\t250\t1\t-99999999999999999999\t666\tbig\n"
       "1\t10\t10\t10\t250\t1\t0\t99999999999999999\tbob\n"
       "1\t4294967306\t10\t10\t250\t1\t0\t667\tbob\n",
       "WRONG SCORE VALUE_8\nWRONG SCORE VALUE_8\nNUM :4\n",
       {"bob", "big"}},
  };
  for (const Case& c : cases) {
    WriteText("MINE_SCORE.data", c.text);
    EXPECT_EQ(Read(), c.trace);
    EXPECT_EQ(Names(), c.names);
  }
  EXPECT_EQ(list.firstList->row, INT_MAX);
  EXPECT_EQ(list.endList->score, INT_MAX);
  EXPECT_EQ(list.firstList->TIME, 4102444800LL);
  EXPECT_EQ(list.endList->TIME, LLONG_MIN);
}

// Whatever the name holds, its line reads back as one record; none is lost to the locale, and
// none fuses with an unended last line.
TEST_F(ScoreFileTest, WrittenNamesReadBackAsMeant) {
  std::string old = std::setlocale(LC_ALL, nullptr), utf8 = "Zo\xc3\xab \xe6\x97\xa5", longName;
  std::setlocale(LC_ALL, "C");
  for (int i = 0; i < 200; i++)
    longName += "\xc3\xa9";
  std::string unended = Line(1, 1, 1, "a");
  unended.pop_back();
  WriteText("MINE_SCORE.data", unended);
  // The cut at a character boundary looks back at most three bytes, even in bytes that are not
  // UTF-8.
  for (std::string name : {utf8, std::string("b\to\nb\r\x01\x7f\xc2\x85!"), "a" + longName,
                           std::string("\xf0\x9f"), std::string(), std::string(300, '\x80')})
    EXPECT_NO_THROW(Write(name));
  EXPECT_EQ(Read(), "NUM :7\n");
  EXPECT_NE(Trace([this] { EXPECT_NO_THROW(list.ViewList()); }).find(utf8), std::string::npos);
  std::setlocale(LC_ALL, old.c_str());
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", utf8, "bob!", ("a" + longName).substr(0, 253),
                                               "\xf0\x9f", "", std::string(251, '\x80')}));
}

} // namespace
