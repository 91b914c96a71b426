// libFuzzer target: any bytes as MINE_SAVE.data, checked by the game and loaded into a real
// board (see replay.h for what must hold). The board is made of widgets, so the toolkit is
// started once, on the display the target is run with (fuzz/run starts a virtual one).
#include "replay.h"
#include "target.h"

#include <gtkmm/main.h>

#include <iostream>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (!gtk_init_check(argc, argv)) {
    std::cerr << "velmine fuzz: no display; run under xvfb-run (fuzz/run does)" << std::endl;
    std::exit(1);
  }
  // Lives as long as the process, as the game's own toolkit instance does.
  new Gtk::Main(argc, argv);
  target::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  target::Run(replay::ReplaySaveFile, data, size);
  return 0;
}
