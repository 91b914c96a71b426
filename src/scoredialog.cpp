// placeholder: replaced by the real implementation
#include "scoredialog.h"
ScoreCol::ScoreCol() {}
ScoreDialog::ScoreDialog(ScoreFile* scoreFile0, MineTimer* timer0) : timer(timer0), scoreFile(scoreFile0) {}
ScoreDialog::~ScoreDialog() {}
void ScoreDialog::Create(int) {}
void ScoreDialog::ReadFile() {}
void ScoreDialog::SelectMode(char* buffer0, int) { buffer0[0] = 0; }
void ScoreDialog::OkClicked() {}
bool ScoreDialog::SignalDelete(GdkEventAny*) { return true; }
void ScoreDialog::BeginnerChecked() {}
void ScoreDialog::MediumChecked() {}
void ScoreDialog::AdvanceChecked() {}
void ScoreDialog::FreeChecked() {}
