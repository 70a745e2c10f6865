// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/skin_names.h"

#include <stdexcept>

#include "core/utf8.h"

namespace tailorloft {

namespace {

constexpr char kDash = '-';
constexpr std::size_t kExtensionLength = 4;

// "-" is ASCII and never part of a multi-byte UTF-8 sequence, so the dashes
// can be found on bytes; only lengths need counting in characters.
std::size_t FindDash(std::string_view title, std::size_t from) { return title.find(kDash, from); }

}  // namespace

std::string StripExtension(std::string_view title) {
  const std::size_t count = CharCount(title);
  if (count < kExtensionLength) {
    throw std::invalid_argument("The file name " + QuoteForMessage(title) +
                                " is too short: it needs at least " +
                                std::to_string(kExtensionLength) + " characters.");
  }
  return std::string(title.substr(0, ByteOffsetOfChar(title, count - kExtensionLength)));
}

bool IsHeadSkin(std::string_view bodyTitle) {
  const std::size_t dash = FindDash(bodyTitle, 0);
  if (dash == std::string_view::npos || dash + 1 >= bodyTitle.size()) return false;
  // Only an ASCII c upper-cases to "C"; a multi-byte character never does.
  const char next = bodyTitle[dash + 1];
  return next == 'c' || next == 'C';
}

std::string DefaultCmxName(std::string_view bodyTitle) {
  const std::size_t first = FindDash(bodyTitle, 0);
  if (first == std::string_view::npos) return StripExtension(bodyTitle);
  const std::size_t second = FindDash(bodyTitle, first + 1);
  if (second == std::string_view::npos) return std::string(bodyTitle.substr(first + 1));
  return std::string(bodyTitle.substr(first + 1, second - first - 1));
}

std::optional<std::string> BoneField(std::string_view accessoryTitle) {
  const std::size_t first = FindDash(accessoryTitle, 0);
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = FindDash(accessoryTitle, first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const std::size_t third = FindDash(accessoryTitle, second + 1);
  if (third == std::string_view::npos) return std::nullopt;
  return std::string(accessoryTitle.substr(second + 1, third - second - 1));
}

}  // namespace tailorloft
