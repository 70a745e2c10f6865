// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/game_files.h"

#include "core/utf8.h"

namespace tailorloft::game {

std::string FoundFile::Shown() const {
  // The generic form, so a finding reads the same whatever the platform's separator.
  const std::u8string generic = path.generic_u8string();
  std::string shown(generic.begin(), generic.end());
  if (InArchive()) {
    shown += '/';
    shown += entry;
  }
  return shown;
}

std::string_view EntryTitle(std::string_view entryName) {
  return entryName.substr(entryName.find_last_of("/\\") + 1);
}

std::string FoundFile::Title() const {
  return InArchive() ? std::string(EntryTitle(entry)) : Utf8FromPath(path.filename());
}

}  // namespace tailorloft::game
