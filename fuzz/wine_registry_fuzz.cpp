// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a Wine registry file: no crash, no hang, the same answer
// whether the file comes whole or in pieces, and well-formed UTF-8 out.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/utf8.h"
#include "env/wine_registry.h"

namespace {

using tailorloft::env::WineRegistryQuery;
using tailorloft::env::WineRegistryScanner;

void Check(std::string_view file, const WineRegistryQuery& query, std::size_t pieceSize) {
  const auto whole = tailorloft::env::FindWineRegistryValue(file, query);

  WineRegistryScanner scanner(query);
  for (std::size_t pos = 0; pos < file.size(); pos += pieceSize) {
    if (!scanner.Feed(file.substr(pos, pieceSize))) break;
  }
  if (scanner.Finish() != whole) __builtin_trap();

  if (whole) {
    if (!whole->isString && !whole->text.empty()) __builtin_trap();
    for (std::size_t pos = 0; pos < whole->text.size();) {
      bool malformed = false;
      tailorloft::DecodeChar(whole->text, pos, &malformed);
      if (malformed) __builtin_trap();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const WineRegistryQuery game{
      {"Software\\Wow6432Node\\Maxis\\The Sims", "Software\\Maxis\\The Sims"}, "InstallPath"};
  static const WineRegistryQuery defaultValue{{"a"}, ""};
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  const std::size_t pieceSize = size == 0 ? 1 : data[size - 1] % 97 + 1;
  Check(file, game, pieceSize);
  Check(file, defaultValue, pieceSize);
  return 0;
}
