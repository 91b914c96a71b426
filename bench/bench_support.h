// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the benchmark programs: the game traces every build and file event, which would
// bury the figures, so a QuietTrace sends standard output elsewhere while it lives.
#ifndef VELMINE_BENCH_SUPPORT_H
#define VELMINE_BENCH_SUPPORT_H

#include <iostream>
#include <sstream>

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

#endif
