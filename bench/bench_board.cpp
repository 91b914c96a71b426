// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the board on the largest grid the grid dialog allows, 100 x 50 cells: building it from
// a 10 x 10 board, resetting it in place, drawing the bombs at 5 %, and a first opening whose
// flood covers the whole board, on a board that is not shown. Runs under a display (xvfb-run).
#include "bench_support.h"
#include "minebutton.h"
#include "table.h"
#include "timer.h"

#include <benchmark/benchmark.h>
#include <gtkmm/main.h>

namespace {

void Flush() {
  while (Gtk::Main::events_pending())
    Gtk::Main::iteration(false);
}

GdkEventButton LeftRelease() {
  GdkEventButton event = GdkEventButton();
  event.type = GDK_BUTTON_RELEASE;
  event.button = 1;
  return event;
}

const int across = 100;
const int down = 50;
const int centre = (down / 2) * across + across / 2;

void BM_ReCreateFromTenByTen(benchmark::State& state) {
  QuietTrace quiet;
  MineTimer timer;
  MineTable table(nullptr, &timer, nullptr);
  table.CreateTable();
  for (auto _ : state) {
    state.PauseTiming();
    table.ReCreate(10, 10, 10, 24);
    Flush();
    state.ResumeTiming();
    table.ReCreate(across, down, 5, 8);
  }
}

void BM_KeepCreate(benchmark::State& state) {
  QuietTrace quiet;
  MineTimer timer;
  MineTable table(nullptr, &timer, nullptr);
  table.ReCreate(across, down, 5, 8);
  for (auto _ : state) {
    state.PauseTiming();
    GdkEventButton event = LeftRelease();
    table.ReleaseEvent(&event, centre);
    Flush();
    state.ResumeTiming();
    table.KeepCreate();
  }
}

void BM_DrawAtFivePercent(benchmark::State& state) {
  QuietTrace quiet;
  MineTimer timer;
  MineTable table(nullptr, &timer, nullptr);
  table.ReCreate(across, down, 5, 8);
  for (auto _ : state) {
    state.PauseTiming();
    table.KeepCreate();
    state.ResumeTiming();
    table.CreateValue(centre);
  }
}

// The bombs drawn at 5 % are cleared again but for one in a corner, so the first opening floods
// every other cell and the game goes on.
void BM_FloodWholeBoard(benchmark::State& state) {
  QuietTrace quiet;
  MineTimer timer;
  MineTable table(nullptr, &timer, nullptr);
  table.ReCreate(across, down, 5, 8);
  for (auto _ : state) {
    state.PauseTiming();
    table.KeepCreate();
    table.CreateValue(centre);
    for (int i = 0; i < across * down; i++)
      table.board[i]->bomb = 0;
    table.board[0]->bomb = 1;
    table.SetNum();
    table.nBomb = 1;
    Flush();
    GdkEventButton event = LeftRelease();
    state.ResumeTiming();
    table.ReleaseEvent(&event, centre);
  }
  int opened = 0;
  for (int i = 0; i < across * down; i++)
    opened += table.board[i]->state == 0;
  state.counters["opened"] = opened;
}

BENCHMARK(BM_ReCreateFromTenByTen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeepCreate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawAtFivePercent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodWholeBoard)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  Gtk::Main kit(argc, argv, true);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
