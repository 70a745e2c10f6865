// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/console_win32.h"

namespace tailorloft::cli {

bool WriteStandard(DWORD which, std::FILE* stream, const std::string& bytes) {
  if (bytes.empty()) return true;
  HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) &&
      bytes.size() < 0x7fffffff) {
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (needed > 0) {
      std::wstring wide(static_cast<std::size_t>(needed), L'\0');
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(), needed);
      std::fflush(stream);  // anything the C stream still holds goes first
      DWORD written = 0;
      return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
             written == wide.size();
    }
    // Not UTF-8 (a suit's Windows-1252 names): the bytes as they are.
  }
  return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size() && std::fflush(stream) == 0;
}

}  // namespace tailorloft::cli
