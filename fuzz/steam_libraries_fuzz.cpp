// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a Steam libraryfolders.vdf: no crash, no hang, no empty folder.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "env/legacy_collection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view vdf(reinterpret_cast<const char*>(data), size);
  for (const auto& folder : tailorloft::env::ParseSteamLibraryFolders(vdf)) {
    if (folder.empty()) __builtin_trap();
  }
  return 0;
}
