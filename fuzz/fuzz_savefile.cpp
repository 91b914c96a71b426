// libFuzzer target: any bytes as MINE_SAVE.data, checked by the game and loaded into a real
// board (see replay.h for what must hold). The board is made of widgets, so the toolkit is
// started once, on the display the target is run with (fuzz/run starts a virtual one).
#include "replay.h"
#include "target.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  target::StartToolkit(argc, argv);
  target::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  target::Run(replay::ReplaySaveFile, data, size);
  return 0;
}
