// SPDX-License-Identifier: GPL-3.0-or-later
// The 8-bit character set a CMX file is written in. The game matches names
// byte for byte, so a character the set cannot hold must be refused, never
// replaced by a look-alike or a question mark.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tailorloft {

class CodePage {
 public:
  virtual ~CodePage() = default;
  // A short name for messages, such as "Windows-1252".
  virtual std::string Name() const = 0;
  // The bytes of `utf8` in this code page, or nothing when any character
  // (or a malformed UTF-8 sequence) has no exact form in it.
  virtual std::optional<std::string> Encode(std::string_view utf8) const = 0;
  // The UTF-8 text of `bytes` in this code page, or nothing when a byte (or
  // sequence) has no character in it.
  virtual std::optional<std::string> Decode(std::string_view bytes) const = 0;
};

// Windows-1252, the code page of the game's Western releases.
const CodePage& Windows1252();

// Why `name` cannot go into a CMX file as one line in `codePage`: a line
// break or other control character would split or garble its record, and a
// character the code page lacks would be written as something the game cannot
// match. Nothing when the name is fine. The reason reads "it contains ...".
std::optional<std::string> WhyNameIsRefused(std::string_view name, const CodePage& codePage);

// The bytes of `name` in `codePage`, or nothing with the reason in `whyRefused`.
// The same check as WhyNameIsRefused, for callers that need the bytes too.
std::optional<std::string> EncodeName(std::string_view name, const CodePage& codePage,
                                      std::string& whyRefused);

}  // namespace tailorloft
