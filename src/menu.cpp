// placeholder: replaced by the real implementation
#include "menu.h"
MineMenu::MineMenu() {}
MineMenu::~MineMenu() {}
Gtk::MenuBar* MineMenu::Create(MineTable*, MineStatus*, MineTimer*, ScoreFile*, SaveFile*) { return 0; }
void MineMenu::ActivateReset() {}
void MineMenu::ActivateBeginner() {}
void MineMenu::ActivateMedium() {}
void MineMenu::ActivateAdvance() {}
void MineMenu::ActivateSetGrid() {}
void MineMenu::ActivateExit() {}
void MineMenu::ActivateScore() {}
void MineMenu::ActivateSave() {}
void MineMenu::ActivateAbout() {}
