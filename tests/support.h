// Test support shared by every test program: each program's main() starts the toolkit (the
// tests run under a virtual X server), and TempDirTest runs each test in a fresh temporary
// working directory, since the game reads and writes its files there.
#ifndef VELMINE_TESTS_SUPPORT_H
#define VELMINE_TESTS_SUPPORT_H

#include <gtest/gtest.h>

#include <string>

class TempDirTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  std::string dir;

private:
  std::string oldDir;
};

// Writes text to a file in the working directory, replacing it.
void WriteText(const std::string& path, const std::string& text);
// Reads a whole file; empty when it does not exist.
std::string ReadText(const std::string& path);
bool FileExists(const std::string& path);
// Runs the main loop until nothing is pending, so queued redraws and size requests happen.
void Flush();

#endif
