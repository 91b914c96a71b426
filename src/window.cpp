// placeholder: replaced by the real implementation
#include "window.h"
MineWindow::MineWindow() : timer(0), vbox(0) {}
MineWindow::~MineWindow() {}
void MineWindow::Create() {}
bool MineWindow::DeleteEvent(GdkEventAny*) { return true; }
bool MineWindow::WindowStateEvent(GdkEventWindowState*) { return true; }
