// The board's tests share a board in a temporary directory and mouse events sent to its cells.
#ifndef VELMINE_TESTS_BOARD_SUPPORT_H
#define VELMINE_TESTS_BOARD_SUPPORT_H

#include "support.h"

#include "minebutton.h"
#include "namedialog.h"
#include "scorefile.h"
#include "table.h"
#include "timer.h"
#include "xpm/image.h"

#include <algorithm>
#include <vector>

// Emits a button event on a cell as the toolkit does; returns whether a handler claimed it.
inline bool Press(MineTable* table, int index, unsigned button,
                  GdkEventType type = GDK_BUTTON_PRESS) {
  GdkEventButton event = GdkEventButton();
  event.type = type;
  event.button = button;
  gboolean handled = FALSE;
  const char* signal = type == GDK_BUTTON_RELEASE ? "button-release-event" : "button-press-event";
  g_signal_emit_by_name(table->board[index]->gobj(), signal, &event, &handled);
  return handled;
}

inline bool Release(MineTable* table, int index, unsigned button) {
  return Press(table, index, button, GDK_BUTTON_RELEASE);
}

// Deletes every name dialog a win has opened; returns how many there were.
inline int CloseNameDialogs() {
  int closed = 0;
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    NameDialog* dialog = dynamic_cast<NameDialog*>(window);
    closed += dialog != nullptr;
    delete dialog;
  }
  return closed;
}

class BoardTest : public TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    table = new MineTable(nullptr, &timer, scoreFile = new ScoreFile());
  }

  void TearDown() override {
    CloseNameDialogs();
    delete table;
    delete scoreFile;
    TempDirTest::TearDown();
  }

  int Cells() const {
    return table->nRow * table->nCol;
  }

  // Sets up a running game with bombs exactly on the given cells.
  void Plant(const std::vector<int>& bombs) {
    for (int i = 0; i < Cells(); i++)
      table->board[i]->bomb = std::count(bombs.begin(), bombs.end(), i) > 0;
    table->SetNum();
    table->nBomb = static_cast<int>(bombs.size());
    table->BombCount = table->MissCount = 0;
    table->startFlag = 1;
  }

  Glib::RefPtr<Gdk::Pixbuf> Shown(int index) const {
    return table->board[index]->image->get_pixbuf();
  }

  MineTimer timer;
  ScoreFile* scoreFile = nullptr;
  MineTable* table = nullptr;
};

#endif
