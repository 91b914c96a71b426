// placeholder: replaced by the real implementation
#include "timer.h"
MineTimer::MineTimer() : mTimer(new sigc::connection()), nSec(0), timeFlag(0), timeLabel(new Gtk::Label("time: ")) {}
MineTimer::~MineTimer() { delete mTimer; delete timeLabel; }
int MineTimer::Start() { return 0; }
int MineTimer::Stop() { return 1; }
void MineTimer::Resume(int) {}
bool MineTimer::TimeOut() { return true; }
