// SPDX-License-Identifier: GPL-3.0-or-later
// Loaded into tailorloft-cli with LD_PRELOAD by save_processes.sh, to watch
// and steer the last steps of a save in a real process, without timing:
// - TAILORLOFT_SHIM_LOG=<file>: each fsync (with the path of what it
//   flushes) and each rename, renameat2 and link is appended to the file as
//   one line, in the order the program makes them.
// - TAILORLOFT_SHIM_BARRIER=<folder>:<count>: before its first rename or
//   link, each process leaves a mark in the folder and waits until <count>
//   processes have, so all of them have looked at the target before any
//   makes the new file visible: the widest window a race can have.
// - TAILORLOFT_SHIM_SIGNAL=<number>: the process sends itself that signal
//   just before its first rename or link, as if the user had pressed Ctrl+C
//   or closed the terminal at the worst moment.
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

void Log(const std::string& line) {
  const char* file = std::getenv("TAILORLOFT_SHIM_LOG");
  if (!file) return;
  const int fd = ::open(file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const std::string text = line + "\n";
  (void)!::write(fd, text.data(), text.size());  // one write: lines of processes never mix
  ::close(fd);
}

int CountEntries(const char* folder) {
  DIR* dir = ::opendir(folder);
  if (!dir) return 0;
  int count = 0;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] != '.') ++count;
  }
  ::closedir(dir);
  return count;
}

// Runs once per process, before the step that makes the new file visible.
void BeforeFinalStep() {
  static bool done = false;
  if (done) return;
  done = true;
  if (const char* barrier = std::getenv("TAILORLOFT_SHIM_BARRIER")) {
    const std::string setting = barrier;
    const std::size_t colon = setting.rfind(':');
    const std::string folder = setting.substr(0, colon);
    const int wanted = std::atoi(setting.c_str() + colon + 1);
    const std::string mark = folder + "/" + std::to_string(::getpid());
    ::close(::open(mark.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    // A process that died before its mark would keep the rest waiting; after
    // a minute they go on, and the test sees fewer racers, not a hang.
    for (int wait = 0; wait < 60000 && CountEntries(folder.c_str()) < wanted; ++wait) ::usleep(1000);
  }
  if (const char* signal = std::getenv("TAILORLOFT_SHIM_SIGNAL")) ::raise(std::atoi(signal));
}

std::string FdPath(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[4096];
  const ssize_t length = ::readlink(link, target, sizeof target - 1);
  return length < 0 ? std::string("?") : std::string(target, static_cast<std::size_t>(length));
}

}  // namespace

extern "C" {

int fsync(int fd) {
  Log("fsync " + FdPath(fd));
  static const auto real = Next<int (*)(int)>("fsync");
  return real(fd);
}

int rename(const char* from, const char* to) {
  BeforeFinalStep();
  Log(std::string("rename ") + from + " " + to);
  static const auto real = Next<int (*)(const char*, const char*)>("rename");
  return real(from, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
  BeforeFinalStep();
  Log(std::string("renameat2 ") + from + " " + to + ((flags & RENAME_NOREPLACE) ? " noreplace" : ""));
  static const auto real = Next<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
  return real(fromDir, from, toDir, to, flags);
}

int link(const char* from, const char* to) {
  BeforeFinalStep();
  Log(std::string("link ") + from + " " + to);
  static const auto real = Next<int (*)(const char*, const char*)>("link");
  return real(from, to);
}

}  // extern "C"
