// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cmx_writer.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <type_traits>
#include <vector>
#include <stdexcept>

#include "core/utf8.h"

namespace tailorloft {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeader = "// Character File. Copyright 1997, Maxis Inc.";

class CmxBuilder {
 public:
  explicit CmxBuilder(const CodePage& codePage) : codePage_(codePage) {}

  void Fixed(std::string_view line) { bytes_.append(line).append(kLineEnd); }

  void Name(std::string_view name) {
    // Printable ASCII, nearly every name, has the same bytes in every ANSI
    // code page and nothing to refuse.
    if (std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
      bytes_.append(name).append(kLineEnd);
      return;
    }
    std::string whyRefused;
    const std::optional<std::string> encoded = EncodeName(name, codePage_, whyRefused);
    if (!encoded) {
      throw std::invalid_argument("The name " + QuoteForMessage(name) + " cannot be written: " +
                                  whyRefused + ".");
    }
    bytes_.append(*encoded).append(kLineEnd);
  }

  void Skin(std::string_view bone, std::string_view skinName) {
    // A bone is matched against the skeleton's names, none of which has a
    // space; one at either end is a slip, and reading the file back drops it.
    if (!bone.empty() && (bone.front() == ' ' || bone.back() == ' ')) {
      throw std::invalid_argument("The bone name " + QuoteForMessage(bone) +
                                  " cannot be written: it begins or ends with a space.");
    }
    Name(bone);
    Name(skinName);
    Fixed("0");
    Fixed("0");
  }

  std::string Take() { return std::move(bytes_); }

 private:
  const CodePage& codePage_;
  std::string bytes_;
};

std::string Reason(std::error_code ec) {
  if (ec == std::errc::no_such_file_or_directory) return "the folder does not exist";
  if (ec == std::errc::not_a_directory) return "the folder does not exist";
  if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted) {
    return "permission denied";
  }
  if (ec == std::errc::no_space_on_device) return "the disk is full";
  if (ec == std::errc::read_only_file_system) return "the disk is read-only";
  return ec.message();
}

[[noreturn]] void Fail(const fs::path& target, const std::string& reason) {
  throw CmxWriteError("Could not save " + QuoteForMessage(Utf8FromPath(target)) + ": " + reason +
                      ".");
}

// Temporary files are named ".<target name>.<12 hex digits>.tmp", beside the
// target. When that would be longer than the folder allows, the target's name
// is cut (at a character boundary) so that the whole name fits.
using NameString = fs::path::string_type;
using NameChar = NameString::value_type;

constexpr std::size_t kRandomDigits = 12;
constexpr std::size_t kTemporaryExtra = 1 + 1 + kRandomDigits + 4;  // "." name "." digits ".tmp"

NameString Native(std::string_view ascii) { return NameString(ascii.begin(), ascii.end()); }

// A UTF-8 continuation byte or a UTF-16 low surrogate: not where a character starts.
template <typename Char>
bool ContinuesACharacter(Char c) {
  const auto unit = static_cast<std::make_unsigned_t<Char>>(c);
  if constexpr (sizeof(Char) == 1) {
    return (unit & 0xC0) == 0x80;
  } else {
    return unit >= 0xDC00 && unit <= 0xDFFF;
  }
}

// ".<target name, cut to fit>." : every temporary file of this target starts so.
NameString TemporaryPrefix(const fs::path& target, std::size_t maxNameLength) {
  const NameString name = target.filename().native();
  std::size_t keep = name.size();
  if (keep + kTemporaryExtra > maxNameLength) {
    keep = maxNameLength > kTemporaryExtra ? maxNameLength - kTemporaryExtra : 0;
    while (keep > 0 && ContinuesACharacter(name[keep])) --keep;
  }
  return Native(".") + name.substr(0, keep) + Native(".");
}

bool IsTemporaryName(const NameString& name, const NameString& prefix) {
  const NameString extension = Native(".tmp");
  if (name.size() != prefix.size() + kRandomDigits + extension.size()) return false;
  if (name.compare(0, prefix.size(), prefix) != 0) return false;
  if (name.compare(name.size() - extension.size(), extension.size(), extension) != 0) return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                     name.end() - static_cast<std::ptrdiff_t>(extension.size()), [](NameChar c) {
                       return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
                     });
}

fs::path TemporaryName(const fs::path& target, const NameString& prefix, std::mt19937_64& random) {
  static constexpr char kHex[] = "0123456789abcdef";
  NameString name = prefix;
  for (std::uint64_t bits = random(); name.size() < prefix.size() + kRandomDigits; bits >>= 4) {
    name += static_cast<NameChar>(kHex[bits & 0xF]);
  }
  name += Native(".tmp");
  fs::path temp = target;
  temp.replace_filename(name);
  return temp;
}

// A save takes well under a second; a temporary file untouched for this long
// belongs to a save that was killed, or to a machine that lost power.
constexpr auto kAbandonedAfter = std::chrono::minutes(15);

void RemoveAbandonedTemporaryFiles(FileSystem& fileSystem, const fs::path& target,
                                   const NameString& prefix) {
  std::error_code ec;
  const std::vector<FolderEntry> leftovers = fileSystem.List(
      target.parent_path(),
      [&prefix](const fs::path& name) { return IsTemporaryName(name.native(), prefix); }, ec);
  const fs::file_time_type abandoned = fs::file_time_type::clock::now() - kAbandonedAfter;
  for (const FolderEntry& entry : leftovers) {
    if (entry.type == fs::file_type::regular && entry.lastWrite < abandoned) {
      fileSystem.Remove(target.parent_path() / entry.name);  // best effort: it is not our file
    }
  }
}

// The file a chain of symbolic links ends at; `path` itself when it is no link.
fs::path FollowLinks(FileSystem& fileSystem, const fs::path& path) {
  fs::path current = path;
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code ec;
    const fs::path link = fileSystem.ReadLink(current, ec);
    if (ec) Fail(path, Reason(ec));
    if (link.empty()) return current;
    // A relative link is relative to the folder it is in; an absolute one replaces the path.
    current = current.parent_path() / link;
  }
  Fail(path, Reason(std::make_error_code(std::errc::too_many_symbolic_link_levels)));
}

}  // namespace

std::string FormatCmx(const Suit& suit, const CodePage& codePage) {
  CmxBuilder cmx(codePage);
  cmx.Fixed(kHeader);
  cmx.Fixed("version 300");
  cmx.Fixed("0");
  cmx.Fixed("1");
  cmx.Name(suit.suitName);
  cmx.Fixed("0");
  cmx.Fixed("0");
  cmx.Fixed(std::to_string(suit.accessories.size() + 1));
  cmx.Skin(suit.mainBone, suit.mainSkinName);
  for (const SuitSkin& skin : suit.accessories) cmx.Skin(skin.bone, skin.skinName);
  cmx.Fixed("0");
  return cmx.Take();
}

void WriteCmxFile(const fs::path& fullFileName, const Suit& suit, const CodePage& codePage,
                  FileSystem& fileSystem, ExistingFile existing) {
  // Every name is checked here, before anything on disk is touched.
  WriteFileSafely(fullFileName, FormatCmx(suit, codePage), fileSystem, existing);
}

void WriteFileSafely(const fs::path& fullFileName, std::string_view bytes, FileSystem& fileSystem,
                     ExistingFile existing) {
  const bool keep = existing == ExistingFile::kKeep;
  const auto failExists = [&] {
    throw CmxFileExists("Could not save " + QuoteForMessage(Utf8FromPath(fullFileName)) +
                        ": the file already exists.");
  };

  std::error_code ec;
  fs::path target = fullFileName;
  if (keep) {
    // Any entry of that name counts, a link to nowhere too.
    if (!fileSystem.ReadLink(fullFileName, ec).empty()) failExists();
    if (ec) Fail(fullFileName, Reason(ec));
  } else {
    target = FollowLinks(fileSystem, fullFileName);
  }

  const fs::file_status status = fileSystem.Status(target, ec);
  if (ec) Fail(fullFileName, Reason(ec));
  const bool exists = status.type() != fs::file_type::not_found;
  if (exists) {
    if (keep) failExists();
    if (status.type() == fs::file_type::directory) Fail(fullFileName, "it is a folder");
    if (status.type() != fs::file_type::regular) Fail(fullFileName, "it is not a regular file");
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
      Fail(fullFileName, "the file is read-only");
    }
    if ((ec = fileSystem.CheckWritable(target))) Fail(fullFileName, Reason(ec));
  }

  const NameString prefix = TemporaryPrefix(target, fileSystem.MaxNameLength(target.parent_path()));
  RemoveAbandonedTemporaryFiles(fileSystem, target, prefix);

  std::mt19937_64 random{std::random_device{}()};
  fs::path temp;
  for (int attempt = 0;; ++attempt) {
    temp = TemporaryName(target, prefix, random);
    ec = fileSystem.CreateAndWrite(temp, bytes, exists ? &target : nullptr);
    if (ec != std::errc::file_exists) break;
    if (attempt == 100) Fail(fullFileName, Reason(ec));
  }
  const auto failAndClean = [&](std::error_code error) {
    fileSystem.Remove(temp);
    if (keep && error == std::errc::file_exists) failExists();
    Fail(fullFileName, Reason(error));
  };
  if (ec) failAndClean(ec);
  if ((ec = fileSystem.Rename(temp, target, !keep))) failAndClean(ec);
}

}  // namespace tailorloft
