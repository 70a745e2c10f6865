// SPDX-License-Identifier: GPL-3.0-or-later
// Reads CMX suit files back: the exact inverse of FormatCmx, tolerant of what
// hand-edited files commonly hold (LF line ends, spaces or tabs around
// numbers, tabs around names, empty lines at the end, no final count line),
// and otherwise refusing the file with the line and what was expected there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/codepage.h"
#include "core/suit.h"

namespace tailorloft {

// A CMX file could not be read. what() reads
// "Could not read "FILE": line 8: expected a skin count, found "PELVIS"."
// and the parts are kept for callers that lay the message out themselves.
class CmxReadError : public std::runtime_error {
 public:
  CmxReadError(std::string fileName, std::size_t line, std::string problem);

  const std::string& FileName() const { return fileName_; }
  // 1-based; 0 when the problem is the file as a whole (too large, unreadable).
  std::size_t Line() const { return line_; }
  // What went wrong, without file or line: "expected a skin count, found "PELVIS"".
  const std::string& Problem() const { return problem_; }

 private:
  std::string fileName_;
  std::size_t line_;
  std::string problem_;
};

// One skin record: bone, skin name and the two numbers that follow them.
struct CmxSkinRecord {
  std::string bone;
  std::string skinName;
  std::int64_t firstNumber = 0;
  std::int64_t secondNumber = 0;
  std::size_t line = 0;  // the bone's line; the skin name is on the next

  friend bool operator==(const CmxSkinRecord&, const CmxSkinRecord&) = default;
};

struct CmxSuit {
  std::string suitName;
  std::int64_t firstNumber = 0;  // the two lines after the suit name
  std::int64_t secondNumber = 0;
  std::vector<CmxSkinRecord> skins;  // the main skin first; may be empty
  std::size_t nameLine = 0;
  std::size_t countLine = 0;

  friend bool operator==(const CmxSuit&, const CmxSuit&) = default;
};

// What a CMX file holds once read; names are UTF-8.
struct CmxContents {
  std::vector<CmxSuit> suits;
};

// A suit file is a few hundred bytes; even thousands of accessories stay far
// below this. Larger files are refused unread.
inline constexpr std::size_t kMaxCmxFileSize = 1024 * 1024;

// Reads the bytes of a CMX file, its names in `codePage`. `fileName` is only
// for messages. Throws CmxReadError for anything that is not a suit file.
CmxContents ReadCmx(std::string_view bytes, std::string_view fileName,
                    const CodePage& codePage = Windows1252());

// Reads the file at `path`, at most kMaxCmxFileSize bytes of it.
// Throws CmxReadError when it cannot be read or is not a suit file.
CmxContents ReadCmxFile(const std::filesystem::path& path, const CodePage& codePage = Windows1252());

// The suit a record list stands for, numbers left out. `cmx` must hold at
// least one skin (the main one).
Suit ToSuit(const CmxSuit& cmx);

}  // namespace tailorloft
