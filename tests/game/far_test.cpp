// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/far.h"

#include <gtest/gtest.h>

#include "game/read_error.h"
#include "tests/game/game_test_files.h"

namespace tailorloft::game {
namespace {

using testing::ErrorOf;
using testing::WithU32;

const std::vector<std::pair<std::string, std::string>> kEntries = {
    {"adult-skeleton.cmx.bcf", "skeleton bytes"}, {"empty.bmf", ""}, {"Café.bmp", "BM..."}};

TEST(ReadFar, ListsTheEntriesWhereTheirBytesAre) {
  const std::string archive = testing::FarBytes(kEntries);
  const std::vector<FarEntry> entries = ReadFar(archive, "a.far");
  ASSERT_EQ(entries.size(), kEntries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].name, kEntries[i].first);
    EXPECT_EQ(archive.substr(entries[i].offset, entries[i].size), kEntries[i].second);
  }
  EXPECT_EQ(ReadFar(testing::FarBytes({}), "a.far"), std::vector<FarEntry>{});
}

TEST(ReadFar, RefusesWithTheOffsetAndWhatWasExpected) {
  const std::string archive = testing::FarBytes(kEntries);  // 16 + 19 bytes of data, then 91 of manifest
  const std::size_t manifest = 35;
  const std::size_t second = manifest + 4 + 16 + 22;  // the second entry
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"FAR!by", "at byte 0: expected 8 bytes for the signature \"FAR!byAZ\", found 6"},
      {"PK\x03\x04" + archive.substr(4),
       "at byte 0: expected the signature \"FAR!byAZ\", found \"PK\\x03\\x04byAZ\""},
      {WithU32(archive, 8, 3), "at byte 8: expected version 1 (the archives of The Sims), found version 3"},
      {WithU32(archive, 12, 4000000000),
       "at byte 12: the manifest's offset is 4000000000, outside the archive of 126 bytes"},
      {WithU32(archive, 12, 8), "at byte 12: the manifest's offset is 8, outside the archive of 126 bytes"},
      {WithU32(archive, manifest, 4000000000),
       "at byte 35: the entry count is 4000000000, but the 87 bytes left hold at most 5 records of at least 16 bytes"},
      {WithU32(archive, second + 8, 4000000000),
       "at byte 77: entry \"empty.bmf\" (0 bytes at byte 4000000000) lies outside the archive of 126 bytes"},
      {WithU32(WithU32(archive, second, 97), second + 4, 97),
       "at byte 77: entry \"empty.bmf\" (97 bytes at byte 30) lies outside the archive of 126 bytes"},
      {WithU32(archive, second, 1),
       "at byte 77: entry \"empty.bmf\" gives two sizes, 1 and 0: compressed entries are not read"},
      {WithU32(archive, second + 12, 200), "at byte 93: expected 200 bytes for an entry's name, found 33"},
      {archive.substr(0, archive.size() - 1), "at byte 118: expected 8 bytes for an entry's name, found 7"},
  };
  for (const auto& [bytes, message] : cases) {
    EXPECT_EQ(ErrorOf([&] { ReadFar(bytes, "a.far"); }), "Could not read \"a.far\": " + message + ".");
  }
}

}  // namespace
}  // namespace tailorloft::game
