// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/win32_text.h"

#include <climits>

namespace tailorloft::env {

std::optional<std::wstring> WideFrom(UINT codePage, std::string_view bytes, DWORD flags) {
  if (bytes.empty()) return std::wstring();
  if (bytes.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  if (MultiByteToWideChar(codePage, flags, bytes.data(), length, wide.data(), needed) != needed) {
    return std::nullopt;
  }
  return wide;
}

// Converts with the "no best fit" rule where the code page allows it, and
// reports whether any character fell back to the default character.
std::optional<std::string> BytesFrom(UINT codePage, const std::wstring& wide) {
  if (wide.empty()) return std::string();
  if (wide.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  BOOL* usedDefaultOut = &usedDefault;
  int needed = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, usedDefaultOut);
  if (needed <= 0) {
    // Some code pages take neither the flag nor the default-character report;
    // the round trip in Encode() still catches any substitution.
    flags = 0;
    usedDefaultOut = nullptr;
    needed = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
  }
  if (needed <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  if (WideCharToMultiByte(codePage, flags, wide.data(), length, bytes.data(), needed, nullptr,
                          usedDefaultOut) != needed ||
      usedDefault) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace tailorloft::env
