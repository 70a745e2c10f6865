// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/texture_names.h"

#include <array>

#include "core/fold_case.h"

namespace tailorloft::game {

namespace {

constexpr std::array<Tone, 3> kTones = {Tone::kLight, Tone::kMedium, Tone::kDark};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string SuitCode(std::string_view suitFileTitle) {
  const std::size_t dot = suitFileTitle.rfind('.');
  const std::string_view stem = dot == std::string_view::npos ? suitFileTitle : suitFileTitle.substr(0, dot);
  return std::string(stem.substr(0, stem.find('_')));
}

char OutfitType(std::string_view code) { return code.empty() ? '\0' : Upper(code.front()); }

bool IsCreateASimType(char type) {
  type = Upper(type);
  return type == 'B' || type == 'C';
}

bool IsSoldType(char type) {
  type = Upper(type);
  return type == 'L' || type == 'F' || type == 'S' || type == 'W' || type == 'H';
}

std::string_view ToneSuffix(Tone tone) {
  switch (tone) {
    case Tone::kLight: return "lgt";
    case Tone::kMedium: return "med";
    case Tone::kDark: return "drk";
  }
  return "lgt";
}

std::optional<TextureName> ParseTextureName(std::string_view textureFileTitle) {
  if (!EndsWithIgnoringCase(textureFileTitle, ".bmp")) return std::nullopt;
  const std::size_t underscore = textureFileTitle.find('_');
  if (underscore == std::string_view::npos) return std::nullopt;
  const std::string_view codeAndTone = textureFileTitle.substr(0, underscore);
  for (const Tone tone : kTones) {
    const std::string_view suffix = ToneSuffix(tone);
    if (codeAndTone.size() > suffix.size() && EndsWithIgnoringCase(codeAndTone, suffix)) {
      return TextureName{std::string(codeAndTone.substr(0, codeAndTone.size() - suffix.size())), tone};
    }
  }
  return std::nullopt;
}

bool PairsWith(std::string_view textureFileTitle, std::string_view code) {
  const std::optional<TextureName> texture = ParseTextureName(textureFileTitle);
  return texture && !code.empty() && EqualsIgnoringCase(texture->code, code);
}

}  // namespace tailorloft::game
