// SPDX-License-Identifier: GPL-3.0-or-later
#include "timer.h"

#include "intl.h"

#include <glibmm/main.h>

#include <climits>

MineTimer::MineTimer()
    : nSec(0), timeFlag(0),
      // TRANSLATORS: the clock's label before the first game; the clock then reads "time:
      // 12.3 sec".
      timeLabel(new Gtk::Label(_("time: "))) {}

MineTimer::~MineTimer() {
  mTimer.disconnect();
  delete timeLabel;
}

int MineTimer::Start() {
  if (timeFlag != 0)
    return 1;
  mTimer = Glib::signal_timeout().connect(sigc::mem_fun(*this, &MineTimer::TimeOut), 100);
  timeFlag = 1;
  return 0;
}

int MineTimer::Stop() {
  if (timeFlag != 1)
    return 1;
  mTimer.disconnect();
  timeFlag = 0;
  return 0;
}

void MineTimer::Resume(int timeGrab) {
  if (timeGrab == 0)
    Start();
}

bool MineTimer::TimeOut() {
  // A count restored from a saved game may already stand at the top of the range; the clock
  // then stays there rather than overflow.
  if (nSec < INT_MAX)
    nSec++;
  // TRANSLATORS: the running clock: whole seconds (right-aligned in six places) and tenths.
  buffer = Format(_("time: %6d.%d sec"), nSec / 10, nSec % 10);
  timeLabel->set_text(buffer);
  timeLabel->show();
  return true;
}
