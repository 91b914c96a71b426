// SPDX-License-Identifier: GPL-3.0-or-later
#include "status.h"

#include "intl.h"
#include "table.h"

MineStatus::MineStatus() : nowID(0), status(new Gtk::Statusbar()), table(0) {}

MineStatus::~MineStatus() {
  delete status;
}

void MineStatus::CheckMode(Glib::ustring& name, int mode) {
  // TRANSLATORS: the mode names the status bar and the score table's Mode column show: the
  // preset boards (Beginner 10 x 10 with 10 % bombs, Medium 15 x 15 with 15 %, Advance 20 x 20
  // with 20 %) and any other board (Free).
  static const char* const names[5] = {"", NC_("mode", "Beginner"), NC_("mode", "Medium"),
                                       NC_("mode", "Advance"), NC_("mode", "Free")};
  // A code the board never holds gets no name rather than leaving the text unset.
  name = mode >= 1 && mode <= 4 ? g_dpgettext2(GETTEXT_PACKAGE, "mode", names[mode]) : "";
}

Gtk::Statusbar* MineStatus::Create(MineTable* table0) {
  table = table0;
  Glib::ustring name;
  CheckMode(name, table->mode);
  status->set_size_request(-1, 30);
  // TRANSLATORS: the status bar at start-up: mode name, cells across, cells down, bomb
  // percentage, e.g. "Beginner  : 10 x 10  bomb 10 %". It differs from the line after a new
  // game only by the second space before the colon.
  buffer =
      Format(_("%s  : %d x %d  bomb %d %%"), name.c_str(), table->nRow, table->nCol, table->pBomb);
  nowID = status->get_context_id(buffer);
  status->push(buffer, nowID);
  status->show();
  return status;
}

void MineStatus::Refresh() {
  if (table == 0)
    return;
  Glib::ustring name;
  CheckMode(name, table->mode);
  status->pop(nowID);
  // TRANSLATORS: the status bar after a new game, e.g. "Medium : 15 x 15  bomb 15 %".
  buffer =
      Format(_("%s : %d x %d  bomb %d %%"), name.c_str(), table->nRow, table->nCol, table->pBomb);
  nowID = status->get_context_id(buffer);
  status->push(buffer, nowID);
  status->show();
}
