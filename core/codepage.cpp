// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/codepage.h"

#include <array>

#include "core/utf8.h"

namespace tailorloft {

namespace {

// Bytes 0x80-0x9F of Windows-1252; 0 marks the five bytes it leaves undefined.
// The rest of the code page is the same as the first 256 Unicode characters.
constexpr std::array<char32_t, 32> kHighBlock = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::optional<char> EncodeWindows1252(char32_t ch) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<char>(ch);
  for (std::size_t i = 0; i < kHighBlock.size(); ++i) {
    if (kHighBlock[i] == ch && ch != 0) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

std::optional<char32_t> DecodeWindows1252(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  const char32_t ch = kHighBlock[byte - 0x80];
  if (ch == 0) return std::nullopt;
  return ch;
}

class Windows1252CodePage final : public CodePage {
 public:
  std::string Name() const override { return "Windows-1252"; }

  std::optional<std::string> Encode(std::string_view utf8) const override {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
      bool malformed = false;
      const char32_t ch = DecodeChar(utf8, pos, &malformed);
      const std::optional<char> byte = malformed ? std::nullopt : EncodeWindows1252(ch);
      if (!byte) return std::nullopt;
      bytes.push_back(*byte);
    }
    return bytes;
  }

  std::optional<std::string> Decode(std::string_view bytes) const override {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (const char byte : bytes) {
      const std::optional<char32_t> ch = DecodeWindows1252(static_cast<unsigned char>(byte));
      if (!ch) return std::nullopt;
      AppendUtf8(utf8, *ch);
    }
    return utf8;
  }
};

}  // namespace

const CodePage& Windows1252() {
  static const Windows1252CodePage codePage;
  return codePage;
}

std::optional<std::string> EncodeName(std::string_view name, const CodePage& codePage,
                                      std::string& whyRefused) {
  for (std::size_t pos = 0; pos < name.size();) {
    bool malformed = false;
    const char32_t ch = DecodeChar(name, pos, &malformed);
    if (malformed) {
      whyRefused = "it is not valid UTF-8 text";
      return std::nullopt;
    }
    if (ch == U'\n' || ch == U'\r' || ch == U'\x85' || ch == U'\u2028' || ch == U'\u2029') {
      whyRefused = "it contains a line break";
      return std::nullopt;
    }
    if (ch < 0x20 || (ch >= 0x7F && ch <= 0x9F)) {
      whyRefused = "it contains a control character";
      return std::nullopt;
    }
  }
  std::optional<std::string> bytes = codePage.Encode(name);
  if (bytes) return bytes;

  // Name the first character the code page lacks, so the user knows what to rename.
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t start = pos;
    DecodeChar(name, pos);
    const std::string_view one = name.substr(start, pos - start);
    if (!codePage.Encode(one)) {
      whyRefused = "it contains \"" + std::string(one) + "\", which the game's character set (" +
                   codePage.Name() + ") cannot represent";
      return std::nullopt;
    }
  }
  // A multi-byte code page may refuse a sequence it accepts one by one.
  whyRefused = "the game's character set (" + codePage.Name() + ") cannot represent it";
  return std::nullopt;
}

std::optional<std::string> WhyNameIsRefused(std::string_view name, const CodePage& codePage) {
  std::string whyRefused;
  if (EncodeName(name, codePage, whyRefused)) return std::nullopt;
  return whyRefused;
}

}  // namespace tailorloft
