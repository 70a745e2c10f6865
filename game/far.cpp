// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/far.h"

#include "core/utf8.h"
#include "game/read_cursor.h"

namespace tailorloft::game {

namespace {

constexpr std::string_view kSignature = "FAR!byAZ";
constexpr std::uint32_t kVersion = 1;
// Four u32 and an empty name: the smallest entry a manifest can hold.
constexpr std::size_t kSmallestEntry = 4 * 4;

}  // namespace

std::uint32_t ReadFarHeader(std::string_view header, std::uint64_t archiveSize, std::string_view fileName) {
  detail::ByteCursor in(header, fileName);
  const std::string_view signature = in.Bytes(kSignature.size(), "the signature \"FAR!byAZ\"");
  if (signature != kSignature) {
    in.Fail(0, "expected the signature \"FAR!byAZ\", found " + detail::Shown(signature));
  }
  const std::uint32_t version = in.U32("the version");
  if (version != kVersion) {
    in.Fail(8, "expected version 1 (the archives of The Sims), found version " + std::to_string(version));
  }
  const std::uint32_t manifest = in.U32("the manifest's offset");
  if (manifest < kFarHeaderSize || std::uint64_t{manifest} + 4 > archiveSize) {
    in.Fail(12, "the manifest's offset is " + std::to_string(manifest) + ", outside the archive of " +
                    std::to_string(archiveSize) + " bytes");
  }
  return manifest;
}

std::vector<FarEntry> ReadFarManifest(std::string_view manifest, std::uint32_t manifestOffset,
                                      std::uint64_t archiveSize, std::string_view fileName) {
  detail::ByteCursor in(manifest, fileName, manifestOffset);
  const std::uint32_t count = in.Count("entry count", kSmallestEntry, false);
  std::vector<FarEntry> entries;
  entries.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t at = in.Offset();
    FarEntry entry;
    entry.size = in.U32("an entry's size");
    const std::uint32_t again = in.U32("an entry's size");
    entry.offset = in.U32("an entry's offset");
    const std::uint32_t nameLength = in.U32("an entry's name length");
    const std::uint64_t nameAt = in.Offset();
    entry.name = in.Decoded(in.Bytes(nameLength, "an entry's name"), "an entry's name", nameAt);
    if (again != entry.size) {
      in.Fail(at, "entry " + QuoteForMessage(entry.name) + " gives two sizes, " + std::to_string(entry.size) +
                      " and " + std::to_string(again) + ": compressed entries are not read");
    }
    if (std::uint64_t{entry.offset} + entry.size > archiveSize) {
      in.Fail(at, "entry " + QuoteForMessage(entry.name) + " (" + std::to_string(entry.size) +
                      " bytes at byte " + std::to_string(entry.offset) + ") lies outside the archive of " +
                      std::to_string(archiveSize) + " bytes");
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<FarEntry> ReadFar(std::string_view archive, std::string_view fileName) {
  const std::uint32_t manifest = ReadFarHeader(archive.substr(0, kFarHeaderSize), archive.size(), fileName);
  return ReadFarManifest(archive.substr(manifest), manifest, archive.size(), fileName);
}

}  // namespace tailorloft::game
