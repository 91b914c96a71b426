// placeholder: replaced by the real implementation
#include "setgrid.h"
GridDialog::GridDialog() {}
GridDialog::~GridDialog() {}
void GridDialog::Create(MineTable* table0, MineStatus* status0) { table = table0; status = status0; }
void GridDialog::Show() {}
void GridDialog::RowChange() {}
void GridDialog::ColChange() {}
void GridDialog::BombChange() {}
void GridDialog::SizeChange() {}
void GridDialog::ResetClicked() {}
void GridDialog::CloseClicked() {}
bool GridDialog::DeleteSignal(GdkEventAny*) { return true; }
