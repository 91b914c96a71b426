// placeholder: replaced by the real implementation
#include "table.h"
MineTable::MineTable(MineWindow* window0, MineTimer* timer0, ScoreFile* scoreFile0)
    : scrWin(new Gtk::ScrolledWindow()), window(window0), scoreFile(scoreFile0),
      table(new Gtk::Table()), image(0), timer(timer0), sizeFlag(1), startFlag(0), nRow(10),
      nCol(10), nSize(24), pBomb(10), nBomb(0), BombCount(0), MissCount(0), mode(1) {
  for (int i = 0; i < CAPACITY; i++)
    board[i] = 0;
}
MineTable::~MineTable() {
  delete scrWin;
  delete table;
}
Gtk::ScrolledWindow* MineTable::Show() {
  return scrWin;
}
void MineTable::CreateTable() {}
void MineTable::KeepCreate() {}
void MineTable::ReCreate(int, int, int, int) {}
void MineTable::SizeAllocateEvent(GtkRequisition*) {}
void MineTable::SetMode() {}
void MineTable::PlaceCell(MineButton*, int) {}
bool MineTable::PressEvent(GdkEventButton*, int) {
  return true;
}
bool MineTable::ReleaseEvent(GdkEventButton*, int) {
  return true;
}
void MineTable::ButtonHit(int) {}
void MineTable::GameOver() {}
int MineTable::SetBomb(int, int, int, int) {
  return 0;
}
void MineTable::CreateValue(int) {}
void MineTable::SetNum() {}
void MineTable::BlankButton(void (MineTable::*)(int), int) {}
void MineTable::BlankALL(void (MineTable::*)(int), int) {}
void MineTable::BlankUp(void (MineTable::*)(int), int) {}
void MineTable::BlankLeft(void (MineTable::*)(int), int) {}
void MineTable::BlankUpLeft(void (MineTable::*)(int), int) {}
void MineTable::BlankDown(void (MineTable::*)(int), int) {}
void MineTable::BlankDownLeft(void (MineTable::*)(int), int) {}
void MineTable::BlankRight(void (MineTable::*)(int), int) {}
void MineTable::BlankUpRight(void (MineTable::*)(int), int) {}
void MineTable::BlankDownRight(void (MineTable::*)(int), int) {}
void MineTable::BlankERROR(void (MineTable::*)(int), int) {}
void MineTable::DecreaseBomb(int) {}
void MineTable::DecreaseAround(int) {}
void MineTable::AroundZERO(int) {}
