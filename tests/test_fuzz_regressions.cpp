// Replays the fuzz targets' seed corpus, files the game itself wrote, through the checks the
// targets make on every input (fuzz/replay.h), so the suite proves what the fuzzer starts from. An
// input with which fuzzing finds a fault joins the corpus with the fix. Needs a display; runs in
// a temporary working directory.
#include "support.h"

#include <filesystem>

using FuzzReplayTest = TempDirTest;

TEST_F(FuzzReplayTest, EverySeedKeepsEveryProperty) {
  const std::filesystem::path corpus =
      std::filesystem::path(__FILE__).parent_path() / ".." / "fuzz" / "corpus";
  int seeds = 0, stamped = 0;
  for (const char* kind : {"score", "save"})
    for (const auto& entry : std::filesystem::directory_iterator(corpus / kind)) {
      std::string bytes = replay::ReadAll(entry.path().c_str()), problem;
      seeds++;
      Trace([&] {
        if (kind[1] == 'c') {
          problem = replay::ReplayScoreFile(bytes) + replay::ReplayScoreTable(bytes);
        } else if (bytes.find("@INO") == std::string::npos) {
          problem = replay::ReplaySaveFile(bytes);
        } else {
          // Stamped as the replay fills in, it checks sound: the fuzzer starts from files that
          // load in full.
          replay::WriteSave(bytes);
          problem = SaveFile().FindState() != 0 ? "checks unsound" : replay::ReplaySaveFile(bytes);
          stamped++;
        }
      });
      EXPECT_EQ(problem, "") << entry.path();
    }
  EXPECT_GT(stamped, 0);
  EXPECT_GT(seeds, stamped + 2);
}
