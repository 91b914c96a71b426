// What the fuzz targets do around each input: they run it in a scratch directory of their own
// (the game knows its files only by relative names, and must not touch a player's files there),
// going back between inputs so that libFuzzer's own relative paths keep their meaning; they
// keep the game's trace lines quiet unless VELMINE_FUZZ_TRACE is set (millions of inputs would
// drown the fuzzer's report); and they abort on a broken property, so that libFuzzer keeps the
// input.
#ifndef VELMINE_FUZZ_TARGET_H
#define VELMINE_FUZZ_TARGET_H

#include <gtkmm/main.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace target {

inline std::string& ScratchDirectory() {
  static std::string directory;
  return directory;
}

inline int& HomeDirectory() {
  static int home = -1;
  return home;
}

inline void RemoveScratch() {
  std::string file = ScratchDirectory() + "/MINE_SCORE.data";
  std::remove(file.c_str());
  file = ScratchDirectory() + "/MINE_SAVE.data";
  std::remove(file.c_str());
  rmdir(ScratchDirectory().c_str());
}

// For the targets that make widgets; the toolkit lives as long as the process, as the game's
// own does.
inline void StartToolkit(int* argc, char*** argv) {
  if (!gtk_init_check(argc, argv)) {
    std::cerr << "velmine fuzz: no display; run under xvfb-run (fuzz/run does)" << std::endl;
    std::exit(1);
  }
  new Gtk::Main(argc, argv);
}

// Called once, from LLVMFuzzerInitialize.
inline void Prepare() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != 0 && *base != 0 ? base : "/tmp") + "/velmine-fuzz-XXXXXX";
  HomeDirectory() = open(".", O_RDONLY | O_DIRECTORY);
  if (mkdtemp(&pattern[0]) == 0 || HomeDirectory() < 0) {
    std::perror("velmine fuzz: scratch directory");
    std::exit(1);
  }
  ScratchDirectory() = pattern;
  std::atexit(RemoveScratch);
  if (std::getenv("VELMINE_FUZZ_TRACE") == 0)
    std::cout.rdbuf(0);
}

// Runs one input in the scratch directory.
inline void Run(std::string (*replay)(const std::string&), const uint8_t* data, size_t size) {
  if (chdir(ScratchDirectory().c_str()) != 0) {
    std::perror("velmine fuzz: scratch directory");
    std::exit(1);
  }
  std::string problem = replay(std::string(reinterpret_cast<const char*>(data), size));
  if (fchdir(HomeDirectory()) != 0)
    std::exit(1);
  if (problem.empty())
    return;
  std::cerr << "velmine fuzz: " << problem << std::endl;
  std::abort();
}

} // namespace target

#endif
