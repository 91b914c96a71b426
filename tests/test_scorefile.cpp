// SPDX-License-Identifier: GPL-3.0-or-later
// The score list and MINE_SCORE.data. Needs a display; runs in a temporary working directory.
#include "support.h"

class ScoreFileTest : public BoardTest {
protected:
  std::string Read() {
    return Trace([this] {
      scores.ALLDeleteList();
      scores.ReadFile();
    });
  }
  // The names in list order, once the links back and the count are found to agree.
  std::vector<std::string> Names() {
    std::vector<std::string> names, back;
    for (ScoreItem* node = scores.firstList; node != nullptr; node = node->next)
      names.push_back(node->name.raw());
    for (ScoreItem* node = scores.endList; node != nullptr; node = node->prev)
      back.insert(back.begin(), node->name.raw());
    EXPECT_EQ(std::make_pair(back, scores.listCount), std::make_pair(names, int(names.size())));
    return names;
  }
};

// Scores never overflow nor divide by zero; a directory in the file's place is told.
TEST_F(ScoreFileTest, AnyBoardIsScoredAndAFileInTheWayIsTold) {
  const int cases[][5] = {{0, 10, 5, 100, 0}, {10, 10, 10, -300, 0}, {1, 1, INT_MAX, 0, INT_MAX}};
  for (const auto& c : cases)
    EXPECT_EQ(scores.CalcScore(c[0], c[1], c[2], c[3]), c[4]) << c[3];
  ASSERT_EQ(mkdir("MINE_SCORE.data", 0755), 0);
  EXPECT_EQ(Read(), "SCORE ALL DELETE!\nCAN'T OPEN MINE_SCORE.data\n");
  Glib::ustring bob("bob");
  EXPECT_EQ(Trace([&] { scores.WriteFile(10, 10, 10, 250, 1, bob); }),
            "SCORE:555 SEC/30:18 RATE:1000 BOMB^3/2:10\nCAN'T WRITE MINE_SCORE.data\n");
}

// Equal records keep the file's order among many as among few; two are sorted too.
TEST_F(ScoreFileTest, SortIsByScoreThenFewestTenthsAndStable) {
  for (int count : {2, 3002}) { // then 3000 more
    for (int i = scores.listCount; i < count; i++)
      scores.AppendList(new ScoreItem{i % 7 - 2, 10, 10, 10, i % 5, 1, 0, i, "", nullptr, nullptr});
    scores.SortList();
    EXPECT_EQ(Names().size(), size_t(count));
    for (ScoreItem* node = scores.firstList; node->next != nullptr; node = node->next)
      EXPECT_LT(std::make_tuple(-node->score, node->sec, node->TIME),
                std::make_tuple(-node->next->score, node->next->sec, node->next->TIME));
  }
}

// Lines to drop among valid ones that must all be kept. Values beyond an int read as its limits
// (4294967306 as the largest, never as 10); the stamp has 64 bits. A name may end in a carriage
// return that its check value counts. Lead bytes past the name's end are not summed.
TEST_F(ScoreFileTest, ReadingKeepsExactlyTheValidLines) {
  using namespace std::string_literals;
  replay::WriteAll(
      replay::scoreName,
      "1\t4294967306\t10\t10\t250\t1\t4102444800\t557\tbob\n"
      "7\t10\t10\t10\t250\t1\t0\t578\tok\n\n7\t10\t10\t10\t350\t1\t0\t578\tok\n"
      "1\t10\t10\t10\t250\t1\t0\t" +
          std::to_string(360 + 255 * 'x') + "\t" + std::string(255, 'x') + "\n" +
          std::string(100000, '\t') + "\n" + std::string(10, '\t') + std::string(60, 'x') +
          "\n1\t10\t10\t10\t250\t1\t0\t337\t\xe9t\xe9\n3\t10\t10\t10\t250\t1\t0\t357\t\xff\xfe\n"
          "1\t10\t10\t10\t250\t1\t0\t555\ta\0b\n"s +
          "2\t10\t10\t10\t250\t1\t0\t573\tcr\r\n\r\n3\t10\t10\t10\t250\t1\t0\t586\tcr\r\n"
          "3\t10\t10\t10\t250\t1\t0\t586\tcr\r\r\n"
          "1\t10\t10\t10\t250\t1\t0\t99999999999999999\tbob\n"
          "1\t4294967306\t10\t10\t250\t1\t0\t667\tbob\n"
          "99999999999999999999\t10\t10\t10\t250\t1\t-99999999999999999999\t666\tbig\ntail");
  EXPECT_EQ(Read(),
            "SCORE ALL DELETE!\nOPEN MINE_SCORE.data\nWRONG SCORE ELEMENT\nWRONG SCORE VALUE_8\n"
            "WRONG SCORE ELEMENT\nWRONG SCORE ELEMENT\nWRONG SCORE ELEMENT\n"
            "WRONG SCORE ELEMENT\nWRONG SCORE VALUE_8\nWRONG SCORE VALUE_8\nNUM :17\n");
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"bob", "ok", "\xe9t\xe9", "\xff\xfe", std::string("a\0b", 3),
                                      "cr", "cr\r", "cr\r", "big"}));
  EXPECT_EQ(std::make_tuple(scores.firstList->row, scores.firstList->TIME, scores.endList->score,
                            scores.endList->TIME),
            std::make_tuple(INT_MAX, 4102444800LL, INT_MAX, LLONG_MIN));
}

// Any name reads back as one record, whatever the locale, unfused with an unended last line.
TEST_F(ScoreFileTest, WrittenNamesReadBackAsMeant) {
  std::string old = std::setlocale(LC_ALL, nullptr), utf8 = "Zo\xc3\xab \xe6\x97\xa5";
  std::string longName = "a" + Glib::ustring(200, gunichar(0xe9)).raw();
  std::setlocale(LC_ALL, "C");
  replay::WriteAll(replay::scoreName, "1\t10\t10\t10\t1\t1\t1\t208\ta"); // its last line unended
  // A cut at a character boundary looks back three bytes at most, UTF-8 or not.
  for (Glib::ustring name : {utf8, std::string("b\to\nb\r\x01\x7f\xc2\x80!\xc2\x9f"), longName,
                             std::string("\xf0\x9f"), std::string(), std::string(300, '\x80')})
    EXPECT_NO_THROW(Trace([&] { scores.WriteFile(10, 10, 10, 250, 1, name); }));
  EXPECT_NE(Read().find("NUM :7\n"), std::string::npos);
  EXPECT_NE(Trace([this] { EXPECT_NO_THROW(scores.ViewList()); }).find(utf8), std::string::npos);
  std::setlocale(LC_ALL, old.c_str());
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", utf8, "bob!", longName.substr(0, 253),
                                               "\xf0\x9f", "", std::string(251, '\x80')}));
}
