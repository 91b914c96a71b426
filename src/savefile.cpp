// placeholder: replaced by the real implementation
#include "savefile.h"
SaveFile::SaveFile() {}
SaveFile::~SaveFile() {}
void SaveFile::SaveState(MineTable*) {}
int SaveFile::FindState() { return 1; }
void SaveFile::LoadState(MineTable*) {}
int SaveFile::ElementCheck(int flag0, int, int, int, int) { return flag0; }
void SaveFile::EnterStatus(MineTable*, int*, int, int) {}
void SaveFile::EnterBoard(MineTable*, int*, int, int) {}
void SaveFile::EnterFile(MineTable*, int*, int, int) {}
