// placeholder: replaced by the real implementation
#include "savedialog.h"
SaveDialog::SaveDialog(MineTable* table0, SaveFile* saveFile0, MineTimer* timer0) : vbox(0), label(0), table(table0), timer(timer0), saveFile(saveFile0), timeGrab(1), okButton(0), cancelButton(0) {}
SaveDialog::~SaveDialog() {}
void SaveDialog::OkClicked() {}
void SaveDialog::CancelClicked() {}
bool SaveDialog::SignalDelete(GdkEventAny*) { return true; }
