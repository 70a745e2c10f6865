// SPDX-License-Identifier: GPL-3.0-or-later
// Names compared the way Windows compares registry keys and file names: by
// character, ignoring case. Text is UTF-8; a byte that is not part of a
// well-formed sequence only ever equals the same byte.
#pragma once

#include <string>
#include <string_view>

namespace tailorloft {

// The lower-case form of `ch` for comparisons. Covers ASCII, Latin-1, Latin
// Extended-A, Greek and Cyrillic, which is what install folder names use.
char32_t FoldCase(char32_t ch);

// FoldCase of one ASCII byte; any other byte as it is. For loops over
// bytes that must stay cheap.
constexpr char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// `text` with every character folded, as a key for looking names up in a
// set: two names equal ignoring case have the same key.
std::string FoldedKey(std::string_view text);

// Whether `text` ends with `end` (ASCII, such as an extension), ignoring case.
bool EndsWithIgnoringCase(std::string_view text, std::string_view end);

}  // namespace tailorloft
