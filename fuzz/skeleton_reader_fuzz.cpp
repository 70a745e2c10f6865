// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the skeletons of a text CMX file and as a BCF file: no crash,
// no hang, and every bone found by its name.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "game/read_error.h"
#include "game/skeleton.h"

namespace {

void Use(const tailorloft::game::SkeletonFile& file) {
  for (const tailorloft::game::Skeleton& skeleton : file.skeletons) {
    for (const tailorloft::game::Bone& bone : skeleton.bones) {
      if (tailorloft::game::FindBone(skeleton, bone.name) == nullptr) __builtin_trap();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    Use(tailorloft::game::ReadCmxSkeletons(bytes, "fuzz.cmx"));
  } catch (const tailorloft::game::GameFileError&) {
  }
  try {
    Use(tailorloft::game::ReadBcf(bytes, "fuzz.cmx.bcf"));
  } catch (const tailorloft::game::GameFileError&) {
  }
  return 0;
}
