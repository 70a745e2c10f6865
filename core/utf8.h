// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 helpers for the name rules: every length and position of a file title
// counts characters (code points), never bytes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tailorloft {

// Number of characters in `text`. A byte that does not start a well-formed
// UTF-8 sequence counts as one character of its own, so any byte string has a
// length and nothing is skipped.
std::size_t CharCount(std::string_view text);

// Byte offset where character number `index` (0-based) starts, or text.size()
// when the text has no more than `index` characters.
std::size_t ByteOffsetOfChar(std::string_view text, std::size_t index);

// Decodes one character starting at byte `pos`; advances `pos` past it.
// Returns U+FFFD for a malformed sequence and advances by one byte, and sets
// `malformed` (when given) so callers can refuse such text.
char32_t DecodeChar(std::string_view text, std::size_t& pos, bool* malformed = nullptr);

// Appends the UTF-8 form of `ch` to `out`.
void AppendUtf8(std::string& out, char32_t ch);

// A path from UTF-8 text and back, the same on every platform (a plain
// std::string would be read in the ANSI code page on Windows).
std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8FromPath(const std::filesystem::path& path);

// `text` in double quotes for a message, with control characters shown as
// escapes (\n, \t, \x1B ...) so a name can never break a message's lines or
// send codes to a terminal.
std::string QuoteForMessage(std::string_view text);

}  // namespace tailorloft
