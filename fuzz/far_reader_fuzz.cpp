// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as an archive: no crash, no hang, every entry listed inside the
// archive, and what the archive's files are sniffed without trouble.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "game/far.h"
#include "game/file_kind.h"
#include "game/read_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    for (const tailorloft::game::FarEntry& entry : tailorloft::game::ReadFar(bytes, "fuzz.far")) {
      if (std::uint64_t{entry.offset} + entry.size > bytes.size()) __builtin_trap();
      tailorloft::game::SniffFileKind(bytes.substr(entry.offset, entry.size));
    }
  } catch (const tailorloft::game::GameFileError&) {
  }
  return 0;
}
