// placeholder: replaced by the real implementation
#include "status.h"
MineStatus::MineStatus() : nowID(0), status(new Gtk::Statusbar()), table(0) {
  buffer[0] = 0;
}
MineStatus::~MineStatus() {
  delete status;
}
void MineStatus::CheckMode(char* name, int) {
  name[0] = 0;
}
Gtk::Statusbar* MineStatus::Create(MineTable* table0) {
  table = table0;
  return status;
}
void MineStatus::Refresh() {}
