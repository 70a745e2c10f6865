// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fold_case.h"

#include <algorithm>
#include <cstddef>

#include "core/utf8.h"

namespace tailorloft {

char32_t FoldCase(char32_t ch) {
  if (ch < 0x80) return (ch >= U'A' && ch <= U'Z') ? ch + 0x20 : ch;
  if (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7) return ch + 0x20;  // Latin-1
  if (ch == 0x178) return 0xFF;                                    // Y with diaeresis
  if (ch >= 0x100 && ch <= 0x17F) {
    // Latin Extended-A pairs upper and lower case as neighbours; the blocks
    // 0x139..0x148 and 0x179..0x17E start on an odd code point.
    if (ch == 0x130 || ch == 0x131 || ch == 0x138 || ch == 0x149 || ch == 0x17F) return ch;
    const bool oddPairs = (ch >= 0x139 && ch <= 0x148) || (ch >= 0x179 && ch <= 0x17E);
    const bool upper = oddPairs ? (ch % 2 == 1) : (ch % 2 == 0);
    return upper ? ch + 1 : ch;
  }
  if (ch >= 0x391 && ch <= 0x3AB && ch != 0x3A2) return ch + 0x20;  // Greek
  if (ch >= 0x410 && ch <= 0x42F) return ch + 0x20;                  // Cyrillic
  if (ch >= 0x400 && ch <= 0x40F) return ch + 0x50;
  return ch;
}

namespace {

// The next character of `text` folded, or the raw byte moved out of the
// Unicode range when it does not start a well-formed sequence.
char32_t NextFolded(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  bool malformed = false;
  const char32_t ch = DecodeChar(text, pos, &malformed);
  if (malformed) {
    pos = start + 1;
    return 0x110000 + static_cast<unsigned char>(text[start]);
  }
  return FoldCase(ch);
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (NextFolded(a, i) != NextFolded(b, j)) return false;
  }
  return i == a.size() && j == b.size();
}

std::string FoldedKey(std::string_view text) {
  // Nearly every name of the game is ASCII; its archives hold tens of thousands.
  if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    std::string key(text);
    for (char& c : key) c = FoldAscii(c);
    return key;
  }
  std::string key;
  key.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    bool malformed = false;
    const char32_t ch = DecodeChar(text, pos, &malformed);
    if (malformed) {
      key.push_back(text[start]);  // stays malformed, so it only ever matches itself
    } else {
      AppendUtf8(key, FoldCase(ch));
    }
  }
  return key;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && EqualsIgnoringCase(text.substr(text.size() - end.size()), end);
}

}  // namespace tailorloft
