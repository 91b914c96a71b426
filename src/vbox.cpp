// placeholder: replaced by the real implementation
#include "vbox.h"
MainVBox::MainVBox(MineWindow* window0, MineTimer* timer0) : window(window0), vbox(0), button(0), status(0), table(0), menu(0), timer(timer0), scoreFile(0), saveFile(0), loadDialog(0) {}
MainVBox::~MainVBox() {}
void MainVBox::Create() {}
void MainVBox::ButtonClicked() {}
