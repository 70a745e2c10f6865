// SPDX-License-Identifier: GPL-3.0-or-later
// The game's archives (.far, version 1a): a 16-byte header that says where
// the manifest is, the files back to back, then the manifest of names, sizes
// and offsets. Only the header and the manifest are read to list an archive;
// one entry's bytes are read on demand by whoever holds the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tailorloft::game {

inline constexpr std::size_t kFarHeaderSize = 16;
// A real manifest of tens of thousands of entries is a few MB; a larger one
// is refused unread.
inline constexpr std::uint64_t kMaxFarManifestBytes = std::uint64_t{64} << 20;

// The manifest's offset, from the first kFarHeaderSize bytes of an archive of
// `archiveSize` bytes. Throws GameFileError (with the byte offset) when the
// bytes are not a version 1a header or the manifest lies outside the archive.
std::uint32_t ReadFarHeader(std::string_view header, std::uint64_t archiveSize, std::string_view fileName);

// One entry as its manifest holds it. The name is a view into the manifest's
// bytes, in Windows-1252 as stored: FarNameUtf8 gives it as text.
struct FarRecord {
  std::string_view name;
  std::uint32_t size = 0;
  std::uint32_t offset = 0;  // from the start of the archive
  std::uint32_t at = 0;      // where the entry's record starts in the manifest's bytes
};

// An archive's manifest, the bytes from the manifest's offset to the end of
// the archive, kept as they were read: a game's tens of thousands of entries
// cost no memory of their own, and names are decoded only when one is shown.
class FarManifest {
 public:
  FarManifest() = default;
  // Takes the `size` bytes at `bytes` as they were read (memory that need
  // not be filled first) and checks every entry once: each lies inside the
  // archive (`archiveSize` bytes), gives one size twice and has a name in
  // Windows-1252; the count is not trusted before the bytes can hold that
  // many entries. Throws GameFileError with the byte offset in the archive.
  FarManifest(std::unique_ptr<char[]> bytes, std::size_t size, std::uint32_t manifestOffset,
              std::uint64_t archiveSize, std::string_view fileName);
  // The same on a copy of `bytes`.
  FarManifest(std::string_view bytes, std::uint32_t manifestOffset, std::uint64_t archiveSize,
              std::string_view fileName);

  std::uint32_t Count() const { return count_; }
  std::size_t ByteSize() const { return bytes_.size(); }

  // The entry whose record starts at `at`, a FarRecord::at of this manifest.
  FarRecord At(std::uint32_t at) const;

  // The entries in their order.
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = FarRecord;
    using difference_type = std::ptrdiff_t;
    using pointer = const FarRecord*;
    using reference = FarRecord;

    Iterator() = default;
    FarRecord operator*() const { return manifest_->At(at_); }
    Iterator& operator++();
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.left_ == b.left_; }

   private:
    friend class FarManifest;
    Iterator(const FarManifest* manifest, std::uint32_t at, std::uint32_t left)
        : manifest_(manifest), at_(at), left_(left) {}
    const FarManifest* manifest_ = nullptr;
    std::uint32_t at_ = 0;
    std::uint32_t left_ = 0;  // entries from here to the end
  };
  Iterator begin() const { return {this, 4, count_}; }
  Iterator end() const { return {this, 0, 0}; }

 private:
  void Check(std::uint32_t manifestOffset, std::uint64_t archiveSize, std::string_view fileName);

  std::unique_ptr<char[]> owned_;
  std::string_view bytes_;  // owned_'s, which moving the manifest leaves where they are
  std::uint32_t count_ = 0;
};

// A name of a checked manifest as UTF-8 (every such name decodes).
std::string FarNameUtf8(std::string_view name);

// An entry with its name decoded, for tests and whoever wants a plain list.
struct FarEntry {
  std::string name;  // as stored (Windows-1252 decoded to UTF-8)
  std::uint32_t size = 0;
  std::uint32_t offset = 0;  // from the start of the archive
  friend bool operator==(const FarEntry&, const FarEntry&) = default;
};

// The entries of the manifest `manifest`, checked as FarManifest checks them.
std::vector<FarEntry> ReadFarManifest(std::string_view manifest, std::uint32_t manifestOffset,
                                      std::uint64_t archiveSize, std::string_view fileName);

// An archive held whole in memory (tests, small archives): header and manifest.
std::vector<FarEntry> ReadFar(std::string_view archive, std::string_view fileName);

}  // namespace tailorloft::game
