// SPDX-License-Identifier: GPL-3.0-or-later
#include "exit.h"

#include "intl.h"
#include "timegrab.h"
#include "timer.h"
#include "xpm/pictures.h"

#include <cstdlib>
#include <iostream>

ExitDialog::ExitDialog(MineTimer* timer0)
    : timeGrab(0), timer(timer0), dialog(0), okButton(0), cancelButton(0), vbox(0), label(0) {
  dialog = new Gtk::Dialog();
  timeGrab = BeginTimeGrab(dialog, timer, _("EXIT"));
  exitIcon = Gdk::Pixbuf::create_from_xpm_data(bomb_xpm);
  dialog->set_icon(exitIcon);
  vbox = dialog->get_vbox();
  label = new Gtk::Label(_("Quit ?"), false);
  vbox->pack_start(*label, Gtk::PACK_EXPAND_WIDGET, 0);
  label->show();
  vbox->show();
  okButton = dialog->add_button(_("OK"), Gtk::RESPONSE_OK);
  cancelButton = dialog->add_button(_("Cancel"), Gtk::RESPONSE_CANCEL);
  okButton->signal_clicked().connect(sigc::mem_fun(*this, &ExitDialog::OkClicked));
  cancelButton->signal_clicked().connect(sigc::mem_fun(*this, &ExitDialog::CancelClicked));
  dialog->signal_delete_event().connect(sigc::mem_fun(*this, &ExitDialog::SignalDelete));
  dialog->set_resizable(false);
  dialog->show();
}

// The buttons came from add_button and sit in the dialog's action area; deleting them first
// takes them out of the dialog, so the dialog's own destruction does not free them again.
ExitDialog::~ExitDialog() {
  delete okButton;
  delete cancelButton;
  delete label;
  delete dialog;
}

void ExitDialog::OkClicked() {
  std::cout << "Quit" << std::endl;
  dialog->remove_modal_grab();
  std::exit(0);
}

void ExitDialog::CancelClicked() {
  std::cout << "Return..." << std::endl;
  EndTimeGrab(dialog, timer, timeGrab, this);
}

bool ExitDialog::SignalDelete(GdkEventAny*) {
  std::cout << "delete..." << std::endl;
  EndTimeGrab(dialog, timer, timeGrab, this);
  return true;
}
