// SPDX-License-Identifier: GPL-3.0-or-later
// What the readers of this folder share: a cursor over the lines of a text
// file and one over the bytes of a binary file, each refusing with a
// GameFileError in the same words. Internal to game/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "game/read_error.h"

namespace tailorloft::game::detail {

// `bytes` as readable text for a message: Windows-1252 decoded where it can
// be, shortened, quoted, control characters escaped.
std::string Shown(std::string_view bytes);

bool IsBlank(char c);
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimTabs(std::string_view text);

// Whole-token numbers; nothing for anything else (signs, spaces, fractions).
std::optional<std::uint32_t> ParseU32(std::string_view text);
std::optional<std::int32_t> ParseI32(std::string_view text);
std::optional<float> ParseFloat(std::string_view text);

// Splits `line` at blanks (and at `|` when `bars` is set) into exactly
// `count` tokens; false when there are more or fewer.
bool SplitFields(std::string_view line, std::string_view* fields, std::size_t count, bool bars = false);

// A text file line by line (LF or CR LF), without splitting it up front.
class TextCursor {
 public:
  TextCursor(std::string_view bytes, std::string_view fileName) : bytes_(bytes), fileName_(fileName) {}

  // The 1-based number of the line taken last.
  std::size_t Line() const { return line_; }
  std::size_t BytesLeft() const { return bytes_.size() - pos_; }
  bool AtEnd() const { return pos_ >= bytes_.size(); }

  // The next line; refuses the end of the file with "expected <expected>".
  std::string_view Take(std::string_view expected);
  // Passes over up to `count` lines without looking at them; how many there were.
  std::uint64_t SkipLines(std::uint64_t count);
  // A count on a line of its own.
  std::uint32_t Count(std::string_view expected);
  // A name: tabs around it trimmed, and spaces too for `trimSpaces`;
  // Windows-1252 decoded. An empty name is refused when `allowEmpty` is false.
  std::string Name(std::string_view expected, bool trimSpaces, bool allowEmpty = true);
  // Refuses any line left that is not blank.
  void ExpectEnd();

  [[noreturn]] void Fail(std::string_view expected, std::string_view found) const;
  [[noreturn]] void FailHere(std::string problem) const;

 private:
  std::string_view bytes_;
  std::string_view fileName_;
  std::size_t pos_ = 0;
  std::size_t line_ = 0;
};

// A binary file from its start (or a part of one starting at `base`), little-endian.
class ByteCursor {
 public:
  ByteCursor(std::string_view bytes, std::string_view fileName, std::uint64_t base = 0)
      : bytes_(bytes), fileName_(fileName), base_(base) {}

  std::uint64_t Offset() const { return base_ + pos_; }
  std::size_t BytesLeft() const { return bytes_.size() - pos_; }

  std::uint8_t U8(std::string_view what);
  std::uint16_t U16(std::string_view what);
  std::uint32_t U32(std::string_view what);
  std::int32_t I32(std::string_view what) { return static_cast<std::int32_t>(U32(what)); }
  float F32(std::string_view what);
  // `size` bytes as they are.
  std::string_view Bytes(std::size_t size, std::string_view what);
  void Skip(std::uint64_t size, std::string_view what) { Bytes(Checked(size, what), what); }
  // One length byte, then that many Windows-1252 bytes, decoded.
  std::string Pascal(std::string_view what);
  std::string Decoded(std::string_view bytes, std::string_view what, std::uint64_t at) const;
  // A u32 count of records of `recordSize` bytes each (at least, unless
  // `fixedSize`), refused when the bytes left cannot hold them: no count is
  // trusted further than that.
  std::uint32_t Count(std::string_view countName, std::size_t recordSize, bool fixedSize);

  [[noreturn]] void Fail(std::uint64_t offset, std::string problem) const;

 private:
  std::size_t Checked(std::uint64_t size, std::string_view what);

  std::string_view bytes_;
  std::string_view fileName_;
  std::uint64_t base_;
  std::size_t pos_ = 0;
};

}  // namespace tailorloft::game::detail
