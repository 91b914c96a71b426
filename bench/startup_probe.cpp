// SPDX-License-Identifier: GPL-3.0-or-later
// Times a program from its exec to its first top-level window being mapped, as the X server
// sees it, then waits for the program to go idle and reads its resident memory. Prints
// "MILLISECONDS KILOBYTES" and ends the program. The probe only waits on the server's map notice,
// so it costs the program nothing while it starts.
#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double Now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// User and system time used so far, in clock ticks.
long long CpuTicks(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t close = text.rfind(')');
  if (close == std::string::npos)
    return -1;
  long long utime = 0, stime = 0;
  // Fields after the name: state, then 10 more, then utime and stime.
  const char* at = text.c_str() + close + 2;
  for (int field = 0; field < 11 && at; field++)
    at = std::strchr(at, ' ') ? std::strchr(at, ' ') + 1 : nullptr;
  if (at == nullptr || std::sscanf(at, "%lld %lld", &utime, &stime) != 2)
    return -1;
  return utime + stime;
}

long ResidentKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, 6, "VmRSS:") == 0)
      return std::atol(line.c_str() + 6);
  return -1;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: startup_probe PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "startup_probe: no display\n");
    return 2;
  }
  Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  double start = Now();
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  double mapped = -1;
  int fd = ConnectionNumber(display);
  while (mapped < 0 && Now() - start < 20000) {
    if (XPending(display) == 0) {
      pollfd wait = {fd, POLLIN, 0};
      poll(&wait, 1, 100);
      if (waitpid(pid, nullptr, WNOHANG) == pid) {
        std::fprintf(stderr, "startup_probe: %s ended before it showed a window\n", argv[1]);
        return 1;
      }
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify && event.xmap.event == root && !event.xmap.override_redirect)
      mapped = Now() - start;
  }
  if (mapped < 0) {
    std::fprintf(stderr, "startup_probe: no window mapped\n");
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return 1;
  }
  // Idle: no processor time used over three looks 30 ms apart (at most five seconds).
  long long last = CpuTicks(pid);
  for (int quiet = 0, round = 0; quiet < 3 && round < 170; round++) {
    usleep(30000);
    long long now = CpuTicks(pid);
    quiet = now == last ? quiet + 1 : 0;
    last = now;
  }
  long kb = ResidentKb(pid);
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  XCloseDisplay(display);
  std::printf("%.2f %ld\n", mapped, kb);
  return 0;
}
