// SPDX-License-Identifier: GPL-3.0-or-later
// The bones an accessory can be bound to, and the "<BONE> = <file title>"
// entry in which one accessory travels from the dialog to the list and the file.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tailorloft {

// The 28 attachment points, in the order the dialog offers them.
std::span<const std::string> AttachmentPoints();

// bone + " = " + fileTitle.
std::string MakeEntry(std::string_view bone, std::string_view fileTitle);

struct ParsedEntry {
  std::string bone;
  std::string fileTitle;
};

// Splits at the first space: the bone is what stands before it, the file title
// everything after the space and the two characters that follow it.
// Throws std::invalid_argument naming the entry when it holds no space.
ParsedEntry ParseEntry(std::string_view entry);

// The first of `offered` equal (case-sensitively) to BoneField(accessoryTitle).
std::optional<std::string> SuggestAttachmentPoint(std::string_view accessoryTitle,
                                                  std::span<const std::string> offered);

}  // namespace tailorloft
