// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/texture_names.h"

#include <gtest/gtest.h>

namespace tailorloft::game {
namespace {

TEST(TextureNames, SuitCodesAndTypes) {
  const std::vector<std::pair<std::string, std::string>> codes = {
      {"B300FASkn_RedDress.cmx", "B300FASkn"},
      {"C001FA_Bob_2.CMX", "C001FA"},
      {"f123ma.cmx", "f123ma"},
      {"_odd.cmx", ""},
      {"noext", "noext"},
  };
  for (const auto& [title, code] : codes) EXPECT_EQ(SuitCode(title), code) << title;
  EXPECT_EQ(OutfitType("b300faskn"), 'B');
  EXPECT_EQ(OutfitType(""), '\0');
  EXPECT_TRUE(IsCreateASimType('C'));
  EXPECT_FALSE(IsCreateASimType('L'));
  EXPECT_TRUE(IsSoldType('W'));
  EXPECT_FALSE(IsSoldType('B'));
}

TEST(TextureNames, PairTexturesWithSuitsByCodeAndTone) {
  struct Case {
    std::string texture;
    std::string code;
    bool pairs;
    Tone tone = Tone::kLight;
  };
  const std::vector<Case> cases = {
      {"B300FASknlgt_RedDress.bmp", "B300FASkn", true, Tone::kLight},
      {"b300faskNMED_anything.BMP", "B300FASkn", true, Tone::kMedium},
      {"B300FASkndrk_.bmp", "b300faskn", true, Tone::kDark},
      {"C001FAlgt_Bob.bmp", "C001FA", true, Tone::kLight},
      {"B300FASknlgt_RedDress.bmp", "B300FA", false},  // the code is the whole part before the tone
      {"B300FASknlgt_RedDress.bmp", "B300FASknlgt", false},
      {"B300FASknpale_RedDress.bmp", "B300FASkn", false},  // no tone
      {"B300FASknlgt.bmp", "B300FASkn", false},            // no "_"
      {"B300FASknlgt_RedDress.tga", "B300FASkn", false},
      {"lgt_x.bmp", "", false},  // no code
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PairsWith(c.texture, c.code), c.pairs) << c.texture << " " << c.code;
    if (c.pairs) {
      const std::optional<TextureName> parsed = ParseTextureName(c.texture);
      ASSERT_TRUE(parsed.has_value());
      EXPECT_EQ(parsed->tone, c.tone);
      EXPECT_EQ(parsed->code, c.texture.substr(0, c.code.size()));
    }
  }
  EXPECT_EQ(ToneSuffix(Tone::kMedium), "med");
}

}  // namespace
}  // namespace tailorloft::game
