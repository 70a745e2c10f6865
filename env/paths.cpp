#include "env/paths.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "env/fold_case.h"

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

std::optional<std::string> ReadSmallFile(const fs::path& file, std::size_t maxBytes) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string contents;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    contents.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (contents.size() > maxBytes) return std::nullopt;
  }
  if (in.bad()) return std::nullopt;
  return contents;
}

}  // namespace tailorloft::env
