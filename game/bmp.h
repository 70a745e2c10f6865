// SPDX-License-Identifier: GPL-3.0-or-later
// The header fields of a Windows BMP texture that decide whether the game
// can use it: size, bit depth, compression and palette. Pixels are not read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tailorloft::game {

// Enough of the file's start for any info header (14 + 124 bytes).
inline constexpr std::size_t kBmpHeaderBytes = 14 + 124;

inline constexpr std::uint32_t kBmpUncompressed = 0;  // BI_RGB

struct BmpInfo {
  std::int32_t width = 0;
  std::int32_t height = 0;  // always positive; see topDown
  bool topDown = false;     // stored with a negative height
  std::uint16_t bitCount = 0;
  std::uint32_t compression = kBmpUncompressed;
  std::uint32_t paletteColors = 0;  // for 8 bits and fewer: biClrUsed, or 2^bitCount when 0
  std::uint32_t infoHeaderSize = 0;  // 12 (OS/2), 40, 108 or 124
  friend bool operator==(const BmpInfo&, const BmpInfo&) = default;
};

// Reads the file header and the info header, whatever its size, from the
// first bytes of a file of `fileSize` bytes. Throws GameFileError (with the
// byte offset) when the bytes are not a BMP file, or its pixels or palette
// would lie past the end of the file.
BmpInfo ReadBmpInfo(std::string_view bytes, std::uint64_t fileSize, std::string_view fileName);

}  // namespace tailorloft::game
