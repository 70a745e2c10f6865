// Turns a suit into the exact bytes of a CMX character file and writes them
// so that a failure never leaves a partial or damaged file behind.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "core/codepage.h"
#include "core/file_system.h"
#include "core/suit.h"

namespace tailorloft {

// A CMX file could not be written; what() names the file and the reason.
class CmxWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The 13 + 4N lines of the file, each ended by CR LF, in `codePage`.
// Throws std::invalid_argument naming the offending name when a name holds a
// control character or a character the code page cannot represent, or when a
// bone name begins or ends with a space.
std::string FormatCmx(const Suit& suit, const CodePage& codePage = Windows1252());

// Writes the suit to `fullFileName`, replacing any earlier file. The bytes go
// to a temporary file in the same folder that is moved over the target only
// when complete, so on any failure the earlier file is left exactly as it was.
// An existing file keeps its permissions; a read-only one is not replaced.
// Throws std::invalid_argument for a refused name (nothing is touched) and
// CmxWriteError when the file system fails.
void WriteCmxFile(const std::filesystem::path& fullFileName, const Suit& suit,
                  const CodePage& codePage = Windows1252(),
                  FileSystem& fileSystem = RealFileSystem());

}  // namespace tailorloft
