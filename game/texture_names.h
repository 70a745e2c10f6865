// SPDX-License-Identifier: GPL-3.0-or-later
// How the game pairs textures with suits: by the suit's code, the part of its
// file name before the first "_" (B300FASkn_RedDress.cmx has B300FASkn), and
// a texture named <code><tone>_<anything>.bmp (B300FASknlgt_RedDress.bmp).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tailorloft::game {

// The code of a suit file title ("B300FASkn_RedDress.cmx" -> "B300FASkn");
// the whole name without extension when it holds no "_".
std::string SuitCode(std::string_view suitFileTitle);

// The outfit type: the code's first letter, upper-cased (B, C, L, F, S, W,
// H), or 0 when the code is empty.
char OutfitType(std::string_view code);

// B and C: Create-a-Sim outfits, read from GameData/Skins. L, F, S, W, H:
// outfits sold in the game, read from ExpansionShared/SkinsBuy.
bool IsCreateASimType(char type);
bool IsSoldType(char type);

enum class Tone { kLight, kMedium, kDark };
std::string_view ToneSuffix(Tone tone);  // "lgt", "med", "drk"

struct TextureName {
  std::string code;  // as spelled in the file name
  Tone tone = Tone::kLight;
};

// The code and tone of a texture file title of the form
// <code><lgt|med|drk>_<anything>.bmp (all ignoring case); nothing otherwise.
std::optional<TextureName> ParseTextureName(std::string_view textureFileTitle);

// Whether the texture file title pairs with a suit of code `code`.
bool PairsWith(std::string_view textureFileTitle, std::string_view code);

}  // namespace tailorloft::game
