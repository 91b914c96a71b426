// The dialogs that pause the game (About, quit confirmation, save, load): their texts and
// icons, the clock and the modal grab across every way out, and freeing themselves. Needs a
// display; each test runs in a temporary working directory.
#include "support.h"

#include "aboutdialog.h"
#include "exit.h"
#include "loaddialog.h"
#include "savedialog.h"
#include "savefile.h"
#include "table.h"
#include "timer.h"
#include "xpm/pictures.h"

#include <gtk/gtk.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using ::testing::Bool;
using ::testing::Combine;
using ::testing::ValuesIn;

namespace {

bool SamePicture(const Glib::RefPtr<Gdk::Pixbuf>& icon, const char* const* xpm) {
  Glib::RefPtr<Gdk::Pixbuf> want = Gdk::Pixbuf::create_from_xpm_data(xpm);
  return icon && icon->get_rowstride() == want->get_rowstride() &&
         icon->get_height() == want->get_height() &&
         std::memcmp(icon->get_pixels(), want->get_pixels(),
                     want->get_rowstride() * want->get_height()) == 0;
}

// What the window manager sends for the close box; returns the handler's answer.
bool CloseBox(Gtk::Window* window) {
  GdkEventAny event = GdkEventAny();
  event.type = GDK_DELETE;
  event.window = window->get_window()->gobj();
  return gtk_widget_event(GTK_WIDGET(window->gobj()), reinterpret_cast<GdkEvent*>(&event));
}

// The text of the run of characters that carry a tag.
std::string Tagged(const Glib::RefPtr<Gtk::TextBuffer>& buffer,
                   const Glib::RefPtr<Gtk::TextBuffer::Tag>& tag) {
  std::string text;
  for (Gtk::TextBuffer::iterator i = buffer->begin(); i != buffer->end(); ++i)
    if (i.has_tag(tag))
      text += static_cast<char>(*i);
  return text;
}

void ReportSavedGame() {
  SaveFile check;
  if (check.FindState() == 0)
    std::cerr << "saved game verifies" << std::endl;
}

} // namespace

// A board built and a clock at rest; MINE_SAVE.data is a directory, so no save can succeed
// until a test removes it (working as root, a read-only directory would not stop a write).
class DialogTest : public TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    ASSERT_EQ(mkdir("MINE_SAVE.data", 0755), 0);
    table = new MineTable(0, &timer, 0);
    table->CreateTable();
  }
  void TearDown() override {
    delete table;
    TempDirTest::TearDown();
  }
  // A game in progress: the first left release draws the bombs and starts the clock.
  void StartGame() {
    table->ReCreate(10, 10, 50, 24);
    GdkEventButton release = GdkEventButton();
    release.type = GDK_BUTTON_RELEASE;
    release.button = 1;
    table->ReleaseEvent(&release, 44);
  }

  MineTimer timer;
  MineTable* table;
  SaveFile saveFile;
};

TEST_F(DialogTest, AboutShowsTheTaggedCreditsReadOnly) {
  AboutDialog* about = new AboutDialog(&timer);
  EXPECT_EQ(about->get_title(), "ABOUT");
  EXPECT_EQ(about->okButton->get_label(), "Ok");
  EXPECT_TRUE(SamePicture(about->get_icon(), question_xpm));
  EXPECT_FALSE(about->textView->get_editable());
  EXPECT_FALSE(about->textView->get_cursor_visible());

  std::string text = about->textBuffer->get_text();
  std::string credit = text.substr(text.rfind('\n') + 1);
  EXPECT_EQ(text, "Velmora=DadaVevuroz -1.2\n\n" + credit);
  EXPECT_EQ(Tagged(about->textBuffer, about->titleStr), "Velmora=DadaVevuroz -1.2");
  EXPECT_EQ(Tagged(about->textBuffer, about->createStr), credit);
  std::string name = Tagged(about->textBuffer, about->nameStr);
  std::string year = Tagged(about->textBuffer, about->yearStr);
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(credit.substr(credit.size() - name.size() - year.size()), name + year);
  EXPECT_EQ(year.size(), 7u);
  EXPECT_EQ(year.substr(0, 2) + year.substr(6), " ()");
  EXPECT_EQ(about->nameStr->property_style().get_value(), Pango::STYLE_ITALIC);
  EXPECT_EQ(about->yearStr->property_weight().get_value(), 700);
  EXPECT_EQ(about->createStr->property_justification().get_value(), Gtk::JUSTIFY_RIGHT);
  about->okButton->clicked();
}

TEST_F(DialogTest, QuitAndSaveAskWithTheirOwnWords) {
  ExitDialog* quit = new ExitDialog(&timer);
  EXPECT_EQ(quit->dialog->get_title(), "EXIT");
  EXPECT_EQ(quit->label->get_text(), "Quit ?");
  EXPECT_EQ(quit->okButton->get_label() + quit->cancelButton->get_label(), "OKCancel");
  EXPECT_TRUE(SamePicture(quit->dialog->get_icon(), bomb_xpm));
  quit->cancelButton->clicked();
  SaveDialog* save = new SaveDialog(table, &saveFile, &timer);
  EXPECT_EQ(save->get_title(), "SAVE");
  EXPECT_EQ(save->label->get_text(), "Save & Exit ?");
  EXPECT_EQ(save->okButton->get_label() + save->cancelButton->get_label(), "OkCancel");
  EXPECT_TRUE(SamePicture(save->get_icon(), flag_xpm));
  save->cancelButton->clicked();
}

TEST_F(DialogTest, QuitOkEndsTheProgramWithStatusZeroMidGame) {
  StartGame();
  EXPECT_EXIT((new ExitDialog(&timer))->okButton->clicked(), ::testing::ExitedWithCode(0), "");
}

TEST_F(DialogTest, SaveOkWritesAVerifiedGameAndEndsWithStatusZero) {
  ASSERT_EQ(rmdir("MINE_SAVE.data"), 0);
  StartGame();
  EXPECT_EXIT(
      {
        std::atexit(ReportSavedGame);
        (new SaveDialog(table, &saveFile, &timer))->okButton->clicked();
      },
      ::testing::ExitedWithCode(0), "saved game verifies");
}

struct LoadMessage {
  int code;
  const char* text;
  const char* const* icon;
};

class LoadMessageTest : public DialogTest, public ::testing::WithParamInterface<LoadMessage> {};

TEST_P(LoadMessageTest, ShowsTheTextAndIconOfItsCode) {
  LoadDialog* load = new LoadDialog(&timer, GetParam().code);
  EXPECT_EQ(load->get_title(), "LOAD");
  EXPECT_EQ(load->okButton->get_label(), "Ok");
  EXPECT_EQ(load->label->get_text(), GetParam().text);
  if (GetParam().icon)
    EXPECT_TRUE(SamePicture(load->get_icon(), GetParam().icon));
  else
    EXPECT_FALSE(load->get_icon());
  load->okButton->clicked();
}

const LoadMessage loadMessages[] = {{0, "Load State", maru_xpm},
                                    {1, "Can't Copy", batu_xpm},
                                    {2, "Can't Change", batu_xpm},
                                    {3, "SAVE Broken", batu_xpm},
                                    {-1, "", 0},
                                    {4, "", 0}};
INSTANTIATE_TEST_SUITE_P(Codes, LoadMessageTest, ValuesIn(loadMessages));

// An open dialog: the window that holds the grab, what closing it must free, and its buttons.
struct Opened {
  Gtk::Window* window;
  std::vector<Gtk::Widget*> parts;
  Gtk::Button* ok;
  Gtk::Button* cancel;
};

Opened OpenAbout(MineTimer* timer, MineTable*, SaveFile*) {
  AboutDialog* d = new AboutDialog(timer);
  return {d, {d, d->textView, d->okButton}, d->okButton, 0};
}
Opened OpenExit(MineTimer* timer, MineTable*, SaveFile*) {
  ExitDialog* d = new ExitDialog(timer);
  return {d->dialog, {d->dialog, d->label, d->okButton, d->cancelButton}, 0, d->cancelButton};
}
Opened OpenSave(MineTimer* timer, MineTable* table, SaveFile* saveFile) {
  SaveDialog* d = new SaveDialog(table, saveFile, timer);
  return {d, {d, d->label, d->okButton, d->cancelButton}, d->okButton, d->cancelButton};
}
Opened OpenLoad(MineTimer* timer, MineTable*, SaveFile*) {
  LoadDialog* d = new LoadDialog(timer, 0);
  return {d, {d, d->label, d->okButton}, d->okButton, 0};
}

enum Way { OK, CANCEL, CLOSE_BOX };

// One way out of a dialog that keeps the game going, and the line it traces.
struct ClosingPath {
  const char* name;
  Opened (*open)(MineTimer*, MineTable*, SaveFile*);
  Way way;
  const char* trace;
};

const ClosingPath closingPaths[] = {
    {"AboutOk", OpenAbout, OK, "Quit\n"},
    {"AboutCloseBox", OpenAbout, CLOSE_BOX, "delete...\n"},
    {"ExitCancel", OpenExit, CANCEL, "Return...\n"},
    {"ExitCloseBox", OpenExit, CLOSE_BOX, "delete...\n"},
    {"SaveCancel", OpenSave, CANCEL, "Return...\n"},
    {"SaveCloseBox", OpenSave, CLOSE_BOX, "delete...\n"},
    {"SaveFailing", OpenSave, OK, "SAVE FALSED\n"},
    {"LoadOk", OpenLoad, OK, ""},
    {"LoadCloseBox", OpenLoad, CLOSE_BOX, "delete...\n"},
};

void CountFreed(gpointer freed, GObject*) {
  ++*static_cast<int*>(freed);
}

class ClosingTest : public DialogTest,
                    public ::testing::WithParamInterface<std::tuple<ClosingPath, bool>> {};

TEST_P(ClosingTest, PausesTheClockAndResumesOnlyWhatItPaused) {
  const ClosingPath& path = std::get<0>(GetParam());
  bool running = std::get<1>(GetParam());
  if (running)
    timer.Start();
  timer.nSec = 57;
  Opened opened = path.open(&timer, table, &saveFile);
  EXPECT_EQ(timer.timeFlag, 0);
  EXPECT_EQ(gtk_grab_get_current(), GTK_WIDGET(opened.window->gobj()));
  int freed = 0;
  for (Gtk::Widget* part : opened.parts)
    g_object_weak_ref(G_OBJECT(part->gobj()), CountFreed, &freed);

  testing::internal::CaptureStdout();
  if (path.way == OK)
    opened.ok->clicked();
  else if (path.way == CANCEL)
    opened.cancel->clicked();
  else
    EXPECT_TRUE(CloseBox(opened.window));
  EXPECT_NE(testing::internal::GetCapturedStdout().find(path.trace), std::string::npos);

  EXPECT_EQ(timer.timeFlag, running ? 1 : 0);
  EXPECT_EQ(timer.nSec, 57);
  EXPECT_EQ(gtk_grab_get_current(), nullptr);
  EXPECT_EQ(freed, static_cast<int>(opened.parts.size()));
}

INSTANTIATE_TEST_SUITE_P(Dialogs, ClosingTest, Combine(ValuesIn(closingPaths), Bool()),
                         [](const ::testing::TestParamInfo<ClosingTest::ParamType>& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "Running" : "Stopped");
                         });
