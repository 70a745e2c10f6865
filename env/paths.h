// SPDX-License-Identifier: GPL-3.0-or-later
// Folder helpers the install lookups share: finding a folder the way Windows
// and Wine do, whatever the case of its name, and reading small files. Paths
// and UTF-8 text convert with PathFromUtf8/Utf8FromPath of core/utf8.h.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/utf8.h"

namespace tailorloft::env {

// `base` joined with `relative` (components separated by "/" or "\"), each
// component spelled as on disk when `base` holds an entry of that name in any
// case (the exact spelling first, else the first such entry in name order).
// From the first component that nothing matches on, components are kept as
// given, so the result names where the folder would be.
std::filesystem::path ResolveCaseInsensitive(const std::filesystem::path& base,
                                             std::string_view relative);

// Opens `file` for reading only when it is a regular file, judged on the file
// that was opened, so nothing put there in between counts. A FIFO or device
// never blocks the open. `size` is the length the file had when opened: read
// no more than that, as files under /proc say 0 and may never end.
// Null when missing, unreadable or not a regular file.
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;
OpenFile OpenRegularFile(const std::filesystem::path& file, std::uintmax_t& size);

// The contents of a small regular file, or nothing when it is missing,
// unreadable, not a regular file or larger than `maxBytes`.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& file, std::size_t maxBytes);

}  // namespace tailorloft::env
