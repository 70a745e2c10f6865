// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a texture: no crash, no hang, and what is read holds
// together: a positive size, a palette where the bits call for one.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "game/bmp.h"
#include "game/read_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    const tailorloft::game::BmpInfo info = tailorloft::game::ReadBmpInfo(
        bytes.substr(0, tailorloft::game::kBmpHeaderBytes), bytes.size(), "fuzz.bmp");
    if (info.width <= 0 || info.height <= 0) __builtin_trap();
    if ((info.bitCount <= 8) != (info.paletteColors > 0)) __builtin_trap();
  } catch (const tailorloft::game::GameFileError&) {
  }
  return 0;
}
