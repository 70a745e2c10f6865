// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a binary mesh: no crash, no hang, no allocation a count asks
// for beyond what the bytes hold, and the structure check takes whatever was read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "game/mesh.h"
#include "game/read_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  using tailorloft::game::MeshDetail;
  bool structureRead = false;
  try {
    const tailorloft::game::Mesh mesh = tailorloft::game::ReadBmf(bytes, "fuzz.bmf", MeshDetail::kStructure);
    structureRead = true;
    tailorloft::game::MeshStructureProblems(mesh);
  } catch (const tailorloft::game::GameFileError&) {
  }
  try {
    const tailorloft::game::Mesh mesh = tailorloft::game::ReadBmf(bytes, "fuzz.bmf", MeshDetail::kFull);
    // Binary numbers need no parsing, so both details accept the same files.
    if (!structureRead) __builtin_trap();
    tailorloft::game::MeshStructureProblems(mesh);
  } catch (const tailorloft::game::GameFileError&) {
    if (structureRead) __builtin_trap();
  }
  return 0;
}
