// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a text mesh: no crash, no hang, the full read agrees with the
// quick one on everything but the values the quick one skips, and the
// structure check takes whatever was read.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "game/mesh.h"
#include "game/read_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  using tailorloft::game::Mesh;
  using tailorloft::game::MeshDetail;
  std::optional<Mesh> structure;
  try {
    structure = tailorloft::game::ReadSkn(bytes, "fuzz.skn", MeshDetail::kStructure);
    tailorloft::game::MeshStructureProblems(*structure);
  } catch (const tailorloft::game::GameFileError&) {
  }
  try {
    Mesh mesh = tailorloft::game::ReadSkn(bytes, "fuzz.skn", MeshDetail::kFull);
    tailorloft::game::MeshStructureProblems(mesh);
    if (mesh.uvs.size() != mesh.uvCount || mesh.vertices.size() != mesh.vertexCount) __builtin_trap();
    // The full read refuses more (numbers that are not), never less.
    mesh.uvs.clear();
    mesh.vertices.clear();
    if (!structure || !(mesh == *structure)) __builtin_trap();
  } catch (const tailorloft::game::GameFileError&) {
  }
  return 0;
}
