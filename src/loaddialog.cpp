// placeholder: replaced by the real implementation
#include "loaddialog.h"
LoadDialog::LoadDialog(MineTimer* timer0, int) : vbox(0), label(0), timer(timer0), timeGrab(1), okButton(0) {}
LoadDialog::~LoadDialog() {}
void LoadDialog::OkClicked() {}
bool LoadDialog::SignalDelete(GdkEventAny*) { return true; }
