// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/suit.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tailorloft {
namespace {

TEST(GatherSuit, DerivesEveryNameFromTheTitles) {
  const Suit suit = GatherSuit("mysuit.cmx", false, "body1.skn",
                               {"L_HAND = ring.skn", "HEAD = my hat.skn", "NOT_A_BONE = a = b.skn"});
  const Suit expected{"mysuit",
                      "PELVIS",
                      "body1",
                      {{"L_HAND", "ring"}, {"HEAD", "my hat"}, {"NOT_A_BONE", "a = b"}}};
  EXPECT_EQ(suit, expected);
}

TEST(GatherSuit, MainBoneFollowsTheChoiceNotTheTitle) {
  EXPECT_EQ(GatherSuit("a.cmx", true, "abc.skn", {}).mainBone, "HEAD");
  EXPECT_EQ(GatherSuit("a.cmx", false, "x-c12.skn", {}).mainBone, "PELVIS");
  EXPECT_EQ(GatherSuit("a.cmx", true, "abc.skn", {}).mainSkinName, "abc");
}

TEST(GatherSuit, SuitNameIsTheCmxTitleLessFourCharacters) {
  EXPECT_EQ(GatherSuit("suit.CMX", false, "b.skn", {}).suitName, "suit");
  EXPECT_EQ(GatherSuit("abcd", false, "b.skn", {}).suitName, "");
  EXPECT_EQ(GatherSuit("Ç01-ü.cmx", false, "b.skn", {}).suitName, "Ç01-ü");
}

// Each refusal names the title the user has to change, and is raised before
// anything could be written.
TEST(GatherSuit, RefusesTitlesThatWouldBreakTheFile) {
  struct Case {
    const char* cmx;
    const char* body;
    std::vector<std::string> entries;
    const char* named;  // what the message must quote
  };
  const Case cases[] = {
      {"ab", "body.skn", {}, "\"ab\""},
      {"s.cmx", "abc", {}, "\"abc\""},
      {"s.cmx", "body.skn", {"L_HAND = ab"}, "\"ab\""},
      {"s.cmx", "body.skn", {"L_HAND = ring.skn", "HEAD = x"}, "\"x\""},
      {"li\nne.cmx", "body.skn", {}, "\"li\\nne.cmx\""},
      {"s.cmx", "bo\tdy.skn", {}, "\"bo\\tdy.skn\""},
      {"s.cmx", "body.skn", {"L_HAND = ring✓.skn"}, "\"ring✓.skn\""},
      {"s.cmx", "body.skn", {"L_HAND\x01 = ring.skn"}, "\"L_HAND\\x01 = ring.skn\""},
      {"s.cmx", "body.skn", {"L_HAND=ring.skn"}, "\"L_HAND=ring.skn\""},
  };
  for (const Case& c : cases) {
    try {
      GatherSuit(c.cmx, false, c.body, c.entries);
      ADD_FAILURE() << "accepted " << c.named;
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace tailorloft
