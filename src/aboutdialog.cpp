// placeholder: replaced by the real implementation
#include "aboutdialog.h"
AboutDialog::AboutDialog(MineTimer* timer0) : timeGrab(1), timer(timer0), textView(0), okButton(0), vbox(0) {}
AboutDialog::~AboutDialog() {}
void AboutDialog::OkClicked() {}
bool AboutDialog::DeleteEvent(GdkEventAny*) { return true; }
