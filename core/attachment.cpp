// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/attachment.h"

#include <array>
#include <stdexcept>

#include "core/skin_names.h"
#include "core/utf8.h"

namespace tailorloft {

namespace {

// Left leg, right leg, spine, neck and head, left arm, right arm.
const std::array<std::string, 28> kAttachmentPoints = {
    "PELVIS", "L_LEG",  "L_LEG1", "L_FOOT",  "L_TOE0", "L_TOE01", "L_TOE02",
    "R_LEG",  "R_LEG1", "R_FOOT", "R_TOE0",  "R_TOE01", "R_TOE02", "SPINE",
    "SPINE1", "SPINE2", "NECK",   "HEAD",    "L_ARM",  "L_ARM1",  "L_ARM2",
    "L_HAND", "L_FINGER0", "R_ARM", "R_ARM1", "R_ARM2", "R_HAND", "R_FINGER0",
};

constexpr std::string_view kSeparator = " = ";

}  // namespace

std::span<const std::string> AttachmentPoints() { return kAttachmentPoints; }

std::string MakeEntry(std::string_view bone, std::string_view fileTitle) {
  std::string entry;
  entry.reserve(bone.size() + kSeparator.size() + fileTitle.size());
  entry.append(bone).append(kSeparator).append(fileTitle);
  return entry;
}

ParsedEntry ParseEntry(std::string_view entry) {
  const std::size_t space = entry.find(' ');
  if (space == std::string_view::npos) {
    throw std::invalid_argument("The accessory entry \"" + std::string(entry) +
                                "\" has no \" = \" between bone and file name.");
  }
  // Skip the space and the two characters after it, whatever they are.
  const std::string_view rest = entry.substr(space + 1);
  const std::size_t titleStart = ByteOffsetOfChar(rest, kSeparator.size() - 1);
  return {std::string(entry.substr(0, space)), std::string(rest.substr(titleStart))};
}

std::optional<std::string> SuggestAttachmentPoint(std::string_view accessoryTitle,
                                                  std::span<const std::string> offered) {
  const std::optional<std::string> field = BoneField(accessoryTitle);
  if (!field) return std::nullopt;
  for (const std::string& name : offered) {
    if (name == *field) return name;
  }
  return std::nullopt;
}

}  // namespace tailorloft
