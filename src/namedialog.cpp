// SPDX-License-Identifier: GPL-3.0-or-later
#include "namedialog.h"

#include "failuremessage.h"
#include "intl.h"
#include "scoredialog.h"
#include "scorefile.h"
#include "table.h"
#include "timer.h"
#include "xpm/pictures.h"

#include <glib.h>

#include <iostream>

namespace {

const int NAME_LENGTH = 8;

// A chunk is judged by its first character, which must be a lowercase letter or a digit. The
// test is by code point, not the locale's islower, which would let other letters in and is
// undefined for characters beyond one byte. A control character anywhere in the chunk would
// split the player's line in the score file, so such a chunk goes as a whole.
bool ChunkAccepted(const Glib::ustring& text) {
  if (text.empty())
    return false;
  gunichar ch = text[0];
  if (!((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9')))
    return false;
  for (Glib::ustring::const_iterator it = text.begin(); it != text.end(); ++it) {
    if (g_unichar_iscntrl(*it))
      return false;
  }
  return true;
}

// The table, on the new record when it is there.
void OpenTable(ScoreFile* scoreFile, MineTimer* timer, long long times) {
  ScoreDialog* scoreDialog = new ScoreDialog(scoreFile, timer);
  scoreDialog->Create(times);
}

// The player is told that the record failed before the table opens.
void FailureClosed(int, Gtk::MessageDialog* message, ScoreFile* scoreFile, MineTimer* timer,
                   long long times) {
  message->remove_modal_grab();
  delete message;
  OpenTable(scoreFile, timer, times);
}

} // namespace

NameDialog::NameDialog(MineTable* table0)
    : table(table0), timer(table0->timer), scoreFile(table0->scoreFile), label(0), entry(0),
      okButton(0), vbox(0), hbox(0), lengthBefore(0) {
  add_modal_grab();
  // TRANSLATORS: the title of the dialog that asks a winner for a name.
  set_title(_("NAME"));
  nameIcon = Gdk::Pixbuf::create_from_xpm_data(bomb_xpm);
  set_icon(nameIcon);
  set_position(Gtk::WIN_POS_CENTER);

  hbox = new Gtk::HBox(false, 0);
  label = new Gtk::Label(_("Name : "));
  entry = new Gtk::Entry();
  okButton = add_button(_("Ok"), Gtk::RESPONSE_OK);
  vbox = get_vbox();
  hbox->pack_start(*label, Gtk::PACK_EXPAND_WIDGET, 0);
  hbox->pack_start(*entry, Gtk::PACK_EXPAND_WIDGET, 0);
  vbox->pack_start(*hbox, Gtk::PACK_EXPAND_WIDGET, 0);

  entry->set_width_chars(10);
  entry->set_max_length(NAME_LENGTH);
  // Enter in the entry presses Ok, the default button.
  entry->set_activates_default(true);
  set_resizable(false);
  set_keep_above(true);

  entry->signal_insert_text().connect(sigc::mem_fun(*this, &NameDialog::InsertTextBegin), false);
  entry->signal_insert_text().connect(sigc::mem_fun(*this, &NameDialog::InsertText), true);
  okButton->signal_clicked().connect(sigc::mem_fun(*this, &NameDialog::OkClicked));
  signal_delete_event().connect(sigc::mem_fun(*this, &NameDialog::DeleteEvent));

  okButton->set_flags(Gtk::CAN_DEFAULT);
  okButton->grab_default();
  set_default(*okButton);

  label->show();
  entry->show();
  okButton->show();
  hbox->show();
  vbox->show();
  show();
}

NameDialog::~NameDialog() {
  delete label;
  delete okButton;
  delete entry;
  delete hbox;
}

void NameDialog::InsertTextBegin(const Glib::ustring&, int*) {
  lengthBefore = entry->get_text_length();
}

// Runs after the entry's own handler: the chunk is in, and *position is just behind it.
void NameDialog::InsertText(const Glib::ustring& text, int* position) {
  int inserted = entry->get_text_length() - lengthBefore;
  if (inserted <= 0 || ChunkAccepted(text))
    return;
  entry->delete_text(*position - inserted, *position);
  *position -= inserted;
}

void NameDialog::OkClicked() {
  std::cout << "Ok..." << std::endl;
  remove_modal_grab();
  Glib::ustring text = entry->get_text();
  // The raw bytes: converting a pasted name to the locale's character set could fail.
  std::cout << "[" << text.raw() << "]" << std::endl;
  if (text.empty())
    std::cout << "SIZE_ZERO" << std::endl;

  long long times =
      scoreFile->WriteFile(table->nRow, table->nCol, table->nBomb, timer->nSec, table->mode, text);
  scoreFile->ALLDeleteList();
  scoreFile->ReadFile();
  scoreFile->SortList();
  scoreFile->ViewList();

  if (scoreFile->writeError == 0) {
    OpenTable(scoreFile, timer, times);
  } else {
    Gtk::MessageDialog* message =
        // TRANSLATORS: the title of the message that says a won game's score could not be
        // written to the score file.
        FailureMessage(_("NOT RECORDED"), _("Your score could not be recorded."),
                       WhyNotWritten(scoreFile->writeError, "MINE_SCORE.data"));
    message->signal_response().connect(
        sigc::bind(sigc::ptr_fun(&FailureClosed), message, scoreFile, timer, times));
  }
  delete this;
}

bool NameDialog::DeleteEvent(GdkEventAny*) {
  std::cout << "no delete" << std::endl;
  return true;
}
