// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the game's files so that a power cut cannot take back what the player was told is
// done: whole writes, and the file and its directory entry forced to the disk.
#ifndef VELMINE_FILESYNC_H
#define VELMINE_FILESYNC_H

#include <string>

// Writes the whole text; 0, or the error number of the write that failed.
int WriteAll(int fd, const std::string& text);
// Forces the data and the status of the file at path to the disk; 0, or the error number.
int SyncFile(const char* path);
// Forces the working directory, where path was made or removed, to the disk; 0, or the error
// number. A file system that cannot force a directory (EINVAL, ENOTSUP) keeps its entries by
// its own means: that is traced and counts as done.
int SyncDirectory(const char* path);

#endif
