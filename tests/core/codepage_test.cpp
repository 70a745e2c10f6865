// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/codepage.h"

#include <gtest/gtest.h>

namespace tailorloft {
namespace {

TEST(Windows1252, EncodesEveryCharacterItHasToItsByte) {
  const std::pair<const char*, const char*> cases[] = {
      {"ring", "ring"},
      {"café", "caf\xE9"},
      {"Ç01ü", "\xC7" "01\xFC"},
      {"€‚ƒ„…†‡ˆ‰Š‹Œ", "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C"},
      {"Ž‘’“”•–—˜™š›œžŸ", "\x8E\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F"},
      {"\u00A0ÿ", "\xA0\xFF"},
      {"", ""},
  };
  for (const auto& [text, bytes] : cases) {
    EXPECT_EQ(Windows1252().Encode(text), std::optional<std::string>(bytes)) << text;
  }
}

TEST(Windows1252, RefusesWhatItCannotHoldExactly) {
  // Characters outside the set, the five holes of 0x80-0x9F, and broken UTF-8.
  for (const char* text : {"✓", "ring✓", "Ā", "日本", "😀", "\u0081", "\u008D", "\u0090",
                           "\xFF", "caf\xE9", "\xC3"}) {
    EXPECT_FALSE(Windows1252().Encode(text).has_value()) << text;
  }
}

TEST(NameCheck, RefusesBreaksControlsAndMissingCharacters) {
  const std::pair<const char*, const char*> cases[] = {
      {"a\nb", "it contains a line break"},
      {"a\rb", "it contains a line break"},
      {"a\u2028b", "it contains a line break"},
      {"a\u0085b", "it contains a line break"},
      {"a\tb", "it contains a control character"},
      {"\x1B[31m", "it contains a control character"},
      {"a\x7F", "it contains a control character"},
      {"ring✓", "it contains \"✓\", which the game's character set (Windows-1252) cannot represent"},
      {"a\xFF", "it is not valid UTF-8 text"},
  };
  for (const auto& [name, reason] : cases) {
    EXPECT_EQ(WhyNameIsRefused(name, Windows1252()), std::optional<std::string>(reason)) << name;
  }
  for (const char* fine : {"", "ring", "my hat = 2", "café-Ç01", "€"}) {
    EXPECT_FALSE(WhyNameIsRefused(fine, Windows1252()).has_value()) << fine;
  }
}

}  // namespace
}  // namespace tailorloft
