// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/file_kind.h"

#include <gtest/gtest.h>

#include "tests/game/game_test_files.h"

namespace tailorloft::game {
namespace {

using namespace testing;

TEST(SniffFileKind, NamesEachFileOfTheGameFromItsFirstBytes) {
  const Mesh body = BoxMesh("xskin-b001fafit_01-PELVIS-BODY", "x", "PELVIS");
  SkeletonFile suitsOnly;
  suitsOnly.suits = {{"suit", 0, {{"PELVIS", "skin", 0}}}};
  const std::vector<std::pair<std::string, FileKind>> cases = {
      {"// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n1\r\nsuit\r\n",
       FileKind::kCmxSuit},
      {CmxSkeletonText({AdultSkeleton()}), FileKind::kCmxSkeleton},
      {SknText(body), FileKind::kSkn},
      {SknText(BoxMesh("a", "b", "HEAD")), FileKind::kSkn},
      {BmfBytes(body), FileKind::kBmf},
      {BmfBytes(BoxMesh("a", "b", "HEAD")), FileKind::kBmf},
      {BcfBytes({{AdultSkeleton()}, {}}), FileKind::kBcf},
      {BcfBytes(suitsOnly), FileKind::kBcf},
      {FarBytes({{"a.bmf", BmfBytes(body)}}), FileKind::kFar},
      {BmpBytes(8, 8, 8), FileKind::kBmp},
      {BmpBytes(8, 8, 24, 0, false, 124), FileKind::kBmp},
      {"", FileKind::kUnknown},
      {"hello\r\nworld\r\n", FileKind::kUnknown},
      {"// a comment\r\nint main() {}\r\n", FileKind::kUnknown},
      {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), FileKind::kUnknown},
  };
  for (const auto& [bytes, kind] : cases) {
    EXPECT_EQ(SniffFileKind(std::string_view(bytes).substr(0, 512)), kind) << bytes.substr(0, 40);
  }
  EXPECT_EQ(DescribeFileKind(FileKind::kSkn), "a mesh");
  EXPECT_EQ(DescribeFileKind(FileKind::kUnknown), "not a file of the game");
}

}  // namespace
}  // namespace tailorloft::game
