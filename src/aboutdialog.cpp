// SPDX-License-Identifier: GPL-3.0-or-later
#include "aboutdialog.h"

#include "intl.h"
#include "timegrab.h"
#include "timer.h"
#include "xpm/pictures.h"

#include <pangomm/fontdescription.h>

#include <algorithm>
#include <iostream>

namespace {

// The title line (runs 0 to 3), an empty line, and the credit line (runs 6 to 9). Only the
// credit's two words are in the player's language: the title, the author and the year are not.
const char* const runs[] = {"Velmora", "=", "DadaVevuroz", " -1.2", "\n", "\n",
                            // TRANSLATORS: the About box's credit line reads "Crafted by Orla
                            // Venwick (2024)": this word, then " by ", the author's name and
                            // the year, right-aligned on one line of about 30 characters.
                            N_("Crafted"),
                            // TRANSLATORS: between "Crafted" and the author's name in "Crafted
                            // by Orla Venwick (2024)"; keep the spaces on both sides.
                            N_(" by "), "Orla Venwick", " (2024)"};
const int runCount = sizeof runs / sizeof runs[0];
const int firstWord = 6, secondWord = 7;

// At least 250 pixels wide, and as wide as the credit line asks in the player's language, which
// a fixed width would cut off.
void WideEnough(Gtk::Requisition* request) {
  request->width = std::max(request->width, 250);
}

} // namespace

AboutDialog::AboutDialog(MineTimer* timer0)
    : timeGrab(0), timer(timer0), textView(0), okButton(0), vbox(0) {
  timeGrab = BeginTimeGrab(this, timer, _("ABOUT"));
  set_resizable(false);
  aboutIcon = Gdk::Pixbuf::create_from_xpm_data(question_xpm);
  set_icon(aboutIcon);
  vbox = get_vbox();

  tagTable = Gtk::TextBuffer::TagTable::create();
  textBuffer = Gtk::TextBuffer::create(tagTable);
  // Each run starts at a left-gravity mark, so the marks stay on the run boundaries while the
  // following runs are inserted after them; mark 10 closes the last run.
  Gtk::TextBuffer::iterator position = textBuffer->begin();
  for (int i = 0; i < runCount; i++) {
    mark[i] = textBuffer->create_mark(position, true);
    bool translated = i == firstWord || i == secondWord;
    position = textBuffer->insert(position, translated ? _(runs[i]) : runs[i]);
  }
  mark[runCount] = textBuffer->create_mark(position, true);

  titleStr = Gtk::TextBuffer::Tag::create();
  titleStr->property_foreground() = "blue";
  tagTable->add(titleStr);
  createStr = Gtk::TextBuffer::Tag::create();
  createStr->property_justification() = Gtk::JUSTIFY_RIGHT;
  tagTable->add(createStr);
  nameStr = Gtk::TextBuffer::Tag::create();
  nameStr->property_style() = Pango::STYLE_ITALIC;
  tagTable->add(nameStr);
  yearStr = Gtk::TextBuffer::Tag::create();
  yearStr->property_weight() = Pango::WEIGHT_BOLD;
  tagTable->add(yearStr);

  textBuffer->apply_tag(titleStr, mark[0]->get_iter(), mark[4]->get_iter());
  textBuffer->apply_tag(createStr, mark[6]->get_iter(), mark[10]->get_iter());
  textBuffer->apply_tag(nameStr, mark[8]->get_iter(), mark[9]->get_iter());
  textBuffer->apply_tag(yearStr, mark[9]->get_iter(), mark[10]->get_iter());

  textView = new Gtk::TextView(textBuffer);
  textView->signal_size_request().connect(sigc::ptr_fun(&WideEnough), true);
  vbox->pack_start(*textView, Gtk::PACK_EXPAND_WIDGET, 0);
  textView->set_editable(false);
  textView->set_cursor_visible(false);
  textView->show();
  vbox->show();

  okButton = add_button(_("Ok"), Gtk::RESPONSE_OK);
  okButton->set_flags(Gtk::CAN_DEFAULT);
  okButton->grab_default();
  okButton->show();
  show_all();

  okButton->signal_clicked().connect(sigc::mem_fun(*this, &AboutDialog::OkClicked));
  signal_delete_event().connect(sigc::mem_fun(*this, &AboutDialog::DeleteEvent));
}

// The button came from add_button and sits in the dialog's action area; deleting it here takes
// it out of the dialog, so the dialog's own destruction does not free it a second time. The
// handles are released with the members afterwards: marks, tags, tag table, buffer, icon.
AboutDialog::~AboutDialog() {
  delete okButton;
  delete textView;
}

void AboutDialog::OkClicked() {
  std::cout << "Quit" << std::endl;
  EndTimeGrab(this, timer, timeGrab, this);
}

bool AboutDialog::DeleteEvent(GdkEventAny*) {
  std::cout << "delete..." << std::endl;
  EndTimeGrab(this, timer, timeGrab, this);
  return true;
}
