// SPDX-License-Identifier: GPL-3.0-or-later
#include "filesync.h"

#include <cerrno>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

// Forces what was opened as path with the flags given; 0, or the error number.
int Sync(const char* path, int flags) {
  int fd = open(path, flags | O_CLOEXEC);
  if (fd < 0)
    return errno;
  int error = fsync(fd) == 0 ? 0 : errno;
  close(fd);
  return error;
}

} // namespace

int WriteAll(int fd, const std::string& text) {
  std::string::size_type done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno != EINTR)
      return errno;
    if (n > 0)
      done += static_cast<std::string::size_type>(n);
  }
  return 0;
}

// Read only: fsync forces the file whatever the descriptor may do, and opening it so changes
// nothing that the saved game's stamp holds. Not blocking, in case a pipe took the file's place.
int SyncFile(const char* path) {
  int error = Sync(path, O_RDONLY | O_NOCTTY | O_NONBLOCK);
  if (error != 0)
    std::cout << "CAN'T SYNC " << path << std::endl;
  return error;
}

int SyncDirectory(const char* path) {
  int error = Sync(".", O_RDONLY | O_DIRECTORY);
  if (error == EINVAL || error == ENOTSUP) {
    std::cout << "NO DIRECTORY SYNC FOR " << path << std::endl;
    return 0;
  }
  if (error != 0)
    std::cout << "CAN'T SYNC DIRECTORY OF " << path << std::endl;
  return error;
}
