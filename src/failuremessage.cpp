// SPDX-License-Identifier: GPL-3.0-or-later
#include "failuremessage.h"

#include "intl.h"
#include "xpm/pictures.h"

#include <glib.h>

#include <cerrno>

Glib::ustring WhyNotWritten(int error, const char* fileName) {
  switch (error) {
  case EACCES:
  case EPERM:
  case EROFS:
    return _("The folder the game keeps its files in cannot be written to.");
  case ENOSPC:
  case EDQUOT:
  case EFBIG:
    return _("The disk is full.");
  default:
    // TRANSLATORS: the first %s is the file's name, the second the system's reason, as in
    // "MINE_SAVE.data could not be written: Is a directory."
    return Format(_("%s could not be written: %s."), fileName, g_strerror(error));
  }
}

Gtk::MessageDialog* FailureMessage(const char* title, const Glib::ustring& primary,
                                   const Glib::ustring& secondary) {
  Gtk::MessageDialog* message =
      new Gtk::MessageDialog(primary, false, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK, true);
  message->set_secondary_text(secondary);
  message->set_title(title);
  message->set_icon(Gdk::Pixbuf::create_from_xpm_data(batu_xpm));
  message->set_position(Gtk::WIN_POS_CENTER_ALWAYS);
  message->set_keep_above(true);
  message->show();
  message->add_modal_grab();
  return message;
}
