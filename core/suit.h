// SPDX-License-Identifier: GPL-3.0-or-later
// A suit as the save command hands it over, and its gathering from the
// choices on screen. Gathering checks every name, so nothing is written for
// a suit that would make a broken file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/codepage.h"

namespace tailorloft {

struct SuitSkin {
  std::string bone;
  std::string skinName;  // without extension

  friend bool operator==(const SuitSkin&, const SuitSkin&) = default;
};

struct Suit {
  std::string suitName;
  std::string mainBone;  // "HEAD" or "PELVIS"
  std::string mainSkinName;
  std::vector<SuitSkin> accessories;

  friend bool operator==(const Suit&, const Suit&) = default;
};

// Builds the suit from the CMX file title, the Head/Body choice, the body or
// head skin file title and the accessory entries, first to last.
// Throws std::invalid_argument naming the offending file title when a title is
// shorter than 4 characters, or when a name would hold a control character or
// a character `codePage` cannot represent.
Suit GatherSuit(std::string_view cmxFileTitle, bool headChosen, std::string_view bodyFileTitle,
                const std::vector<std::string>& entries,
                const CodePage& codePage = Windows1252());

// The suit as the main window holds it: the Head/Body choice, the body or
// head skin file title and the accessory entries, first to last.
struct SuitChoices {
  bool headChosen = false;
  std::string bodyFileTitle;
  std::vector<std::string> entries;

  friend bool operator==(const SuitChoices&, const SuitChoices&) = default;
};

// The choices that give `suit` back: GatherSuit(suit name + ".cmx", result)
// == suit. Skin names get ".skn"; Head is chosen when the main bone is HEAD.
// Throws std::invalid_argument saying why when no choices can: the main bone
// is neither HEAD nor PELVIS, or a bone holds a space, which would split its
// accessory entry in the wrong place.
SuitChoices ChoicesFromSuit(const Suit& suit);

// GatherSuit from the choices on screen.
Suit GatherSuit(std::string_view cmxFileTitle, const SuitChoices& choices,
                const CodePage& codePage = Windows1252());

}  // namespace tailorloft
