// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/windows_names.h"

#include <gtest/gtest.h>

namespace tailorloft {
namespace {

TEST(WindowsNames, TrailingDotsAndSpacesGo) {
  const std::pair<const char*, const char*> cases[] = {
      {"dots.cmx...", "dots.cmx"}, {"sp.cmx  ", "sp.cmx"}, {"tail.", "tail"},   {"a. . .", "a"},
      {" lead.cmx", " lead.cmx"},  {"a..b.cmx", "a..b.cmx"}, {"...", ""},       {"café .", "café"},
  };
  for (const auto& [title, trimmed] : cases) {
    EXPECT_EQ(TrimForWindows(title), trimmed) << title;
  }
}

TEST(WindowsNames, RefusedNamesSayWhy) {
  const std::string forbidden = ", which Windows does not allow in file names";
  const std::string device = ", a device name on Windows, whatever the extension";
  const std::pair<std::string, std::string> refused[] = {
      {"x.cmx:evil", "it contains \":\", which Windows reads as the start of a stream name"},
      {"q?.cmx", "it contains \"?\"" + forbidden},
      {"a*b.cmx", "it contains \"*\"" + forbidden},
      {"<a.cmx", "it contains \"<\"" + forbidden},
      {"a>.cmx", "it contains \">\"" + forbidden},
      {"a|b.cmx", "it contains \"|\"" + forbidden},
      {"a\\b.cmx", "it contains \"\\\"" + forbidden},
      {"a/b.cmx", "it contains \"/\"" + forbidden},
      {"say \"hi\".cmx", "it contains a quotation mark" + forbidden},
      {"tab\t.cmx", "it contains a control character" + forbidden},
      {"?:.cmx", "it contains \"?\"" + forbidden},  // the first one found
      {"com1.cmx", "it is \"com1\"" + device},
      {"CON", "it is \"CON\"" + device},
      {"Nul.tar.gz", "it is \"Nul\"" + device},
      {"aux .cmx", "it is \"aux\"" + device},
      {"LPT9.cmx", "it is \"LPT9\"" + device},
      {"prn.x", "it is \"prn\"" + device},
      {"com\u00B2.cmx", "it is \"com\u00B2\"" + device},
      {"", "it has no name left once Windows drops its trailing dots and spaces"},
  };
  for (const auto& [title, why] : refused) {
    EXPECT_EQ(WhyWindowsRefuses(title).value_or("accepted"), why) << title;
  }
  for (const char* fine : {"B07.cmx", "com10.cmx", "com0.cmx", "lpt.cmx", "console.cmx", "xcon.cmx", "conx",
                           "café-日本.cmx", ".cmx", "a b.cmx", "con-1.cmx", " con.cmx"}) {
    EXPECT_EQ(WhyWindowsRefuses(fine), std::nullopt) << fine;
  }
}

}  // namespace
}  // namespace tailorloft
