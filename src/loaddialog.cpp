#include "loaddialog.h"

#include "timegrab.h"
#include "timer.h"
#include "xpm/pictures.h"

#include <iostream>

namespace {

// By message code: 0 the saved game was loaded; 1, 2 and 3 say why it was refused; 4 and 5 why
// a game that passed its check was not resumed.
const char* const messages[] = {
    "Load State",
    "Can't Copy",
    "Can't Change",
    "SAVE Broken",
    "The saved game was not resumed: its folder cannot be written to, so the game could not be "
    "removed as it was loaded, and it would be resumed again at every start.\nIt is kept, and "
    "will be resumed once its folder can be written to again.",
    "The saved game could not be read, and a new game begins."};
const char* const* const icons[] = {maru_xpm, batu_xpm, batu_xpm, batu_xpm, batu_xpm, batu_xpm};
const int messageCount = sizeof messages / sizeof messages[0];

} // namespace

LoadDialog::LoadDialog(MineTimer* timer0, int mNum0)
    : vbox(0), label(0), timer(timer0), timeGrab(0), okButton(0) {
  timeGrab = BeginTimeGrab(this, timer, "LOAD");
  set_resizable(false);
  okButton = add_button("Ok", Gtk::RESPONSE_OK);
  okButton->set_flags(Gtk::CAN_DEFAULT);
  okButton->grab_default();
  okButton->show();
  vbox = get_vbox();
  label = new Gtk::Label();
  label->set_line_wrap(true);
  // An unknown code shows an empty message and leaves the icon alone.
  if (mNum0 >= 0 && mNum0 < messageCount) {
    loadIcon = Gdk::Pixbuf::create_from_xpm_data(icons[mNum0]);
    set_icon(loadIcon);
    label->set_text(messages[mNum0]);
  }
  vbox->pack_start(*label, Gtk::PACK_EXPAND_WIDGET, 0);
  label->show();
  vbox->show();
  okButton->signal_clicked().connect(sigc::mem_fun(*this, &LoadDialog::OkClicked));
  signal_delete_event().connect(sigc::mem_fun(*this, &LoadDialog::SignalDelete));
  show();
}

// The button came from add_button and sits in the dialog's action area; deleting it here takes
// it out of the dialog, so the dialog's own destruction does not free it a second time.
LoadDialog::~LoadDialog() {
  delete okButton;
  delete label;
}

void LoadDialog::OkClicked() {
  EndTimeGrab(this, timer, timeGrab, this);
}

bool LoadDialog::SignalDelete(GdkEventAny*) {
  std::cout << "delete..." << std::endl;
  EndTimeGrab(this, timer, timeGrab, this);
  return true;
}
