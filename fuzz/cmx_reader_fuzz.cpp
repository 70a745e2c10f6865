// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a CMX file: no crash, no hang, and whatever is read writes
// back to bytes that read as the same suits.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/cmx_reader.h"
#include "core/cmx_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tailorloft::CmxContents contents;
  try {
    contents = tailorloft::ReadCmx(bytes, "fuzz.cmx");
  } catch (const tailorloft::CmxReadError&) {
    return 0;
  }
  for (const tailorloft::CmxSuit& suit : contents.suits) {
    if (suit.skins.empty()) continue;
    const tailorloft::Suit read = tailorloft::ToSuit(suit);
    // Every name the reader hands out must be one the writer accepts.
    const std::string written = tailorloft::FormatCmx(read);
    if (tailorloft::ToSuit(tailorloft::ReadCmx(written, "again.cmx").suits.at(0)) != read) {
      __builtin_trap();
    }
  }
  return 0;
}
