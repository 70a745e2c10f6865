#include "core/cmx_writer.h"

#include <algorithm>
#include <random>
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

// A name beside the target that no other file is likely to have.
fs::path TemporaryName(const fs::path& target, std::mt19937_64& random) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string suffix;
  for (std::uint64_t bits = random(); suffix.size() < 12; bits >>= 4) suffix += kHex[bits & 0xF];
  fs::path temp = target;
  temp.replace_filename("." + target.filename().string() + "." + suffix + ".tmp");
  return temp;
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
                  FileSystem& fileSystem) {
  // Every name is checked here, before anything on disk is touched.
  const std::string bytes = FormatCmx(suit, codePage);

  std::error_code ec;
  const fs::file_status status = fileSystem.Status(fullFileName, ec);
  if (ec) Fail(fullFileName, Reason(ec));
  const bool exists = status.type() != fs::file_type::not_found;
  if (exists) {
    if (status.type() == fs::file_type::directory) Fail(fullFileName, "it is a folder");
    if (status.type() != fs::file_type::regular) Fail(fullFileName, "it is not a regular file");
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
      Fail(fullFileName, "the file is read-only");
    }
  }

  std::mt19937_64 random{std::random_device{}()};
  fs::path temp;
  for (int attempt = 0;; ++attempt) {
    temp = TemporaryName(fullFileName, random);
    ec = fileSystem.CreateAndWrite(temp, bytes);
    if (ec != std::errc::file_exists) break;
    if (attempt == 100) Fail(fullFileName, Reason(ec));
  }
  const auto failAndClean = [&](std::error_code error) {
    fileSystem.Remove(temp);
    Fail(fullFileName, Reason(error));
  };
  if (ec) failAndClean(ec);
  if (exists) {
    if ((ec = fileSystem.SetPermissions(temp, status.permissions()))) failAndClean(ec);
  }
  if ((ec = fileSystem.Rename(temp, fullFileName))) failAndClean(ec);
}

}  // namespace tailorloft
