// Replays the fuzz targets' inputs through the same checks the targets make (fuzz/replay.h):
// the seed corpus, which the game itself wrote, and every input with which fuzzing found a
// fault (fuzz/regressions/), each with what the fixed game does with it. The files are read from
// the source tree next to this file. Needs a display; runs in a temporary working directory.
#include "../fuzz/replay.h"
#include "support.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::filesystem::path fuzzDirectory =
    std::filesystem::path(__FILE__).parent_path() / ".." / "fuzz";

std::vector<std::filesystem::path> Inputs(const std::string& kind) {
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::directory_iterator(fuzzDirectory / kind))
    paths.push_back(entry.path());
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::string Bytes(const std::filesystem::path& path) {
  return replay::ReadAll(path.c_str());
}

bool Stamped(const std::filesystem::path& path) {
  return Bytes(path).find("@INO") != std::string::npos;
}

class FuzzReplayTest : public TempDirTest {
protected:
  std::string ScoreFile(const std::string& bytes) {
    testing::internal::CaptureStdout();
    std::string problem = replay::ReplayScoreFile(bytes);
    if (problem.empty())
      problem = replay::ReplayScoreTable(bytes);
    testing::internal::GetCapturedStdout();
    return problem;
  }

  std::string SaveFile(const std::string& bytes) {
    testing::internal::CaptureStdout();
    std::string problem = replay::ReplaySaveFile(bytes);
    testing::internal::GetCapturedStdout();
    return problem;
  }

  int Check(const std::string& bytes) {
    replay::WriteSave(bytes);
    ::SaveFile saveFile;
    testing::internal::CaptureStdout();
    int result = saveFile.FindState();
    testing::internal::GetCapturedStdout();
    return result;
  }
};

} // namespace

TEST_F(FuzzReplayTest, TheScoreSeedsKeepEveryProperty) {
  std::vector<std::filesystem::path> seeds = Inputs("corpus/score");
  ASSERT_FALSE(seeds.empty());
  for (const std::filesystem::path& seed : seeds)
    EXPECT_EQ(ScoreFile(Bytes(seed)), "") << seed;
}

// The stamped seeds check sound, so the fuzzer starts from files that load in full; the others
// keep the stamp of the file the game wrote, which no later file can match.
TEST_F(FuzzReplayTest, TheSavedGameSeedsKeepEveryProperty) {
  std::vector<std::filesystem::path> seeds = Inputs("corpus/save");
  ASSERT_FALSE(seeds.empty());
  int stamped = 0;
  for (const std::filesystem::path& seed : seeds) {
    int result = Check(Bytes(seed));
    if (Stamped(seed)) {
      stamped++;
      EXPECT_EQ(result, 0) << seed;
    } else {
      EXPECT_TRUE(result == 2 || result == 3) << seed << " " << result;
    }
    EXPECT_EQ(SaveFile(Bytes(seed)), "") << seed;
  }
  EXPECT_GT(stamped, 0);
}
