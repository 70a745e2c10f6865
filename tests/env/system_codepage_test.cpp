// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/system_codepage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tailorloft::env {
namespace {

#ifdef _WIN32

struct EncodeCase {
  unsigned int codePage;
  std::string utf8;
  std::optional<std::string> bytes;
};

// Through the system's own tables; a character without an exact form is
// refused, never replaced by a look-alike or a question mark.
TEST(SystemCodePageTest, EncodesExactlyOrRefuses) {
  const EncodeCase cases[] = {
      {1252, "", std::string()},
      {1252, "body-cafe", std::string("body-cafe")},
      {1252, "caf\xC3\xA9 \xE2\x82\xAC", std::string("caf\xE9 \x80")},
      {1252, "\xC4\x81", std::nullopt},          // a with macron: best fit would give "a"
      {1252, "\xE6\x97\xA5", std::nullopt},      // a kanji
      {1252, "?", std::string("?")},
      {1252, "\xC3", std::nullopt},              // malformed UTF-8
      {932, "\xE6\x97\xA5\xE6\x9C\xAC", std::string("\x93\xFA\x96\x7B")},  // "Japan" in kanji
      {932, "caf\xC3\xA9", std::nullopt},
      {65001, "caf\xC3\xA9", std::string("caf\xC3\xA9")},
      {65001, "\xFF", std::nullopt},
  };
  for (const EncodeCase& c : cases) {
    EXPECT_EQ(MakeWindowsCodePage(c.codePage)->Encode(c.utf8), c.bytes) << c.codePage << " " << c.utf8;
  }
}

TEST(SystemCodePageTest, NamesTheCodePage) {
  EXPECT_EQ(MakeWindowsCodePage(1252)->Name(), "Windows-1252");
  EXPECT_EQ(MakeWindowsCodePage(932)->Name(), "code page 932");
  EXPECT_EQ(SystemCodePage().Name(), MakeWindowsCodePage(GetACP())->Name());
}

#else

TEST(SystemCodePageTest, IsWindows1252) {
  EXPECT_EQ(SystemCodePage().Name(), "Windows-1252");
  EXPECT_EQ(SystemCodePage().Encode("caf\xC3\xA9"), std::string("caf\xE9"));
}

#endif

}  // namespace
}  // namespace tailorloft::env
