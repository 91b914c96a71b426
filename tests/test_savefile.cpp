// SPDX-License-Identifier: GPL-3.0-or-later
// Saved games on coarse-timed file systems, and damaged ones. Needs a display; runs in a temp dir.
#include "support.h"

// A sound 2 x 2 game: one bomb, marked; one safe cell open.
const std::string smallGame = "STATE<\n2\t2\t10\t1\t8\t1\t0\t55\t4\n>\nBOARD<\n"
                              "0\t0\t2\t1\t1\n1\t0\t0\t0\t1\n0\t1\t1\t0\t1\n1\t1\t1\t0\t1\n>\n";
const std::string stamp = "FILE<\n7\t1700000000\t123456789\t0\n>\n";

class SaveFileTest : public BoardTest {
protected:
  // The check's result; its trace goes to `said`.
  int Find() {
    int result = 0;
    said = Trace([&] { result = saveFile.FindState(); });
    return result;
  }
  std::string Load() {
    delete table;
    timer.Stop();
    table = new MineTable(nullptr, &timer, &scores);
    return Trace([this] { saveFile.LoadState(table); });
  }

  SaveFile saveFile;
  std::string said;
};

// The working directory, or an image made by the command given and mounted there: ext4 with small
// inodes (whole seconds, no birth time) and FAT through FUSE (two seconds, inodes made up).
class DiskTest : public SaveFileTest, public testing::WithParamInterface<std::string> {
protected:
  void SetUp() override {
    SaveFileTest::SetUp();
    // Mounts in a namespace of this process's own reach nowhere else and vanish with it.
    static const bool privateMounts = geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
                                      mount(0, "/", 0, MS_REC | MS_PRIVATE, 0) == 0;
    // The file system makers live in the system directories, which a user's path may lack.
    std::string make = "truncate -s 4M disk.img && PATH=$PATH:/usr/sbin:/sbin " + GetParam();
    if (GetParam().empty() || (privateMounts && !std::system((make + " >/dev/null 2>&1").c_str()) &&
                               !mkdir("disk", 0755) && Mount()))
      return;
    if (std::getenv("VELMINE_MUST_MOUNT") != nullptr)
      FAIL() << "could not make and mount the image";
    GTEST_SKIP() << "mounting an image needs root and the right to mount";
  }
  void TearDown() override {
    Unmount();
    SaveFileTest::TearDown();
  }
  // The journal commits every ten minutes: only what the game forces reaches the image. The FUSE
  // daemon answers once mounted; its image is written when an unmount returns.
  bool Mount() {
    mounted = !std::system(fuse ? "fusefat -o rw+ disk.img disk >/dev/null"
                                : "mount -o loop,commit=600 disk.img disk");
    return mounted && chdir("disk") == 0;
  }
  void Unmount() {
    EXPECT_EQ(chdir(dir.c_str()), 0);
    EXPECT_TRUE(!mounted || umount2("disk", 0) == 0);
    mounted = false;
  }

  const bool fuse = GetParam().find("fat") != std::string::npos;
  bool mounted = false;
};

INSTANTIATE_TEST_SUITE_P(, DiskTest,
                         testing::Values("", "mkfs.ext4 -q -I 128 disk.img", "mkfs.fat disk.img"));

// A save verifies after a remount and other look-ups; a copy and a same-second edit do not.
TEST_P(DiskTest, SavesResumeAndCopiesAndEditsAreRefused) {
  replay::WriteAll(replay::saveName, smallGame + stamp);
  Load();
  EXPECT_EQ(Trace([this] { saveFile.SaveState(table); }), "WRITE\n55\n2\n");
  EXPECT_EQ(replay::ReadAll(replay::saveName).substr(0, smallGame.size() + 6),
            smallGame + "FILE<\n");
  if (mounted) {
    Unmount();
    ASSERT_TRUE(Mount());
    for (const char* name : {"x", "y", "z"})
      replay::WriteAll(name, name);
  }
  EXPECT_EQ(Find(), 0);
  EXPECT_EQ(said, "LOAD STATE\nFIND:OPEN MINE_SAVE.data\nMATCH BOMBCOUNT\nMATCH MISSCOUNT\n"
                  "MATCH BOMB\nMODE :4\nMATCH ACT\nMATCH INODE\nMATCH ATIME\nMATCH CTIME\n"
                  "MATCH MTIME\n");
  EXPECT_EQ(Load(), "LOAD STATE\nOPEN MINE_SAVE.data\nMATCH INODE\nMATCH ATIME\nMATCH CTIME\n"
                    "MATCH MTIME\nOK FILE ELEMENT\n");
  // FAT through FUSE forgets a renamed file's times, loses a truncated one's clusters and makes
  // inode numbers up: there files go by name, and a copy keeping the times passes. Then an edit.
  const std::string put = fuse ? " && rm MINE_SAVE.data && " : " && ";
  const std::pair<std::string, int> cases[] = {
      {"cp MINE_SAVE.data c && touch -r MINE_SAVE.data c" + put +
           (fuse ? "cp c MINE_SAVE.data && touch -r c MINE_SAVE.data" : "mv c MINE_SAVE.data"),
       fuse ? 0 : 2},
      {"sed 's/\t55\t/\t65\t/' MINE_SAVE.data >c" + put + "cat c >MINE_SAVE.data", 3}};
  for (const auto& [command, result] : cases) {
    std::remove(replay::saveName);
    std::remove("c");
    Trace([this] { saveFile.SaveState(table); });
    EXPECT_EQ(Find(), 0);
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(Find(), result) << command;
  }
}

// On ext4, what the player is told is done is in a copy of the image taken at once (a power cut).
// A game is resumed only where its file can be removed, else kept until it can be.
TEST_P(DiskTest, NothingDoneIsLostToAPowerCutAndNoGameIsResumedTwice) {
  if (!mounted || fuse)
    GTEST_SKIP() << "judged on the ext4 image alone";
  auto inCopy = [](const std::function<void()>& what) {
    ASSERT_EQ(std::system("cp ../disk.img ../c.img && mkdir -p ../c && mount ../c.img ../c"), 0);
    ASSERT_EQ(chdir("../c"), 0);
    what();
    EXPECT_EQ(chdir("../disk") + umount2("../c", 0), 0);
  };
  replay::WriteAll(replay::saveName, smallGame + stamp);
  Load();
  Trace([this] { EXPECT_EQ(saveFile.SaveState(table), 0); });
  inCopy([this] { EXPECT_EQ(Find(), 0) << said; });
  ASSERT_EQ(std::system("mount -o remount,ro ."), 0);
  MineWindow* window = nullptr;
  EXPECT_NE(Trace([&window] {
              (window = new MineWindow())->Create();
            }).find("CAN'T REMOVE MINE_SAVE.data\nKEEP SAVE.data\n"),
            std::string::npos);
  Gtk::Window* load = Shown<Gtk::Window>("LOAD").at(0);
  EXPECT_NE(ShownIn<Gtk::Label>(load).at(0)->get_text().find("resumed once"), std::string::npos);
  ButtonIn(load, "Ok")->clicked();
  Settle(); // the fresh board in its place fits the window with the rows around it
  Gtk::ScrolledWindow* view = window->vbox->table->scrWin;
  EXPECT_FALSE(view->get_hscrollbar()->get_visible() || view->get_vscrollbar()->get_visible());
  Trace([window] { delete window; });
  ASSERT_EQ(std::system("mount -o remount,rw ."), 0);
  Load();
  inCopy([] { EXPECT_NE(access(replay::saveName, F_OK), 0); });
  for (Glib::ustring name : {"new", "old"}) {
    Trace([&] { scores.WriteFile(10, 10, 10, 250, 1, name); });
    std::string written = replay::ReadAll(replay::scoreName);
    inCopy([&] { EXPECT_EQ(replay::ReadAll(replay::scoreName), written); });
  }
}

// Each is refused, the check or the load says why, and the load leaves a whole board of its size.
TEST_F(SaveFileTest, DamagedFilesAreRefusedAndLoadIntoAWholeBoard) {
  // What is told, the text replaced, and what replaces it.
  const std::tuple<const char*, const char*, std::vector<const char*>> cases[] = {
      {"!=2x2\n", "1\t1\t1\t0\t1\n", {""}},
      {"FILL BOARD 1\n2\t2\t10\n", "1\t1\t1\t0\t1\n", {""}}, // the slot left filled, the mode set
      {"ERROR BOARD 1\n", "1\t0\t0\t0\t1\n", {"1\t0\t0\t0\n"}},
      {"WRONG BOARD ELEMENTS\n", "0\t1\t1\t0\t1\n", {"0\t1\t1\n"}},
      {"WRONG BOARD PLACE\n", "0\t1\t1\t0\t1\n", {"2\t0\t1\t0\t1\n"}}, // a row past the board
      {"WRONG BOMBCOUNT :0!=1\nWRONG MISSCOUNT :1!=0\nWRONG BOMB :2!=1\n",
       "2\t2\t10\t1\t8\t1\t0",
       {"2\t2\t10\t2\t8\t0\t1"}},
      {"ERROR BOARD PLACE 0\nERROR BOARD PLACE 1\n",
       "0\t0\t2\t1\t1\n1\t0\t0\t0\t1",
       {"1\t0\t0\t0\t1\n0\t0\t2\t1\t1"}},
      {"ERROR FILE \n", "7\t1700000000\t123456789\t0", {"1\t2"}},
      {"ERROR BOARD VALUE 1\n",
       "1\t0\t0\t0\t1",
       {"1\t0\t3\t0\t1", "1\t0\t-1\t0\t1", "1\t0\t1\t2\t1", "1\t0\t0\t0\t9", "1\t0\t1\t0\t-1"}},
      {"ERROR STATUS VALUE\n",
       "2\t2\t10\t1\t8",
       {"1\t10\t10\t1\t8", "101\t100\t10\t1\t8", "2\t2\t10\t1\t3", "2\t2\t10\t1\t101",
        "65536\t65536\t10\t1\t8", "99999999999\t-99999999999\t10\t1\t8"}},
      {"UNKNOWN MODE\n", "55\t4", {"55\t0", "55\t5"}}};
  EXPECT_EQ(Trace([this] { EXPECT_EQ(saveFile.SaveState(table), 0); }), ""); // never built: no game
  for (const auto& [why, from, tos] : cases)
    for (const char* to : tos) {
      std::string text = smallGame + stamp;
      replay::WriteAll(replay::saveName, text.replace(text.find(from), std::strlen(from), to));
      EXPECT_EQ(Find(), 4) << why;
      EXPECT_NE((said + Load()).find(why), std::string::npos) << to;
      for (int i = 0; i < MineTable::CAPACITY; i++)
        ASSERT_EQ(table->board[i] ? table->board[i]->image->get_pixbuf()->get_width() : 0,
                  i < Cells() ? table->nSize : 0)
            << to << i;
    }
  EXPECT_EQ(Trace([this] { EXPECT_EQ(saveFile.LoadState(table), 1); }), // gone since the check
            "LOAD STATE\nNO MINE_SAVE.data\n");
  Trace([this] { table->ReCreate(2, 2, 10, 3); }); // pictures too small for a saved game
  EXPECT_EQ(Trace([this] { EXPECT_EQ(saveFile.SaveState(table), EINVAL); }),
            "CAN'T WRITE MINE_SAVE.data\n");
}

// The stamp against the file's status: another inode or birth time is a copy (2), other times an
// edit (3); where inode numbers are made up, a stamp holds 0 for one.
TEST(SaveCheckTest, TheStampIsJudgedByTheFilesStatus) {
  const std::pair<SaveFile::Status, std::string> cases[] = {
      {{7, false, 50, 60, 70}, "MATCH INODE\nMATCH ATIME\nMATCH CTIME\nMATCH MTIME\n0"},
      {{8, false, 50, 60, 70}, "INODE : 7!=8\nMATCH ATIME\nMATCH CTIME\nMATCH MTIME\n2"},
      {{7, false, 50, 60, 71}, "MATCH INODE\nMATCH ATIME\nCTIME : 70!=71\nMATCH MTIME\n2"},
      {{8, false, 51, 60, 70}, "INODE : 7!=8\nATIME : 50!=51\nMATCH CTIME\nMATCH MTIME\n3"},
      {{7, false, 50, 61, 70}, "MATCH INODE\nMATCH ATIME\nMATCH CTIME\nMTIME : 60!=61\n3"},
      {{9, true, 50, 60, 70}, "MATCH INODE\nMATCH ATIME\nMATCH CTIME\nMATCH MTIME\n0"},
      {{-1, false, 50, 60, 70}, "CAN'T GET MINE_SAVE.data\n1"}}; // no status to be had
  for (const auto& [status, verdict] : cases) {
    std::istringstream in(smallGame + "FILE<\n" + (status.inodeMadeUp ? "0" : "7") +
                          "\t50\t60\t70\n>\n");
    int result = 0;
    auto said = Trace([&] { result = SaveFile().FindState(in, status.inode < 0 ? 0 : &status); });
    EXPECT_EQ(said.substr(said.find("MATCH ACT\n") + 10) + std::to_string(result), verdict);
  }
}
