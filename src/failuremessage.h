// SPDX-License-Identifier: GPL-3.0-or-later
// The message that tells the player that a file of the game could not be written, and why: the
// failed save and the win that could not be recorded.
#ifndef VELMINE_FAILUREMESSAGE_H
#define VELMINE_FAILUREMESSAGE_H

#include <gtkmm/messagedialog.h>

// Why fileName could not be written, in the player's words, by the error number.
Glib::ustring WhyNotWritten(int error, const char* fileName);
// Shows the message above the others, with the modal grab; the caller connects its response,
// where it releases the grab and deletes the message.
Gtk::MessageDialog* FailureMessage(const char* title, const Glib::ustring& primary,
                                   const Glib::ustring& secondary);

#endif
