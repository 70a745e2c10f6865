// SPDX-License-Identifier: GPL-3.0-or-later
// Where the game is installed: the registry on Windows, a Wine prefix on
// Linux, and the Legacy Collection's usual folders when no registry value
// names the game. Free of Qt so it also builds with a MinGW cross compiler.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tailorloft::env {

// Predefined registry roots, with their Win32 values.
enum class RegistryRoot : std::uint32_t {
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
};

// Reads one string value (REG_SZ or REG_EXPAND_SZ, not expanded); returns its
// text (UTF-8) or exactly "ERROR" on any failure: a missing key or value, or
// a value that is not a string. An empty value gives "". The text ends at the
// value's first NUL, or where its data ends when it has none.
// The value is read whole, whatever its length: on Windows its size is asked
// first, and it is read through the wide (UTF-16) calls, so no character is
// lost to the ANSI code page. `bufferSize` is an in/out byte count; what goes
// in is not a limit. After a successful read it holds the size the registry
// reports for the value, its NUL included (in UTF-16 bytes on Windows, in
// UTF-8 bytes from a Wine prefix's files); after a failure it is unchanged.
// On Windows this is the registry, opened read-only in its 32-bit view, the one
// the game's installer writes to; elsewhere the same value from the first Wine
// prefix that has it (under HKEY_LOCAL_MACHINE, Software\Wow6432Node\...
// before Software\...).
std::string ReadRegistryString(RegistryRoot rootKey, std::string_view subKey,
                               std::string_view valueName, std::uint32_t& bufferSize);

// The game's install folder as start-up needs it (UTF-8): the registry value
// (HKEY_LOCAL_MACHINE "Software\Maxis\The Sims", "InstallPath") when it names
// a folder that exists, else a Legacy Collection install folder; "ERROR" when
// the game is not found. Under Wine the value is turned into the Unix folder it names.
// A trailing separator is kept ("\" on Windows, "/" elsewhere) when the
// registry value has one; the folder search gives none.
std::string FindGameInstallFolder();

// The game's skin folder inside `installFolder`. On Windows the install folder
// + "\gamedata\skins"; elsewhere the folder's real spelling when it exists
// (matched case-insensitively, as Wine does) or "gamedata/skins" when not.
std::string SkinFolder(const std::string& installFolder);

}  // namespace tailorloft::env
