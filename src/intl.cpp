// SPDX-License-Identifier: GPL-3.0-or-later
#include "intl.h"

#include <glib.h>

#include <cstdarg>

Glib::ustring Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  gchar* text = g_strdup_vprintf(format, args);
  va_end(args);
  Glib::ustring whole(text);
  g_free(text);
  return whole;
}
