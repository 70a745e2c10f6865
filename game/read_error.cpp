// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/read_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "core/codepage.h"
#include "core/utf8.h"
#include "game/read_cursor.h"

namespace tailorloft::game {

namespace {

std::string Place(std::size_t line, std::uint64_t offset) {
  if (line > 0) return "line " + std::to_string(line) + ": ";
  if (offset != kNoOffset) return "at byte " + std::to_string(offset) + ": ";
  return {};
}

}  // namespace

GameFileError::GameFileError(std::string fileName, std::size_t line, std::uint64_t offset,
                             std::string problem)
    : std::runtime_error("Could not read " + QuoteForMessage(fileName) + ": " + Place(line, offset) +
                         problem + "."),
      fileName_(std::move(fileName)),
      line_(line),
      offset_(offset),
      problem_(std::move(problem)) {}

std::string GameFileError::ProblemWithOffset() const { return Place(0, offset_) + problem_; }

}  // namespace tailorloft::game

// The cursors of read_cursor.h, shared by every reader here.
namespace tailorloft::game::detail {

namespace {

// Enough of an offending line to recognise it, short enough for one message line.
constexpr std::size_t kShownBytes = 40;

std::string ByteCount(std::uint64_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

}  // namespace

std::string Shown(std::string_view bytes) {
  const bool cut = bytes.size() > kShownBytes;
  if (cut) bytes = bytes.substr(0, kShownBytes);
  const std::optional<std::string> text = Windows1252().Decode(bytes);
  // Bytes that are not text stay as they are and are shown as \xNN.
  std::string shown = QuoteForMessage(text ? *text : std::string(bytes));
  if (cut) shown.insert(shown.size() - 1, "...");
  return shown;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimTabs(std::string_view text) {
  while (!text.empty() && text.front() == '\t') text.remove_prefix(1);
  while (!text.empty() && text.back() == '\t') text.remove_suffix(1);
  return text;
}

namespace {

template <typename Number>
std::optional<Number> Parse(std::string_view text) {
  if (text.empty()) return std::nullopt;
  Number value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::uint32_t> ParseU32(std::string_view text) {
  // from_chars takes no '+', and for unsigned types no '-' either.
  return Parse<std::uint32_t>(text);
}

std::optional<std::int32_t> ParseI32(std::string_view text) { return Parse<std::int32_t>(text); }

std::optional<float> ParseFloat(std::string_view text) {
  const std::optional<float> value = Parse<float>(text);
  // "inf" and "nan" are words from_chars takes, not numbers a file of the game holds.
  if (value && !std::isfinite(*value)) return std::nullopt;
  return value;
}

bool SplitFields(std::string_view line, std::string_view* fields, std::size_t count, bool bars) {
  const auto separator = [bars](char c) { return IsBlank(c) || (bars && c == '|'); };
  std::size_t found = 0;
  std::size_t pos = 0;
  for (;;) {
    while (pos < line.size() && separator(line[pos])) ++pos;
    if (pos == line.size()) return found == count;
    const std::size_t start = pos;
    while (pos < line.size() && !separator(line[pos])) ++pos;
    if (found == count) return false;
    fields[found++] = line.substr(start, pos - start);
  }
}

std::string_view TextCursor::Take(std::string_view expected) {
  if (pos_ >= bytes_.size()) {
    ++line_;
    FailHere("expected " + std::string(expected) + ", found the end of the file");
  }
  const std::size_t end = bytes_.find('\n', pos_);
  std::string_view line =
      bytes_.substr(pos_, end == std::string_view::npos ? std::string_view::npos : end - pos_);
  pos_ = end == std::string_view::npos ? bytes_.size() : end + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  ++line_;
  return line;
}

std::uint64_t TextCursor::SkipLines(std::uint64_t count) {
  std::uint64_t skipped = 0;
  for (; skipped < count && pos_ < bytes_.size(); ++skipped) {
    const void* end = std::memchr(bytes_.data() + pos_, '\n', bytes_.size() - pos_);
    pos_ = end == nullptr ? bytes_.size()
                          : static_cast<std::size_t>(static_cast<const char*>(end) - bytes_.data()) + 1;
    ++line_;
  }
  return skipped;
}

std::uint32_t TextCursor::Count(std::string_view expected) {
  const std::string_view line = Take(expected);
  const std::optional<std::uint32_t> count = ParseU32(TrimBlanks(line));
  if (!count) Fail(expected, line);
  return *count;
}

std::string TextCursor::Name(std::string_view expected, bool trimSpaces, bool allowEmpty) {
  const std::string_view line = Take(expected);
  const std::string_view name = trimSpaces ? TrimBlanks(line) : TrimTabs(line);
  if (name.empty() && !allowEmpty) Fail(expected, line);
  const std::optional<std::string> text = Windows1252().Decode(name);
  if (!text)
    FailHere("expected " + std::string(expected) + ", found " + Shown(name) +
             ", which is not text in Windows-1252");
  return *text;
}

void TextCursor::ExpectEnd() {
  while (pos_ < bytes_.size()) {
    const std::string_view line = Take("the end of the file");
    if (!TrimBlanks(line).empty()) Fail("the end of the file", line);
  }
}

void TextCursor::Fail(std::string_view expected, std::string_view found) const {
  FailHere("expected " + std::string(expected) + ", found " + Shown(found));
}

void TextCursor::FailHere(std::string problem) const {
  throw GameFileError(std::string(fileName_), line_, kNoOffset, std::move(problem));
}

std::size_t ByteCursor::Checked(std::uint64_t size, std::string_view what) {
  if (size > BytesLeft()) {
    Fail(Offset(), "expected " + ByteCount(size) + " for " + std::string(what) + ", found " +
                       (BytesLeft() == 0 ? std::string("the end of the file") : std::to_string(BytesLeft())));
  }
  return static_cast<std::size_t>(size);
}

std::string_view ByteCursor::Bytes(std::size_t size, std::string_view what) {
  Checked(size, what);
  const std::string_view bytes = bytes_.substr(pos_, size);
  pos_ += size;
  return bytes;
}

std::uint8_t ByteCursor::U8(std::string_view what) { return static_cast<std::uint8_t>(Bytes(1, what)[0]); }

std::uint16_t ByteCursor::U16(std::string_view what) {
  const std::string_view bytes = Bytes(2, what);
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) |
                                    static_cast<unsigned char>(bytes[1]) << 8);
}

std::uint32_t ByteCursor::U32(std::string_view what) {
  const std::string_view bytes = Bytes(4, what);
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

float ByteCursor::F32(std::string_view what) {
  const std::uint32_t bits = U32(what);
  float value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string ByteCursor::Pascal(std::string_view what) {
  const std::size_t length = U8(what);
  const std::uint64_t at = Offset();
  return Decoded(Bytes(length, what), what, at);
}

std::string ByteCursor::Decoded(std::string_view bytes, std::string_view what, std::uint64_t at) const {
  // Nearly every name of the game is printable ASCII, which reads as itself;
  // an archive's manifest holds tens of thousands of them.
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
    return std::string(bytes);
  }
  std::optional<std::string> text = Windows1252().Decode(bytes);
  if (!text) {
    Fail(at,
         "expected " + std::string(what) + ", found " + Shown(bytes) + ", which is not text in Windows-1252");
  }
  return std::move(*text);
}

std::uint32_t ByteCursor::Count(std::string_view countName, std::size_t recordSize, bool fixedSize) {
  const std::uint64_t at = Offset();
  const std::uint32_t count = U32("the " + std::string(countName));
  if (static_cast<std::uint64_t>(count) * recordSize > BytesLeft()) {
    const std::size_t room = BytesLeft() / recordSize;
    Fail(at, "the " + std::string(countName) + " is " + std::to_string(count) + ", but the " +
                 ByteCount(BytesLeft()) + " left hold at most " + std::to_string(room) +
                 (room == 1 ? " record" : " records") + " of " + (fixedSize ? "" : "at least ") +
                 ByteCount(recordSize));
  }
  return count;
}

void ByteCursor::Fail(std::uint64_t offset, std::string problem) const {
  throw GameFileError(std::string(fileName_), 0, offset, std::move(problem));
}

}  // namespace tailorloft::game::detail
