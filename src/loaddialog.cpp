// SPDX-License-Identifier: GPL-3.0-or-later
#include "loaddialog.h"

#include "intl.h"
#include "timegrab.h"
#include "timer.h"
#include "xpm/pictures.h"

#include <iostream>

namespace {

// By message code: 0 the saved game was loaded; 1, 2 and 3 say why it was refused; 4 and 5 why
// a game that passed its check was not resumed.
const char* const messages[] = {
    // TRANSLATORS: at start-up, the game saved on exit has been loaded and goes on.
    N_("Load State"),
    // TRANSLATORS: at start-up, the saved game was refused: the file is a copy, not the one the
    // game wrote (another inode or birth time), so it could be a game saved twice.
    N_("Can't Copy"),
    // TRANSLATORS: at start-up, the saved game was refused: the file was changed after it was
    // saved (its modification time moved).
    N_("Can't Change"),
    // TRANSLATORS: at start-up, the saved game was refused: the file is incomplete or its
    // counts do not agree with its cells.
    N_("SAVE Broken"),
    // TRANSLATORS: at start-up, a sound saved game was not loaded because its file could not be
    // deleted (a read-only folder or medium); it stays and is loaded at a later start.
    N_("The saved game was not resumed: its folder cannot be written to, so the game could not be "
       "removed as it was loaded, and it would be resumed again at every start.\nIt is kept, and "
       "will be resumed once its folder can be written to again."),
    // TRANSLATORS: at start-up, the saved game passed its check but was gone or unreadable a
    // moment later, when it was to be loaded.
    N_("The saved game could not be read, and a new game begins.")};
const char* const* const icons[] = {maru_xpm, batu_xpm, batu_xpm, batu_xpm, batu_xpm, batu_xpm};
const int messageCount = sizeof messages / sizeof messages[0];

} // namespace

LoadDialog::LoadDialog(MineTimer* timer0, int mNum0)
    : vbox(0), label(0), timer(timer0), timeGrab(0), okButton(0) {
  timeGrab = BeginTimeGrab(this, timer, _("LOAD"));
  set_resizable(false);
  okButton = add_button(_("Ok"), Gtk::RESPONSE_OK);
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
    label->set_text(_(messages[mNum0]));
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
