// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/paths.h"

#include <memory>
#include <iterator>
#include <system_error>

#include "core/fold_case.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <sys/stat.h>
#include <sys/types.h>
#endif

namespace tailorloft::env {

namespace fs = std::filesystem;

fs::path ResolveCaseInsensitive(const fs::path& base, std::string_view relative) {
  fs::path current = base;
  bool onDisk = true;
  while (!relative.empty()) {
    const std::size_t cut = relative.find_first_of("/\\");
    const std::string_view component = relative.substr(0, cut);
    relative = cut == std::string_view::npos ? std::string_view() : relative.substr(cut + 1);
    if (component.empty() || component == ".") continue;

    fs::path next = current / PathFromUtf8(component);
    std::error_code ec;
    if (onDisk && !fs::exists(fs::symlink_status(next, ec))) {
      std::optional<std::string> bestName;
      for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = Utf8FromPath(it->path().filename());
        if (EqualsIgnoringCase(name, component) && (!bestName || name < *bestName)) {
          bestName = std::move(name);
        }
      }
      if (bestName) {
        next = current / PathFromUtf8(*bestName);
      } else {
        onDisk = false;
      }
    }
    current = std::move(next);
  }
  return current;
}

OpenFile OpenRegularFile(const fs::path& file, std::uintmax_t& size) {
#ifdef _WIN32
  std::FILE* in = _wfopen(file.c_str(), L"rb");
  if (in == nullptr) return nullptr;
  struct _stat64 st {};
  if (_fstat64(_fileno(in), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) {
    std::fclose(in);
    return nullptr;
  }
#else
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* in = ::fdopen(fd, "rb");
  if (in == nullptr) {
    ::close(fd);
    return nullptr;
  }
#endif
  size = static_cast<std::uintmax_t>(st.st_size);
  return OpenFile(in);
}

std::optional<std::string> ReadSmallFile(const fs::path& file, std::size_t maxBytes) {
  std::uintmax_t size = 0;
  const OpenFile in = OpenRegularFile(file, size);
  if (!in) return std::nullopt;
  if (size > maxBytes) return std::nullopt;
  std::string contents(static_cast<std::size_t>(size), '\0');
  const std::size_t got = std::fread(contents.data(), 1, contents.size(), in.get());
  if (std::ferror(in.get())) return std::nullopt;
  contents.resize(got);
  return contents;
}

}  // namespace tailorloft::env
