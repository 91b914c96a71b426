// placeholder: replaced by the real implementation
#include "namedialog.h"
NameDialog::NameDialog(MineTable* table0) : table(table0), timer(0), scoreFile(0), label(0), entry(0), okButton(0), vbox(0), hbox(0) {}
NameDialog::~NameDialog() {}
void NameDialog::InsertText(const Glib::ustring&, int*) {}
void NameDialog::OkClicked() {}
bool NameDialog::DeleteEvent(GdkEventAny*) { return true; }
