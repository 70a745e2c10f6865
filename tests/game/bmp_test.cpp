// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/bmp.h"

#include <gtest/gtest.h>

#include "game/read_error.h"
#include "tests/game/game_test_files.h"

namespace tailorloft::game {
namespace {

using testing::BmpBytes;
using testing::ErrorOf;
using testing::WithU32;

BmpInfo Read(const std::string& bytes) {
  return ReadBmpInfo(std::string_view(bytes).substr(0, kBmpHeaderBytes), bytes.size(), "t.bmp");
}

TEST(ReadBmpInfo, ReadsEveryInfoHeader) {
  struct Case {
    std::string bytes;
    BmpInfo info;
  };
  const std::vector<Case> cases = {
      {BmpBytes(256, 256, 8), {256, 256, false, 8, 0, 256, 40}},
      {BmpBytes(64, 32, 8, 0, false, 108), {64, 32, false, 8, 0, 256, 108}},
      {BmpBytes(64, 32, 4, 0, false, 124), {64, 32, false, 4, 0, 16, 124}},
      {BmpBytes(33, 7, 1, 0, false, 12), {33, 7, false, 1, 0, 2, 12}},
      {BmpBytes(128, 128, 8, 0, true), {128, 128, true, 8, 0, 256, 40}},
      {BmpBytes(3, 5, 24), {3, 5, false, 24, 0, 0, 40}},
      {BmpBytes(32, 32, 32, 3), {32, 32, false, 32, 3, 0, 40}},
      {BmpBytes(32, 32, 32, 3, true, 124), {32, 32, true, 32, 3, 0, 124}},
      // RLE: the pixels' size is not known from the header, so fewer bytes than rows are fine.
      {BmpBytes(32, 32, 8, 1).substr(0, 14 + 40 + 1024 + 10), {32, 32, false, 8, 1, 256, 40}},
      // A palette of fewer colours than the bits could index.
      {WithU32(BmpBytes(32, 32, 8), 46, 16), {32, 32, false, 8, 0, 16, 40}},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.bytes), c.info) << c.info.infoHeaderSize;
}

TEST(ReadBmpInfo, RefusesWithTheOffsetAndWhatWasExpected) {
  const std::string bmp = BmpBytes(32, 32, 8);  // 14 + 40 + 1024 + 1024 bytes
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "at byte 0: not a BMP file: expected \"BM\", found the end of the file"},
      {"PK\x03\x04", "at byte 0: not a BMP file: expected \"BM\", found \"PK\""},
      {bmp.substr(0, 16), "at byte 14: expected 4 bytes for the info header's size, found 2"},
      {bmp.substr(0, 30), "at byte 18: expected 36 bytes for the info header, found 12"},
      {WithU32(bmp, 14, 64),
       "at byte 14: expected an info header of 12, 40, 108 or 124 bytes, found one of 64"},
      {WithU32(bmp, 18, 0), "at byte 18: expected a width of at least 1, found 0"},
      {WithU32(bmp, 22, 0x80000000), "at byte 22: expected a height other than 0, found -2147483648"},
      {WithU32(bmp, 26, 0x00070001), "at byte 28: expected 1, 4, 8, 16, 24 or 32 bits a pixel, found 7"},
      {WithU32(bmp, 46, 300),
       "at byte 46: the palette has 300 colours, more than 8 bits a pixel can use (256)"},
      {bmp.substr(0, 14 + 40 + 1000),
       "at byte 54: the palette of 256 colours (1024 bytes) lies past the end of the file of 1054 bytes"},
      {bmp.substr(0, bmp.size() - 1),
       "at byte 10: the pixels (32 rows of 32 bytes from byte 1078) lie past the end of the file of 2101 bytes"},
      {WithU32(bmp, 10, 5000),
       "at byte 10: the pixels start at byte 5000, past the end of the file of 2102 bytes"},
      // A hostile size whose pixel bytes would pass 2^64.
      {WithU32(WithU32(WithU32(bmp, 18, 0x7FFFFFFF), 22, 0x7FFFFFFF), 26, 0x00200001),
       "at byte 10: the pixels (2147483647 rows of 8589934588 bytes from byte 1078) lie past the end of the file of "
       "2102 bytes"},
  };
  for (const auto& [bytes, message] : cases) {
    EXPECT_EQ(ErrorOf([&] { Read(bytes); }), "Could not read \"t.bmp\": " + message + ".");
  }
}

}  // namespace
}  // namespace tailorloft::game
