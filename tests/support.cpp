#include "support.h"

#include <gtkmm/main.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The directory of the test in progress. A test that ends the program (the quit and save paths
// call exit) never reaches TearDown, so its directory is removed at exit instead.
std::string liveDir;

void RemoveDir(const std::string& path) {
  std::string command = "chmod -R u+w '" + path + "' && rm -rf '" + path + "'";
  if (std::system(command.c_str()) != 0)
    std::fprintf(stderr, "could not remove %s\n", path.c_str());
}

void RemoveLiveDir() {
  if (!liveDir.empty())
    RemoveDir(liveDir);
}

} // namespace

void TempDirTest::SetUp() {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  oldDir = cwd;
  char pattern[] = "/tmp/velmine-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  dir = pattern;
  static bool cleanupRegistered = std::atexit(RemoveLiveDir) == 0;
  EXPECT_TRUE(cleanupRegistered);
  liveDir = dir;
  ASSERT_EQ(chdir(dir.c_str()), 0);
}

void TempDirTest::TearDown() {
  ASSERT_EQ(chdir(oldDir.c_str()), 0);
  RemoveDir(dir);
  liveDir.clear();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

void Flush() {
  while (Gtk::Main::events_pending())
    Gtk::Main::iteration(false);
}

int main(int argc, char** argv) {
  Gtk::Main kit(argc, argv, true);
  ::testing::InitGoogleTest(&argc, argv);
  // Death tests re-run the program rather than fork a process that holds an X connection.
  ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
  return RUN_ALL_TESTS();
}
