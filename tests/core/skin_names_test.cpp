// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/skin_names.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tailorloft {
namespace {

struct TitleCase {
  const char* title;
  bool head;
  const char* defaultName;
  const char* bone;  // nullptr: no bone field
};

// The worked examples, plus titles that trip byte-counting or off-by-one slips.
const TitleCase kTitles[] = {
    {"body1.skn", false, "body1", nullptr},
    {"x-c12.skn", true, "c12.skn", nullptr},
    {"x-B07-PELVIS-BODY.skn", false, "B07", "PELVIS"},
    {"x-C03-HEAD-HEAD.skn", true, "C03", "HEAD"},
    {"x-hat-L_HAND.skn", false, "hat", nullptr},
    {"x-hat-L_HAND-a.skn", false, "hat", "L_HAND"},
    {"x--y.skn", false, "", nullptr},
    {"x-.skn", false, ".skn", nullptr},
    {"x-", false, "", nullptr},
    {"x-hat--a.skn", false, "hat", ""},
    {"-c-d-e-f", true, "c", "d"},
    {"x-1c-HEAD-a.skn", false, "1c", "HEAD"},
    {"café-Ç01-L_HAND-ü.skn", false, "Ç01", "L_HAND"},
    {"Ünï-cödé.skn", true, "cödé.skn", nullptr},
    {"naïve.skn", false, "naïve", nullptr},
};

TEST(SkinNames, RulesReadTheDashSeparatedFields) {
  for (const TitleCase& c : kTitles) {
    SCOPED_TRACE(c.title);
    EXPECT_EQ(IsHeadSkin(c.title), c.head);
    EXPECT_EQ(DefaultCmxName(c.title), c.defaultName);
    const std::optional<std::string> bone = BoneField(c.title);
    if (c.bone) {
      ASSERT_TRUE(bone.has_value());
      EXPECT_EQ(*bone, c.bone);
    } else {
      EXPECT_FALSE(bone.has_value()) << *bone;
    }
  }
}

TEST(SkinNames, StripExtensionDropsTheLastFourCharacters) {
  const std::pair<const char*, const char*> cases[] = {
      {"a.skn", "a"},          {"abcd", ""},          {"ring.SKN", "ring"},
      {"noextension", "noexten"}, {"café.skn", "café"}, {"€.sk", ""},
      {"x.sk€", "x"},          {"Ç01-ü.cmx", "Ç01-ü"}, {"a b = c.skn", "a b = c"},
  };
  for (const auto& [title, stripped] : cases) {
    EXPECT_EQ(StripExtension(title), stripped) << title;
  }
}

TEST(SkinNames, StripExtensionRefusesTitlesShorterThanFourCharacters) {
  // "ab€" and "é.s" are 3 characters but 5 and 4 bytes.
  for (const char* title : {"", "a", "abc", "ab€", "é.s"}) {
    try {
      StripExtension(title);
      ADD_FAILURE() << "no error for " << title;
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find(std::string("\"") + title + "\""), std::string::npos)
          << e.what();
    }
  }
}

TEST(SkinNames, DefaultNameOfAShortTitleWithoutDashFails) {
  EXPECT_THROW(DefaultCmxName("abc"), std::invalid_argument);
  EXPECT_EQ(DefaultCmxName("a-b"), "b");  // with a dash nothing is stripped
}

}  // namespace
}  // namespace tailorloft
