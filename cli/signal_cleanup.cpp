// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/signal_cleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tailorloft::cli {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
// Only what a signal handler may touch: a fixed buffer and a flag. The name
// is written with the flag down, so the handler never sees half a name.
char gTemporary[4096];
volatile std::sig_atomic_t gHaveTemporary = 0;

extern "C" void RemoveTemporaryAndEnd(int signal) {
  if (gHaveTemporary) ::unlink(gTemporary);
  // SA_RESETHAND has put the default action back; the signal is blocked
  // until this handler returns, and then ends the program.
  ::raise(signal);
}

void InstallHandlers() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old {};
    if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = &RemoveTemporaryAndEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    ::sigaction(signal, &action, nullptr);
  }
}

void Forget() {
  gHaveTemporary = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
}

void Remember(const fs::path& path) {
  Forget();
  const std::string& name = path.native();
  if (name.size() >= sizeof gTemporary) return;  // too long to keep: a later save removes it
  std::memcpy(gTemporary, name.c_str(), name.size() + 1);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  gHaveTemporary = 1;
}

bool IsRemembered(const fs::path& path) {
  return gHaveTemporary && path.native() == gTemporary;
}
#else
void InstallHandlers() {}
void Forget() {}
void Remember(const fs::path&) {}
bool IsRemembered(const fs::path&) { return false; }
#endif

}  // namespace

RemovesTemporaryOnSignal::RemovesTemporaryOnSignal(FileSystem& inner) : ForwardingFileSystem(inner) {
  InstallHandlers();
}

std::error_code RemovesTemporaryOnSignal::CreateAndWrite(const fs::path& path, std::string_view bytes,
                                                         const fs::path* like) {
  // Remembered before it exists, so a signal while it is being made finds it too.
  Remember(path);
  const std::error_code ec = ForwardingFileSystem::CreateAndWrite(path, bytes, like);
  if (ec == std::errc::file_exists) Forget();  // someone else's file of that name
  return ec;
}

std::error_code RemovesTemporaryOnSignal::Rename(const fs::path& from, const fs::path& to,
                                                 bool replace) {
  const std::error_code ec = ForwardingFileSystem::Rename(from, to, replace);
  // Once moved, the name is gone: removing it after all would find nothing.
  if (!ec && IsRemembered(from)) Forget();
  return ec;
}

std::error_code RemovesTemporaryOnSignal::Remove(const fs::path& path) {
  const std::error_code ec = ForwardingFileSystem::Remove(path);
  if (IsRemembered(path)) Forget();
  return ec;
}

}  // namespace tailorloft::cli
