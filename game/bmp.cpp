// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/bmp.h"

#include <limits>

#include "game/read_cursor.h"

namespace tailorloft::game {

namespace {

constexpr std::uint32_t kBitFields = 3;  // BI_BITFIELDS: three masks after a 40-byte header
constexpr std::size_t kInfoAt = 14;

bool KnownInfoSize(std::uint32_t size) {
  // OS/2 1.x, then BITMAPINFOHEADER, its two Adobe extensions, V4 and V5.
  return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

}  // namespace

BmpInfo ReadBmpInfo(std::string_view bytes, std::uint64_t fileSize, std::string_view fileName) {
  detail::ByteCursor in(bytes, fileName);
  if (bytes.substr(0, 2) != "BM") {
    in.Fail(0, "not a BMP file: expected \"BM\", found " +
                   (bytes.empty() ? std::string("the end of the file") : detail::Shown(bytes.substr(0, 2))));
  }
  in.Skip(10, "the file header");
  const std::uint32_t pixelsAt = in.U32("the file header");
  BmpInfo info;
  info.infoHeaderSize = in.U32("the info header's size");
  if (!KnownInfoSize(info.infoHeaderSize)) {
    in.Fail(kInfoAt, "expected an info header of 12, 40, 108 or 124 bytes, found one of " +
                         std::to_string(info.infoHeaderSize));
  }
  const bool core = info.infoHeaderSize == 12;
  // The whole info header before any field of it, so a short file is refused in one place.
  detail::ByteCursor header(in.Bytes(info.infoHeaderSize - 4, "the info header"), fileName, kInfoAt + 4);
  std::int64_t height = 0;
  std::uint32_t colorsUsed = 0;
  if (core) {
    info.width = header.U16("the width");
    height = header.U16("the height");
    header.U16("the planes");
    info.bitCount = header.U16("the bit depth");
  } else {
    info.width = header.I32("the width");
    height = header.I32("the height");
    header.U16("the planes");
    info.bitCount = header.U16("the bit depth");
    info.compression = header.U32("the compression");
    header.Skip(3 * 4, "the image size and resolution");
    colorsUsed = header.U32("the palette's size");
  }
  const std::uint64_t widthAt = kInfoAt + 4;
  const std::uint64_t heightAt = widthAt + (core ? 2 : 4);
  const std::uint64_t bitCountAt = heightAt + (core ? 4 : 6);
  if (info.width <= 0) {
    in.Fail(widthAt, "expected a width of at least 1, found " + std::to_string(info.width));
  }
  if (height == 0 || height == std::numeric_limits<std::int32_t>::min()) {
    in.Fail(heightAt, "expected a height other than 0, found " + std::to_string(height));
  }
  info.topDown = height < 0;
  info.height = static_cast<std::int32_t>(height < 0 ? -height : height);
  switch (info.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default:
      in.Fail(bitCountAt,
              "expected 1, 4, 8, 16, 24 or 32 bits a pixel, found " + std::to_string(info.bitCount));
  }

  const std::uint64_t paletteAt =
      kInfoAt + info.infoHeaderSize + (info.compression == kBitFields && info.infoHeaderSize == 40 ? 12 : 0);
  if (info.bitCount <= 8) {
    const std::uint32_t most = 1u << info.bitCount;
    if (colorsUsed > most) {
      in.Fail(kInfoAt + 32, "the palette has " + std::to_string(colorsUsed) + " colours, more than " +
                                std::to_string(info.bitCount) + " bits a pixel can use (" +
                                std::to_string(most) + ")");
    }
    info.paletteColors = colorsUsed == 0 ? most : colorsUsed;
    const std::uint64_t paletteBytes = std::uint64_t{info.paletteColors} * (core ? 3 : 4);
    if (paletteAt + paletteBytes > fileSize) {
      in.Fail(paletteAt, "the palette of " + std::to_string(info.paletteColors) + " colours (" +
                             std::to_string(paletteBytes) + " bytes) lies past the end of the file of " +
                             std::to_string(fileSize) + " bytes");
    }
  }

  // Compressed pixels have no size known from the header alone; only their start is checked.
  const bool uncompressed = info.compression == kBmpUncompressed || info.compression == kBitFields;
  const std::uint64_t stride =
      (std::uint64_t{static_cast<std::uint32_t>(info.width)} * info.bitCount + 31) / 32 * 4;
  const std::uint64_t rows = uncompressed ? static_cast<std::uint32_t>(info.height) : 0;
  // rows * stride can pass 2^64 for a hostile header, so it is compared by division.
  if (pixelsAt > fileSize) {
    in.Fail(10, "the pixels start at byte " + std::to_string(pixelsAt) + ", past the end of the file of " +
                    std::to_string(fileSize) + " bytes");
  }
  if (rows != 0 && (fileSize - pixelsAt) / stride < rows) {
    in.Fail(10, "the pixels (" + std::to_string(rows) + " rows of " + std::to_string(stride) +
                    " bytes from byte " + std::to_string(pixelsAt) + ") lie past the end of the file of " +
                    std::to_string(fileSize) + " bytes");
  }
  return info;
}

}  // namespace tailorloft::game
