// SPDX-License-Identifier: GPL-3.0-or-later
// The libFuzzer targets, one per replay of replay.h (VELMINE_REPLAY; VELMINE_TOOLKIT when it makes
// widgets). Each input runs in a scratch directory of the target's own, since the game knows its
// files only by relative names, and libFuzzer's own relative paths keep their meaning between
// inputs. The trace stays quiet unless VELMINE_FUZZ_TRACE is set; a broken property aborts, so
// that libFuzzer keeps the input.
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
  std::atexit([] { std::system(("rm -rf '" + scratch + "'").c_str()); });
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
