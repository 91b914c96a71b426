// SPDX-License-Identifier: GPL-3.0-or-later
// A win recorded on a full disk, and failed saves. Needs a display; runs in a temporary directory.
#include "support.h"

using FaultTest = BoardTest;

// A file size limit stands in for a full disk: the player is told before the table opens, no
// score is lost, the cut record does not fuse with the next; the name comes in chunks, cut.
TEST_F(FaultTest, AWinOnAFullDiskIsToldAndKeepsEveryScore) {
  std::string kept;
  for (int i = 0; i < 100; i++)
    kept += std::to_string(500 - i) + "\t10\t10\t10\t" + std::to_string(100 + i) + "\t1\t0\t" +
            std::to_string(863 + i) + "\tplayer\n";
  replay::WriteAll(replay::scoreName, kept);
  table->ReCreate(10, 10, 10, 24);
  Plant({3, 27, 58, 99});
  signal(SIGXFSZ, SIG_IGN);
  rlimit free;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &free), 0);
  rlimit full = {kept.size() + 10, free.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
  std::string said = Trace([&] {
    for (int bomb : {3, 27, 58, 99})
      Press(table, bomb, 3);
    NameDialog* dialog = Shown<NameDialog>().at(0);
    Gtk::Entry* entry = ShownIn<Gtk::Entry>(dialog).at(0);
    int end = 0;
    for (std::string chunk : {"Z", "`", "{", "/", ":", "a\tb", "0", "9", "z", "aidaida"})
      entry->insert_text(chunk, chunk.size(), end);
    EXPECT_EQ(entry->get_text(), "09zaidai");
    EXPECT_EQ(std::make_pair(CloseRequest(dialog), Hints(dialog)), std::make_pair(true, 10011));
    ButtonIn(dialog, "Ok")->clicked();
  });
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &free), 0);
  EXPECT_NE(said.find("CLEAR!\nno delete\nOk...\n[09zaidai]\n"), std::string::npos) << said;
  Gtk::MessageDialog* told = Shown<Gtk::MessageDialog>("NOT RECORDED").at(0);
  EXPECT_NE(told->property_secondary_text().get_value().find("The disk is full."),
            std::string::npos);
  EXPECT_EQ(Shown<ScoreDialog>().size(), 0u);
  Trace([&] { ButtonIn(told, "gtk-ok")->clicked(); });
  EXPECT_EQ(std::make_pair(Shown<Gtk::MessageDialog>().size(), Shown<ScoreDialog>().size()),
            std::make_pair(size_t(0), size_t(1)));
  Glib::ustring eve("eve");
  Trace([&] {
    scores.WriteFile(10, 10, 10, 250, 1, eve);
    scores.ALLDeleteList();
    scores.ReadFile();
  });
  EXPECT_EQ(replay::ReadAll(replay::scoreName).substr(0, kept.size()), kept);
  EXPECT_EQ(std::make_tuple(scores.writeError, scores.listCount, scores.endList->name.raw()),
            std::make_tuple(0, 101, std::string("eve")));
}

// Each told in a message with its icon, holding the clock until closed; no file left; play goes on.
TEST_F(FaultTest, AFailedSaveIsToldAndPlayGoesOn) {
  SaveFile saveFile;
  table->CreateTable();
  Plant({3, 27, 58, 99});
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
    Gtk::MessageDialog* told = Shown<Gtk::MessageDialog>("NOT SAVED").at(0);
    std::vector<int> seen = {
        trace.find("SAVE FALSED\n") != std::string::npos,
        told->property_secondary_text().get_value().find(why) != std::string::npos,
        gtk_grab_get_current() == GTK_WIDGET(told->gobj()), timer.timeFlag, bool(told->get_icon())};
    seen.push_back(Hints(told));
    ButtonIn(told, "gtk-ok")->clicked();
    seen.insert(seen.end(), {gtk_grab_get_current() == nullptr, timer.timeFlag,
                             static_cast<int>(Shown<Gtk::MessageDialog>().size()),
                             (access(replay::saveName, F_OK) != 0) == gone});
    EXPECT_EQ(seen, std::vector<int>({1, 1, 1, 0, 1, 11013, 1, 1, 0, 1})) << trace;
    rmdir("MINE_SAVE.data");
  }
  table->MissCount = 0;
  EXPECT_TRUE(Press(table, 27, 3));
  EXPECT_EQ(table->BombCount, 1);
  EXPECT_EQ(Trace([] { EXPECT_EQ(SyncFile("gone"), ENOENT); }), "CAN'T SYNC gone\n");
}
