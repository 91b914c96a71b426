// Replays the fuzz targets' seed corpus, files the game itself wrote, through the checks the
// targets make on every input (fuzz/replay.h): the suite proves what the fuzzer starts from. An
// input with which fuzzing finds a fault joins the corpus with the fix. Needs a display; runs in
// a temporary working directory.
#include "support.h"

#include <filesystem>

namespace {

const std::filesystem::path corpus =
    std::filesystem::path(__FILE__).parent_path() / ".." / "fuzz" / "corpus";

using FuzzReplayTest = TempDirTest;

TEST_F(FuzzReplayTest, EverySeedKeepsEveryProperty) {
  int seeds = 0, stamped = 0;
  for (const char* kind : {"score", "save"})
    for (const auto& entry : std::filesystem::directory_iterator(corpus / kind)) {
      std::string bytes = replay::ReadAll(entry.path().c_str()), problem;
      Trace([&] {
        if (kind[1] == 'c')
          problem = replay::ReplayScoreFile(bytes) + replay::ReplayScoreTable(bytes);
        else
          problem = replay::ReplaySaveFile(bytes);
      });
      EXPECT_EQ(problem, "") << entry.path();
      seeds++;
      // A seed stamped as the replay fills in checks sound, so the fuzzer starts from files
      // that load in full.
      if (kind[1] == 'a' && bytes.find("@INO") != std::string::npos) {
        replay::WriteSave(bytes);
        Trace([&] { EXPECT_EQ(SaveFile().FindState(), 0) << entry.path(); });
        stamped++;
      }
    }
  EXPECT_GT(stamped, 0);
  EXPECT_GT(seeds, stamped + 2);
}

} // namespace
