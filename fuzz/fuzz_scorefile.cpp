// libFuzzer target: any bytes as MINE_SCORE.data, read and sorted by the game, then a win
// recorded after them (see replay.h for what must hold).
#include "replay.h"
#include "target.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  target::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  target::Run(replay::ReplayScoreFile, data, size);
  return 0;
}
