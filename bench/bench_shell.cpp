// What the player waits for in the main window: start-up until the window is shown and laid out,
// a new game of the same size from the reset button, and the largest board the grid dialog
// allows (100 x 50 cells) built and laid out in the shown window, with the smallest and the
// largest pictures. Runs under a display (xvfb-run) in a temporary working directory; set
// GDK_NATIVE_WINDOWS=1 to measure the toolkit as the program sets it up.
#include "table.h"
#include "vbox.h"
#include "window.h"

#include <benchmark/benchmark.h>
#include <gdk/gdk.h>
#include <gtkmm/main.h>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

// Start-up and every build trace; keep that out of the figures' output.
class QuietTrace {
public:
  QuietTrace() : saved(std::cout.rdbuf(sink.rdbuf())) {}
  ~QuietTrace() {
    std::cout.rdbuf(saved);
  }

private:
  std::ostringstream sink;
  std::streambuf* saved;
};

// The layout and the drawing happen in the main loop; a figure counts them too.
void Settle() {
  for (int i = 0; i < 2; i++) {
    while (Gtk::Main::events_pending())
      Gtk::Main::iteration(false);
    gdk_display_sync(gdk_display_get_default());
  }
}

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
    table->ReCreate(100, 50, 60, state.range(0));
    Settle();
    state.PauseTiming();
    table->ReCreate(10, 10, 10, 24);
    Settle();
    state.ResumeTiming();
  }
}

BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ResetButton)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_LargestBoard)->Arg(4)->Arg(100)->Unit(benchmark::kSecond)->Iterations(1);

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
