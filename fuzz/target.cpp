// The libFuzzer targets, one program per replay of replay.h, chosen when it is built
// (VELMINE_REPLAY; VELMINE_TOOLKIT when it makes widgets, on the display it is run with). Each
// input runs in a scratch directory of the target's own (the game knows its files only by
// relative names, and must not touch a player's), going back between inputs so that libFuzzer's
// own relative paths keep their meaning. The trace stays quiet unless VELMINE_FUZZ_TRACE is set
// (millions of inputs would drown the fuzzer's report), and a broken property aborts, so that
// libFuzzer keeps the input.
#include "replay.h"

#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

std::string scratch;
int home = -1;

void Fail(const char* what) {
  std::perror(what);
  std::exit(1);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (VELMINE_TOOLKIT && !gtk_init_check(argc, argv))
    Fail("velmine fuzz: no display; run under xvfb-run (fuzz/run does)");
  // The toolkit lives as long as the process, as the game's own does.
  if (VELMINE_TOOLKIT)
    new Gtk::Main(argc, argv);
  const char* base = std::getenv("TMPDIR");
  scratch = std::string(base != 0 && *base != 0 ? base : "/tmp") + "/velmine-fuzz-XXXXXX";
  home = open(".", O_RDONLY | O_DIRECTORY);
  if (mkdtemp(&scratch[0]) == 0 || home < 0)
    Fail("velmine fuzz: scratch directory");
  std::atexit([] {
    std::remove((scratch + "/" + replay::scoreName).c_str());
    std::remove((scratch + "/" + replay::saveName).c_str());
    rmdir(scratch.c_str());
  });
  if (std::getenv("VELMINE_FUZZ_TRACE") == 0)
    std::cout.rdbuf(0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (chdir(scratch.c_str()) != 0)
    Fail("velmine fuzz: scratch directory");
  std::string problem =
      replay::VELMINE_REPLAY(std::string(reinterpret_cast<const char*>(data), size));
  if (fchdir(home) != 0)
    Fail("velmine fuzz: home directory");
  if (problem.empty())
    return 0;
  std::cerr << "velmine fuzz: " << problem << std::endl;
  std::abort();
}
