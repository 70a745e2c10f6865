// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tailorloft::cli {
namespace {

namespace fs = std::filesystem;

using Accessories = std::vector<std::pair<std::string, std::string>>;

// The bytes of a CMX file, spelled out line by line here rather than taken
// from the writer, so a fault in the writer cannot hide itself. Names are
// given in Windows-1252.
std::string Cmx(const std::string& suitName, const std::string& mainBone,
                const std::string& mainSkin, const Accessories& accessories = {}) {
  std::string cmx = "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n1\r\n" +
                    suitName + "\r\n0\r\n0\r\n" + std::to_string(accessories.size() + 1) + "\r\n" +
                    mainBone + "\r\n" + mainSkin + "\r\n0\r\n0\r\n";
  for (const auto& [bone, skin] : accessories) cmx += bone + "\r\n" + skin + "\r\n0\r\n0\r\n";
  return cmx + "0\r\n";
}

fs::path Utf8Path(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

struct Result {
  int exitCode;
  std::string out;
  std::string err;
};

// Each test works in a folder of its own, with an empty subfolder "out".
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder_ = fs::temp_directory_path() /
              ("tailorloft-cli-test-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(folder_ / "out");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  Result Run(const std::vector<std::string>& args, const fs::path& in = {}) {
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = RunCli(args, in.empty() ? folder_ : in, out, err);
    return {exitCode, out.str(), err.str()};
  }

  std::string Read(const std::string& name) const {
    std::ifstream file(folder_ / Utf8Path(name), std::ios::binary);
    EXPECT_TRUE(file) << name << " was not written";
    return {std::istreambuf_iterator<char>(file), {}};
  }

  void Write(const std::string& name, const std::string& bytes) const {
    fs::create_directories((folder_ / Utf8Path(name)).parent_path());
    std::ofstream(folder_ / Utf8Path(name), std::ios::binary) << bytes;
  }

  // Every file and folder below the test's folder, as UTF-8 relative names.
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
      const std::u8string name = entry.path().lexically_relative(folder_).generic_u8string();
      names.emplace(name.begin(), name.end());
    }
    return names;
  }

  fs::path folder_;
};

struct SaveCase {
  const char* name;
  std::vector<std::string> args;
  std::string file;      // relative to the working folder
  std::string expected;  // its bytes
};

void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.name; }

class SaveTest : public CliTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveTest, WritesExactlyTheSuit) {
  const SaveCase& c = GetParam();
  const Result result = Run(c.args);
  EXPECT_EQ(result.exitCode, kExitSuccess);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(Read(c.file), c.expected);
  // The file and nothing else: no temporary file is left behind.
  std::set<std::string> expected{"out"};
  expected.insert(c.file);
  EXPECT_EQ(Files(), expected);
}

const SaveCase kSaveCases[] = {
    {"WorkedExample", {"-o", "mysuit.cmx", "body1.skn", "L_HAND=ring.skn"}, "mysuit.cmx",
     "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n1\r\nmysuit\r\n0\r\n0\r\n"
     "2\r\nPELVIS\r\nbody1\r\n0\r\n0\r\nL_HAND\r\nring\r\n0\r\n0\r\n0\r\n"},
    {"DefaultNameWithoutDash", {"body1.skn"}, "body1.cmx", Cmx("body1", "PELVIS", "body1")},
    {"DefaultNameIsField2", {"x-C03-HEAD-HEAD.skn"}, "C03.cmx", Cmx("C03", "HEAD", "x-C03-HEAD-HEAD")},
    {"DefaultNameWithOneDashKeepsExtension", {"x-c12.skn"}, "c12.skn.cmx",
     Cmx("c12.skn", "HEAD", "x-c12")},
    {"DefaultNameEndingInCmxAnyCase", {"x-B07.CMX"}, "B07.CMX", Cmx("B07", "PELVIS", "x-B07")},
    {"HeadOverridesName", {"--head", "body1.skn"}, "body1.cmx", Cmx("body1", "HEAD", "body1")},
    {"BodyOverridesName", {"--body", "x-c12.skn"}, "c12.skn.cmx", Cmx("c12.skn", "PELVIS", "x-c12")},
    {"FoldersAreIgnoredAndOrderKept",
     {"skins/x-B07-PELVIS-BODY.skn", "L_HAND=../acc/ring.skn", "/elsewhere/x-hat-HEAD-a.skn",
      "R_HAND=ring.skn"},
     "B07.cmx",
     Cmx("B07", "PELVIS", "x-B07-PELVIS-BODY",
         {{"L_HAND", "ring"}, {"HEAD", "x-hat-HEAD-a"}, {"R_HAND", "ring"}})},
#ifndef _WIN32
    // Only "/" separates folders on this platform; a backslash is an ordinary character.
    {"BackslashIsPartOfTheTitle", {"skins\\x-B07-PELVIS-BODY.skn"}, "B07.cmx",
     Cmx("B07", "PELVIS", "skins\\x-B07-PELVIS-BODY")},
#endif
    {"OutputNamesTheSuit", {"-o", "out/My Suit.CMX", "body1.skn"}, "out/My Suit.CMX",
     Cmx("My Suit", "PELVIS", "body1")},
    {"OutputOfFourCharactersGivesEmptySuitName", {"-o", "abcd", "body1.skn"}, "abcd",
     Cmx("", "PELVIS", "body1")},
    {"BoneBeforeEqualsWinsOverName", {"body1.skn", "SPINE=x-hat-L_HAND-a.skn"}, "body1.cmx",
     Cmx("body1", "PELVIS", "body1", {{"SPINE", "x-hat-L_HAND-a"}})},
    {"EqualsAfterNonBoneIsPartOfName", {"body1.skn", "l_hand=x-a-R_HAND-b.skn"}, "body1.cmx",
     Cmx("body1", "PELVIS", "body1", {{"R_HAND", "l_hand=x-a-R_HAND-b"}})},
    {"SuggestedBoneMatchesExactly", {"body1.skn", "x-belt-SPINE-a.skn"}, "body1.cmx",
     Cmx("body1", "PELVIS", "body1", {{"SPINE", "x-belt-SPINE-a"}})},
    {"SpacesAndSeparatorInTitle", {"body1.skn", "NECK=scarf = long one.skn"}, "body1.cmx",
     Cmx("body1", "PELVIS", "body1", {{"NECK", "scarf = long one"}})},
    {"Utf8Titles", {"café-Ç01-x.skn", "R_HAND=bagué.skn"}, "Ç01.cmx",
     Cmx("\xC7" "01", "PELVIS", "caf\xE9-\xC7" "01-x", {{"R_HAND", "bagu\xE9"}})},
    {"Utf8TitleBehavesLikeAsciiTwin", {"é-c01.skn"}, "c01.skn.cmx", Cmx("c01.skn", "HEAD", "\xE9-c01")},
    {"Utf8OutputExtension", {"-o", "kostüm.çmx", "body1.skn"}, "kostüm.çmx",
     Cmx("kost\xFCm", "PELVIS", "body1")},
};

INSTANTIATE_TEST_SUITE_P(Cli, SaveTest, ::testing::ValuesIn(kSaveCases),
                         [](const auto& param) { return std::string(param.param.name); });

struct ErrorCase {
  const char* name;
  std::vector<std::string> args;
  int exitCode;
  std::string message;  // a fragment of the one message on stderr
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class ErrorTest : public CliTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorTest, ReportsAndWritesNothing) {
  const ErrorCase& c = GetParam();
  const Result result = Run(c.args);
  EXPECT_EQ(result.exitCode, c.exitCode);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err.rfind("tailorloft-cli: ", 0), 0u) << result.err;
  EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  EXPECT_EQ(Files(), std::set<std::string>{"out"});
}

const ErrorCase kErrorCases[] = {
    {"NoBody", {}, kExitUsage, "BODY is required"},
    {"HeadAndBody", {"--head", "--body", "body1.skn"}, kExitUsage, "--head excludes --body"},
    {"UnknownOption", {"--bogus", "body1.skn"}, kExitUsage, "--bogus"},
    {"OutputWithoutName", {"body1.skn", "-o"}, kExitUsage, "-o"},
    {"ShortBodyTitle", {"dir/ab"}, kExitFailure, "\"ab\""},
    {"ShortTitleWithControlCharacters", {"-o", "ok.cmx", "a\nb"}, kExitFailure, "\"a\\nb\" is too short"},
    {"FolderInsteadOfBody", {"skins/"}, kExitFailure, "\"skins/\""},
    {"EmptyDefaultName", {"x--y.skn"}, kExitFailure, "\"x--y.skn\"; name the file with -o"},
    {"DefaultNameOutsideCodePage", {"body-日本-x.skn"}, kExitFailure, "made from \"body-日本-x.skn\""},
    {"BodyOutsideCodePage", {"-o", "ok.cmx", "body-日本-x.skn"}, kExitFailure, "\"body-日本-x.skn\""},
    {"ControlCharacterInBody", {"-o", "ok.cmx", "bo\ndy.skn"}, kExitFailure, "\"bo\\ndy.skn\""},
    {"ShortOutputTitle", {"-o", "out/a", "body1.skn"}, kExitFailure, "\"a\""},
    {"AccessoryWithoutBone", {"body1.skn", "x-hat.skn"}, kExitFailure, "\"x-hat.skn\""},
    {"LowerCaseBoneIsNoBone", {"body1.skn", "l_hand=ring.skn"}, kExitFailure, "\"l_hand=ring.skn\""},
    {"ShortAccessoryTitle", {"body1.skn", "L_HAND=abc"}, kExitFailure, "\"abc\""},
    {"AccessoryOutsideCodePage", {"body1.skn", "L_HAND=日本.skn"}, kExitFailure, "日本.skn"},
    {"MissingOutputFolder", {"-o", "missing/x.cmx", "body1.skn"}, kExitFailure, "missing/x.cmx"},
};

INSTANTIATE_TEST_SUITE_P(Cli, ErrorTest, ::testing::ValuesIn(kErrorCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(CliTest, ExistingFileIsKeptWithoutForce) {
  Write("body1.cmx", "old");
  const Result result = Run({"body1.skn"});
  EXPECT_EQ(result.exitCode, kExitFailure);
  EXPECT_EQ(result.err, "tailorloft-cli: The file \"body1.cmx\" already exists; use -f to replace it.\n");
  EXPECT_EQ(Read("body1.cmx"), "old");
}

TEST_F(CliTest, ExistingFileIsReplacedWithForce) {
  Write("out/suit.cmx", "old content that is longer than the new file would be, to catch leftovers");
  const Result result = Run({"-f", "-o", "out/suit.cmx", "body1.skn"});
  EXPECT_EQ(result.exitCode, kExitSuccess);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(Read("out/suit.cmx"), Cmx("suit", "PELVIS", "body1"));
}

TEST_F(CliTest, StdoutGetsTheBytesAndLeavesFilesAlone) {
  Write("body1.cmx", "old");
  const Result byDefault = Run({"--stdout", "body1.skn", "L_HAND=ring.skn"});
  EXPECT_EQ(byDefault.exitCode, kExitSuccess);
  EXPECT_EQ(byDefault.err, "");
  EXPECT_EQ(byDefault.out, Cmx("body1", "PELVIS", "body1", {{"L_HAND", "ring"}}));

  const Result named = Run({"-o", "out/other.cmx", "--stdout", "body1.skn"});
  EXPECT_EQ(named.exitCode, kExitSuccess);
  EXPECT_EQ(named.out, Cmx("other", "PELVIS", "body1"));

  EXPECT_EQ(Read("body1.cmx"), "old");
  EXPECT_EQ(Files(), (std::set<std::string>{"body1.cmx", "out"}));
}

TEST_F(CliTest, FailedWriteToStdoutIsAFailure) {
  std::ostream broken(nullptr);  // no buffer: every write fails
  std::ostringstream err;
  EXPECT_EQ(RunCli({"--stdout", "body1.skn"}, folder_, broken, err), kExitFailure);
  EXPECT_EQ(err.str(), "tailorloft-cli: Could not write to standard output.\n");
}

TEST_F(CliTest, CheckReportsEachKindOfProblemAndCounts) {
  Write("skins/x-B01-PELVIS-BODY.skn", "");
  Write("skins/HAT.SKN", "");
  Write("skins/x-c02-head.skn", "");
  Write("skins/good.cmx", Cmx("good", "PELVIS", "x-b01-pelvis-body", {{"HEAD", "hat"}}));
  Write("skins/missing.CMX", Cmx("missing", "PELVIS", "x-B01-PELVIS-BODY", {{"HEAD", "cap"}}));
  Write("skins/bone.cmx", Cmx("bone", "PELVIS", "x-B01-PELVIS-BODY", {{"L_PAW", "hat"}}));
  Write("skins/headless.cmx", Cmx("headless", "PELVIS", "x-c02-head"));
  Write("skins/count.cmx", Cmx("count", "PELVIS", "x-B01-PELVIS-BODY", {{"HEAD", "hat"}}).replace(50, 1, "X"));
  std::string wrongCount = Cmx("c", "HEAD", "x-c02-head", {{"HEAD", "hat"}});
  wrongCount.replace(wrongCount.find("\r\n2\r\n"), 5, "\r\n3\r\n");
  Write("skins/records.cmx", wrongCount);
  Write("skins/sub/ignored.cmx", "not read: subfolders are not entered");

  const Result result = Run({"--check", "skins", "nowhere.cmx"});
  EXPECT_EQ(result.exitCode, kExitFailure);
  // Files of a folder are named the platform's way: "skins\\bone.cmx" on Windows.
  const std::string in = (fs::path("skins") / "").string();
  EXPECT_EQ(result.out,
            in + "bone.cmx:13: error: \"L_PAW\" is not a bone of the skeleton\n" +
            in + "count.cmx:2: error: expected \"version 300\", found \"verXion 300\"\n" +
            in + "headless.cmx:9: warning: the main skin \"x-c02-head.skn\" is named as a head but is bound to PELVIS\n" +
            in + "missing.CMX:14: error: the skin file \"cap.skn\" is not in the folder\n" +
            in + "records.cmx:8: error: the skin count is 3, but the suit has 2 skin records\n" +
            "nowhere.cmx: error: no such file or folder\n"
            "7 files, 5 errors, 1 warning\n");
  EXPECT_EQ(result.err, "");

  const Result clean = Run({"--check", "skins/good.cmx"});
  EXPECT_EQ(clean.exitCode, kExitSuccess);
  EXPECT_EQ(clean.out, "1 file, 0 errors, 0 warnings\n");
  EXPECT_EQ(Run({"--check"}).exitCode, kExitUsage);
  EXPECT_EQ(Run({"--check", "skins", "--head"}).exitCode, kExitUsage);
}

TEST_F(CliTest, ShowPrintsTheCommandThatWritesTheSameFile) {
  const std::string files[] = {
      Cmx("B07", "PELVIS", "x-B07-PELVIS-BODY", {{"HEAD", "hat"}, {"L_HAND", "a=b"}}),
      Cmx("my suit's", "HEAD", "-dash", {{"R_HAND", "caf\xE9 \xA4"}}),
      Cmx("-x", "PELVIS", "b"),
  };
  for (const std::string& bytes : files) {
    Write("in.cmx", bytes);
    const Result shown = Run({"--show", "in.cmx"});
    ASSERT_EQ(shown.exitCode, kExitSuccess) << shown.err;
    // Undo the single quotes of a POSIX shell, the only quoting --show uses.
    std::vector<std::string> args;
    std::string word;
    bool quoted = false, inWord = false;
    const std::string line = shown.out.substr(0, shown.out.size() - 1);
    for (std::size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (c == '\\' && !quoted && i + 1 < line.size()) {
        word += line[++i];
      } else if (c == '\'') {
        quoted = !quoted;
        inWord = true;
      } else if (c == ' ' && !quoted) {
        if (inWord) args.push_back(word);
        word.clear();
        inWord = false;
      } else {
        word += c;
        inWord = true;
      }
    }
    args.push_back(word);
    ASSERT_EQ(args.front(), "tailorloft-cli");
    args.erase(args.begin());
    fs::remove_all(folder_ / "out");
    fs::create_directories(folder_ / "out");
    const Result again = Run(args, folder_ / "out");
    ASSERT_EQ(again.exitCode, kExitSuccess) << shown.out << again.err;
    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(folder_ / "out")) written.insert(entry.path().filename().string());
    ASSERT_EQ(written.size(), 1u) << shown.out;
    EXPECT_EQ(Read("out/" + *written.begin()), bytes) << shown.out;
  }
  Write("in.cmx", Cmx("s", "NECK", "b"));
  EXPECT_EQ(Run({"--show", "in.cmx"}).exitCode, kExitFailure);
}

TEST_F(CliTest, VersionAndHelp) {
  const Result version = Run({"--version"});
  EXPECT_EQ(version.exitCode, kExitSuccess);
  EXPECT_EQ(version.out, "tailorloft-cli " TAILORLOFT_VERSION "\n");
  EXPECT_EQ(version.err, "");

  const Result help = Run({"--help"});
  EXPECT_EQ(help.exitCode, kExitSuccess);
  EXPECT_NE(help.out.find("Usage: tailorloft-cli [OPTIONS] BODY [ACCESSORY...]"), std::string::npos);
  EXPECT_NE(help.out.find("R_FINGER0"), std::string::npos);  // the bone list
  EXPECT_EQ(help.err, "");
}

}  // namespace
}  // namespace tailorloft::cli
