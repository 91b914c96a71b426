#include "exit.h"

#include "timegrab.h"
#include "timer.h"
#include "xpm/pictures.h"

#include <cstdlib>
#include <iostream>

ExitDialog::ExitDialog(MineTimer* timer0)
    : timeGrab(0), timer(timer0), dialog(0), okButton(0), cancelButton(0), vbox(0), label(0) {
  timeGrab = timer->Stop();
  dialog = new Gtk::Dialog();
  dialog->set_title("EXIT");
  exitIcon = Gdk::Pixbuf::create_from_xpm_data(bomb_xpm);
  dialog->set_icon(exitIcon);
  dialog->set_position(Gtk::WIN_POS_CENTER);
  vbox = dialog->get_vbox();
  label = new Gtk::Label("Quit ?", false);
  vbox->pack_start(*label, Gtk::PACK_EXPAND_WIDGET, 0);
  label->show();
  vbox->show();
  okButton = dialog->add_button("OK", Gtk::RESPONSE_OK);
  cancelButton = dialog->add_button("Cancel", Gtk::RESPONSE_CANCEL);
  okButton->signal_clicked().connect(sigc::mem_fun(*this, &ExitDialog::OkClicked));
  cancelButton->signal_clicked().connect(sigc::mem_fun(*this, &ExitDialog::CancelClicked));
  dialog->signal_delete_event().connect(sigc::mem_fun(*this, &ExitDialog::SignalDelete));
  dialog->show();
  dialog->add_modal_grab();
  dialog->set_resizable(false);
  dialog->set_keep_above(true);
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
