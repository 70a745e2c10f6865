// SPDX-License-Identifier: GPL-3.0-or-later
// How a skin file title is read: fields separated by "-" tell whether the skin
// is a head or a body, what to call its CMX file and which bone an accessory
// belongs to. Titles are UTF-8; lengths count characters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tailorloft {

// The title without its last 4 characters, whatever they are.
// Throws std::invalid_argument naming the title when it has fewer than 4.
std::string StripExtension(std::string_view title);

// True when the character right after the first "-" is "c" or "C".
bool IsHeadSkin(std::string_view bodyTitle);

// The name the save dialog proposes: field 2 when there are two dashes or
// more, everything after the dash (extension included) when there is one,
// StripExtension(title) when there is none (and so throws like it).
std::string DefaultCmxName(std::string_view bodyTitle);

// Field 3 of the title, or nothing when the title has fewer than three dashes.
std::optional<std::string> BoneField(std::string_view accessoryTitle);

}  // namespace tailorloft
