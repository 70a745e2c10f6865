// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/wine_registry.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <ostream>
#include <string>

#include "env/paths.h"
#include "temp_folder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tailorloft::env {
namespace {

const WineRegistryQuery kGameQuery{
    {"Software\\Wow6432Node\\Maxis\\The Sims", "Software\\Maxis\\The Sims"}, "InstallPath"};

std::string Registry(std::string_view body) {
  return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n" +
         std::string(body);
}

WineRegistryValue String(std::size_t keyIndex, std::string text) {
  return WineRegistryValue{keyIndex, true, std::move(text)};
}
const WineRegistryValue kNotString{0, false, ""};

struct Case {
  const char* name;
  std::string file;
  std::optional<WineRegistryValue> expected;
  WineRegistryQuery query = kGameQuery;
};

std::vector<Case> Cases() {
  const std::string installed = R"("InstallPath"="C:\\Program Files\\Maxis\\The Sims")";
  return {
      {"32-bit view",
       Registry("[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1700000000\n#time=1d9\n" + installed + "\n"),
       String(0, "C:\\Program Files\\Maxis\\The Sims")},
      {"plain key of a 32-bit prefix",
       Registry("[Software\\\\Maxis\\\\The Sims] 1700000000\n" + installed + "\n"),
       String(1, "C:\\Program Files\\Maxis\\The Sims")},
      {"32-bit view wins though it comes later",
       Registry("[Software\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"C:\\\\64\"\n\n"
                "[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"C:\\\\32\"\n"),
       String(0, "C:\\32")},
      {"32-bit view without the value falls back",
       Registry("[Software\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"C:\\\\64\"\n\n"
                "[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"Other\"=\"x\"\n"),
       String(1, "C:\\64")},
      {"missing key", Registry("[Software\\\\Maxis] 1\n" + installed + "\n"), std::nullopt},
      {"missing value", Registry("[Software\\\\Maxis\\\\The Sims] 1\n\"Install\"=\"C:\\\\x\"\n"), std::nullopt},
      {"sub key and longer name are other keys",
       Registry("[Software\\\\Maxis\\\\The Sims\\\\Sub] 1\n" + installed +
                "\n[Software\\\\Maxis\\\\The Sims 2] 1\n" + installed + "\n"),
       std::nullopt},
      {"value of an earlier key is not carried over",
       Registry("[Software\\\\Other] 1\n" + installed + "\n[Software\\\\Maxis\\\\The Sims] 1\n\"a\"=\"b\"\n"),
       std::nullopt},
      {"names in other case",
       Registry("[SOFTWARE\\\\maxis\\\\THE SIMS] 1\n\"installpath\"=\"D:\\\\Sims\"\n"), String(1, "D:\\Sims")},
      {"empty value", Registry("[Software\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"\"\n"), String(1, "")},
      {"expandable string", Registry("[Software\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=str(2):\"%ProgramFiles%\\\\Sims\"\n"),
       String(1, "%ProgramFiles%\\Sims")},
      {"dword", Registry("[Software\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=dword:00000001\n"),
       WineRegistryValue{1, false, ""}},
      {"binary", Registry("[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=hex:43,00,\\\n  3a,00\n"),
       kNotString},
      {"unterminated string", Registry("[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"C:\\\\x\n"),
       kNotString},
      {"broken str type", Registry("[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=str(zz):\"x\"\n"),
       kNotString},
      {"first of two equal values",
       Registry("[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"a\"\n\"InstallPath\"=\"b\"\n"),
       String(0, "a")},
      {"escapes",
       Registry("[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n"
                R"("InstallPath"="q\"b\\t\tn\nx\x41y\x00e9\x20ac\xd83d\xde00\101\7z\xq")" "\n"),
       String(0, "q\"b\\t\tn\nxAy\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80" "A\az" "xq")},
      {"hex escape takes at most four digits",
       Registry("[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"\\x00411\"\n"), String(0, "A1")},
      {"lone surrogates",
       Registry("[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"\\xd800a\\xdc00\"\n"),
       String(0, "\xEF\xBF\xBD" "a\xEF\xBF\xBD")},
      {"raw UTF-8 and Latin-1 bytes",
       Registry("[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"\xC3\xA9|\xE9\"\n"),
       String(0, "\xC3\xA9|\xC3\xA9")},
      {"embedded NUL is kept for the caller",
       Registry("[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"ab\\0cd\"\n"),
       String(0, std::string("ab\0cd", 5))},
      {"escaped key name",
       Registry("[Software\\\\Wow6432Node\\\\Maxis\\\\The \\x53ims] 1\n" + installed + "\n"),
       String(0, "C:\\Program Files\\Maxis\\The Sims")},
      {"bracket inside a line is no key line",
       Registry("[Software\\\\Other] 1\n\"a\"=\"[Software\\\\Maxis\\\\The Sims]\"\n" + installed + "\n"),
       std::nullopt},
      {"key name with bracket",
       Registry("[Software\\\\a\\]b] 1\n\"v\"=\"x\"\n"), String(0, "x"),
       WineRegistryQuery{{"Software\\a]b"}, "v"}},
      {"default value", Registry("[Software\\\\Maxis] 1\n@=\"d\"\n\"x\"=\"y\"\n"), String(0, "d"),
       WineRegistryQuery{{"Software\\Maxis"}, ""}},
      {"CR LF line ends",
       "WINE REGISTRY Version 2\r\n\r\n[Software\\\\Maxis\\\\The Sims] 1\r\n\"InstallPath\"=\"C:\\\\x\"\r\n",
       String(1, "C:\\x")},
      {"last line without line end", Registry("[Software\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"C:\\\\x\""),
       String(1, "C:\\x")},
      {"comment lines", Registry(";[Software\\\\Maxis\\\\The Sims] 1\n" + installed + "\n"), std::nullopt},
      {"no header", "[Software\\\\Maxis\\\\The Sims] 1\n" + installed + "\n", std::nullopt},
      {"other header", "REGEDIT4\n[Software\\\\Maxis\\\\The Sims] 1\n" + installed + "\n", std::nullopt},
      {"empty file", "", std::nullopt},
      {"header only", "WINE REGISTRY Version 2", std::nullopt},
      {"unterminated key line", Registry("[Software\\\\Maxis\\\\The Sims\n" + installed + "\n"), std::nullopt},
      {"long line skipped whole",
       Registry("[Software\\\\" + std::string(70000, 'x') + "] 1\n" + installed + "\n" +
                "[Software\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"" + std::string(70000, 'y') +
                "\"\n\"InstallPath\"=\"short\"\n"),
       String(1, "short")},
  };
}

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class WineRegistryTest : public ::testing::TestWithParam<Case> {};

TEST_P(WineRegistryTest, WholeFile) {
  EXPECT_EQ(FindWineRegistryValue(GetParam().file, GetParam().query), GetParam().expected);
}

// The streaming scanner gives the same answer however the file is cut up.
TEST_P(WineRegistryTest, InPieces) {
  const std::string& file = GetParam().file;
  for (const std::size_t pieceSize : {std::size_t{1}, std::size_t{2}, std::size_t{5}, std::size_t{4096}}) {
    WineRegistryScanner scanner(GetParam().query);
    for (std::size_t pos = 0; pos < file.size(); pos += pieceSize) {
      if (!scanner.Feed(std::string_view(file).substr(pos, pieceSize))) break;
    }
    EXPECT_EQ(scanner.Finish(), GetParam().expected) << "pieces of " << pieceSize;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WineRegistryTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& param) {
                           std::string name;
                           for (const char c : std::string_view(param.param.name)) {
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           }
                           return name;
                         });

TEST(WineRegistryScannerTest, StopsOnceThe32BitViewHasBeenRead) {
  const std::string head = Registry(
      "[Software\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"C:\\\\64\"\n"
      "[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"Other\"=\"x\"\n");
  WineRegistryScanner scanner(kGameQuery);
  EXPECT_TRUE(scanner.Feed(head));  // the 32-bit key may still hold the value
  EXPECT_FALSE(scanner.Feed("[Software\\\\Wow6432Node\\\\Other] 1\n"));
  EXPECT_EQ(scanner.Finish(), String(1, "C:\\64"));
}

TEST(WineRegistryScannerTest, StopsAtTheValueOfTheBestKey) {
  WineRegistryScanner scanner(kGameQuery);
  EXPECT_FALSE(scanner.Feed(Registry("[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"a\"\n")));
  EXPECT_EQ(scanner.Finish(), String(0, "a"));
}

TEST(WineRegistryFileTest, ReadsAcrossBufferBoundaries) {
  testing::TempFolder folder;
  std::string body;
  while (body.size() < 300000) body += "[Software\\\\Classes\\\\.x" + std::to_string(body.size()) + "] 1\n@=\"f\"\n\n";
  body += "[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"C:\\\\Sims\"\n";
  const auto file = folder.WriteFile("system.reg", Registry(body));
  EXPECT_EQ(FindWineRegistryValueInFile(file, kGameQuery), String(0, "C:\\Sims"));
}

TEST(WineRegistryFileTest, MissingFileIsNotFound) {
  testing::TempFolder folder;
  EXPECT_EQ(FindWineRegistryValueInFile(folder.path() / "system.reg", kGameQuery), std::nullopt);
  EXPECT_EQ(FindWineRegistryValueInFile(folder.path(), kGameQuery), std::nullopt);  // a folder
}

#ifndef _WIN32
// What the lookup reads may be anything a user's files link to: a FIFO nobody
// writes, a device, a /proc file that never ends. Each is read as nothing,
// without blocking (a fault here hangs the test rather than failing it).
TEST(SpecialFilesTest, AreReadAsNothingWithoutBlocking) {
  testing::TempFolder folder;
  const std::filesystem::path fifo = folder.path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::filesystem::path toDevice = folder.path() / "device";
  std::filesystem::create_symlink("/dev/zero", toDevice);
  const std::filesystem::path toProc = folder.path() / "proc";
  std::filesystem::create_symlink("/proc/self/stat", toProc);
  for (const auto& file : {fifo, toDevice, toProc}) {
    const std::optional<std::string> small = ReadSmallFile(file, 1 << 20);
    EXPECT_TRUE(!small || small->empty()) << file;
    EXPECT_FALSE(FindWineRegistryValueInFile(file, kGameQuery)) << file;
  }
}
#endif

}  // namespace
}  // namespace tailorloft::env
