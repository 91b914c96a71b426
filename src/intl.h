// SPDX-License-Identifier: GPL-3.0-or-later
// Player-visible texts in the player's language: _() for a text, C_() for one whose English word
// plays more than one role, N_() and NC_() to mark a text translated where it is shown.
#ifndef VELMINE_INTL_H
#define VELMINE_INTL_H

#define GETTEXT_PACKAGE "velmine"
#include <glibmm/i18n-lib.h>
#include <glibmm/ustring.h>

// A translated format filled in whole, however long the translation: shown texts are never cut.
Glib::ustring Format(const char* format, ...) G_GNUC_PRINTF(1, 2);

#endif
