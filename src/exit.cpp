// placeholder: replaced by the real implementation
#include "exit.h"
ExitDialog::ExitDialog(MineTimer* timer0) : timeGrab(1), timer(timer0), dialog(0), okButton(0), cancelButton(0), vbox(0), label(0) {}
ExitDialog::~ExitDialog() {}
void ExitDialog::OkClicked() {}
void ExitDialog::CancelClicked() {}
bool ExitDialog::SignalDelete(GdkEventAny*) { return true; }
