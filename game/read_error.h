// SPDX-License-Identifier: GPL-3.0-or-later
// The one way the readers of the game's files refuse what they cannot use:
// the file, where in it (a line of a text file, a byte offset of a binary
// one) and what was expected there, in the words CmxReadError uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tailorloft::game {

inline constexpr std::uint64_t kNoOffset = ~std::uint64_t{0};

// what() reads
//   Could not read "F": line 8: expected a face count, found "PELVIS".
//   Could not read "F": at byte 1234: expected 12 bytes for a face, found 4.
//   Could not read "F": not a BMP file.
class GameFileError : public std::runtime_error {
 public:
  GameFileError(std::string fileName, std::size_t line, std::uint64_t offset, std::string problem);

  const std::string& FileName() const { return fileName_; }
  // 1-based line of a text file; 0 for a binary file or the file as a whole.
  std::size_t Line() const { return line_; }
  // Byte offset in a binary file; kNoOffset when the problem has none.
  std::uint64_t Offset() const { return offset_; }
  // What went wrong, without file or line: "expected a face count, found "PELVIS"".
  const std::string& Problem() const { return problem_; }
  // The problem with its place for a finding whose line is 0:
  // "at byte 1234: expected ..." (just the problem when there is no offset).
  std::string ProblemWithOffset() const;

 private:
  std::string fileName_;
  std::size_t line_;
  std::uint64_t offset_;
  std::string problem_;
};

}  // namespace tailorloft::game
