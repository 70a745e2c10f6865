// SPDX-License-Identifier: GPL-3.0-or-later
// One thing the suit check found: which file, where, how bad, a stable code
// for tools and a message in plain words that says what to do.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tailorloft::game {

enum class Severity {
  kError,    // the game will fail or show it wrongly
  kWarning,  // it probably will, or the creator likely made a mistake
};

struct Finding {
  std::string file;  // as the user gave it; an archive entry as "ARCHIVE.far/ENTRY"
  std::size_t line = 0;  // 0 for a binary file or the file as a whole
  Severity severity = Severity::kError;
  std::string code;     // "missing-mesh", "texture-format", ...
  std::string message;  // UTF-8, without file, line or code

  friend bool operator==(const Finding&, const Finding&) = default;
};

// Sorted by file, then line, keeping the order of equal ones.
void SortFindings(std::vector<Finding>& findings);

}  // namespace tailorloft::game
