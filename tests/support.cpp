#include "support.h"

#include "namedialog.h"
#include "scoredialog.h"

#include <gtkmm/button.h>
#include <gtkmm/main.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The directory of the test in progress: a test that ends the program never reaches TearDown.
std::string liveDir;
const testing::TestInfo* running = nullptr;

void RemoveDir(const std::string& path) {
  std::string command = "chmod -R u+w '" + path + "' && rm -rf '" + path + "'";
  if (std::system(command.c_str()) != 0)
    std::fprintf(stderr, "could not remove %s\n", path.c_str());
}

void RemoveLiveDir() {
  if (!liveDir.empty())
    RemoveDir(liveDir);
}

class Running : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo& info) override {
    running = &info;
  }
  void OnTestEnd(const testing::TestInfo&) override {
    running = nullptr;
  }
};

// The quit and save paths call exit(0): reached by mistake part-way through a test, they would
// end the program with the status of a pass and skip every test after it.
void ExitMidTest() {
  if (running == nullptr)
    return;
  std::fprintf(stderr, "%s.%s ended the program mid-test\n", running->test_suite_name(),
               running->name());
  std::_Exit(1);
}

bool Button(MineTable* table, int index, unsigned button, GdkEventType type) {
  GdkEventButton event = GdkEventButton();
  event.type = type;
  event.button = button;
  gboolean handled = FALSE;
  const char* signal = type == GDK_BUTTON_RELEASE ? "button-release-event" : "button-press-event";
  g_signal_emit_by_name(table->board[index]->gobj(), signal, &event, &handled);
  return handled;
}

} // namespace

void TempDirTest::SetUp() {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  oldDir = cwd;
  char pattern[] = "/tmp/velmine-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  dir = liveDir = pattern;
  ASSERT_EQ(chdir(dir.c_str()), 0);
}

void TempDirTest::TearDown() {
  ASSERT_EQ(chdir(oldDir.c_str()), 0);
  RemoveDir(dir);
  liveDir.clear();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << text;
}

std::string ReadText(const std::string& path) {
  std::ostringstream all;
  all << std::ifstream(path.c_str(), std::ios::binary).rdbuf();
  return all.str();
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string Trace(const std::function<void()>& what) {
  // Kept in memory: a test's file size limit binds every file the process writes.
  std::ostringstream text;
  std::streambuf* old = std::cout.rdbuf(text.rdbuf());
  what();
  std::cout.rdbuf(old);
  return text.str();
}

void Settle() {
  for (int round = 0; round < 4; round++) {
    if (round > 0)
      gdk_display_sync(gdk_display_get_default());
    while (Gtk::Main::events_pending())
      Gtk::Main::iteration(false);
  }
}

Gtk::Button* ButtonIn(Gtk::Widget* window, const Glib::ustring& label) {
  for (Gtk::Button* button : ShownIn<Gtk::Button>(window))
    if (button->get_label() == label)
      return button;
  ADD_FAILURE() << "no button " << label << " shown";
  return nullptr;
}

bool CloseRequest(Gtk::Window* window) {
  GdkEvent event = {};
  event.any = {GDK_DELETE, window->get_window()->gobj(), TRUE};
  return gtk_widget_event(GTK_WIDGET(window->gobj()), &event);
}

bool Press(MineTable* table, int index, unsigned button) {
  return Button(table, index, button, GDK_BUTTON_PRESS);
}

bool Release(MineTable* table, int index, unsigned button) {
  return Button(table, index, button, GDK_BUTTON_RELEASE);
}

std::string ScoreLine(int score, int row, int col, int bomb, int sec, int mode, int stamp,
                      const std::string& name) {
  int check = row * col + bomb + sec;
  for (char c : name)
    check += c;
  std::ostringstream line;
  line << score << '\t' << row << '\t' << col << '\t' << bomb << '\t' << sec << '\t' << mode << '\t'
       << stamp << '\t' << check << '\t' << name << '\n';
  return line.str();
}

void BoardTest::SetUp() {
  TempDirTest::SetUp();
  table = new MineTable(nullptr, &timer, &scores);
}

void BoardTest::TearDown() {
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (dynamic_cast<NameDialog*>(window) || dynamic_cast<ScoreDialog*>(window))
      delete window;
  delete table;
  Trace([this] { scores.ALLDeleteList(); });
  TempDirTest::TearDown();
}

void BoardTest::Plant(const std::vector<int>& bombs) {
  for (int i = 0; i < Cells(); i++)
    table->board[i]->bomb = std::count(bombs.begin(), bombs.end(), i) > 0;
  table->SetNum();
  table->nBomb = static_cast<int>(bombs.size());
  table->BombCount = table->MissCount = 0;
  table->startFlag = 1;
}

bool BoardTest::Shows(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) const {
  return table->board[index]->image->get_pixbuf() == picture;
}

int main(int argc, char** argv) {
  bool deathTest = false;
  for (int i = 1; i < argc; i++)
    deathTest |= std::strncmp(argv[i], "--gtest_internal_run_death_test", 31) == 0;
  Gtk::Main kit(argc, argv, true);
  testing::InitGoogleTest(&argc, argv);
  // Death tests re-run the program rather than fork a process that holds an X connection; there
  // the statement's own exit is the result.
  testing::GTEST_FLAG(death_test_style) = "threadsafe";
  // Run last to first: the directory goes before the guard ends the program.
  if (!deathTest) {
    testing::UnitTest::GetInstance()->listeners().Append(new Running);
    std::atexit(ExitMidTest);
  }
  std::atexit(RemoveLiveDir);
  return RUN_ALL_TESTS();
}
