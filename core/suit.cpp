// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/suit.h"

#include <stdexcept>

#include "core/attachment.h"
#include "core/skin_names.h"
#include "core/utf8.h"

namespace tailorloft {

namespace {

// Refuses `name` on behalf of `source`, the file title or entry it came from,
// so the user learns which of their files to rename.
void CheckName(std::string_view name, std::string_view source, const CodePage& codePage) {
  if (const auto reason = WhyNameIsRefused(name, codePage)) {
    throw std::invalid_argument("The name " + QuoteForMessage(source) + " cannot be used: " +
                                *reason + ".");
  }
}

std::string NameFromTitle(std::string_view title, const CodePage& codePage) {
  std::string name = StripExtension(title);
  CheckName(name, title, codePage);
  return name;
}

}  // namespace

Suit GatherSuit(std::string_view cmxFileTitle, bool headChosen, std::string_view bodyFileTitle,
                const std::vector<std::string>& entries, const CodePage& codePage) {
  Suit suit;
  suit.suitName = NameFromTitle(cmxFileTitle, codePage);
  suit.mainBone = headChosen ? "HEAD" : "PELVIS";
  suit.mainSkinName = NameFromTitle(bodyFileTitle, codePage);
  suit.accessories.reserve(entries.size());
  for (const std::string& entry : entries) {
    ParsedEntry parsed = ParseEntry(entry);
    CheckName(parsed.bone, entry, codePage);
    suit.accessories.push_back({std::move(parsed.bone), NameFromTitle(parsed.fileTitle, codePage)});
  }
  return suit;
}

Suit GatherSuit(std::string_view cmxFileTitle, const SuitChoices& choices, const CodePage& codePage) {
  return GatherSuit(cmxFileTitle, choices.headChosen, choices.bodyFileTitle, choices.entries, codePage);
}

SuitChoices ChoicesFromSuit(const Suit& suit) {
  if (suit.mainBone != "HEAD" && suit.mainBone != "PELVIS") {
    throw std::invalid_argument("its main skin is bound to " + QuoteForMessage(suit.mainBone) +
                                ", and a main skin is bound to PELVIS (Body) or HEAD (Head)");
  }
  constexpr std::string_view kExtension = ".skn";
  SuitChoices choices;
  choices.headChosen = suit.mainBone == "HEAD";
  choices.bodyFileTitle = suit.mainSkinName + std::string(kExtension);
  choices.entries.reserve(suit.accessories.size());
  for (const SuitSkin& skin : suit.accessories) {
    if (skin.bone.find(' ') != std::string::npos) {
      throw std::invalid_argument("the bone name " + QuoteForMessage(skin.bone) +
                                  " holds a space, which no bone of the skeleton has");
    }
    choices.entries.push_back(MakeEntry(skin.bone, skin.skinName + std::string(kExtension)));
  }
  return choices;
}

}  // namespace tailorloft
