// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cmx_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "core/cmx_writer.h"
#include "core/utf8.h"

namespace tailorloft {
namespace {

namespace fs = std::filesystem;

const Suit kSuit{"mysuit", "PELVIS", "body1", {{"L_HAND", "ring"}}};
const std::string kBytes =
    "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n1\r\n"
    "mysuit\r\n0\r\n0\r\n2\r\nPELVIS\r\nbody1\r\n0\r\n0\r\nL_HAND\r\nring\r\n0\r\n0\r\n0\r\n";

// kBytes with `from` replaced by `to` once.
std::string Edited(const std::string& from, const std::string& to, std::string bytes = kBytes) {
  const std::size_t at = bytes.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return bytes.replace(at, from.size(), to);
}

std::string Replaced(std::string bytes, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = bytes.find(from, at)) != std::string::npos; at += to.size()) {
    bytes.replace(at, from.size(), to);
  }
  return bytes;
}

// Names built from the characters that break naive parsers: separators, digits
// that look like counts, spaces at the ends, code-page characters.
std::string AwkwardName(std::mt19937& random, bool bone) {
  static const std::vector<std::string> pieces = {
      "a", "Z", "0", "12", " ", "-", "=", " = ", ".skn", "//", "version 300", "é", "€", "Ÿ",
      "\"", "\\", "PELVIS", "ÿ", "~"};
  std::string name;
  const int length = static_cast<int>(random() % 6);
  for (int i = 0; i < length; ++i) name += pieces[random() % pieces.size()];
  if (bone) {
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    while (!name.empty() && name.back() == ' ') name.pop_back();
  }
  return name;
}

TEST(ReadCmx, IsTheInverseOfTheWriter) {
  std::mt19937 random(8);
  for (int round = 0; round < 3000; ++round) {
    Suit suit{AwkwardName(random, false), AwkwardName(random, true), AwkwardName(random, false), {}};
    const unsigned accessories = static_cast<unsigned>(random() % 5);
    for (unsigned i = 0; i < accessories; ++i) {
      suit.accessories.push_back({AwkwardName(random, true), AwkwardName(random, false)});
    }
    const std::string bytes = FormatCmx(suit);
    const CmxContents read = ReadCmx(bytes, "generated.cmx");
    ASSERT_EQ(read.suits.size(), 1u) << bytes;
    EXPECT_EQ(ToSuit(read.suits[0]), suit) << bytes;
    EXPECT_EQ(read.suits[0].nameLine, 5u);
    EXPECT_EQ(read.suits[0].skins.back().line, 9u + 4u * accessories);
  }
}

TEST(ReadCmx, AcceptsWhatHandEditedFilesHold) {
  const std::string lf = Replaced(kBytes, "\r\n", "\n");
  const std::string noFinalCount = kBytes.substr(0, kBytes.size() - 3);
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"LF line ends", lf},
      {"mixed line ends", Edited("body1\r\n", "body1\n")},
      {"spaces and tabs around numbers and fixed lines",
       Edited("version 300\r\n0\r\n1", " version 300\t\r\n 0 \r\n\t1")},
      {"tabs around a name, spaces around a bone", Edited("\r\nPELVIS\r\nbody1\r\n", "\r\n  PELVIS \r\n\tbody1\t\r\n")},
      {"empty lines at the end", kBytes + "\r\n \r\n\n\t\r\n"},
      {"no final count", noFinalCount},
      {"no final count, LF and no last line end", Replaced(noFinalCount, "\r\n", "\n").substr(0, lf.size() - 3)},
  };
  for (const auto& c : cases) {
    const CmxContents read = ReadCmx(c.bytes, "suit.cmx");
    ASSERT_EQ(read.suits.size(), 1u) << c.what;
    EXPECT_EQ(ToSuit(read.suits[0]), kSuit) << c.what;
  }
}

TEST(ReadCmx, DecodesNamesFromWindows1252) {
  const CmxContents read = ReadCmx(Edited("ring", "caf\xE9\x80"), "suit.cmx");
  EXPECT_EQ(read.suits[0].skins[1].skinName, "café€");
}

TEST(ReadCmx, KeepsNumbersAndEverySuit) {
  std::string two = Edited("1\r\nmysuit\r\n0\r\n0", "2\r\nmysuit\r\n1\r\n-4");
  two = two.substr(0, two.size() - 3) +  // without the final count
        "other\r\n0\r\n0\r\n1\r\nHEAD\r\nh\r\n7\r\n0\r\n0\r\n";
  const CmxContents read = ReadCmx(two, "suit.cmx");
  ASSERT_EQ(read.suits.size(), 2u);
  EXPECT_EQ(read.suits[0].firstNumber, 1);
  EXPECT_EQ(read.suits[0].secondNumber, -4);
  EXPECT_EQ(read.suits[1].suitName, "other");
  EXPECT_EQ(read.suits[1].skins[0].firstNumber, 7);
}

TEST(ReadCmx, RefusesWhatIsNotASuitFileSayingWhereAndWhy) {
  const struct {
    std::string bytes;
    std::size_t line;
    std::string problem;
  } cases[] = {
      {"", 0, "the file is empty"},
      {"\r\n\r\n", 1, "expected the header line \"// Character File. Copyright 1997, Maxis Inc.\", found the end of the file"},
      {std::string("\x02\0\0\0\xC8\x01", 6) + "BCF", 1,
       "expected the header line \"// Character File. Copyright 1997, Maxis Inc.\", found \"\\x02\\x00\\x00\\x00\xC3\x88\\x01BCF\""},
      {Edited("version 300", "version 200"), 2, "expected \"version 300\", found \"version 200\""},
      {Edited("300\r\n0", "300\r\n2"), 3,
       "expected a skeleton count of 0, found 2: this file describes skeletons, not suits"},
      {Edited("\r\n2\r\nPELVIS", "\r\nPELVIS"), 8, "expected a skin count, found \"PELVIS\""},
      {Edited("\r\n2\r\nPELVIS", "\r\n99999999999999999999999\r\nPELVIS"), 8,
       "expected a skin count, found \"99999999999999999999999\""},
      {Edited("\r\n2\r\nPELVIS", "\r\n3\r\nPELVIS"), 8, "the skin count is 3, but the suit has 2 skin records"},
      {Edited("\r\n2\r\nPELVIS", "\r\n1\r\nPELVIS"), 8, "the skin count is 1, but the suit has 2 skin records"},
      {Edited("\r\n2\r\nPELVIS", "\r\n1000000000000\r\nPELVIS"), 8,
       "the skin count is 1000000000000, but the suit has 2 skin records"},
      {Edited("\r\n1\r\nmysuit", "\r\n1000000000000\r\nmysuit"), 18, "expected a number, found the end of the file"},
      {Edited("ring\r\n0", "ring\r\nzero"), 15, "expected a number, found \"zero\""},
      {Edited("0\r\n0\r\n0\r\n", "0\r\n0\r\n5\r\n"), 17,
       "expected the final count 0, found 5: a file with more than suits in it is not a suit file"},
      {kBytes + "extra\r\n", 18, "expected the end of the file, found \"extra\""},
      {Edited("ring", "ri\x81ng"), 14, "expected a skin name, found \"ri\\x81ng\", which is not text in Windows-1252"},
      {Edited("mysuit", "my\x01suit"), 5, "expected a suit name, found \"my\\x01suit\", and it contains a control character"},
      {Edited("mysuit", std::string(60, 'x')), 8, ""},  // a long name is fine; the count check follows
  };
  for (const auto& c : cases) {
    if (c.problem.empty()) {
      EXPECT_NO_THROW(ReadCmx(c.bytes, "f.cmx"));
      continue;
    }
    try {
      ReadCmx(c.bytes, "f.cmx");
      ADD_FAILURE() << "read: " << c.problem;
    } catch (const CmxReadError& e) {
      EXPECT_EQ(e.FileName(), "f.cmx");
      EXPECT_EQ(e.Line(), c.line) << c.problem;
      EXPECT_EQ(e.Problem(), c.problem);
    }
  }
}

TEST(ReadCmx, MessageNamesFileAndLine) {
  try {
    ReadCmx(Edited("\r\n2\r\nPELVIS", "\r\nPELVIS"), "dir/f.cmx");
    FAIL();
  } catch (const CmxReadError& e) {
    EXPECT_STREQ(e.what(), "Could not read \"dir/f.cmx\": line 8: expected a skin count, found \"PELVIS\".");
  }
}

TEST(ReadCmxFile, RefusesHugeFilesWithoutReadingThem) {
  const fs::path folder = fs::temp_directory_path() / ("cmx-reader-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  const fs::path huge = folder / "huge.cmx";
  { std::ofstream(huge) << "// header\r\n"; }
  fs::resize_file(huge, std::uintmax_t{1} << 30);  // sparse: takes no disk space
  const fs::path good = folder / "good.cmx";
  { std::ofstream(good, std::ios::binary) << kBytes; }

  const struct {
    fs::path path;
    std::string problem;
  } cases[] = {
      {huge, "the file is 1 GiB, more than a suit file ever holds (at most 1 MiB)"},
      {folder / "missing.cmx", "the file does not exist"},
      {folder, "it is a folder"},
#ifndef _WIN32
      {"/dev/zero", "the file is too large, more than a suit file ever holds (at most 1 MiB)"},
#endif
  };
  for (const auto& c : cases) {
    try {
      ReadCmxFile(c.path);
      ADD_FAILURE() << Utf8FromPath(c.path);
    } catch (const CmxReadError& e) {
      EXPECT_EQ(e.Line(), 0u);
      EXPECT_EQ(e.Problem(), c.problem);
    }
  }
  EXPECT_EQ(ToSuit(ReadCmxFile(good).suits.at(0)), kSuit);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace tailorloft
