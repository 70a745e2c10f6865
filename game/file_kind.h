// SPDX-License-Identifier: GPL-3.0-or-later
// What a file of the game is, from its first bytes, so a file given where
// another kind was expected is named for what it is ("a mesh, not a suit
// file") rather than reported as broken.
#pragma once

#include <string_view>

namespace tailorloft::game {

enum class FileKind {
  kUnknown,
  kCmxSuit,      // text CMX whose skeleton count is 0
  kCmxSkeleton,  // text CMX with skeletons
  kSkn,          // text mesh
  kBmf,          // binary mesh
  kBcf,          // binary skeletons and suits
  kFar,          // archive
  kBmp,          // texture
};

// Judged on the first bytes alone (a few hundred are plenty); the file name
// is not looked at. kUnknown when nothing fits.
FileKind SniffFileKind(std::string_view firstBytes);

// "a suit file", "a skeleton file", "a mesh", "a binary mesh", "a binary
// skeleton file", "an archive", "a BMP picture", "not a file of the game".
std::string_view DescribeFileKind(FileKind kind);

}  // namespace tailorloft::game
