// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl+C, a closed terminal or a `kill` in the middle of a save must not leave
// the save's temporary file behind: this file system remembers the temporary
// file while it exists, and SIGINT, SIGTERM and SIGHUP remove it before the
// program ends by that signal as it would have anyway. A signal the program
// was started with ignored (nohup) stays ignored.
#pragma once

#include "core/file_system.h"

namespace tailorloft::cli {

// One per program: the signal handlers and the remembered name are the
// process's. Creating it installs the handlers (on POSIX systems; elsewhere
// it only hands calls on, and a later save removes what is left).
class RemovesTemporaryOnSignal final : public ForwardingFileSystem {
 public:
  explicit RemovesTemporaryOnSignal(FileSystem& inner = RealFileSystem());

  std::error_code CreateAndWrite(const std::filesystem::path& path, std::string_view bytes,
                                 const std::filesystem::path* like) override;
  std::error_code Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                         bool replace) override;
  std::error_code Remove(const std::filesystem::path& path) override;
};

}  // namespace tailorloft::cli
