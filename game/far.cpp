// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/far.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "core/codepage.h"
#include "core/utf8.h"
#include "game/read_cursor.h"

namespace tailorloft::game {

namespace {

constexpr std::string_view kSignature = "FAR!byAZ";
constexpr std::uint32_t kVersion = 1;
// Four u32 and an empty name: the smallest entry a manifest can hold.
constexpr std::size_t kSmallestEntry = 4 * 4;

// A u32 of a record FarManifest has checked.
std::uint32_t U32At(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

bool IsAscii(std::string_view bytes) {
  unsigned bits = 0;
  for (const char c : bytes) bits |= static_cast<unsigned char>(c);
  return (bits & 0x80) == 0;
}

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

FarManifest::FarManifest(std::unique_ptr<char[]> bytes, std::size_t size, std::uint32_t manifestOffset,
                         std::uint64_t archiveSize, std::string_view fileName)
    : owned_(std::move(bytes)), bytes_(owned_.get(), size) {
  Check(manifestOffset, archiveSize, fileName);
}

FarManifest::FarManifest(std::string_view bytes, std::uint32_t manifestOffset, std::uint64_t archiveSize,
                         std::string_view fileName)
    : owned_(new char[bytes.size()]), bytes_(owned_.get(), bytes.size()) {
  std::copy(bytes.begin(), bytes.end(), owned_.get());
  Check(manifestOffset, archiveSize, fileName);
}

void FarManifest::Check(std::uint32_t manifestOffset, std::uint64_t archiveSize, std::string_view fileName) {
  detail::ByteCursor in(bytes_, fileName, manifestOffset);
  // Records are found by where they start, in 32 bits.
  if (bytes_.size() > std::numeric_limits<std::uint32_t>::max()) {
    in.Fail(manifestOffset, "the manifest is " + std::to_string(bytes_.size()) +
                                " bytes, more than an archive's can be");
  }
  const std::uint32_t count = in.Count("entry count", kSmallestEntry, false);
  std::size_t pos = 4;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t at = manifestOffset + std::uint64_t{pos};
    const std::size_t left = bytes_.size() - pos;
    // The cursor says what is missing; a record that is all there is read directly.
    if (left < kSmallestEntry || left - kSmallestEntry < U32At(bytes_, pos + 12)) {
      detail::ByteCursor rest(bytes_.substr(pos), fileName, at);
      rest.U32("an entry's size");
      rest.U32("an entry's size");
      rest.U32("an entry's offset");
      rest.Bytes(rest.U32("an entry's name length"), "an entry's name");
    }
    const auto [name, size, offset, unused] = At(static_cast<std::uint32_t>(pos));
    const std::uint32_t again = U32At(bytes_, pos + 4);
    pos += kSmallestEntry + name.size();
    // Nearly every name is ASCII, which needs no decoding to be known good.
    if (!IsAscii(name)) in.Decoded(name, "an entry's name", at + kSmallestEntry);
    if (again != size) {
      in.Fail(at, "entry " + QuoteForMessage(FarNameUtf8(name)) + " gives two sizes, " + std::to_string(size) +
                      " and " + std::to_string(again) + ": compressed entries are not read");
    }
    if (std::uint64_t{offset} + size > archiveSize) {
      in.Fail(at, "entry " + QuoteForMessage(FarNameUtf8(name)) + " (" + std::to_string(size) + " bytes at byte " +
                      std::to_string(offset) + ") lies outside the archive of " + std::to_string(archiveSize) +
                      " bytes");
    }
  }
  count_ = count;
}

FarRecord FarManifest::At(std::uint32_t at) const {
  FarRecord record;
  record.size = U32At(bytes_, at);
  record.offset = U32At(bytes_, at + 8);
  record.name = bytes_.substr(at + kSmallestEntry, U32At(bytes_, at + 12));
  record.at = at;
  return record;
}

FarManifest::Iterator& FarManifest::Iterator::operator++() {
  at_ += static_cast<std::uint32_t>(kSmallestEntry) + U32At(manifest_->bytes_, at_ + 12);
  --left_;
  return *this;
}

std::string FarNameUtf8(std::string_view name) {
  if (IsAscii(name)) return std::string(name);
  return Windows1252().Decode(name).value_or(std::string(name));
}

std::vector<FarEntry> ReadFarManifest(std::string_view manifest, std::uint32_t manifestOffset,
                                      std::uint64_t archiveSize, std::string_view fileName) {
  const FarManifest checked(manifest, manifestOffset, archiveSize, fileName);
  std::vector<FarEntry> entries;
  entries.reserve(checked.Count());
  for (const FarRecord record : checked) entries.push_back({FarNameUtf8(record.name), record.size, record.offset});
  return entries;
}

std::vector<FarEntry> ReadFar(std::string_view archive, std::string_view fileName) {
  const std::uint32_t manifest = ReadFarHeader(archive.substr(0, kFarHeaderSize), archive.size(), fileName);
  return ReadFarManifest(archive.substr(manifest), manifest, archive.size(), fileName);
}

}  // namespace tailorloft::game
