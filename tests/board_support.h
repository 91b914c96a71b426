// Helpers shared by the board's tests: a fixture holding a board with its clock and score list
// in a temporary working directory, mouse events sent through a cell's own signals, and counts
// worked out from the board's geometry independently of the board's code.
#ifndef VELMINE_TESTS_BOARD_SUPPORT_H
#define VELMINE_TESTS_BOARD_SUPPORT_H

#include "support.h"

#include "minebutton.h"
#include "namedialog.h"
#include "scorefile.h"
#include "table.h"
#include "timer.h"
#include "xpm/image.h"

#include <gtkmm/window.h>

#include <vector>

// Sends a button event through the cell's signal, as the toolkit does; returns whether a handler
// claimed it (which keeps the toggle button's own handling away).
inline bool SendButton(MineButton* cell, const char* signal, GdkEventType type, unsigned button) {
  GdkEventButton event = GdkEventButton();
  event.type = type;
  event.button = button;
  gboolean handled = FALSE;
  g_signal_emit_by_name(cell->gobj(), signal, &event, &handled);
  return handled;
}

inline bool Press(MineTable* table, int index, unsigned button,
                  GdkEventType type = GDK_BUTTON_PRESS) {
  return SendButton(table->board[index], "button-press-event", type, button);
}

inline bool Release(MineTable* table, int index, unsigned button) {
  return SendButton(table->board[index], "button-release-event", GDK_BUTTON_RELEASE, button);
}

// Deletes every name dialog a win has opened; returns how many there were.
inline int CloseNameDialogs() {
  int closed = 0;
  std::vector<Gtk::Window*> windows = Gtk::Window::list_toplevels();
  for (size_t i = 0; i < windows.size(); i++) {
    NameDialog* dialog = dynamic_cast<NameDialog*>(windows[i]);
    if (dialog != nullptr) {
      delete dialog;
      closed++;
    }
  }
  return closed;
}

// The cells of the clipped 3 x 3 block around index, itself included.
inline std::vector<int> Block(const MineTable* table, int index) {
  std::vector<int> cells;
  int row = index % table->nRow;
  int col = index / table->nRow;
  for (int dc = -1; dc <= 1; dc++) {
    for (int dr = -1; dr <= 1; dr++) {
      int r = row + dr;
      int c = col + dc;
      if (r >= 0 && r < table->nRow && c >= 0 && c < table->nCol)
        cells.push_back(c * table->nRow + r);
    }
  }
  return cells;
}

inline int BombsAround(const MineTable* table, int index) {
  int count = 0;
  for (int other : Block(table, index))
    count += table->board[other]->bomb;
  return count;
}

class BoardTest : public TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    scoreFile = new ScoreFile();
    table = new MineTable(nullptr, &timer, scoreFile);
  }

  void TearDown() override {
    CloseNameDialogs();
    delete table;
    delete scoreFile;
    timer.Stop();
    TempDirTest::TearDown();
  }

  int Cells() const {
    return table->nRow * table->nCol;
  }

  // Sets up a running game with bombs exactly on the given cells.
  void Plant(const std::vector<int>& bombs) {
    for (int i = 0; i < Cells(); i++)
      table->board[i]->bomb = 0;
    for (int index : bombs)
      table->board[index]->bomb = 1;
    table->SetNum();
    table->nBomb = static_cast<int>(bombs.size());
    table->BombCount = 0;
    table->MissCount = 0;
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
