// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzz targets' checks (fuzz/replay.h) on their seeds, files the game itself wrote, and on each
// input with which fuzzing found a fault. Needs a display; runs in a temporary working directory.
#include "../tests/support.h"

#include <filesystem>

using FuzzReplayTest = TempDirTest;

TEST_F(FuzzReplayTest, EverySeedKeepsEveryProperty) {
  const std::filesystem::path corpus = std::filesystem::path(__FILE__).parent_path() / "corpus";
  int seeds = 0, stamped = 0;
  for (const char* kind : {"score", "save"})
    for (const auto& entry : std::filesystem::directory_iterator(corpus / kind)) {
      std::string bytes = replay::ReadAll(entry.path().c_str()), problem;
      std::string said = Trace([&] {
        problem = kind[1] == 'c' ? replay::ReplayScoreFile(bytes) + replay::ReplayScoreTable(bytes)
                                 : replay::ReplaySaveCheck(bytes) + replay::ReplaySaveFile(bytes);
      });
      EXPECT_EQ(problem, "") << entry.path();
      // Stamped seeds check sound: the fuzzer starts from files that load, save and load again.
      bool stamp = bytes.find("@INO") != std::string::npos;
      EXPECT_EQ(said.find("\nWRITE\n") != std::string::npos, stamp) << entry.path();
      stamped += stamp;
      seeds++;
    }
  EXPECT_GT(stamped, 0);
  EXPECT_GT(seeds, stamped + 2);
}
