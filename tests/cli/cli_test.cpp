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

#include "core/utf8.h"
#include "tests/game/game_test_files.h"

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

  // The game is where `game_` says ("ERROR": nowhere), never a game this
  // machine may have installed.
  Result Run(const std::vector<std::string>& args, const fs::path& in = {}) {
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode =
        RunCli(args, in.empty() ? folder_ : in, out, err, RealFileSystem(), [this] { return game_; });
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
  std::string game_ = "ERROR";
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
    {"CheckWithoutPath", {"--check", "--json"}, kExitUsage, "--check needs a PATH"},
    {"CheckWithWritingOption", {"--check", "skins", "--head"}, kExitUsage, "--check writes no suit, so --head"},
    {"JsonWithoutCheck", {"--json", "body1.skn"}, kExitUsage, "--json goes with --check only"},
    {"GameWithoutCheck", {"--game", "g", "--show", "in.cmx"}, kExitUsage, "--game goes with --check"},
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

// The rules themselves are tried in tests/game; here, how tailorloft-cli
// reports what they find.
class CheckTest : public CliTest {
 protected:
  // B01.cmx with its mesh and a texture for each skin tone: nothing to report.
  void WriteCleanSuit() {
    using namespace game::testing;
    Write("skins/x-B01-PELVIS-BODY.skn", SknText(BoxMesh("x-B01-PELVIS-BODY", "x", "PELVIS")));
    for (const char* tone : {"lgt", "med", "drk"}) {
      Write(std::string("skins/B01") + tone + "_a.bmp", BmpBytes(32, 32, 8));
    }
    Write("skins/B01.cmx", Cmx("B01", "PELVIS", "x-B01-PELVIS-BODY"));
  }
};

TEST_F(CheckTest, PrintsFindingsSortedWithCodesAndWritesNothing) {
  WriteCleanSuit();
  Write("skins/B02.cmx", Cmx("B02", "PELVIS", "x-B01-PELVIS-BODY", {{"L_PAW", "cap"}}));
  Write("skins/odd.cmx", Cmx("odd", "PELVIS", "x").replace(50, 1, "X"));
  Write("skins/sub/B03.cmx", Cmx("B03", "PELVIS", "x"));
  const std::set<std::string> before = Files();

  const Result result = Run({"--check", "skins", "nowhere.cmx"});
  EXPECT_EQ(result.exitCode, kExitFailure);
  // Files of a folder are named the platform's way: "skins\\B02.cmx" on Windows.
  const std::string in = (fs::path("skins") / "").string();
  EXPECT_EQ(result.out,
            "nowhere.cmx: error: no such file or folder [unreadable]\n" +
            in + "B02.cmx:5: error: no texture pairs with the suit's code \"B02\", so the game offers the suit "
                 "to no Sim; add textures named \"B02lgt_NAME.bmp\", \"B02med_NAME.bmp\" and "
                 "\"B02drk_NAME.bmp\" for light, medium and dark skin [missing-texture]\n" +
            in + "B02.cmx:13: error: \"L_PAW\" is not a bone of any skeleton the game has; bind the skin to "
                 "one of the adult skeleton's bones, such as PELVIS, HEAD or R_HAND [unknown-bone]\n" +
            in + "B02.cmx:14: error: the mesh \"cap\" is neither beside the suit nor in the game; put "
                 "\"cap.skn\" beside the suit [missing-mesh]\n" +
            in + "odd.cmx:2: error: expected \"version 300\", found \"verXion 300\" [unreadable]\n" +
            in + "sub: warning: the game reads no subfolder of a skin folder, so the 1 suit file here is not "
                 "used; move what belongs to a suit up into \"skins\" [wrong-folder]\n"
                 "8 files, 5 errors, 1 warning\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(Files(), before);

  const Result clean = Run({"--check", "skins/B01.cmx"});
  EXPECT_EQ(clean.exitCode, kExitSuccess);
  EXPECT_EQ(clean.out, "5 files, 0 errors, 0 warnings\n");
}

TEST_F(CheckTest, JsonForTools) {
  WriteCleanSuit();
  Write("skins/B02.cmx", Cmx("B02", "PELVIS", "x-B01-PELVIS-BODY", {{"L_PAW", "cap"}}));
  const Result result = Run({"--check", "--json", "skins/B02.cmx"});
  EXPECT_EQ(result.exitCode, kExitFailure);
  EXPECT_EQ(result.out,
            R"({"files":2,"errors":3,"warnings":0,"findings":[)"
            R"({"file":"skins/B02.cmx","line":5,"severity":"error","code":"missing-texture","message":)"
            R"("no texture pairs with the suit's code \"B02\", so the game offers the suit to no Sim; add )"
            R"(textures named \"B02lgt_NAME.bmp\", \"B02med_NAME.bmp\" and \"B02drk_NAME.bmp\" for light, )"
            R"(medium and dark skin"},)"
            R"({"file":"skins/B02.cmx","line":13,"severity":"error","code":"unknown-bone","message":)"
            R"("\"L_PAW\" is not a bone of any skeleton the game has; bind the skin to one of the adult )"
            R"(skeleton's bones, such as PELVIS, HEAD or R_HAND"},)"
            R"({"file":"skins/B02.cmx","line":14,"severity":"error","code":"missing-mesh","message":)"
            R"("the mesh \"cap\" is neither beside the suit nor in the game; put \"cap.skn\" beside the )"
            R"(suit"}]})"
            "\n");
  // Options and PATHs in any order.
  EXPECT_EQ(Run({"--json", "--check", "skins/B02.cmx"}).out, result.out);
  EXPECT_EQ(Run({"--check", "skins/B02.cmx", "--json"}).out, result.out);
  const Result clean = Run({"--check", "skins/B01.cmx", "--json"});
  EXPECT_EQ(clean.exitCode, kExitSuccess);
  EXPECT_EQ(clean.out, "{\"files\":5,\"errors\":0,\"warnings\":0,\"findings\":[]}\n");
}

TEST_F(CheckTest, LooksForMeshesInTheGame) {
  WriteCleanSuit();
  Write("skins/B02.cmx", Cmx("B02", "PELVIS", "x-B01-PELVIS-BODY", {{"HEAD", "hat"}}));
  for (const char* tone : {"lgt", "med", "drk"}) {
    Write(std::string("skins/B02") + tone + "_a.bmp", game::testing::BmpBytes(32, 32, 8));
  }
  Write("The Sims/GameData/Skins/hat.skn", game::testing::SknText(game::testing::BoxMesh("hat", "hat", "HEAD")));
  Write("The Sims/GameData/Skins/hat.bmp", game::testing::BmpBytes(32, 32, 8));
  const std::string missing =
      "skins/B02.cmx:14: error: the mesh \"hat\" is neither beside the suit nor in the game; put "
      "\"hat.skn\" beside the suit [missing-mesh]\n"
      "5 files, 1 error, 0 warnings\n";

  // No game: the hat is missing; with the game, by --game or as found, it is not.
  EXPECT_EQ(Run({"--check", "skins/B02.cmx"}).out, missing);
  const Result given = Run({"--check", "--game", "The Sims", "skins/B02.cmx"});
  EXPECT_EQ(given.exitCode, kExitSuccess) << given.out;
  EXPECT_EQ(given.out, "7 files, 0 errors, 0 warnings\n");  // the game's hat and its texture too
  game_ = Utf8FromPath(folder_ / "The Sims");
  const Result found = Run({"--check", "skins/B02.cmx"});
  EXPECT_EQ(found.exitCode, kExitSuccess) << found.out;
  EXPECT_EQ(found.out, given.out);
  // A --game folder that is not the game's is a wrong command line.
  const Result wrong = Run({"--check", "--game", "skins", "skins/B02.cmx"});
  EXPECT_EQ(wrong.exitCode, kExitUsage);
  EXPECT_EQ(wrong.out, "");
  EXPECT_EQ(wrong.err, "tailorloft-cli: \"skins\" is not the game's folder: it holds no GameData folder.\n");
}

#ifndef _WIN32
// Names are any bytes here but "/"; a control character in one is shown escaped.
TEST_F(CheckTest, ControlCharactersInNamesAreEscaped) {
  WriteCleanSuit();
  Write("skins/stray\x1B[31m.skn", game::testing::SknText(game::testing::BoxMesh("stray\x1B[31m", "x", "HEAD")));
  const Result result = Run({"--check", "skins"});
  EXPECT_EQ(result.out,
            "skins/stray\\x1B[31m.skn: warning: no suit here or in the game uses this mesh; name it in a "
            "suit, or remove it [unused]\n"
            "6 files, 0 errors, 1 warning\n");
  const Result json = Run({"--check", "--json", "skins"});
  EXPECT_NE(json.out.find(R"({"file":"skins/stray\u001b[31m.skn","line":0,)"), std::string::npos) << json.out;
}
#endif

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

// The CLI names a suit's file after the suit, so a suit named otherwise than
// its file comes back under the suit's name, and --show says so.
TEST_F(CliTest, ShowSaysWhenTheLineWritesAnotherFile) {
  Write("S200FAFit_BWar.cmx", Cmx("S200fafit_bwar", "PELVIS", "body"));
  const Result shown = Run({"--show", "S200FAFit_BWar.cmx"});
  EXPECT_EQ(shown.exitCode, kExitSuccess);
  EXPECT_EQ(shown.out, "tailorloft-cli --body -o S200fafit_bwar.cmx body.skn\n");
  EXPECT_EQ(shown.err,
            "tailorloft-cli: The suit in \"S200FAFit_BWar.cmx\" is named \"S200fafit_bwar\", so the line "
            "writes \"S200fafit_bwar.cmx\", a file named after the suit, not \"S200FAFit_BWar.cmx\".\n");
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
