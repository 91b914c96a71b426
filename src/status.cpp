#include "status.h"

#include "table.h"

#include <cstdio>
#include <cstring>

MineStatus::MineStatus() : nowID(0), status(new Gtk::Statusbar()), table(0) {
  buffer[0] = '\0';
}

MineStatus::~MineStatus() {
  delete status;
}

void MineStatus::CheckMode(char* name, int mode) {
  static const char* const names[5] = {"", "Beginner", "Medium", "Advance", "Free"};
  // A code the board never holds gets no name rather than leaving the text unset.
  std::strcpy(name, mode >= 0 && mode <= 4 ? names[mode] : "");
}

Gtk::Statusbar* MineStatus::Create(MineTable* table0) {
  table = table0;
  char name[16];
  CheckMode(name, table->mode);
  status->set_size_request(-1, 30);
  std::snprintf(buffer, sizeof buffer, "%s  : %d x %d  bomb %d %%", name, table->nRow, table->nCol,
                table->pBomb);
  nowID = status->get_context_id(buffer);
  status->push(buffer, nowID);
  status->show();
  return status;
}

void MineStatus::Refresh() {
  if (table == 0)
    return;
  char name[16];
  CheckMode(name, table->mode);
  status->pop(nowID);
  std::snprintf(buffer, sizeof buffer, "%s : %d x %d  bomb %d %%", name, table->nRow, table->nCol,
                table->pBomb);
  nowID = status->get_context_id(buffer);
  status->push(buffer, nowID);
  status->show();
}
