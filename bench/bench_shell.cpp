// What the player waits for in the main window: start-up until the window is shown and laid out,
// a new game of the same size from the reset button, and on the largest board the grid dialog
// allows (100 x 50 cells), in the shown window: building it and leaving it again with the
// smallest and the largest pictures, the reset button, and a first opening that floods it. Runs
// under a display (xvfb-run) in a temporary working directory; set GDK_NATIVE_WINDOWS=1 to compare
// the toolkit with native windows for every widget window.
#include "bench_support.h"
#include "minebutton.h"
#include "table.h"
#include "vbox.h"
#include "window.h"

#include <benchmark/benchmark.h>
#include <gdk/gdk.h>
#include <gtkmm/main.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// The layout and the drawing happen in the main loop; a figure counts them too.
void Settle() {
  for (int i = 0; i < 2; i++) {
    while (Gtk::Main::events_pending())
      Gtk::Main::iteration(false);
    gdk_display_sync(gdk_display_get_default());
  }
}

GdkEventButton LeftRelease() {
  GdkEventButton event = GdkEventButton();
  event.type = GDK_BUTTON_RELEASE;
  event.button = 1;
  return event;
}

// The largest board the grid dialog allows, and its middle cell.
const int across = 100;
const int down = 50;
const int centre = (down / 2) * across + across / 2;

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

void BM_ResetButton(benchmark::State& state) {
  QuietTrace quiet;
  MineWindow window;
  window.Create();
  Settle();
  for (auto _ : state) {
    window.vbox->button->clicked();
    Settle();
  }
}

// The argument is the picture size; each run starts from the Beginner board.
void BM_LargestBoard(benchmark::State& state) {
  QuietTrace quiet;
  MineWindow window;
  window.Create();
  Settle();
  MineTable* table = window.vbox->table;
  for (auto _ : state) {
    table->ReCreate(across, down, 60, state.range(0));
    Settle();
    state.PauseTiming();
    table->ReCreate(10, 10, 10, 24);
    Settle();
    state.ResumeTiming();
  }
}

// Going back from the largest board to the Beginner board; the argument is the picture size.
void BM_LeaveLargestBoard(benchmark::State& state) {
  QuietTrace quiet;
  MineWindow window;
  window.Create();
  Settle();
  MineTable* table = window.vbox->table;
  for (auto _ : state) {
    state.PauseTiming();
    table->ReCreate(across, down, 60, state.range(0));
    Settle();
    state.ResumeTiming();
    table->ReCreate(10, 10, 10, 24);
    Settle();
  }
}

// The reset button on the largest board after a first opening, which leaves cells open to cover
// again.
void BM_ResetLargestBoard(benchmark::State& state) {
  QuietTrace quiet;
  MineWindow window;
  window.Create();
  MineTable* table = window.vbox->table;
  table->ReCreate(across, down, 5, 8);
  Settle();
  for (auto _ : state) {
    state.PauseTiming();
    GdkEventButton event = LeftRelease();
    table->ReleaseEvent(&event, centre);
    Settle();
    state.ResumeTiming();
    window.vbox->button->clicked();
    Settle();
  }
}

// A first opening whose flood covers the whole largest board but one corner: the bombs drawn are
// cleared again but for one, so the game goes on and every other cell opens in the shown window.
void BM_FloodLargestBoard(benchmark::State& state) {
  QuietTrace quiet;
  MineWindow window;
  window.Create();
  MineTable* table = window.vbox->table;
  table->ReCreate(across, down, 5, 8);
  Settle();
  for (auto _ : state) {
    state.PauseTiming();
    table->KeepCreate();
    table->CreateValue(centre);
    for (int i = 0; i < across * down; i++)
      table->board[i]->bomb = 0;
    table->board[0]->bomb = 1;
    table->SetNum();
    table->nBomb = 1;
    Settle();
    GdkEventButton event = LeftRelease();
    state.ResumeTiming();
    table->ReleaseEvent(&event, centre);
    Settle();
  }
  int opened = 0;
  for (int i = 0; i < across * down; i++)
    opened += table->board[i]->state == 0;
  state.counters["opened"] = opened;
}

BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ResetButton)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_LargestBoard)->Arg(4)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LeaveLargestBoard)->Arg(4)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ResetLargestBoard)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FloodLargestBoard)->Unit(benchmark::kMillisecond)->Iterations(3);

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
