// SPDX-License-Identifier: GPL-3.0-or-later
// What the player waits for in the main window: start-up until the window is shown and laid out,
// a click and a new game on the Beginner board, and on the largest board the grid dialog allows
// (100 x 50 cells): building it, leaving it, the reset button, a first opening that floods it,
// the reveal at the end of a game, and scrolling it a page. BM_BareGrid and BM_ScrollBareGrid are
// the toolkit's floors for building and scrolling it: the same grid of bare toggle buttons
// (floor.h) in a window of its own. Each figure
// includes the layout and drawing in the main loop. Runs under a display (xvfb-run) in a
// temporary working directory.
#include "bench_support.h"
#include "floor.h"
#include "minebutton.h"
#include "table.h"
#include "vbox.h"
#include "window.h"

#include <benchmark/benchmark.h>
#include <gdk/gdk.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/main.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

void Settle() {
  for (int i = 0; i < 2; i++) {
    while (Gtk::Main::events_pending())
      Gtk::Main::iteration(false);
    gdk_display_sync(gdk_display_get_default());
  }
}

// Like Settle, but what the game leaves to idle time once everything is drawn (the cells of a
// board left behind) stays pending: the loop stops at a marker just ahead of it.
void SettleDrawn() {
  for (int i = 0; i < 2; i++) {
    bool reached = false;
    Glib::signal_idle().connect(
        [&reached]() {
          reached = true;
          return false;
        },
        G_PRIORITY_DEFAULT_IDLE - 1);
    while (!reached)
      Gtk::Main::iteration(false);
    gdk_display_sync(gdk_display_get_default());
  }
}

// A page down, or back up, within the scroll range, as the scroll bar moves it.
void PageAlong(Gtk::Adjustment* scroll) {
  double page = scroll->get_page_size();
  double bottom = scroll->get_upper() - page;
  scroll->set_value(scroll->get_value() < std::min(page, bottom) ? std::min(page, bottom) : 0);
}

GdkEventButton LeftRelease() {
  GdkEventButton event = GdkEventButton();
  event.type = GDK_BUTTON_RELEASE;
  event.button = 1;
  return event;
}

// The largest board the grid dialog allows, its middle cell, and the picture size the dialog
// proposes for it.
const int across = 100;
const int down = 50;
const int centre = (down / 2) * across + across / 2;
const int pictureSize = 8;

// The game's window, shown, on the Beginner board.
class Game {
public:
  Game() {
    window.Create();
    table = window.vbox->table;
    Settle();
  }

  // A running game on the largest board whose first opening floods every cell but one corner,
  // which holds the one bomb.
  void FloodReady() {
    table->KeepCreate();
    table->CreateValue(centre);
    for (int i = 0; i < across * down; i++)
      table->board[i]->bomb = 0;
    table->board[0]->bomb = 1;
    table->SetNum();
    table->nBomb = 1;
    Settle();
  }

  QuietTrace quiet;
  MineWindow window;
  MineTable* table;
};

void BM_StartUp(benchmark::State& state) {
  QuietTrace quiet;
  for (auto _ : state) {
    MineWindow* window = new MineWindow();
    window->Create();
    Settle();
    state.PauseTiming();
    delete window;
    Settle();
    state.ResumeTiming();
  }
}

// A first opening on the Beginner board, until it is drawn.
void BM_ClickBeginner(benchmark::State& state) {
  Game game;
  for (auto _ : state) {
    state.PauseTiming();
    game.table->KeepCreate();
    Settle();
    GdkEventButton event = LeftRelease();
    state.ResumeTiming();
    game.table->ReleaseEvent(&event, 44);
    Settle();
  }
}

void BM_ResetButton(benchmark::State& state) {
  Game game;
  for (auto _ : state) {
    game.window.vbox->button->clicked();
    Settle();
  }
}

void BM_BareGrid(benchmark::State& state) {
  for (auto _ : state) {
    Gtk::Window* window = new Gtk::Window();
    BareGrid(*window, across, down);
    window->show();
    Settle();
    state.PauseTiming();
    delete window;
    Settle();
    state.ResumeTiming();
  }
}

// The argument is the picture size; each run starts from the Beginner board.
void BM_LargestBoard(benchmark::State& state) {
  Game game;
  for (auto _ : state) {
    game.table->ReCreate(across, down, 60, state.range(0));
    Settle();
    state.PauseTiming();
    game.table->ReCreate(10, 10, 10, 24);
    Settle();
    state.ResumeTiming();
  }
}

// Leaving the largest board for Beginner: until the new board is drawn, or (all) until the old
// board's cells, deleted in idle time after that, are all gone.
void Leave(benchmark::State& state, bool all) {
  Game game;
  for (auto _ : state) {
    state.PauseTiming();
    game.table->ReCreate(across, down, 60, pictureSize);
    Settle();
    state.ResumeTiming();
    game.table->ReCreate(10, 10, 10, 24);
    all ? Settle() : SettleDrawn();
    state.PauseTiming();
    Settle();
    state.ResumeTiming();
  }
}

void BM_LeaveLargestBoard(benchmark::State& state) {
  Leave(state, false);
}

void BM_LeaveLargestBoardAll(benchmark::State& state) {
  Leave(state, true);
}

// The reset button after a first opening that left most cells open.
void BM_ResetLargestBoard(benchmark::State& state) {
  Game game;
  game.table->ReCreate(across, down, 5, pictureSize);
  Settle();
  for (auto _ : state) {
    state.PauseTiming();
    GdkEventButton event = LeftRelease();
    game.table->ReleaseEvent(&event, centre);
    Settle();
    state.ResumeTiming();
    game.window.vbox->button->clicked();
    Settle();
  }
}

void BM_FloodLargestBoard(benchmark::State& state) {
  Game game;
  game.table->ReCreate(across, down, 5, pictureSize);
  Settle();
  for (auto _ : state) {
    state.PauseTiming();
    game.FloodReady();
    GdkEventButton event = LeftRelease();
    state.ResumeTiming();
    game.table->ReleaseEvent(&event, centre);
    Settle();
  }
  int opened = 0;
  for (int i = 0; i < across * down; i++)
    opened += game.table->board[i]->state == 0;
  state.counters["opened"] = opened;
}

// The end of a game lost at its second opening, on the largest board at 20 %: every bomb is
// revealed and every cell made insensitive, most of them out of view.
void BM_RevealLargestBoard(benchmark::State& state) {
  Game game;
  game.table->ReCreate(across, down, 20, pictureSize);
  Settle();
  for (auto _ : state) {
    state.PauseTiming();
    game.table->KeepCreate();
    GdkEventButton event = LeftRelease();
    game.table->ReleaseEvent(&event, centre);
    int bomb = 0;
    while (bomb < across * down - 1 && game.table->board[bomb]->bomb == 0)
      bomb++;
    Settle();
    state.ResumeTiming();
    game.table->ReleaseEvent(&event, bomb);
    Settle();
  }
}

// A page down, or back up, after a flood, so the cells coming into view show open pictures; the
// argument is the picture size.
void BM_ScrollLargestBoard(benchmark::State& state) {
  Game game;
  game.table->ReCreate(across, down, 5, state.range(0));
  game.FloodReady();
  GdkEventButton event = LeftRelease();
  game.table->ReleaseEvent(&event, centre);
  Settle();
  Gtk::Adjustment* scroll = game.table->scrWin->get_vadjustment();
  for (auto _ : state) {
    PageAlong(scroll);
    Settle();
  }
}

// The floor for scrolling: the bare grid, every cell mapped, scrolled a page down or back up.
void BM_ScrollBareGrid(benchmark::State& state) {
  Gtk::Window window;
  BareGrid(window, across, down);
  window.show();
  Settle();
  Gtk::Adjustment* scroll =
      static_cast<Gtk::ScrolledWindow*>(window.get_child())->get_vadjustment();
  for (auto _ : state) {
    PageAlong(scroll);
    Settle();
  }
}

BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickBeginner)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResetButton)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargestBoard)->Arg(4)->Arg(pictureSize)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeaveLargestBoard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeaveLargestBoardAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResetLargestBoard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodLargestBoard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RevealLargestBoard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollLargestBoard)->Arg(pictureSize)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollBareGrid)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  Gtk::Main kit(argc, argv, true);
  char pattern[] = "/tmp/velmine-bench-XXXXXX";
  if (!mkdtemp(pattern) || chdir(pattern) != 0)
    return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::string command = std::string("rm -rf '") + pattern + "'";
  return std::system(command.c_str()) == 0 ? 0 : 1;
}
