// SPDX-License-Identifier: GPL-3.0-or-later
// Compiles the XPM texts once, with the external linkage their declarations give them.
#include "xpm/pictures.h"

#include "xpm/batu.xpm"
#include "xpm/blank.xpm"
#include "xpm/bomb.xpm"
#include "xpm/eight.xpm"
#include "xpm/five.xpm"
#include "xpm/flag.xpm"
#include "xpm/four.xpm"
#include "xpm/maru.xpm"
#include "xpm/one.xpm"
#include "xpm/question.xpm"
#include "xpm/seven.xpm"
#include "xpm/six.xpm"
#include "xpm/three.xpm"
#include "xpm/two.xpm"
#include "xpm/zero.xpm"
