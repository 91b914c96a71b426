// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

namespace {

// The directory of the test in progress: a test that ends the program never reaches TearDown.
std::string liveDir;
bool deathTest = false, finished = false;

} // namespace

void TempDirTest::SetUp() {
  oldDir = std::filesystem::current_path();
  char pattern[] = "/tmp/velmine-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  dir = liveDir = pattern;
  ASSERT_EQ(chdir(dir.c_str()), 0);
}

void TempDirTest::TearDown() {
  EXPECT_EQ(OpenFiles(), files); // none left open
  ASSERT_EQ(chdir(oldDir.c_str()), 0);
  std::filesystem::remove_all(dir);
  liveDir.clear();
}

void BoardTest::TearDown() {
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (dynamic_cast<NameDialog*>(window) || dynamic_cast<ScoreDialog*>(window))
      delete window;
  delete table;
  Trace([this] { scores.ALLDeleteList(); });
  TempDirTest::TearDown();
}

int main(int argc, char** argv) {
  for (int i = 1; i < argc; i++)
    deathTest |= std::strncmp(argv[i], "--gtest_internal_run_death_test", 31) == 0;
  Gtk::Main kit(argc, argv, true);
  testing::InitGoogleTest(&argc, argv);
  // Death tests re-run the program, not fork one holding an X connection; their exit is the result.
  testing::GTEST_FLAG(death_test_style) = "threadsafe";
  // Quit and Save call exit(0): reached by mistake mid-test, they would skip every later test.
  std::atexit([] {
    std::error_code ignored;
    if (!liveDir.empty())
      std::filesystem::remove_all(liveDir, ignored);
    if (!finished && !deathTest) {
      std::fputs("a test ended the program\n", stderr);
      std::_Exit(1);
    }
  });
  int result = RUN_ALL_TESTS();
  finished = true;
  return result;
}
