// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/suit_check.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "core/attachment.h"
#include "core/fold_case.h"
#include "core/skin_names.h"
#include "core/utf8.h"
#include "game/bmp.h"
#include "game/far.h"
#include "game/file_kind.h"
#include "game/read_error.h"
#include "game/texture_names.h"

namespace tailorloft::game {
namespace {

namespace fs = std::filesystem;

// Enough for SniffFileKind.
constexpr std::size_t kSniffBytes = 512;
// Deeper than any skin folder goes; stops a loop of junctions.
constexpr int kMaxSubfolderDepth = 16;
// A mesh exported broken breaks everywhere; the first few faults say enough.
constexpr std::size_t kShownStructureProblems = 10;

Finding Make(const std::string& file, std::size_t line, Severity severity, std::string_view code,
             std::string message) {
  return {file, line, severity, std::string(code), std::move(message)};
}

std::string SizeText(std::uint64_t bytes) {
  if (bytes >= (std::uint64_t{1} << 30)) return std::to_string(bytes >> 30) + " GiB";
  if (bytes >= (std::uint64_t{1} << 20)) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

std::string Counted(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// "a", "a and b", "a, b and c".
std::string Listed(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += i + 1 == items.size() ? " and " : ", ";
    text += items[i];
  }
  return text;
}

std::string_view ToneWord(Tone tone) {
  switch (tone) {
    case Tone::kLight:
      return "light";
    case Tone::kMedium:
      return "medium";
    case Tone::kDark:
      return "dark";
  }
  return "";
}

bool IsPowerOfTwo(std::int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

// What a picture that is not a BMP is, for the message.
std::string PictureKind(std::string_view bytes) {
  if (bytes.empty()) return "empty";
  if (bytes.substr(0, 4) == "\x89PNG") return "a PNG picture";
  if (bytes.substr(0, 3) == "\xFF\xD8\xFF") return "a JPEG picture";
  if (bytes.substr(0, 4) == "GIF8") return "a GIF picture";
  if (bytes.substr(0, 4) == "DDS ") return "a DDS texture";
  return std::string(DescribeFileKind(SniffFileKind(bytes)));
}

std::string CompressionName(std::uint32_t compression) {
  switch (compression) {
    case 1:
      return "RLE8";
    case 2:
      return "RLE4";
    case 3:
      return "bit fields";
    case 4:
      return "JPEG";
    case 5:
      return "PNG";
    default:
      return "type " + std::to_string(compression);
  }
}

std::string NotAFile(fs::file_type type) {
  switch (type) {
    case fs::file_type::fifo:
      return "it is a FIFO (a named pipe), not a file; it was not read";
    case fs::file_type::character:
    case fs::file_type::block:
      return "it is a device, not a file; it was not read";
    case fs::file_type::socket:
      return "it is a socket, not a file; it was not read";
    case fs::file_type::directory:
      return "it is a folder, not a file";
    default:
      return "it is not a regular file; it was not read";
  }
}

std::string ShownPath(const fs::path& path) { return Utf8FromPath(path); }

}  // namespace

// ---------------------------------------------------------------------------
// The rules.

KnownBones::KnownBones() {
  bones_.insert("ROOT");
  for (const std::string& bone : AttachmentPoints()) bones_.insert(bone);
}

void KnownBones::Add(const Skeleton& skeleton) {
  for (const Bone& bone : skeleton.bones) bones_.insert(bone.name);
}

bool KnownBones::Has(std::string_view bone) const { return bones_.count(std::string(bone)) > 0; }

std::vector<Finding> SuitNameFindings(const CmxSuit& suit, std::string_view fileStem, const std::string& file) {
  if (FoldedKey(suit.suitName) == FoldedKey(fileStem)) return {};
  return {Make(file, suit.nameLine, Severity::kError, "suit-name",
               "the suit is named " + QuoteForMessage(suit.suitName) + ", not " + QuoteForMessage(fileStem) +
                   " as its file, and the game ignores a suit whose name is not its file's; rename the file "
                   "or the suit")};
}

std::vector<Finding> MainBoneFindings(const CmxSuit& suit, const std::string& file) {
  if (suit.skins.empty()) return {};
  static const KnownBones adult;
  const CmxSkinRecord& skin = suit.skins.front();
  const std::string skinFile = QuoteForMessage(skin.skinName + ".skn");
  const bool namedAsHead = IsHeadSkin(skin.skinName + ".skn");
  std::string message;
  // The rule the window uses to choose Head or Body.
  if (skin.bone == "PELVIS" && namedAsHead) {
    message = "the main skin " + skinFile + " is named as a head but is bound to PELVIS";
  } else if (skin.bone == "HEAD" && !namedAsHead) {
    message = "the main skin " + skinFile + " is named as a body but is bound to HEAD";
  } else if (skin.bone != "PELVIS" && skin.bone != "HEAD" && adult.Has(skin.bone)) {
    message = "the main skin is bound to " + skin.bone + ", not to PELVIS (a body) or HEAD (a head)";
  } else {
    return {};
  }
  return {Make(file, skin.line, Severity::kWarning, "main-bone", std::move(message))};
}

std::vector<Finding> SuitBoneFindings(const CmxSuit& suit, const KnownBones& bones, const std::string& file) {
  std::vector<Finding> findings;
  for (const CmxSkinRecord& skin : suit.skins) {
    if (bones.Has(skin.bone)) continue;
    findings.push_back(Make(file, skin.line, Severity::kError, "unknown-bone",
                            QuoteForMessage(skin.bone) +
                                " is not a bone of any skeleton the game has; bind the skin to one of the "
                                "adult skeleton's bones, such as PELVIS, HEAD or R_HAND"));
  }
  return findings;
}

std::vector<Finding> MeshBoneFindings(const Mesh& mesh, const KnownBones& bones, const std::string& file) {
  std::vector<Finding> findings;
  for (std::size_t i = 0; i < mesh.bones.size(); ++i) {
    if (bones.Has(mesh.bones[i])) continue;
    const bool hasLine = !mesh.binary && mesh.bonesAt.line > 0;
    findings.push_back(Make(file, hasLine ? mesh.bonesAt.line + 1 + i : 0, Severity::kError, "unknown-bone",
                            "the mesh lists the bone " + QuoteForMessage(mesh.bones[i]) +
                                (hasLine ? "" : " (bone " + std::to_string(i + 1) + " of its list)") +
                                ", which no skeleton the game has, so the game cannot place the vertices "
                                "bound to it; name the bone the mesh is meant for"));
  }
  return findings;
}

std::vector<Finding> SkeletonFindings(const Skeleton& skeleton, const std::string& file) {
  std::vector<Finding> findings;
  for (const Bone& bone : skeleton.bones) {
    if (bone.parent.empty() || FindBone(skeleton, bone.parent) != nullptr) continue;
    findings.push_back(Make(file, bone.line, Severity::kError, "unknown-bone",
                            "the bone " + QuoteForMessage(bone.name) + " hangs on " +
                                QuoteForMessage(bone.parent) + ", which is not a bone of the skeleton " +
                                QuoteForMessage(skeleton.name)));
  }
  return findings;
}

std::vector<Finding> MeshStructureFindings(const Mesh& mesh, const std::string& file) {
  const std::vector<MeshProblem> problems = MeshStructureProblems(mesh);
  std::vector<Finding> findings;
  for (std::size_t i = 0; i < problems.size() && i < kShownStructureProblems; ++i) {
    const MeshProblem& problem = problems[i];
    const std::string place = mesh.binary ? "at byte " + std::to_string(problem.offset) + ": " : std::string();
    findings.push_back(Make(file, mesh.binary ? 0 : problem.line, Severity::kError, "mesh-structure",
                            place + problem.message + "; export the mesh again"));
  }
  if (problems.size() > kShownStructureProblems) {
    findings.push_back(Make(file, 0, Severity::kError, "mesh-structure",
                            Counted(problems.size() - kShownStructureProblems, "more fault", "more faults") +
                                " of that kind in the mesh; export it again"));
  }
  return findings;
}

std::vector<Finding> MeshNameFindings(const Mesh& mesh, std::string_view fileStem, bool textureLineUsed,
                                      const std::string& file) {
  std::vector<Finding> findings;
  const std::size_t nameLine = mesh.binary ? 0 : 1;
  const std::size_t textureLine = mesh.binary ? 0 : 2;
  const std::string nameWords = mesh.binary ? "the mesh's name " : "the name line ";
  if (EndsWithIgnoringCase(mesh.name, ".skn")) {
    findings.push_back(Make(file, nameLine, Severity::kError, "mesh-name",
                            nameWords + QuoteForMessage(mesh.name) +
                                " ends in \".skn\", which makes the mesh invisible in the game; remove \".skn\""));
  } else if (FoldedKey(mesh.name) != FoldedKey(fileStem)) {
    findings.push_back(Make(file, nameLine, Severity::kWarning, "mesh-name",
                            nameWords + QuoteForMessage(mesh.name) + " differs from the file's name " +
                                QuoteForMessage(fileStem) + "; make them the same"));
  }
  if (textureLineUsed && EndsWithIgnoringCase(mesh.texture, ".bmp")) {
    findings.push_back(Make(file, textureLine, Severity::kError, "mesh-name",
                            (mesh.binary ? "the mesh's texture " : "the texture line ") +
                                QuoteForMessage(mesh.texture) +
                                " ends in \".bmp\", and the game then finds no texture; remove \".bmp\""));
  }
  return findings;
}

std::vector<Finding> SuitTextureFindings(std::string_view code, const std::vector<std::string>& pairedTitles,
                                         const std::string& file, std::size_t line) {
  std::array<bool, 3> have{};
  for (const std::string& title : pairedTitles) {
    if (const auto texture = ParseTextureName(title)) have[static_cast<std::size_t>(texture->tone)] = true;
  }
  std::vector<std::string> missingWords;
  std::vector<std::string> missingNames;
  for (const Tone tone : {Tone::kLight, Tone::kMedium, Tone::kDark}) {
    if (have[static_cast<std::size_t>(tone)]) continue;
    missingWords.emplace_back(ToneWord(tone));
    missingNames.push_back(QuoteForMessage(std::string(code) + std::string(ToneSuffix(tone)) + "_NAME.bmp"));
  }
  if (missingWords.empty()) return {};
  if (missingWords.size() == 3) {
    return {Make(file, line, Severity::kError, "missing-texture",
                 "no texture pairs with the suit's code " + QuoteForMessage(code) +
                     ", so the game offers the suit to no Sim; add textures named " + Listed(missingNames) +
                     " for light, medium and dark skin")};
  }
  const bool one = missingWords.size() == 1;
  return {Make(file, line, Severity::kWarning, "missing-texture",
               "no texture for the " + Listed(missingWords) + (one ? " skin tone" : " skin tones") +
                   " pairs with the suit's code " + QuoteForMessage(code) + ", so Sims of " +
                   (one ? "that tone" : "those tones") + " cannot wear it; add " + Listed(missingNames))};
}

std::vector<Finding> AccessoryTextureFindings(const Mesh& mesh, bool textureFound, const std::string& file) {
  const std::size_t line = mesh.binary ? 0 : 2;
  if (EqualsIgnoringCase(mesh.texture, "x")) {
    return {Make(file, line, Severity::kWarning, "missing-texture",
                 "the accessory names no texture (\"x\"), so the game shows its grey X on it; name the "
                 "accessory's texture, without \".bmp\"")};
  }
  // A name ending in ".bmp" is reported by mesh-name.
  if (textureFound || EndsWithIgnoringCase(mesh.texture, ".bmp")) return {};
  return {Make(file, line, Severity::kError, "missing-texture",
               "the accessory's texture " + QuoteForMessage(mesh.texture + ".bmp") +
                   " is neither beside the suit nor in the game, so the game shows its grey X on it; put "
                   "the texture beside the suit")};
}

std::vector<Finding> TextureFormatFindings(std::string_view firstBytes, std::uint64_t fileSize,
                                           const std::string& file) {
  if (firstBytes.substr(0, 2) != "BM") {
    return {Make(file, 0, Severity::kError, "texture-format",
                 "the file is " + PictureKind(firstBytes) +
                     ", not a BMP picture; save the texture as an 8-bit (256-colour) BMP")};
  }
  BmpInfo info;
  try {
    info = ReadBmpInfo(firstBytes, fileSize, file);
  } catch (const GameFileError& e) {
    return {Make(file, 0, Severity::kError, "unreadable", e.ProblemWithOffset())};
  }
  std::vector<Finding> findings;
  if (info.bitCount != 8) {
    findings.push_back(Make(file, 0, Severity::kError, "texture-format",
                            "the picture has " + std::to_string(info.bitCount) +
                                " bits a pixel; the game needs 8 bits with a palette (256 colours), and "
                                "creators report a white body otherwise: save it as an 8-bit BMP"));
  } else if (info.compression != kBmpUncompressed) {
    findings.push_back(Make(file, 0, Severity::kError, "texture-format",
                            "the picture is compressed (" + CompressionName(info.compression) +
                                "); the game needs an uncompressed 8-bit BMP: save it without compression"));
  }
  if (info.width != info.height || !IsPowerOfTwo(info.width) || !IsPowerOfTwo(info.height)) {
    findings.push_back(Make(file, 0, Severity::kWarning, "texture-format",
                            "the picture is " + std::to_string(info.width) + "x" + std::to_string(info.height) +
                                " pixels; the game's textures are square with sides a power of two (256 for a "
                                "body, 128 for a head, 64 for hands, 32 for small accessories): resize it"));
  }
  return findings;
}

std::vector<Finding> OutfitFolderFindings(std::string_view code, std::string_view folderName,
                                          const std::string& file) {
  const char type = OutfitType(code);
  const std::string folder = FoldedKey(folderName);
  std::string letter(1, type);
  if (folder == "skins" && IsSoldType(type)) {
    return {Make(file, 0, Severity::kWarning, "wrong-folder",
                 "a suit of type " + letter +
                     " is an outfit sold in the game, which reads those from ExpansionShared/SkinsBuy, "
                     "not from Skins; move the suit and its files there")};
  }
  if (folder == "skinsbuy" && IsCreateASimType(type)) {
    return {Make(file, 0, Severity::kWarning, "wrong-folder",
                 "a suit of type " + letter +
                     " is a Create-a-Sim outfit, which the game reads from GameData/Skins, not from "
                     "SkinsBuy; move the suit and its files there")};
  }
  return {};
}

std::vector<Finding> CodeClashFindings(const std::vector<SuitCodeUse>& suits) {
  std::unordered_map<std::string, std::vector<std::size_t>> byCode;
  for (std::size_t i = 0; i < suits.size(); ++i) {
    if (!suits[i].code.empty()) byCode[FoldedKey(suits[i].code)].push_back(i);
  }
  std::vector<Finding> findings;
  constexpr std::size_t kNamed = 3;
  for (std::size_t i = 0; i < suits.size(); ++i) {
    const SuitCodeUse& suit = suits[i];
    if (!suit.checked || suit.code.empty()) continue;
    const std::vector<std::size_t>& group = byCode[FoldedKey(suit.code)];
    if (group.size() < 2) continue;
    const std::string own = FoldedKey(suit.name);
    std::set<std::string> seen{own};
    std::vector<std::string> others;
    std::size_t more = 0;
    for (const std::size_t j : group) {
      if (!seen.insert(FoldedKey(suits[j].name)).second) continue;
      if (others.size() == kNamed) {
        ++more;
        continue;
      }
      others.push_back((suits[j].checked ? std::string() : "the game's ") + QuoteForMessage(suits[j].name));
    }
    if (others.empty()) continue;
    if (more > 0) others.push_back(Counted(more, "more", "more"));
    findings.push_back(Make(suit.file, 0, Severity::kWarning, "id-clash",
                            "the suit's code " + QuoteForMessage(suit.code) + " is also the code of " +
                                Listed(others) +
                                ", so the game mixes their textures; give the suit and its textures a code "
                                "of their own"));
  }
  return findings;
}

std::vector<Finding> CaseClashFindings(const fs::path& shownFolder, std::vector<std::string> names) {
  // Such names are rare: a set of folded names finds whether there are any
  // before they are grouped.
  std::unordered_set<std::string> folded;
  folded.reserve(names.size());
  std::unordered_set<std::string> clashing;
  for (const std::string& name : names) {
    std::string key = FoldedKey(name);
    if (folded.count(key) > 0) {
      clashing.insert(std::move(key));
    } else {
      folded.insert(std::move(key));
    }
  }
  if (clashing.empty()) return {};
  std::sort(names.begin(), names.end());
  std::map<std::string, std::vector<const std::string*>> byKey;
  for (const std::string& name : names) {
    std::string key = FoldedKey(name);
    if (clashing.count(key) > 0) byKey[std::move(key)].push_back(&name);
  }
  std::vector<Finding> findings;
  for (const auto& [key, group] : byKey) {
    for (std::size_t i = 1; i < group.size(); ++i) {
      findings.push_back(Make(ShownPath(shownFolder / PathFromUtf8(*group[i])), 0, Severity::kWarning,
                              "id-clash",
                              QuoteForMessage(*group[i]) + " and " + QuoteForMessage(*group[0]) +
                                  " differ only in letter case: on Windows they are one file, and the game "
                                  "sees only one of them; remove or rename one"));
    }
  }
  return findings;
}

// ---------------------------------------------------------------------------
// Reading the files and putting the rules together.

namespace {

// What a file is expected to be, from its name.
enum class Expect { kSuit, kMesh, kBinaryMesh, kTexture, kBcf, kArchive, kSniff };

std::optional<Expect> ExpectFromName(std::string_view name) {
  if (EndsWithIgnoringCase(name, ".cmx")) return Expect::kSuit;
  if (EndsWithIgnoringCase(name, ".skn")) return Expect::kMesh;
  if (EndsWithIgnoringCase(name, ".bmf")) return Expect::kBinaryMesh;
  if (EndsWithIgnoringCase(name, ".bmp")) return Expect::kTexture;
  if (EndsWithIgnoringCase(name, ".bcf")) return Expect::kBcf;
  if (EndsWithIgnoringCase(name, ".far")) return Expect::kArchive;
  return std::nullopt;
}

FileKind KindOf(Expect expect) {
  switch (expect) {
    case Expect::kSuit:
      return FileKind::kCmxSuit;
    case Expect::kMesh:
      return FileKind::kSkn;
    case Expect::kBinaryMesh:
      return FileKind::kBmf;
    case Expect::kTexture:
      return FileKind::kBmp;
    case Expect::kBcf:
      return FileKind::kBcf;
    case Expect::kArchive:
      return FileKind::kFar;
    case Expect::kSniff:
      break;
  }
  return FileKind::kUnknown;
}

std::optional<Expect> ExpectFromKind(FileKind kind) {
  switch (kind) {
    case FileKind::kCmxSuit:
    case FileKind::kCmxSkeleton:
      return Expect::kSuit;
    case FileKind::kSkn:
      return Expect::kMesh;
    case FileKind::kBmf:
      return Expect::kBinaryMesh;
    case FileKind::kBcf:
      return Expect::kBcf;
    case FileKind::kFar:
      return Expect::kArchive;
    case FileKind::kBmp:
      return Expect::kTexture;
    case FileKind::kUnknown:
      break;
  }
  return std::nullopt;
}

// Paths as keys by their native spelling, which is cheaper to hash and
// compare than a path's components; every path here is made the same way.
using PathKey = fs::path::string_type;

// One file the check reads: given, in a checked folder, or found for a
// suit, loose or in one of the game's archives.
struct Item {
  fs::path actual;     // the file, or the archive that holds the entry
  std::string entry;   // the entry's name in the archive; empty for a loose file
  std::uint64_t offset = 0;  // where the entry's bytes start in the archive
  std::string shown;
  std::optional<std::uint64_t> size;
  Expect expect = Expect::kSniff;
  bool listed = false;  // in a checked folder, where "unused" applies
  // How suits use a mesh; the first accessory use says where its texture is looked for.
  bool usedAsMain = false;
  bool usedAsAccessory = false;
  fs::path accessoryFolder;
  char accessoryType = 0;

  bool InArchive() const { return !entry.empty(); }
  // The file's title without its extension: the entry's, for an entry.
  std::string Stem() const {
    if (!InArchive()) return Utf8FromPath(actual.stem());
    std::string title(EntryTitle(entry));
    const std::size_t dot = title.find_last_of('.');
    if (dot != std::string::npos && dot > 0) title.erase(dot);
    return title;
  }
};

struct SuitFile {
  std::size_t item = 0;
  CmxContents contents;
};

class Checker {
 public:
  Checker(const fs::path& workingFolder, GameFiles& game, FileSystem& fileSystem)
      : working_(workingFolder), game_(game), files_(fileSystem) {}

  CheckResult Run(const std::vector<fs::path>& paths) {
    for (const fs::path& path : paths) CheckPath(path);
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].expect == Expect::kSniff) Sniff(i);
    }
    for (const FoundSkeletons& found : game_.GameSkeletons()) {
      for (const Skeleton& skeleton : found.skeletons) bones_.Add(skeleton);
    }
    // Skeleton files first, so every suit and mesh is checked against all of them.
    const std::size_t given = items_.size();
    for (std::size_t i = 0; i < given; ++i) {
      if (items_[i].expect == Expect::kSuit) ReadCmxFile(i);
      if (items_[i].expect == Expect::kBcf) ReadBcfFile(i);
    }
    for (SuitFile& suitFile : suitFiles_) CheckSuitFile(suitFile);
    // Meshes found for suits are added while suits are checked, textures
    // while meshes are: each kind's loop sees all of its kind.
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].expect == Expect::kMesh || items_[i].expect == Expect::kBinaryMesh) CheckMesh(i);
    }
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].expect == Expect::kTexture) CheckTexture(i);
      if (items_[i].expect == Expect::kArchive) CheckArchive(i);
    }
    for (const FoundSuit& found : game_.ArchiveSuits()) {
      codes_.push_back({SuitCode(found.suit.name + ".cmx"), found.suit.name, found.file.Shown(), false});
      usedCodes_.insert(FoldedKey(codes_.back().code));
      for (const BcfSkin& skin : found.suit.skins) usedMeshes_.insert(FoldedKey(skin.skinName));
    }
    Add(CodeClashFindings(codes_));
    ReportUnused();
    for (const GameFileProblem& problem : game_.Problems()) {
      findings_.push_back(Make(problem.file, 0, Severity::kWarning, "unreadable",
                               "a file of the game cannot be read, and the check goes on without it: " +
                                   problem.message));
    }
    SortFindings(findings_);
    return {std::move(findings_), count_};
  }

 private:
  void Add(std::vector<Finding> findings) {
    findings_.insert(findings_.end(), std::make_move_iterator(findings.begin()),
                     std::make_move_iterator(findings.end()));
  }
  void Unreadable(const std::string& file, std::size_t line, std::string message) {
    findings_.push_back(Make(file, line, Severity::kError, "unreadable", std::move(message)));
  }

  // Absolute and without "." or "..", so each file has one name here.
  fs::path Actual(const fs::path& given) const {
    fs::path path = working_.empty() ? given : working_ / given;
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    if (!ec) path = std::move(absolute);
    path = path.lexically_normal();
    if (!path.has_filename() && path.has_relative_path()) path = path.parent_path();
    return path;
  }

  void CheckPath(const fs::path& given) {
    const fs::path actual = Actual(given);
    const std::string shown = ShownPath(given);
    std::error_code ec;
    const fs::file_status status = files_.Status(actual, ec);
    if (ec) {
      ++count_;
      Unreadable(shown, 0, "it cannot be looked at: " + ec.message());
      return;
    }
    switch (status.type()) {
      case fs::file_type::not_found:
        ++count_;
        Unreadable(shown, 0, "no such file or folder");
        return;
      case fs::file_type::directory:
        CheckFolder(actual, given);
        return;
      case fs::file_type::regular: {
        shownFolders_.try_emplace(actual.parent_path(), given.parent_path());
        const std::optional<Expect> expect = ExpectFromName(Utf8FromPath(actual.filename()));
        AddItem(actual, shown, expect.value_or(Expect::kSniff), std::nullopt, false);
        return;
      }
      default:
        ++count_;
        Unreadable(shown, 0, NotAFile(status.type()));
        return;
    }
  }

  // A folder's entries. Files whose names tell their kind are taken by name
  // alone; only the others are looked at, to find subfolders: a listing's
  // details cost a look at each file, and a skins folder holds thousands.
  // A FIFO, a device or a folder with a file's name shows when it is read.
  struct Listing {
    std::vector<fs::path> named;
    std::vector<FolderEntry> others;  // may hold named ones too, with their types
  };
  Listing ListFolder(const fs::path& folder, std::error_code& ec) {
    Listing listing;
    listing.others = files_.List(
        folder,
        [&listing](const fs::path& name) {
          if (!ExpectFromName(Utf8FromPath(name))) return true;
          listing.named.push_back(name);
          return false;
        },
        ec);
    for (const FolderEntry& entry : listing.others) {
      if (ExpectFromName(Utf8FromPath(entry.name))) listing.named.push_back(entry.name);
    }
    std::sort(listing.named.begin(), listing.named.end());
    listing.named.erase(std::unique(listing.named.begin(), listing.named.end()), listing.named.end());
    return listing;
  }

  // The type of an entry, a link followed.
  fs::file_type TypeOf(const fs::path& path, const FolderEntry& entry) {
    if (entry.type != fs::file_type::symlink) return entry.type;
    std::error_code ec;
    return files_.Status(path, ec).type();
  }

  void CheckFolder(const fs::path& actual, const fs::path& shown) {
    if (!checkedFolders_.insert(actual).second) return;
    shownFolders_.insert_or_assign(actual, shown);
    std::error_code ec;
    const Listing listing = ListFolder(actual, ec);
    if (ec) {
      ++count_;
      Unreadable(ShownPath(shown), 0, "the folder cannot be read: " + ec.message());
      return;
    }
    std::vector<std::string> names;
    names.reserve(listing.named.size() + listing.others.size());
    for (const fs::path& name : listing.named) names.push_back(Utf8FromPath(name));
    for (const FolderEntry& entry : listing.others) {
      if (!ExpectFromName(Utf8FromPath(entry.name))) names.push_back(Utf8FromPath(entry.name));
    }
    Add(CaseClashFindings(shown, names));

    std::unordered_map<PathKey, fs::file_type> known;  // the types the listing gave named files
    for (const FolderEntry& entry : listing.others) {
      const fs::path path = actual / entry.name;
      if (ExpectFromName(Utf8FromPath(entry.name))) known.emplace(entry.name.native(), TypeOf(path, entry));
      // A linked folder is not followed: it may lead back here.
      if (entry.type == fs::file_type::directory) WalkSubfolder(actual, path, shown / entry.name, 1);
    }
    items_.reserve(items_.size() + listing.named.size());
    byPath_.reserve(byPath_.size() + listing.named.size());
    for (const fs::path& name : listing.named) {
      const std::string shownFile = ShownPath(shown / name);
      const auto type = known.find(name.native());
      if (type != known.end() && type->second != fs::file_type::regular) {
        ++count_;
        Unreadable(shownFile, 0, NotAFile(type->second));
        continue;
      }
      AddItem(actual / name, shownFile, *ExpectFromName(Utf8FromPath(name)), std::nullopt, true);
    }
  }

  // Files of the game below a checked folder, which the game does not read:
  // one finding for each folder that holds any.
  void WalkSubfolder(const fs::path& checked, const fs::path& actual, const fs::path& shown, int depth) {
    std::error_code ec;
    const Listing listing = ListFolder(actual, ec);
    if (ec) return;
    std::size_t suits = 0, meshes = 0, textures = 0, others = 0;
    auto& index = subfolderFiles_[checked];
    for (const fs::path& file : listing.named) {
      const std::string name = Utf8FromPath(file);
      switch (*ExpectFromName(name)) {
        case Expect::kSuit:
          ++suits;
          break;
        case Expect::kMesh:
        case Expect::kBinaryMesh:
          ++meshes;
          break;
        case Expect::kTexture:
          ++textures;
          break;
        default:
          ++others;
      }
      index.try_emplace(FoldedKey(name), ShownPath(shown / file));
    }
    if (depth < kMaxSubfolderDepth) {
      for (const FolderEntry& entry : listing.others) {
        if (entry.type == fs::file_type::directory) {
          WalkSubfolder(checked, actual / entry.name, shown / entry.name, depth + 1);
        }
      }
    }
    std::vector<std::string> counts;
    if (suits > 0) counts.push_back(Counted(suits, "suit file", "suit files"));
    if (meshes > 0) counts.push_back(Counted(meshes, "mesh", "meshes"));
    if (textures > 0) counts.push_back(Counted(textures, "texture", "textures"));
    if (others > 0) counts.push_back(Counted(others, "other file of the game", "other files of the game"));
    if (counts.empty()) return;
    const std::string checkedShown = ShownPath(shownFolders_[checked]);
    findings_.push_back(Make(ShownPath(shown), 0, Severity::kWarning, "wrong-folder",
                             "the game reads no subfolder of a skin folder, so the " + Listed(counts) +
                                 " here " + (suits + meshes + textures + others == 1 ? "is" : "are") +
                                 " not used; move what belongs to a suit up into " +
                                 QuoteForMessage(checkedShown.empty() ? "." : checkedShown)));
  }

  std::size_t AddItem(const fs::path& actual, std::string shown, Expect expect, std::optional<std::uint64_t> size,
                      bool listed) {
    const auto [it, inserted] = byPath_.try_emplace(actual, items_.size());
    if (!inserted) {
      if (listed) items_[it->second].listed = true;
      return it->second;
    }
    Item item;
    item.actual = actual;
    item.shown = std::move(shown);
    item.size = size;
    item.expect = expect;
    item.listed = listed;
    items_.push_back(std::move(item));
    return items_.size() - 1;
  }

  // A file found for a suit: loose, named as its folder was given when it
  // is a checked one, or an entry of an archive, named "ARCHIVE.far/ENTRY".
  std::size_t AddFound(const FoundFile& file, Expect expect) {
    if (file.InArchive()) {
      PathKey key = file.path.native();
      key.push_back(PathKey::value_type{});  // in no path: the archive's name ends here
      key += PathFromUtf8(file.entry).native();
      const auto [it, inserted] = byPath_.try_emplace(std::move(key), items_.size());
      if (!inserted) return it->second;
      Item item;
      item.actual = file.path;
      item.entry = file.entry;
      item.offset = file.offset;
      item.shown = file.Shown();
      item.size = file.size;
      item.expect = expect;
      items_.push_back(std::move(item));
      return items_.size() - 1;
    }
    const auto known = byPath_.find(file.path);
    if (known != byPath_.end()) {
      if (!items_[known->second].size) items_[known->second].size = file.size;
      return known->second;
    }
    const auto folder = shownFolders_.find(file.path.parent_path());
    std::string shown = folder != shownFolders_.end() ? ShownPath(folder->second / file.path.filename()) : file.Shown();
    return AddItem(file.path, std::move(shown), expect, file.size, false);
  }

  std::uint64_t SizeOf(Item& item) {
    if (!item.size) {
      std::error_code ec;
      const std::uintmax_t size = fs::file_size(item.actual, ec);
      item.size = ec ? 0 : static_cast<std::uint64_t>(size);
    }
    return *item.size;
  }

  void TooLarge(Item& item, std::size_t limit) {
    Unreadable(item.shown, 0,
               "the file is " + SizeText(SizeOf(item)) + ", more than " +
                   std::string(DescribeFileKind(KindOf(item.expect))) + " ever holds (at most " + SizeText(limit) +
                   "); it was not read");
  }

  // The whole file, which must not be larger than `limit`. A suit file's
  // size is not asked first: one byte past the limit tells.
  std::optional<std::string> ReadWhole(std::size_t index, std::size_t limit) {
    Item& item = items_[index];
    if (!item.size && item.expect != Expect::kSuit) SizeOf(item);
    if (item.size && *item.size > limit) {
      ++count_;
      TooLarge(item, limit);
      return std::nullopt;
    }
    std::optional<std::string> bytes = ReadStart(index, limit + 1);
    if (bytes && bytes->size() > limit) {
      TooLarge(items_[index], limit);
      return std::nullopt;
    }
    return bytes;
  }

  // Up to `maxBytes` from the file's start.
  std::optional<std::string> ReadStart(std::size_t index, std::size_t maxBytes) {
    ++count_;
    const Item& item = items_[index];
    const FoundFile file{item.actual, item.entry, item.offset, item.size.value_or(0)};
    try {
      return game_.Read(file, maxBytes);
    } catch (const GameFileError& e) {
      // Listed by name alone, it may turn out to be no file at all.
      std::error_code ec;
      const fs::file_type type = files_.Status(item.actual, ec).type();
      const bool other = !ec && type != fs::file_type::regular && type != fs::file_type::not_found &&
                         type != fs::file_type::none && type != fs::file_type::unknown;
      Unreadable(item.shown, 0, other ? NotAFile(type) : e.ProblemWithOffset());
      return std::nullopt;
    }
  }

  // A file given under a name that says nothing: what its bytes say.
  void Sniff(std::size_t index) {
    Item& item = items_[index];
    FoundFile file;
    file.path = item.actual;
    std::string bytes;
    try {
      bytes = game_.Read(file, kSniffBytes);
    } catch (const GameFileError& e) {
      ++count_;
      Unreadable(item.shown, 0, e.ProblemWithOffset());
      item.expect = Expect::kSniff;
      return;
    }
    if (const std::optional<Expect> expect = ExpectFromKind(SniffFileKind(bytes))) {
      item.expect = *expect;
      return;
    }
    ++count_;
    Unreadable(item.shown, 0,
               "the file is not a file of the game: not a suit, mesh, skeleton, texture or archive");
  }

  // Why a file that failed to read as `expect` failed: what it is instead,
  // when its first bytes say, or the reader's own words.
  void ReportReadFailure(const Item& item, std::string_view bytes, std::size_t line, std::string problem) {
    const FileKind kind = SniffFileKind(bytes.substr(0, kSniffBytes));
    const FileKind wanted = KindOf(item.expect);
    const bool other = kind != FileKind::kUnknown && kind != wanted &&
                       !(wanted == FileKind::kCmxSuit && kind == FileKind::kCmxSkeleton);
    if (other) {
      Unreadable(item.shown, 0,
                 "the file is " + std::string(DescribeFileKind(kind)) + ", not " +
                     std::string(DescribeFileKind(wanted)));
    } else {
      Unreadable(item.shown, line, std::move(problem));
    }
  }

  static std::string Problem(const GameFileError& e) { return e.Line() > 0 ? e.Problem() : e.ProblemWithOffset(); }

  void ReadCmxFile(std::size_t index) {
    const std::optional<std::string> bytes = ReadWhole(index, kMaxCmxFileSize);
    if (!bytes) return;
    const Item& item = items_[index];
    if (SniffFileKind(std::string_view(*bytes).substr(0, kSniffBytes)) == FileKind::kCmxSkeleton) {
      try {
        const SkeletonFile skeletons = ReadCmxSkeletons(*bytes, item.shown);
        for (const Skeleton& skeleton : skeletons.skeletons) {
          bones_.Add(skeleton);
          Add(SkeletonFindings(skeleton, item.shown));
        }
      } catch (const GameFileError& e) {
        Unreadable(item.shown, e.Line(), Problem(e));
      }
      return;
    }
    try {
      suitFiles_.push_back({index, ReadCmx(*bytes, item.shown)});
    } catch (const CmxReadError& e) {
      ReportReadFailure(item, *bytes, e.Line(), e.Problem());
      // Its textures are known by its file name; its meshes are not, so
      // none beside it is called unused on a guess.
      usedCodes_.insert(FoldedKey(SuitCode(Utf8FromPath(item.actual.filename()))));
      foldersWithUnreadSuits_.insert(item.actual.parent_path());
    }
  }

  void ReadBcfFile(std::size_t index) {
    const std::optional<std::string> bytes = ReadWhole(index, kMaxSkeletonBytes);
    if (!bytes) return;
    const Item& item = items_[index];
    try {
      const SkeletonFile skeletons = ReadBcf(*bytes, item.shown);
      for (const Skeleton& skeleton : skeletons.skeletons) {
        bones_.Add(skeleton);
        Add(SkeletonFindings(skeleton, item.shown));
      }
    } catch (const GameFileError& e) {
      ReportReadFailure(item, *bytes, e.Line(), Problem(e));
    }
  }

  std::string MissingMeshMessage(const fs::path& folder, const std::string& meshName) {
    std::string message = "the mesh " + QuoteForMessage(meshName) +
                          " is neither beside the suit nor in the game; put " +
                          QuoteForMessage(meshName + ".skn") + " beside the suit";
    const auto index = subfolderFiles_.find(folder);
    if (index != subfolderFiles_.end()) {
      for (const char* extension : {".skn", ".bmf"}) {
        const auto found = index->second.find(FoldedKey(meshName + extension));
        if (found == index->second.end()) continue;
        message += " (there is " + QuoteForMessage(found->second) + ", but the game reads no subfolder)";
        break;
      }
    }
    return message;
  }

  void CheckSuitFile(const SuitFile& suitFile) {
    // Copied: items_ grows below.
    const fs::path folder = items_[suitFile.item].actual.parent_path();
    const std::string shown = items_[suitFile.item].shown;
    const fs::path actual = items_[suitFile.item].actual;
    const std::string title = Utf8FromPath(actual.filename());
    const std::string stem = Utf8FromPath(actual.stem());
    const std::vector<CmxSuit>& suits = suitFile.contents.suits;
    if (suits.empty()) {
      findings_.push_back(Make(shown, 4, Severity::kWarning, "empty-suit",
                               "the file holds no suit; the game has nothing to show from it"));
      return;
    }
    const std::string code = SuitCode(title);
    const char type = OutfitType(code);
    Add(OutfitFolderFindings(code, Utf8FromPath(folder.filename()), shown));
    for (const CmxSuit& suit : suits) {
      Add(SuitNameFindings(suit, stem, shown));
      Add(MainBoneFindings(suit, shown));
      Add(SuitBoneFindings(suit, bones_, shown));
      if (suit.skins.empty()) {
        findings_.push_back(Make(shown, suit.countLine, Severity::kWarning, "empty-suit",
                                 "the suit has no skins; the game has nothing to show for it"));
      }
      for (std::size_t k = 0; k < suit.skins.size(); ++k) {
        const CmxSkinRecord& skin = suit.skins[k];
        usedMeshes_.insert(FoldedKey(skin.skinName));
        const std::optional<FoundFile> mesh = game_.FindMesh(folder, type, skin.skinName);
        if (!mesh) {
          findings_.push_back(Make(shown, skin.line + 1, Severity::kError, "missing-mesh",
                                   MissingMeshMessage(folder, skin.skinName)));
          continue;
        }
        const bool binary =
            EndsWithIgnoringCase(mesh->Title(), ".bmf");
        Item& item = items_[AddFound(*mesh, binary ? Expect::kBinaryMesh : Expect::kMesh)];
        if (k == 0) {
          item.usedAsMain = true;
        } else if (!item.usedAsAccessory) {
          item.usedAsAccessory = true;
          item.accessoryFolder = folder;
          item.accessoryType = type;
        }
      }
    }
    codes_.push_back({code, stem, shown, true});
    usedCodes_.insert(FoldedKey(code));
    std::vector<std::string> titles;
    for (const FoundFile& texture : game_.PairedTextures(folder, type, code)) {
      if (texture.InArchive()) {
        const std::size_t cut = texture.entry.find_last_of("/\\");
        titles.push_back(cut == std::string::npos ? texture.entry : texture.entry.substr(cut + 1));
      } else {
        titles.push_back(Utf8FromPath(texture.path.filename()));
        AddFound(texture, Expect::kTexture);
      }
    }
    Add(SuitTextureFindings(code, titles, shown, suits.front().nameLine));
  }

  void CheckMesh(std::size_t index) {
    const std::size_t before = findings_.size();
    CheckMeshFile(index);
    // A fault found in one of the game's own meshes is likelier a misreading
    // of ours than the game's, and no creator's to mend: a warning.
    if (items_[index].InArchive()) {
      for (std::size_t i = before; i < findings_.size(); ++i) findings_[i].severity = Severity::kWarning;
    }
  }

  void CheckMeshFile(std::size_t index) {
    const std::optional<std::string> bytes = ReadWhole(index, kMaxMeshBytes);
    if (!bytes) return;
    const Item item = items_[index];  // a copy: items_ may grow below
    const bool binary = item.expect == Expect::kBinaryMesh;
    Mesh mesh;
    try {
      mesh = binary ? ReadBmf(*bytes, item.shown, MeshDetail::kStructure)
                    : ReadSkn(*bytes, item.shown, MeshDetail::kStructure);
    } catch (const GameFileError& e) {
      ReportReadFailure(item, *bytes, e.Line(), Problem(e));
      return;
    }
    NameTexture(mesh.texture);
    Add(MeshStructureFindings(mesh, item.shown));
    Add(MeshBoneFindings(mesh, bones_, item.shown));
    // The main skin takes the outfit's texture: its texture line is not used.
    const bool textureLineUsed = item.usedAsAccessory || !item.usedAsMain;
    Add(MeshNameFindings(mesh, item.Stem(), textureLineUsed, item.shown));
    if (!item.usedAsAccessory) return;
    bool found = false;
    if (!EqualsIgnoringCase(mesh.texture, "x") && !EndsWithIgnoringCase(mesh.texture, ".bmp")) {
      const std::optional<FoundFile> texture =
          game_.FindFile(item.accessoryFolder, item.accessoryType, mesh.texture + ".bmp");
      found = texture.has_value();
      if (texture && !texture->InArchive()) AddFound(*texture, Expect::kTexture);
    }
    Add(AccessoryTextureFindings(mesh, found, item.shown));
  }

  void CheckTexture(std::size_t index) {
    const std::optional<std::string> bytes = ReadStart(index, kBmpHeaderBytes);
    if (!bytes) return;
    Item& item = items_[index];
    Add(TextureFormatFindings(*bytes, SizeOf(item), item.shown));
  }

  // Its header and manifest: the game's archives are looked into by the lookups.
  void CheckArchive(std::size_t index) {
    const std::optional<std::string> header = ReadStart(index, kFarHeaderSize);
    if (!header) return;
    Item& item = items_[index];
    const std::uint64_t size = SizeOf(item);
    try {
      const std::uint32_t manifestOffset = ReadFarHeader(*header, size, item.shown);
      if (size - manifestOffset > kMaxFarManifestBytes) {
        Unreadable(item.shown, 0,
                   "at byte " + std::to_string(manifestOffset) + ": the manifest is " +
                       SizeText(size - manifestOffset) + ", more than an archive's ever is");
        return;
      }
      // Read as an entry that spans the manifest.
      FoundFile manifest{item.actual, "manifest", manifestOffset, size - manifestOffset};
      FarManifest(game_.Read(manifest, static_cast<std::size_t>(manifest.size)), manifestOffset, size, item.shown);
    } catch (const GameFileError& e) {
      ReportReadFailure(item, *header, 0, e.ProblemWithOffset());
    }
  }

  // A texture line as the name of the texture file it means: a line that
  // wrongly ends in ".bmp" (reported by mesh-name) still means that file.
  void NameTexture(std::string_view texture) {
    if (EndsWithIgnoringCase(texture, ".bmp")) texture.remove_suffix(4);
    namedTextures_.insert(FoldedKey(texture));
  }

  void NameTextureOf(const FoundFile& mesh) {
    try {
      const std::string bytes = game_.Read(mesh, kMaxMeshBytes);
      const bool binary = EndsWithIgnoringCase(mesh.InArchive() ? mesh.entry : Utf8FromPath(mesh.path), ".bmf");
      NameTexture(binary ? ReadBmf(bytes, mesh.Shown(), MeshDetail::kStructure).texture
                         : ReadSkn(bytes, mesh.Shown(), MeshDetail::kStructure).texture);
    } catch (const GameFileError&) {
      // A mesh of the game that cannot be read names no texture.
    }
  }

  // The suits loose in the game's skin folders that were not checked use
  // meshes and textures as the suits in its archives do. Read once, and only
  // when a file would otherwise be reported as unused: a skin folder may
  // hold thousands of them.
  void AddGameSuitUses() {
    if (gameSuitsRead_) return;
    gameSuitsRead_ = true;
    for (const FoundFile& file : game_.GameSuitFiles()) {
      std::error_code ec;
      const fs::path actual = fs::absolute(file.path, ec).lexically_normal();
      if (!ec && byPath_.count(actual.native()) > 0) continue;  // checked: its uses are known
      if (file.size > kMaxCmxFileSize) continue;
      const std::string code = SuitCode(Utf8FromPath(file.path.filename()));
      // Its textures pair with it by its file's name, whatever it holds.
      usedCodes_.insert(FoldedKey(code));
      CmxContents contents;
      try {
        contents = ReadCmx(game_.Read(file, kMaxCmxFileSize), file.Shown());
      } catch (const GameFileError&) {
        continue;  // what the game cannot read uses nothing
      } catch (const CmxReadError&) {
        continue;
      }
      for (const CmxSuit& suit : contents.suits) {
        for (std::size_t k = 0; k < suit.skins.size(); ++k) {
          usedMeshes_.insert(FoldedKey(suit.skins[k].skinName));
          if (k > 0) gameAccessories_.push_back({file.path.parent_path(), OutfitType(code), suit.skins[k].skinName});
        }
      }
    }
  }

  // The textures the accessory meshes of the game's suits name, read only
  // when a loose texture would otherwise be reported as unused.
  void AddGameAccessoryTextures() {
    std::unordered_set<std::string> seen;
    for (const FoundSuit& found : game_.ArchiveSuits()) {
      const char type = OutfitType(SuitCode(found.suit.name + ".cmx"));
      for (std::size_t k = 1; k < found.suit.skins.size(); ++k) {
        const std::string& name = found.suit.skins[k].skinName;
        if (!seen.insert(FoldedKey(name)).second) continue;
        if (const std::optional<FoundFile> mesh = game_.FindMesh({}, type, name)) NameTextureOf(*mesh);
      }
    }
    for (const GameAccessory& accessory : gameAccessories_) {
      if (!seen.insert(FoldedKey(accessory.mesh)).second) continue;
      if (const std::optional<FoundFile> mesh = game_.FindMesh(accessory.suitFolder, accessory.type, accessory.mesh)) {
        NameTextureOf(*mesh);
      }
    }
  }

  bool UsedMesh(const Item& item) const {
    return usedMeshes_.count(FoldedKey(item.Stem())) > 0 ||
           (!foldersWithUnreadSuits_.empty() && foldersWithUnreadSuits_.count(item.actual.parent_path()) > 0);
  }

  bool UsedTexture(const Item& item) const {
    const auto texture = ParseTextureName(Utf8FromPath(item.actual.filename()));
    return (texture && usedCodes_.count(FoldedKey(texture->code)) > 0) ||
           namedTextures_.count(FoldedKey(item.Stem())) > 0;
  }

  void ReportUnused() {
    std::vector<std::size_t> meshes;
    std::vector<std::size_t> textures;
    for (std::size_t i = 0; i < items_.size(); ++i) {
      const Item& item = items_[i];
      if (!item.listed) continue;
      if ((item.expect == Expect::kMesh || item.expect == Expect::kBinaryMesh) && !UsedMesh(item)) {
        meshes.push_back(i);
      } else if (item.expect == Expect::kTexture && !UsedTexture(item)) {
        textures.push_back(i);
      }
    }
    if (meshes.empty() && textures.empty()) return;
    AddGameSuitUses();
    for (const std::size_t i : meshes) {
      if (UsedMesh(items_[i])) continue;
      findings_.push_back(Make(items_[i].shown, 0, Severity::kWarning, "unused",
                               "no suit here or in the game uses this mesh; name it in a suit, or remove it"));
    }
    std::erase_if(textures, [this](std::size_t i) { return UsedTexture(items_[i]); });
    if (textures.empty()) return;
    AddGameAccessoryTextures();
    for (const std::size_t i : textures) {
      if (UsedTexture(items_[i])) continue;
      findings_.push_back(Make(items_[i].shown, 0, Severity::kWarning, "unused",
                               "no suit here or in the game uses this texture: its name pairs with no "
                               "suit's code and no mesh names it; rename it after its suit "
                               "(CODE + lgt, med or drk + _NAME.bmp), or remove it"));
    }
  }

  fs::path working_;
  GameFiles& game_;
  FileSystem& files_;
  std::vector<Finding> findings_;
  std::size_t count_ = 0;
  std::vector<Item> items_;
  std::unordered_map<PathKey, std::size_t> byPath_;
  std::unordered_set<PathKey> checkedFolders_;
  std::unordered_map<PathKey, fs::path> shownFolders_;  // actual folder -> as given
  // Checked folder -> its subfolders' files of the game: folded name -> as shown.
  std::unordered_map<PathKey, std::unordered_map<std::string, std::string>> subfolderFiles_;
  std::vector<SuitFile> suitFiles_;
  KnownBones bones_;
  std::vector<SuitCodeUse> codes_;
  std::unordered_set<PathKey> foldersWithUnreadSuits_;
  // The accessories of the suits loose in the game's skin folders, once read.
  struct GameAccessory {
    fs::path suitFolder;
    char type = 0;
    std::string mesh;
  };
  bool gameSuitsRead_ = false;
  std::vector<GameAccessory> gameAccessories_;
  std::unordered_set<std::string> usedMeshes_;     // folded skin names of every suit
  std::unordered_set<std::string> usedCodes_;      // folded codes of every suit
  std::unordered_set<std::string> namedTextures_;  // folded texture lines of every mesh read
};

}  // namespace

CheckResult CheckSuits(const std::vector<fs::path>& paths, const fs::path& workingFolder, GameFiles& game,
                       FileSystem& fileSystem) {
  return Checker(workingFolder, game, fileSystem).Run(paths);
}

}  // namespace tailorloft::game
