// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/utf8.h"

namespace tailorloft {

namespace {

// Length of the well-formed sequence starting at `pos`, or 0 when malformed
// (overlong forms, surrogates and values past U+10FFFF included).
std::size_t SequenceLength(std::string_view text, std::size_t pos, char32_t& ch) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ch = lead;
    return 1;
  }
  std::size_t length = 0;
  char32_t min = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, ch = lead & 0x1Fu, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, ch = lead & 0x0Fu, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, ch = lead & 0x07u, min = 0x10000;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(pos + i);
    if ((next & 0xC0) != 0x80) return 0;
    ch = (ch << 6) | (next & 0x3Fu);
  }
  if (ch < min || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

char32_t DecodeChar(std::string_view text, std::size_t& pos, bool* malformed) {
  char32_t ch = 0;
  const std::size_t length = SequenceLength(text, pos, ch);
  if (length == 0) {
    ++pos;
    if (malformed) *malformed = true;
    return U'\uFFFD';
  }
  pos += length;
  return ch;
}

std::size_t CharCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); ++count) DecodeChar(text, pos);
  return count;
}

std::size_t ByteOffsetOfChar(std::string_view text, std::size_t index) {
  std::size_t pos = 0;
  for (std::size_t i = 0; i < index && pos < text.size(); ++i) DecodeChar(text, pos);
  return pos;
}

void AppendUtf8(std::string& out, char32_t ch) {
  const auto put = [&](char32_t bits) { out.push_back(static_cast<char>(bits)); };
  if (ch < 0x80) {
    put(ch);
  } else if (ch < 0x800) {
    put(0xC0 | (ch >> 6));
    put(0x80 | (ch & 0x3F));
  } else if (ch < 0x10000) {
    put(0xE0 | (ch >> 12));
    put(0x80 | ((ch >> 6) & 0x3F));
    put(0x80 | (ch & 0x3F));
  } else {
    put(0xF0 | (ch >> 18));
    put(0x80 | ((ch >> 12) & 0x3F));
    put(0x80 | ((ch >> 6) & 0x3F));
    put(0x80 | (ch & 0x3F));
  }
}

}  // namespace tailorloft

namespace tailorloft {

std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string QuoteForMessage(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string quoted = "\"";
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    bool malformed = false;
    const char32_t ch = DecodeChar(text, pos, &malformed);
    if (malformed) {
      const auto byte = static_cast<unsigned char>(text[start]);
      quoted += "\\x";
      quoted += kHex[byte >> 4];
      quoted += kHex[byte & 0xF];
    } else if (ch == U'\n') {
      quoted += "\\n";
    } else if (ch == U'\r') {
      quoted += "\\r";
    } else if (ch == U'\t') {
      quoted += "\\t";
    } else if (ch < 0x20 || (ch >= 0x7F && ch <= 0x9F)) {
      quoted += "\\x";
      quoted += kHex[(ch >> 4) & 0xF];
      quoted += kHex[ch & 0xF];
    } else {
      quoted.append(text.substr(start, pos - start));
    }
  }
  quoted += '"';
  return quoted;
}

}  // namespace tailorloft
