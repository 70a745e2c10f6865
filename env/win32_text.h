// SPDX-License-Identifier: GPL-3.0-or-later
// Text conversions between Windows code pages and UTF-16, for the Windows
// side of the platform layer. Every conversion is exact or refused.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace tailorloft::env {

// `bytes` in `codePage` as UTF-16; `flags` as for MultiByteToWideChar.
std::optional<std::wstring> WideFrom(UINT codePage, std::string_view bytes, DWORD flags);

// `wide` in `codePage`, refused when a character has no exact form there
// (no best-fit look-alikes, no default character).
std::optional<std::string> BytesFrom(UINT codePage, const std::wstring& wide);

}  // namespace tailorloft::env
