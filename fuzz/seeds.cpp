// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the fuzz targets' seed corpus through the game's own code: score files of won games, and
// saved games of boards played through the cells' mouse signals, each also with the stamp line
// that WriteSave (replay.h) makes sound. Usage: fuzz_seeds SCORE_DIRECTORY SAVE_DIRECTORY
// (absolute paths), on a display.
#include "replay.h"

#include <iostream>

namespace {

// A game on a fresh board of the given size, opened at one cell and then marked on `right`
// bombs and `wrong` safe cells, with the clock at sec tenths; saved as name and name-stamped.
void SaveGame(const std::string& directory, const std::string& name, int nRow, int nCol, int pBomb,
              int nSize, int open, int right, int wrong, int sec) {
  MineTimer timer;
  MineTable table(0, &timer, 0);
  // The first opening may clear the whole board and win at once; then the game is drawn again.
  for (int tries = 0; tries < 100 && table.startFlag != 1; tries++) {
    table.ReCreate(nRow, nCol, pBomb, nSize);
    replay::ButtonEvent(&table, open, 1, GDK_BUTTON_RELEASE);
  }
  for (int i = 0; i < nRow * nCol && (right > 0 || wrong > 0); i++) {
    MineButton* cell = table.board[i];
    if (cell->state != 1)
      continue;
    int& left = cell->bomb != 0 ? right : wrong;
    if (left > 0) {
      replay::ButtonEvent(&table, i, 3, GDK_BUTTON_PRESS);
      left--;
    }
  }
  timer.nSec = sec;
  timer.Stop();
  SaveFile saveFile;
  saveFile.SaveState(&table);
  std::string text = replay::ReadAll(replay::saveName);
  std::remove(replay::saveName);
  replay::WriteAll((directory + "/" + name).c_str(), text);
  size_t stamp = text.find("FILE<\n") + 6;
  text.replace(stamp, text.find('\n', stamp) - stamp,
               "@INO\t" + std::to_string(replay::stampSeconds) + "\t" +
                   std::to_string(replay::stampNanoseconds) + "\t@BIRTH");
  replay::WriteAll((directory + "/" + name + "-stamped").c_str(), text);
}

struct Win {
  int nRow, nCol, nBomb, nSec, mode;
  const char* name;
};

void ScoreFileOf(const std::string& path, const Win* wins, int count) {
  ScoreFile list;
  std::remove(replay::scoreName);
  for (int i = 0; i < count; i++) {
    Glib::ustring name(wins[i].name);
    list.WriteFile(wins[i].nRow, wins[i].nCol, wins[i].nBomb, wins[i].nSec, wins[i].mode, name);
  }
  replay::WriteAll(path.c_str(), replay::ReadAll(replay::scoreName));
  std::remove(replay::scoreName);
}

} // namespace

int main(int argc, char** argv) {
  Gtk::Main kit(argc, argv);
  if (argc != 3) {
    std::cerr << "usage: fuzz_seeds SCORE_DIRECTORY SAVE_DIRECTORY" << std::endl;
    return 2;
  }
  char pattern[] = "/tmp/velmine-seeds-XXXXXX";
  if (mkdtemp(pattern) == 0 || chdir(pattern) != 0)
    return 1;

  const Win one[] = {{10, 10, 10, 250, 1, "bob"}};
  const Win several[] = {{10, 10, 9, 412, 1, "ann"},   {15, 15, 31, 1893, 2, "kai7"},
                         {20, 20, 77, 6120, 3, "zoe"}, {10, 10, 9, 412, 1, ""},
                         {32, 18, 60, 2210, 4, "mo"},  {10, 10, 11, 95, 1, "ann"}};
  ScoreFileOf(std::string(argv[1]) + "/one-win", one, 1);
  ScoreFileOf(std::string(argv[1]) + "/several-wins", several, 6);

  SaveGame(argv[2], "beginner", 10, 10, 10, 24, 44, 1, 1, 187);
  SaveGame(argv[2], "medium", 15, 15, 15, 14, 0, 3, 0, 902);
  SaveGame(argv[2], "advance", 20, 20, 20, 9, 210, 5, 2, 2345);
  SaveGame(argv[2], "free-small", 5, 4, 30, 30, 19, 1, 0, 31);
  SaveGame(argv[2], "free-wide", 30, 8, 12, 16, 100, 2, 1, 40);
  // The narrowest boards the game allows, two cells down or two across, and one of six cells.
  SaveGame(argv[2], "free-flat", 12, 2, 40, 20, 0, 1, 0, 12);
  SaveGame(argv[2], "free-narrow", 2, 12, 40, 20, 0, 1, 1, 77);
  SaveGame(argv[2], "free-least", 3, 2, 90, 40, 0, 1, 0, 5);

  if (chdir("/") != 0 || rmdir(pattern) != 0)
    return 1;
  return 0;
}
