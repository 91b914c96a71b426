// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the two data files: reading and sorting the score file at two sizes (to show how it
// grows), the reload after a win and the win's record, and the save, check and load of a
// 100 x 50 game. Runs in a temporary directory under $TMPDIR (else /tmp): the record and the
// save are forced to the disk, so their cost is the file system's there. Needs a display (the
// board is made of real widgets).
#include "bench_support.h"
#include "minebutton.h"
#include "savefile.h"
#include "scorefile.h"
#include "table.h"
#include "timer.h"

#include <gtkmm/main.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// A score file of count won games with realistic names, boards and many tied scores.
void WriteScores(int count) {
  std::ofstream out("MINE_SCORE.data", std::ios::trunc);
  std::srand(1);
  const char* names[] = {"bob", "alice", "kai", "", "mallory", "zoe"};
  for (int i = 0; i < count; i++) {
    int row = 8 + std::rand() % 93;
    int col = 8 + std::rand() % 43;
    int bomb = 1 + std::rand() % (row * col / 4);
    int sec = std::rand() % 20000;
    std::string name = names[std::rand() % 6];
    int nameValue = 0;
    for (char c : name)
      nameValue += c;
    out << std::rand() % 5000 << '\t' << row << '\t' << col << '\t' << bomb << '\t' << sec << '\t'
        << 1 + std::rand() % 4 << '\t' << 1700000000 + i << '\t'
        << row * col + bomb + sec + nameValue << '\t' << name << '\n';
  }
}

void ReadAndSort(benchmark::State& state) {
  WriteScores(static_cast<int>(state.range(0)));
  QuietTrace quiet;
  for (auto _ : state) {
    ScoreFile list;
    list.ReadFile();
    list.SortList();
    benchmark::DoNotOptimize(list.firstList);
    state.PauseTiming();
    list.ALLDeleteList();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ReadAndSort)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ReloadAfterWin(benchmark::State& state) {
  WriteScores(100000);
  QuietTrace quiet;
  ScoreFile list;
  list.ReadFile();
  list.SortList();
  for (auto _ : state) {
    list.ALLDeleteList();
    list.ReadFile();
    list.SortList();
  }
  list.ALLDeleteList();
}
BENCHMARK(ReloadAfterWin)->Unit(benchmark::kMillisecond);

// The win's record appended and forced to the disk, the file already there.
void RecordWin(benchmark::State& state) {
  WriteScores(1000);
  QuietTrace quiet;
  ScoreFile list;
  Glib::ustring name("bob");
  for (auto _ : state)
    list.WriteFile(10, 10, 10, 250, 1, name);
  if (list.writeError != 0)
    state.SkipWithError("the record could not be written");
}
BENCHMARK(RecordWin)->Unit(benchmark::kMillisecond);

// A 100 x 50 game in progress: a fifth bombs, some cells opened, some marked.
class Game {
public:
  MineTimer timer;
  MineTable table;

  Game() : table(0, &timer, 0) {
    table.nRow = 100;
    table.nCol = 50;
    table.nSize = 6;
    table.pBomb = 20;
    table.mode = 4;
    table.nBomb = table.BombCount = table.MissCount = 0;
    timer.nSec = 1234;
    std::srand(2);
    for (int i = 0; i < 5000; i++) {
      int bomb = std::rand() % 5 == 0;
      int state = bomb ? (std::rand() % 2 == 0 ? 2 : 1) : std::rand() % 3;
      table.nBomb += bomb;
      table.BombCount += state == 2 && bomb;
      table.MissCount += state == 2 && !bomb;
      table.board[i] = new MineButton(i % 100, i / 100, bomb, state, bomb ? 0 : 1);
    }
  }

  ~Game() {
    Clear();
  }

  void Clear() {
    for (int i = 0; i < MineTable::CAPACITY; i++) {
      delete table.board[i];
      table.board[i] = 0;
    }
  }
};

void SaveGame(benchmark::State& state) {
  QuietTrace quiet;
  Game game;
  SaveFile saveFile;
  for (auto _ : state)
    saveFile.SaveState(&game.table);
  std::remove("MINE_SAVE.data");
}
BENCHMARK(SaveGame)->Unit(benchmark::kMillisecond);

void CheckGame(benchmark::State& state) {
  QuietTrace quiet;
  Game game;
  SaveFile saveFile;
  saveFile.SaveState(&game.table);
  for (auto _ : state)
    if (saveFile.FindState() != 0)
      state.SkipWithError("the saved game does not pass its check");
  std::remove("MINE_SAVE.data");
}
BENCHMARK(CheckGame)->Unit(benchmark::kMillisecond);

void LoadGame(benchmark::State& state) {
  QuietTrace quiet;
  Game game;
  SaveFile saveFile;
  MineTimer timer;
  for (auto _ : state) {
    state.PauseTiming();
    saveFile.SaveState(&game.table);
    MineTable* table = new MineTable(0, &timer, 0);
    state.ResumeTiming();
    saveFile.LoadState(table);
    state.PauseTiming();
    timer.Stop();
    delete table;
    state.ResumeTiming();
  }
}
BENCHMARK(LoadGame)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  Gtk::Main kit(argc, argv);
  const char* top = std::getenv("TMPDIR");
  std::string pattern = std::string(top != 0 && *top != 0 ? top : "/tmp") + "/velmine-bench-XXXXXX";
  if (mkdtemp(&pattern[0]) == 0 || chdir(pattern.c_str()) != 0)
    return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::remove("MINE_SCORE.data");
  std::remove("MINE_SAVE.data");
  if (chdir("/") != 0 || rmdir(pattern.c_str()) != 0)
    return 1;
  return 0;
}
