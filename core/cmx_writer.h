// SPDX-License-Identifier: GPL-3.0-or-later
// Turns a suit into the exact bytes of a CMX character file and writes them
// so that a failure never leaves a partial or damaged file behind.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/codepage.h"
#include "core/file_system.h"
#include "core/suit.h"

namespace tailorloft {

// A CMX file could not be written; what() names the file and the reason.
class CmxWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file was to be written only if no file of that name exists, and one
// does (or appeared while the new one was being written).
class CmxFileExists : public CmxWriteError {
 public:
  using CmxWriteError::CmxWriteError;
};

// What to do when the target exists.
enum class ExistingFile { kReplace, kKeep };

// The 13 + 4N lines of the file, each ended by CR LF, in `codePage`.
// Throws std::invalid_argument naming the offending name when a name holds a
// control character or a character the code page cannot represent, or when a
// bone name begins or ends with a space.
std::string FormatCmx(const Suit& suit, const CodePage& codePage = Windows1252());

// Writes the suit to `fullFileName`. The bytes go to a temporary file in the
// same folder, are flushed to the disk and then moved over the target in one
// step, so on any failure (or a crash, or a power cut) the earlier file is
// left exactly as it was.
// - kReplace: a symbolic link is followed and the file it names (which need
//   not exist yet) is written; the link stays. A replaced file keeps its
//   permissions, and its owner and group where the system allows it; a file
//   the running user may not write is refused. A hard link to the old file
//   keeps the old content: the new file is a file of its own.
// - kKeep: nothing of that name may exist, not even a link; the final step
//   fails with CmxFileExists if a file of that name exists at that moment.
// Temporary files of earlier saves of the same file that were left behind
// (by a crash, say) and are clearly abandoned are removed.
// Throws std::invalid_argument for a refused name (nothing is touched) and
// CmxWriteError when the file system fails.
void WriteCmxFile(const std::filesystem::path& fullFileName, const Suit& suit,
                  const CodePage& codePage = Windows1252(),
                  FileSystem& fileSystem = RealFileSystem(),
                  ExistingFile existing = ExistingFile::kReplace);

// Writes `bytes` to `fullFileName` in the same way, for any other file the
// program saves whole (pictures). Throws CmxWriteError (CmxFileExists) as
// above; the message names the file and the reason.
void WriteFileSafely(const std::filesystem::path& fullFileName, std::string_view bytes,
                     FileSystem& fileSystem = RealFileSystem(),
                     ExistingFile existing = ExistingFile::kReplace);

}  // namespace tailorloft
