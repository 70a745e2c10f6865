// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/attachment.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <vector>

namespace tailorloft {
namespace {

TEST(AttachmentPoints, AreTheTwentyEightBonesInTheirFixedOrder) {
  const std::vector<std::string> expected = {
      "PELVIS", "L_LEG",  "L_LEG1", "L_FOOT",  "L_TOE0", "L_TOE01", "L_TOE02",
      "R_LEG",  "R_LEG1", "R_FOOT", "R_TOE0",  "R_TOE01", "R_TOE02", "SPINE",
      "SPINE1", "SPINE2", "NECK",   "HEAD",    "L_ARM",  "L_ARM1",  "L_ARM2",
      "L_HAND", "L_FINGER0", "R_ARM", "R_ARM1", "R_ARM2", "R_HAND", "R_FINGER0"};
  const auto points = AttachmentPoints();
  EXPECT_EQ(std::vector<std::string>(points.begin(), points.end()), expected);
}

TEST(AccessoryEntry, RoundTripsBoneAndTitle) {
  const std::pair<const char*, const char*> cases[] = {
      {"L_HAND", "ring.skn"},
      {"HEAD", "my hat.skn"},
      {"R_ARM", "a = b = c.skn"},
      {"NECK", " leading space.skn"},
      {"SPINE", "café-Ç01.skn"},
      {"PELVIS", ""},
  };
  for (const auto& [bone, title] : cases) {
    const std::string entry = MakeEntry(bone, title);
    EXPECT_EQ(entry, std::string(bone) + " = " + title);
    const ParsedEntry parsed = ParseEntry(entry);
    EXPECT_EQ(parsed.bone, bone) << entry;
    EXPECT_EQ(parsed.fileTitle, title) << entry;
  }
}

TEST(AccessoryEntry, ParseSkipsTheTwoCharactersAfterTheFirstSpaceWhateverTheyAre) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"L_HAND xyring.skn", "L_HAND", "ring.skn"},
      {"L_HAND éèring.skn", "L_HAND", "ring.skn"},  // two characters, four bytes
      {"L_HAND =", "L_HAND", ""},
      {"L_HAND ", "L_HAND", ""},
      {" = ring.skn", "", "ring.skn"},
  };
  for (const auto& [entry, bone, title] : cases) {
    const ParsedEntry parsed = ParseEntry(entry);
    EXPECT_EQ(parsed.bone, bone) << entry;
    EXPECT_EQ(parsed.fileTitle, title) << entry;
  }
}

TEST(AccessoryEntry, ParseRefusesAnEntryWithoutSpace) {
  EXPECT_THROW(ParseEntry("L_HAND=ring.skn"), std::invalid_argument);
}

TEST(SuggestAttachmentPoint, MatchesFieldThreeExactly) {
  const auto all = AttachmentPoints();
  const std::pair<const char*, const char*> cases[] = {
      {"x-hat-L_HAND-a.skn", "L_HAND"},
      {"x-hat-SPINE-a.skn", "SPINE"},
      {"x-hat-R_FINGER0-a.skn", "R_FINGER0"},
      {"x-hat-l_hand-a.skn", nullptr},
      {"x-hat-L_HAND.skn", nullptr},
      {"hat.skn", nullptr},
      {"x-hat--a.skn", nullptr},
      {"x-hat-TAIL-a.skn", nullptr},
  };
  for (const auto& [title, expected] : cases) {
    const std::optional<std::string> suggested = SuggestAttachmentPoint(title, all);
    if (expected) {
      EXPECT_EQ(suggested, std::optional<std::string>(expected)) << title;
    } else {
      EXPECT_FALSE(suggested.has_value()) << title;
    }
  }
}

TEST(SuggestAttachmentPoint, OnlySuggestsWhatIsOffered) {
  const std::vector<std::string> offered = {"HEAD", "NECK"};
  EXPECT_EQ(SuggestAttachmentPoint("x-y-NECK-z.skn", offered), "NECK");
  EXPECT_FALSE(SuggestAttachmentPoint("x-y-L_HAND-z.skn", offered).has_value());
  EXPECT_FALSE(SuggestAttachmentPoint("x-y-NECK-z.skn", {}).has_value());
}

}  // namespace
}  // namespace tailorloft
