// SPDX-License-Identifier: GPL-3.0-or-later
// The game's archives (.far, version 1a): a 16-byte header that says where
// the manifest is, the files back to back, then the manifest of names, sizes
// and offsets. Only the header and the manifest are read to list an archive;
// one entry's bytes are read on demand by whoever holds the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tailorloft::game {

inline constexpr std::size_t kFarHeaderSize = 16;

struct FarEntry {
  std::string name;  // as stored (Windows-1252 decoded to UTF-8)
  std::uint32_t size = 0;
  std::uint32_t offset = 0;  // from the start of the archive
  friend bool operator==(const FarEntry&, const FarEntry&) = default;
};

// The manifest's offset, from the first kFarHeaderSize bytes of an archive of
// `archiveSize` bytes. Throws GameFileError (with the byte offset) when the
// bytes are not a version 1a header or the manifest lies outside the archive.
std::uint32_t ReadFarHeader(std::string_view header, std::uint64_t archiveSize, std::string_view fileName);

// The entries of the manifest `manifest`, the bytes from `manifestOffset` to
// the end of the archive. Every entry must lie inside the archive (checked
// against `archiveSize`); the count is not trusted before the bytes can hold
// that many entries. Throws GameFileError with the byte offset in the archive.
std::vector<FarEntry> ReadFarManifest(std::string_view manifest, std::uint32_t manifestOffset,
                                      std::uint64_t archiveSize, std::string_view fileName);

// An archive held whole in memory (tests, small archives): header and manifest.
std::vector<FarEntry> ReadFar(std::string_view archive, std::string_view fileName);

}  // namespace tailorloft::game
