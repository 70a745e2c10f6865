// Folder helpers the install lookups share: UTF-8 text to and from paths, and
// finding a folder the way Windows and Wine do, whatever the case of its name.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tailorloft::env {

std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8FromPath(const std::filesystem::path& path);

// `base` joined with `relative` (components separated by "/" or "\"), each
// component spelled as on disk when `base` holds an entry of that name in any
// case (the exact spelling first, else the first such entry in name order).
// From the first component that nothing matches on, components are kept as
// given, so the result names where the folder would be.
std::filesystem::path ResolveCaseInsensitive(const std::filesystem::path& base,
                                             std::string_view relative);

// The contents of a small file, or nothing when it is missing, unreadable or
// larger than `maxBytes`.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& file, std::size_t maxBytes);

}  // namespace tailorloft::env
