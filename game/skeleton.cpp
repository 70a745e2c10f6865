// SPDX-License-Identifier: GPL-3.0-or-later
// Skeletons as text (the first section of a CMX file) and as binary (BCF).
// Property lists, the three flags and the wiggle numbers are read to get
// past them and then dropped: placing a mesh needs names, parents and the
// transform only.
#include "game/skeleton.h"

#include <algorithm>
#include <array>

#include "core/utf8.h"
#include "game/read_cursor.h"

namespace tailorloft::game {

namespace {

using detail::ByteCursor;
using detail::ParseFloat;
using detail::ParseI32;
using detail::SplitFields;
using detail::TextCursor;

constexpr std::string_view kHeader = "// Character File. Copyright 1997, Maxis Inc.";
constexpr std::string_view kVersion = "version 300";
constexpr std::string_view kNoParent = "NULL";

std::string Parent(std::string name) { return name == kNoParent ? std::string() : name; }

// A line "| x y z |": N numbers between bars, which are only separators.
template <std::size_t N>
std::array<float, N> Numbers(TextCursor& text, const std::string& expected) {
  const std::string_view line = text.Take(expected);
  std::array<std::string_view, N> tokens;
  std::array<float, N> values{};
  if (!SplitFields(line, tokens.data(), N, true)) text.Fail(expected, line);
  for (std::size_t i = 0; i < N; ++i) {
    const std::optional<float> value = ParseFloat(tokens[i]);
    if (!value) text.Fail(expected, line);
    values[i] = *value;
  }
  return values;
}

void Number(TextCursor& text, const std::string& expected, bool integer) {
  const std::string_view line = text.Take(expected);
  const std::string_view token = detail::TrimBlanks(line);
  if (integer ? !ParseI32(token) : !ParseFloat(token)) text.Fail(expected, line);
}

Bone ReadTextBone(TextCursor& text, const std::string& which) {
  Bone bone;
  bone.name = text.Name("the name of " + which, true, false);
  bone.line = text.Line();
  bone.parent = Parent(text.Name("the parent of " + which + " (NULL for none)", true, false));
  const std::uint32_t lists = text.Count("the property list count of " + which);
  for (std::uint32_t list = 0; list < lists; ++list) {
    const std::uint32_t pairs = text.Count("a property count");
    // Keys and values are free text; two lines a pair, read only to get past them.
    for (std::uint32_t pair = 0; pair < pairs; ++pair) {
      text.Take("a property name");
      text.Take("a property value");
    }
  }
  const auto t = Numbers<3>(text, "the translation of " + which + " (| x y z |)");
  bone.translation = t;
  const auto r = Numbers<4>(text, "the rotation of " + which + " (| x y z w |)");
  bone.rotation = r;
  Number(text, "canTranslate of " + which + " (a number)", true);
  Number(text, "canRotate of " + which + " (a number)", true);
  Number(text, "canBlend of " + which + " (a number)", true);
  Number(text, "the wiggle value of " + which + " (a number)", false);
  Number(text, "the wiggle power of " + which + " (a number)", false);
  return bone;
}

// The smallest bone and skeleton a BCF can hold: empty names, no property lists.
constexpr std::size_t kSmallestBone = 1 + 1 + 4 + 7 * 4 + 3 * 4 + 2 * 4;
constexpr std::size_t kSmallestSkeleton = 1 + 4;
constexpr std::size_t kSmallestSuit = 1 + 4 + 4 + 4;
constexpr std::size_t kSmallestSkin = 1 + 1 + 4 + 4;
constexpr std::size_t kSmallestPair = 1 + 1;

Bone ReadBinaryBone(ByteCursor& in) {
  Bone bone;
  bone.name = in.Pascal("a bone name");
  bone.parent = Parent(in.Pascal("the bone's parent"));
  const std::uint32_t lists = in.Count("property list count", 4, false);
  for (std::uint32_t list = 0; list < lists; ++list) {
    const std::uint32_t pairs = in.Count("property count", kSmallestPair, false);
    for (std::uint32_t pair = 0; pair < pairs; ++pair) {
      in.Pascal("a property name");
      in.Pascal("a property value");
    }
  }
  for (float& value : bone.translation) value = in.F32("the bone's translation");
  for (float& value : bone.rotation) value = in.F32("the bone's rotation");
  in.Skip(3 * 4 + 2 * 4, "the bone's flags and wiggle");
  return bone;
}

}  // namespace

SkeletonFile ReadCmxSkeletons(std::string_view bytes, std::string_view fileName) {
  TextCursor text(bytes, fileName);
  const std::string header = "the header line " + QuoteForMessage(kHeader);
  const std::string_view first = text.Take(header);
  if (detail::TrimBlanks(first).substr(0, 2) != "//") text.Fail(header, first);
  const std::string_view version = text.Take(QuoteForMessage(kVersion));
  if (detail::TrimBlanks(version) != kVersion) text.Fail(QuoteForMessage(kVersion), version);

  const std::uint32_t skeletons = text.Count("a skeleton count");
  if (skeletons == 0) {
    text.FailHere(
        "expected a skeleton count of at least 1, found 0: this is a suit file, not a skeleton file");
  }
  SkeletonFile file;
  // Nothing is reserved from a count: it is trusted only as far as lines exist.
  for (std::uint32_t s = 0; s < skeletons; ++s) {
    Skeleton skeleton;
    skeleton.name = text.Name("a skeleton name", true, false);
    skeleton.line = text.Line();
    const std::uint32_t bones = text.Count("the bone count of skeleton " + QuoteForMessage(skeleton.name));
    for (std::uint32_t b = 0; b < bones; ++b) {
      skeleton.bones.push_back(
          ReadTextBone(text, "bone " + std::to_string(b + 1) + " of " + std::to_string(bones)));
    }
    file.skeletons.push_back(std::move(skeleton));
  }
  return file;
}

SkeletonFile ReadBcf(std::string_view bytes, std::string_view fileName) {
  ByteCursor in(bytes, fileName);
  SkeletonFile file;
  const std::uint32_t skeletons = in.Count("skeleton count", kSmallestSkeleton, false);
  file.skeletons.reserve(skeletons);
  for (std::uint32_t s = 0; s < skeletons; ++s) {
    Skeleton skeleton;
    skeleton.name = in.Pascal("a skeleton name");
    const std::uint32_t bones = in.Count("bone count", kSmallestBone, false);
    skeleton.bones.reserve(bones);
    for (std::uint32_t b = 0; b < bones; ++b) skeleton.bones.push_back(ReadBinaryBone(in));
    file.skeletons.push_back(std::move(skeleton));
  }

  const std::uint32_t suits = in.Count("suit count", kSmallestSuit, false);
  file.suits.reserve(suits);
  for (std::uint32_t s = 0; s < suits; ++s) {
    BcfSuit suit;
    suit.name = in.Pascal("a suit name");
    suit.type = in.U32("the suit's type");
    in.U32("the suit's zero");
    const std::uint32_t skins = in.Count("skin count", kSmallestSkin, false);
    suit.skins.reserve(skins);
    for (std::uint32_t k = 0; k < skins; ++k) {
      BcfSkin skin;
      skin.bone = in.Pascal("a skin's bone");
      skin.skinName = in.Pascal("a skin name");
      skin.flags = in.U32("the skin's flags");
      in.U32("the skin's zero");
      suit.skins.push_back(std::move(skin));
    }
    file.suits.push_back(std::move(suit));
  }
  return file;
}

const Bone* FindBone(const Skeleton& skeleton, std::string_view name) {
  const auto found = std::find_if(skeleton.bones.begin(), skeleton.bones.end(),
                                  [name](const Bone& bone) { return bone.name == name; });
  return found == skeleton.bones.end() ? nullptr : &*found;
}

}  // namespace tailorloft::game
