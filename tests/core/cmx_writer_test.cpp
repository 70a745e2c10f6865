// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cmx_writer.h"
#include "core/utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tailorloft {
namespace {

namespace fs = std::filesystem;

const std::string kHead = "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n1\r\n";

TEST(FormatCmx, WritesTheWorkedExampleExactly) {
  const Suit suit{"mysuit", "PELVIS", "body1", {{"L_HAND", "ring"}}};
  EXPECT_EQ(FormatCmx(suit), kHead +
                                 "mysuit\r\n0\r\n0\r\n2\r\n"
                                 "PELVIS\r\nbody1\r\n0\r\n0\r\n"
                                 "L_HAND\r\nring\r\n0\r\n0\r\n"
                                 "0\r\n");
}

TEST(FormatCmx, ASuitWithoutAccessoriesHasThirteenLines) {
  const Suit suit{"", "HEAD", "abc", {}};
  EXPECT_EQ(FormatCmx(suit), kHead + "\r\n0\r\n0\r\n1\r\nHEAD\r\nabc\r\n0\r\n0\r\n0\r\n");
}

TEST(FormatCmx, CountsAndOrdersManyAccessories) {
  Suit suit{"s", "PELVIS", "b", {}};
  for (int i = 0; i < 250; ++i) suit.accessories.push_back({"B" + std::to_string(i), "s"});
  const std::string text = FormatCmx(suit);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line, '\n');) lines.push_back(line);
  ASSERT_EQ(lines.size(), 13u + 4u * 250u);
  EXPECT_EQ(lines[7], "251\r");
  EXPECT_EQ(lines[12], "B0\r");
  EXPECT_EQ(lines[12 + 4 * 249], "B249\r");
  EXPECT_EQ(lines.back(), "0\r");
}

TEST(FormatCmx, WritesNamesInTheCodePage) {
  const Suit suit{"café", "PELVIS", "Ç01", {{"L_HAND", "€"}}};
  const std::string bytes = FormatCmx(suit);
  EXPECT_NE(bytes.find("\r\ncaf\xE9\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n\xC7" "01\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n\x80\r\n"), std::string::npos);
}

TEST(FormatCmx, RefusesNamesThatWouldBreakTheFile) {
  for (const Suit& suit : {Suit{"a\nb", "PELVIS", "b", {}}, Suit{"a", "PEL\rVIS", "b", {}},
                           Suit{"a", "PELVIS", "b\x7F", {}}, Suit{"a", "PELVIS", "b", {{"\t", "c"}}},
                           Suit{"a", "PELVIS", "b", {{"L_HAND", "✓"}}},
                           Suit{"a", "PELVIS", "b", {{"L_HAND ", "c"}}}}) {
    EXPECT_THROW(FormatCmx(suit), std::invalid_argument);
  }
}

// A scratch folder per test, removed afterwards.
class WriteCmxFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("tailorloft-core-" + std::to_string(random()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }

  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
  const Suit suit_{"mysuit", "PELVIS", "body1", {{"L_HAND", "ring"}}};
  const std::string oldBytes_ = std::string(5000, 'x') + "old content";
};

TEST_F(WriteCmxFileTest, WritesANewFile) {
  WriteCmxFile(dir_ / "mysuit.cmx", suit_);
  EXPECT_EQ(Read(dir_ / "mysuit.cmx"), FormatCmx(suit_));
  EXPECT_EQ(Entries(), std::vector<std::string>{"mysuit.cmx"});
}

TEST_F(WriteCmxFileTest, ReplacesALongerFileLeavingNoneOfItsContent) {
  Write(dir_ / "mysuit.cmx", oldBytes_);
  WriteCmxFile(dir_ / "mysuit.cmx", suit_);
  EXPECT_EQ(Read(dir_ / "mysuit.cmx"), FormatCmx(suit_));
  EXPECT_EQ(Entries(), std::vector<std::string>{"mysuit.cmx"});
}

TEST_F(WriteCmxFileTest, KeepsTheExistingFilesPermissions) {
  const fs::path target = dir_ / "mysuit.cmx";
  Write(target, oldBytes_);
#ifdef _WIN32
  // Windows files carry attributes instead (read-only files are refused).
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), kept));
  WriteCmxFile(target, suit_);
  EXPECT_EQ(GetFileAttributesW(target.c_str()) & kept, kept);
#else
  const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(target, perms);
  WriteCmxFile(target, suit_);
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::mask, perms);
#endif
}

TEST_F(WriteCmxFileTest, RefusalsLeaveTheDiskAsItWas) {
  const fs::path readOnly = dir_ / "readonly.cmx";
  Write(readOnly, oldBytes_);
  fs::permissions(readOnly, fs::perms::owner_read);
  fs::create_directory(dir_ / "folder.cmx");

  const std::pair<fs::path, const char*> cases[] = {
      {readOnly, "the file is read-only"},
      {dir_ / "folder.cmx", "it is a folder"},
      {dir_ / "gone" / "mysuit.cmx", "the folder does not exist"},
      {dir_ / "readonly.cmx" / "mysuit.cmx", "the folder does not exist"},
  };
  for (const auto& [target, reason] : cases) {
    try {
      WriteCmxFile(target, suit_);
      ADD_FAILURE() << "no error for " << target;
    } catch (const CmxWriteError& e) {
      EXPECT_EQ(std::string(e.what()),
                "Could not save \"" + Utf8FromPath(target) + "\": " + reason + ".");
    }
  }
  EXPECT_EQ(Read(readOnly), oldBytes_);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"folder.cmx", "readonly.cmx"}));
}

TEST_F(WriteCmxFileTest, ARefusedNameTouchesNothing) {
  const fs::path target = dir_ / "mysuit.cmx";
  Write(target, oldBytes_);
  EXPECT_THROW(WriteCmxFile(target, Suit{"bad\nname", "PELVIS", "b", {}}), std::invalid_argument);
  EXPECT_EQ(Read(target), oldBytes_);
  EXPECT_EQ(Entries(), std::vector<std::string>{"mysuit.cmx"});
}

// The real disk, but one chosen step fails the way a full disk or a refused
// rename would; a failed write leaves half of the bytes behind first.
class FailingDisk : public ForwardingFileSystem {
 public:
  enum class Step { kWrite, kPermissions, kRename };
  explicit FailingDisk(Step step) : step_(step) {}

  std::error_code CreateAndWrite(const fs::path& path, std::string_view bytes,
                                 const fs::path* like) override {
    if (step_ == Step::kWrite) {
      ForwardingFileSystem::CreateAndWrite(path, bytes.substr(0, bytes.size() / 2), nullptr);
      return std::make_error_code(std::errc::no_space_on_device);
    }
    if (step_ == Step::kPermissions && like) {
      ForwardingFileSystem::CreateAndWrite(path, bytes, nullptr);
      return std::make_error_code(std::errc::operation_not_permitted);
    }
    return ForwardingFileSystem::CreateAndWrite(path, bytes, like);
  }
  std::error_code Rename(const fs::path& from, const fs::path& to, bool replace) override {
    if (step_ == Step::kRename) return std::make_error_code(std::errc::permission_denied);
    return ForwardingFileSystem::Rename(from, to, replace);
  }

 private:
  Step step_;
};

TEST_F(WriteCmxFileTest, AFailureHalfwayLeavesTheOldFileIntactAndNoTemporaryFile) {
  const fs::path target = dir_ / "mysuit.cmx";
  const std::pair<FailingDisk::Step, const char*> cases[] = {
      {FailingDisk::Step::kWrite, "the disk is full"},
      {FailingDisk::Step::kPermissions, "permission denied"},
      {FailingDisk::Step::kRename, "permission denied"},
  };
  for (const auto& [step, reason] : cases) {
    Write(target, oldBytes_);
    FailingDisk disk(step);
    try {
      WriteCmxFile(target, suit_, Windows1252(), disk);
      ADD_FAILURE() << "no error";
    } catch (const CmxWriteError& e) {
      EXPECT_EQ(std::string(e.what()),
                "Could not save \"" + Utf8FromPath(target) + "\": " + reason + ".");
    }
    EXPECT_EQ(Read(target), oldBytes_);
    EXPECT_EQ(Entries(), std::vector<std::string>{"mysuit.cmx"});
  }
}

// Saving to a link writes the file it names, beside that file, and the link
// stays; a hard link keeps the old content. Without replacing, any entry of
// the name counts, a link to nowhere too.
TEST_F(WriteCmxFileTest, WritesThroughLinksAndSplitsHardLinks) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need a privilege on Windows";
#else
  const std::string newBytes = FormatCmx(suit_);
  const struct {
    const char* name;
    std::vector<std::pair<const char*, const char*>> links;  // link, what it names
    bool realExists;
  } cases[] = {
      {"a link to a file", {{"link.cmx", "o/real.cmx"}}, true},
      {"a link to nowhere", {{"link.cmx", "o/real.cmx"}}, false},
      {"a chain of links", {{"link.cmx", "middle.cmx"}, {"middle.cmx", "o/real.cmx"}}, true},
  };
  for (const auto& c : cases) {
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "o");
    if (c.realExists) Write(dir_ / "o/real.cmx", oldBytes_);
    for (const auto& [link, named] : c.links) fs::create_symlink(named, dir_ / link);

    EXPECT_THROW(WriteCmxFile(dir_ / "link.cmx", suit_, Windows1252(), RealFileSystem(), ExistingFile::kKeep),
                 CmxFileExists)
        << c.name;
    WriteCmxFile(dir_ / "link.cmx", suit_);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.cmx")) << c.name;
    EXPECT_EQ(Read(dir_ / "o/real.cmx"), newBytes) << c.name;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "o"), fs::directory_iterator()), 1) << c.name;
  }

  Write(dir_ / "one.cmx", oldBytes_);
  fs::create_hard_link(dir_ / "one.cmx", dir_ / "two.cmx");
  WriteCmxFile(dir_ / "one.cmx", suit_);
  EXPECT_EQ(Read(dir_ / "one.cmx"), newBytes);
  EXPECT_EQ(Read(dir_ / "two.cmx"), oldBytes_);
#endif
}

// The real disk, with the longest name a folder takes set by the test; every
// temporary file's name is recorded.
class NameLimitDisk : public ForwardingFileSystem {
 public:
  explicit NameLimitDisk(std::size_t limit) : limit_(limit) {}
  std::size_t MaxNameLength(const fs::path& folder) override {
    return std::min(limit_, ForwardingFileSystem::MaxNameLength(folder));
  }
  std::error_code CreateAndWrite(const fs::path& path, std::string_view bytes,
                                 const fs::path* like) override {
    temporaryNames.push_back(path.filename().native());
    return ForwardingFileSystem::CreateAndWrite(path, bytes, like);
  }
  std::vector<fs::path::string_type> temporaryNames;

 private:
  std::size_t limit_;
};

// Any name the folder takes can be saved: the temporary name is cut to the
// same limit, never inside a character.
TEST_F(WriteCmxFileTest, NamesUpToTheFoldersLimitCanBeSaved) {
  std::string accented;
  for (int i = 0; i < 20; ++i) accented += "\xc3\xa9";  // é
  const struct {
    std::string name;
    std::size_t limit;
  } cases[] = {
      {std::string(251, 'b') + ".cmx", 255},  // the longest name ext4 and NTFS take
      {std::string(237, 'b') + ".cmx", 255},
      {accented + ".cmx", 30},  // cut where a character would be split
      {"b" + accented + ".cmx", 30},
  };
  for (const auto& c : cases) {
    const fs::path target = dir_ / PathFromUtf8(c.name);
    if (c.name.size() > ForwardingFileSystem().MaxNameLength(dir_)) continue;  // a folder on a smaller disk
    NameLimitDisk disk(std::max(c.limit, c.name.size()));
    WriteCmxFile(target, suit_, Windows1252(), disk);
    EXPECT_EQ(Read(target), FormatCmx(suit_)) << c.name;
    ASSERT_EQ(disk.temporaryNames.size(), 1u) << c.name;
    const fs::path::string_type& temporary = disk.temporaryNames.front();
    EXPECT_LE(temporary.size(), std::max(c.limit, c.name.size())) << c.name;
    const std::string utf8 = Utf8FromPath(fs::path(temporary));
    bool malformed = false;
    for (std::size_t pos = 0; pos < utf8.size() && !malformed;) DecodeChar(utf8, pos, &malformed);
    EXPECT_FALSE(malformed) << c.name;
    EXPECT_EQ(Entries(), std::vector<std::string>{fs::path(target).filename().string()}) << c.name;
    fs::remove(target);
  }
}

// Temporary files a killed save left behind are removed by the next save of
// the same file once clearly abandoned; nothing else is touched.
TEST_F(WriteCmxFileTest, RemovesAbandonedTemporaryFilesOfTheSameFileOnly) {
  const auto make = [this](const char* name, std::chrono::minutes age) {
    Write(dir_ / name, "left behind");
    fs::last_write_time(dir_ / name, fs::file_time_type::clock::now() - age);
  };
  make(".mysuit.cmx.0123456789ab.tmp", std::chrono::minutes(20));   // abandoned
  make(".mysuit.cmx.ba9876543210.tmp", std::chrono::minutes(1));    // a save may still own it
  make(".other.cmx.0123456789ab.tmp", std::chrono::minutes(20));    // another file's
  make(".mysuit.cmx.notmine12345.tmp", std::chrono::minutes(20));   // not a name the writer makes
  make("mysuit.cmx.0123456789ab.tmp", std::chrono::minutes(20));

  WriteCmxFile(dir_ / "mysuit.cmx", suit_);
  EXPECT_EQ(Entries(), (std::vector<std::string>{".mysuit.cmx.ba9876543210.tmp", ".mysuit.cmx.notmine12345.tmp",
                                                 ".other.cmx.0123456789ab.tmp", "mysuit.cmx",
                                                 "mysuit.cmx.0123456789ab.tmp"}));
}

}  // namespace
}  // namespace tailorloft
