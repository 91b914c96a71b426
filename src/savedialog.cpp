// SPDX-License-Identifier: GPL-3.0-or-later
#include "savedialog.h"

#include "failuremessage.h"
#include "intl.h"
#include "savefile.h"
#include "timegrab.h"
#include "timer.h"
#include "xpm/pictures.h"

#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace {

// Why the game could not be saved: by the error of the step that failed, or 0 when the file
// was written but did not read back sound.
Glib::ustring Why(int error) {
  if (error == 0)
    return _("The saved file did not read back as it was written.");
  return WhyNotWritten(error, "MINE_SAVE.data");
}

// The message keeps the clock paused for the save dialog that it replaces.
void MessageClosed(int, Gtk::MessageDialog* message, MineTimer* timer, int timeGrab) {
  EndTimeGrab(message, timer, timeGrab, message);
}

void ShowFailure(int error, MineTimer* timer, int timeGrab) {
  Gtk::MessageDialog* message = FailureMessage(_("NOT SAVED"), _("The game could not be saved."),
                                               Why(error) + "\n" + _("Your game goes on."));
  message->signal_response().connect(
      sigc::bind(sigc::ptr_fun(&MessageClosed), message, timer, timeGrab));
}

} // namespace

SaveDialog::SaveDialog(MineTable* table0, SaveFile* saveFile0, MineTimer* timer0)
    : vbox(0), label(0), table(table0), timer(timer0), saveFile(saveFile0), timeGrab(0),
      okButton(0), cancelButton(0) {
  timeGrab = BeginTimeGrab(this, timer, _("SAVE"));
  // Centred again whenever it changes size.
  set_position(Gtk::WIN_POS_CENTER_ALWAYS);
  set_resizable(false);
  okButton = add_button(_("Ok"), Gtk::RESPONSE_OK);
  cancelButton = add_button(_("Cancel"), Gtk::RESPONSE_CANCEL);
  okButton->show();
  cancelButton->show();
  vbox = get_vbox();
  label = new Gtk::Label(_("Save & Exit ?"), false);
  vbox->pack_start(*label, Gtk::PACK_EXPAND_WIDGET, 0);
  label->show();
  vbox->show();
  okButton->signal_clicked().connect(sigc::mem_fun(*this, &SaveDialog::OkClicked));
  cancelButton->signal_clicked().connect(sigc::mem_fun(*this, &SaveDialog::CancelClicked));
  signal_delete_event().connect(sigc::mem_fun(*this, &SaveDialog::SignalDelete));
  saveIcon = Gdk::Pixbuf::create_from_xpm_data(flag_xpm);
  set_icon(saveIcon);
  show();
}

// The buttons came from add_button and sit in the dialog's action area; deleting them here
// takes them out of the dialog, so the dialog's own destruction does not free them again.
SaveDialog::~SaveDialog() {
  delete okButton;
  delete cancelButton;
  delete label;
}

void SaveDialog::OkClicked() {
  std::cout << "Quit" << std::endl;
  int error = saveFile->SaveState(table);
  // Only a file that reads back sound may end the program: anything else would lose the game.
  if (saveFile->FindState() == 0 && error == 0)
    std::exit(0);
  std::cout << "SAVE FALSED" << std::endl;
  // A file we wrote that does not verify would only be refused at the next start; a failed
  // write has already taken its own away.
  if (error == 0)
    unlink("MINE_SAVE.data");
  remove_modal_grab();
  ShowFailure(error, timer, timeGrab);
  delete this;
}

void SaveDialog::CancelClicked() {
  std::cout << "Return..." << std::endl;
  EndTimeGrab(this, timer, timeGrab, this);
}

bool SaveDialog::SignalDelete(GdkEventAny*) {
  std::cout << "delete..." << std::endl;
  EndTimeGrab(this, timer, timeGrab, this);
  return true;
}
