// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/skeleton.h"

#include <gtest/gtest.h>

#include "game/read_error.h"
#include "tests/game/game_test_files.h"

namespace tailorloft::game {
namespace {

using testing::AdultSkeleton;
using testing::BcfBytes;
using testing::CmxSkeletonText;
using testing::ErrorOf;
using testing::Replaced;

// A skeleton as a text file places it: a bone every ten lines after the
// skeleton's name and bone count.
Skeleton WithLines(Skeleton skeleton, std::size_t nameLine) {
  skeleton.line = nameLine;
  for (std::size_t i = 0; i < skeleton.bones.size(); ++i) skeleton.bones[i].line = nameLine + 2 + 10 * i;
  return skeleton;
}

Skeleton Small() {
  Skeleton skeleton;
  skeleton.name = "cat";
  skeleton.bones = {{"ROOT", "", {0, 1.5f, 0}, {0, 0, 0.70710677f, 0.70710677f}, 0},
                    {"TAIL", "ROOT", {0, 0, -0.75f}, {0, 0, 0, 1}, 0}};
  return skeleton;
}

TEST(ReadCmxSkeletons, GivesBackWhatTheBuilderWrote) {
  const SkeletonFile read = ReadCmxSkeletons(CmxSkeletonText({AdultSkeleton(), Small()}), "s.cmx");
  ASSERT_EQ(read.skeletons.size(), 2u);
  EXPECT_EQ(read.skeletons[0], WithLines(AdultSkeleton(), 4));
  EXPECT_EQ(read.skeletons[1], WithLines(Small(), 4 + 2 + 29 * 10));
  EXPECT_EQ(read.suits.size(), 0u);
}

TEST(ReadCmxSkeletons, SkipsPropertyListsAndTakesWhatHandsWrite) {
  std::string text = CmxSkeletonText({Small()});
  text = Replaced(text, "ROOT\r\nNULL\r\n0\r\n", "ROOT\r\nNULL\r\n2\r\n1\r\nkey\r\nvalue\r\n0\r\n");
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
  text = Replaced(text, "| 0 1.5 0 |", "|0\t1.5 0|");
  text = Replaced(text, "\nTAIL\n", "\n TAIL\t\n");
  Skeleton expected = WithLines(Small(), 4);
  expected.bones[1].line += 4;
  EXPECT_EQ(ReadCmxSkeletons(text, "s.cmx").skeletons, std::vector<Skeleton>{expected});
}

TEST(ReadCmxSkeletons, RefusesWithTheLineAndWhatWasExpected) {
  const std::string text = CmxSkeletonText({Small()});
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"",
       "line 1: expected the header line \"// Character File. Copyright 1997, Maxis Inc.\", found the end of the file"},
      {Replaced(text, "version 300", "version 200"),
       "line 2: expected \"version 300\", found \"version 200\""},
      {Replaced(text, "version 300\r\n1\r\n", "version 300\r\n0\r\n"),
       "line 3: expected a skeleton count of at least 1, found 0: this is a suit file, not a skeleton file"},
      {Replaced(text, "\r\n2\r\n", "\r\nROOT\r\n"),
       "line 5: expected the bone count of skeleton \"cat\", found \"ROOT\""},
      {Replaced(text, "| 0 1.5 0 |", "| 0 1.5 |"),
       "line 9: expected the translation of bone 1 of 2 (| x y z |), found \"| 0 1.5 |\""},
      {Replaced(text, "| 0 0 0.70710677 0.70710677 |", "| 0 0 0.7 w |"),
       "line 10: expected the rotation of bone 1 of 2 (| x y z w |), found \"| 0 0 0.7 w |\""},
      {Replaced(text, "NULL\r\n0\r\n", "NULL\r\n4000000000\r\n"),
       "line 9: expected a property count, found \"| 0 1.5 0 |\""},
      {Replaced(text, "\r\n1\r\n1\r\n1\r\n0\r\n0\r\n", "\r\n1\r\n1\r\n1\r\nwiggle\r\n0\r\n"),
       "line 14: expected the wiggle value of bone 1 of 2 (a number), found \"wiggle\""},
  };
  for (const auto& [bytes, message] : cases) {
    EXPECT_EQ(ErrorOf([&] { ReadCmxSkeletons(bytes, "s.cmx"); }),
              "Could not read \"s.cmx\": " + message + ".");
  }
  // Cut after any line of the skeletons, the file is refused at the line that is missing.
  std::size_t line = 0;
  const std::size_t skeletonsEnd = text.size() - std::string("0\r\n0\r\n").size();
  for (std::size_t end = 0; (end = text.find('\n', end)) < skeletonsEnd - 1; ++end) {
    ++line;
    try {
      ReadCmxSkeletons(text.substr(0, end + 1), "s.cmx");
      ADD_FAILURE() << "read when cut after line " << line;
    } catch (const GameFileError& error) {
      EXPECT_EQ(error.Line(), line + 1);
    }
  }
}

TEST(ReadBcf, GivesBackSkeletonsAndSuits) {
  SkeletonFile file;
  file.skeletons = {AdultSkeleton(), Small()};
  file.suits = {
      {"b001fafit_01", 0, {{"PELVIS", "xskin-b001fafit_01-PELVIS-BODY", 0}}},
      {"c001fa_01", 1, {{"HEAD", "xskin-c001fa_01-HEAD-HEAD", 8}, {"HEAD", "xskin-c001fa_01-HEAD-HAIR", 0}}}};
  EXPECT_EQ(ReadBcf(BcfBytes(file), "s.bcf"), file);
  // An archive's BCF of suits alone.
  file.skeletons.clear();
  EXPECT_EQ(ReadBcf(BcfBytes(file), "s.bcf"), file);
}

TEST(ReadBcf, RefusesWithTheOffsetAndWhatWasExpected) {
  SkeletonFile file;
  file.skeletons = {Small()};
  file.suits = {{"suit", 0, {{"ROOT", "skin", 0}}}};
  const std::string bytes = BcfBytes(file);
  std::string hostile = bytes;
  hostile.replace(8, 4, "\x00\x28\x6B\xEE", 4);  // the bone count: 4 000 000 000
  EXPECT_EQ(
      ErrorOf([&] { ReadBcf(hostile, "s.bcf"); }),
      "Could not read \"s.bcf\": at byte 8: the bone count is 4000000000, but the 167 bytes left hold at most "
      "3 records of at least 54 bytes.");
  // Cut anywhere before the skill count, which is not read, the file is refused at or before the cut.
  for (std::size_t size = 0; size + 4 < bytes.size(); ++size) {
    try {
      ReadBcf(bytes.substr(0, size), "s.bcf");
      ADD_FAILURE() << "read when cut to " << size << " bytes";
    } catch (const GameFileError& error) {
      EXPECT_LE(error.Offset(), size);
    }
  }
  EXPECT_EQ(ReadBcf(bytes.substr(0, bytes.size() - 4), "s.bcf"), file);
}

TEST(FindBone, FindsABoneByItsExactName) {
  const Skeleton adult = AdultSkeleton();
  ASSERT_NE(FindBone(adult, "L_HAND"), nullptr);
  EXPECT_EQ(FindBone(adult, "L_HAND")->parent, "L_ARM2");
  EXPECT_EQ(FindBone(adult, "l_hand"), nullptr);
  EXPECT_EQ(FindBone(adult, ""), nullptr);
}

}  // namespace
}  // namespace tailorloft::game
