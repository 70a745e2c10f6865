// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/game_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/fold_case.h"
#include "core/utf8.h"
#include "env/paths.h"
#include "game/far.h"
#include "game/read_error.h"
#include "game/skeleton.h"
#include "game/texture_names.h"

namespace tailorloft::env {
namespace {

namespace fs = std::filesystem;
using game::FoundFile;
using game::GameFileError;

// All the archives' manifests are kept while the index is: a few MB in a
// real game. The bound keeps memory bounded and places in 32 bits.
constexpr std::uint64_t kMaxManifestsBytes = std::uint64_t{1} << 30;
// Deeper than any install goes; stops a loop of junctions.
constexpr int kMaxFolderDepth = 32;

// An entry's title as text: the stored bytes when they are ASCII, as nearly
// every name of the game is, else decoded into `buffer`.
std::string_view TitleText(std::string_view entryName, std::string& buffer) {
  const std::string_view title = game::EntryTitle(entryName);
  for (const char c : title) {
    if ((static_cast<unsigned char>(c) & 0x80) != 0) {
      buffer = game::FarNameUtf8(title);
      return buffer;
    }
  }
  return title;
}

// FoldedKey of an entry's title, from its name as stored, in `buffer`: in
// one pass for ASCII, as this runs for every entry of every archive.
std::string_view TitleKey(std::string_view entryName, std::string& buffer) {
  buffer.resize(entryName.size());
  std::size_t start = 0;
  unsigned bits = 0;
  for (std::size_t i = 0; i < entryName.size(); ++i) {
    const char c = entryName[i];
    bits |= static_cast<unsigned char>(c);
    if (c == '/' || c == '\\') start = i + 1;
    buffer[i] = FoldAscii(c);
  }
  if ((bits & 0x80) != 0) {
    buffer = FoldedKey(game::FarNameUtf8(entryName.substr(start)));
    return buffer;
  }
  return std::string_view(buffer).substr(start);
}

std::string ProblemText(const GameFileError& e) {
  return e.Line() > 0 ? "line " + std::to_string(e.Line()) + ": " + e.Problem() : e.ProblemWithOffset();
}

// Why OpenRegularFile refused `file` (errno `error` from the attempt), in the
// words the CMX reader uses; `subject` is "it" or "the archive".
std::string WhyNotOpened(const fs::path& file, int error, const std::string& subject) {
  std::error_code ec;
  switch (fs::status(file, ec).type()) {
    case fs::file_type::not_found:
      return (subject == "it" ? std::string("the file") : subject) + " does not exist";
    case fs::file_type::directory:
      return subject + " is a folder";
    case fs::file_type::regular:
    case fs::file_type::none:
    case fs::file_type::unknown:
      break;
    default:
      return subject + " is not a regular file";
  }
  const std::string reason = error == EACCES ? "permission denied"
                             : error != 0    ? std::generic_category().message(error)
                                             : "";
  return subject + " cannot be opened" + (reason.empty() ? "" : ": " + reason);
}

bool SeekTo(std::FILE* in, std::uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(in, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(in, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

// `count` bytes from `offset`; fewer when the file ends first. Throws on a read error.
std::string ReadAt(std::FILE* in, std::uint64_t offset, std::size_t count, const std::string& shown) {
  if (!SeekTo(in, offset)) throw GameFileError(shown, 0, offset, "it cannot be read");
  std::string bytes(count, '\0');
  const std::size_t got = std::fread(bytes.data(), 1, count, in);
  if (std::ferror(in)) throw GameFileError(shown, 0, offset, "it cannot be read");
  bytes.resize(got);
  return bytes;
}

struct EntryRef {
  std::uint32_t archive = 0;
  std::uint32_t at = 0;  // where the entry's record starts in the archive's manifest
};

struct Archive {
  fs::path path;
  game::FarManifest manifest;
  // Where its manifest starts among all the archives' manifests laid end to
  // end: an entry's place in the index is base + its record's start.
  std::uint32_t base = 0;
};

// Each entry title's first entry among the archives, in their order, by the
// title folded. Open addressing in 8-byte slots, a third of them left free:
// the keys are not kept but folded again from the names in the manifests
// when two hashes agree, so tens of thousands of entries cost one small
// allocation (fresh memory is much of what indexing costs).
class EntryIndex {
 public:
  // Every base + at must fit in 32 bits, and not be 0.
  void Build(const std::vector<Archive>& archives) {
    archives_ = &archives;
    std::size_t count = 0;
    for (const Archive& archive : archives) count += archive.manifest.Count();
    slots_.assign(std::max<std::size_t>(16, count + count / 2), Slot{});
    std::string key;
    std::string other;
    for (const Archive& archive : archives) {
      for (const game::FarRecord record : archive.manifest) {
        const std::string_view folded = TitleKey(record.name, key);
        const std::uint32_t hash = Hash(folded);
        Slot& slot = slots_[IndexFor(folded, hash, other)];
        if (slot.place == kFree) slot = {hash, archive.base + record.at};  // else an earlier entry stays
      }
    }
  }

  std::optional<EntryRef> Find(std::string_view title) const {
    if (slots_.empty()) return std::nullopt;
    const std::string key = FoldedKey(title);
    std::string other;
    const Slot& slot = slots_[IndexFor(key, Hash(key), other)];
    if (slot.place == kFree) return std::nullopt;
    return RefOf(slot.place);
  }

 private:
  static constexpr std::uint32_t kFree = 0;  // no record starts at 0: the count comes first
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t place = kFree;  // the archive's base + the record's start
  };

  static std::uint32_t Hash(std::string_view key) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(key));
  }

  EntryRef RefOf(std::uint32_t place) const {
    const std::vector<Archive>& archives = *archives_;
    const auto after = std::upper_bound(archives.begin(), archives.end(), place,
                                        [](std::uint32_t p, const Archive& archive) { return p < archive.base; });
    const auto index = static_cast<std::uint32_t>(after - archives.begin() - 1);
    return {index, place - archives[index].base};
  }

  // The slot holding `key`, or the free one where it would go.
  std::size_t IndexFor(std::string_view key, std::uint32_t hash, std::string& other) const {
    const std::size_t size = slots_.size();
    // The hash scaled to the table, which need not be a power of two.
    std::size_t i = static_cast<std::size_t>((std::uint64_t{hash} * size) >> 32);
    for (;; i = i + 1 == size ? 0 : i + 1) {
      const Slot& slot = slots_[i];
      if (slot.place == kFree) return i;
      if (slot.hash != hash) continue;
      const EntryRef ref = RefOf(slot.place);
      if (TitleKey((*archives_)[ref.archive].manifest.At(ref.at).name, other) == key) return i;
    }
  }

  const std::vector<Archive>* archives_ = nullptr;
  std::vector<Slot> slots_;  // at most two thirds used
};

// One folder's names, listed once.
struct Listing {
  struct Item {
    std::string key;  // FoldedKey(name)
    std::string name;
    bool folder = false;  // a folder, or a link to one
    bool linked = false;
  };
  std::vector<Item> items;  // by key, then name
  // Folded texture code -> indexes into items of the textures with that code,
  // in name order; made at the first texture lookup.
  std::optional<std::unordered_map<std::string, std::vector<std::size_t>>> textures;
};

// An empty path is the current folder, as the parent of a bare file name.
Listing ListFolder(const fs::path& folder) {
  Listing listing;
  const fs::path where = folder.empty() ? fs::path(".") : folder;
  std::error_code ec;
  for (fs::directory_iterator it(where, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
       it.increment(ec)) {
    Listing::Item item;
    item.name = Utf8FromPath(it->path().filename());
    item.key = FoldedKey(item.name);
    std::error_code typeEc;
    item.folder = it->is_directory(typeEc);
    item.linked = item.folder && it->is_symlink(typeEc);
    listing.items.push_back(std::move(item));
  }
  std::sort(listing.items.begin(), listing.items.end(), [](const Listing::Item& a, const Listing::Item& b) {
    return a.key != b.key ? a.key < b.key : a.name < b.name;
  });
  return listing;
}

// The file called `title` in the listing, ignoring case: its own spelling
// first, else the first in name order. Folders do not count.
const Listing::Item* FindItem(const Listing& listing, std::string_view title) {
  const std::string key = FoldedKey(title);
  auto it = std::lower_bound(listing.items.begin(), listing.items.end(), key,
                             [](const Listing::Item& item, const std::string& k) { return item.key < k; });
  const Listing::Item* first = nullptr;
  for (; it != listing.items.end() && it->key == key; ++it) {
    if (it->folder) continue;
    if (it->name == title) return &*it;
    if (first == nullptr) first = &*it;
  }
  return first;
}

FoundFile LooseFile(const fs::path& folder, const std::string& name) {
  FoundFile file;
  file.path = folder / PathFromUtf8(name);
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(file.path, ec);
  file.size = ec ? 0 : static_cast<std::uint64_t>(size);
  return file;
}

// Every archive under `folder`, in path order, listing folders with `list`.
template <class ListFn>
void CollectArchives(const fs::path& folder, int depth, ListFn& list, std::vector<fs::path>& out) {
  const auto& listing = list(folder);
  for (const Listing::Item& item : listing.items) {
    if (item.folder) {
      if (!item.linked && depth < kMaxFolderDepth) {
        CollectArchives(folder / PathFromUtf8(item.name), depth + 1, list, out);
      }
    } else if (EndsWithIgnoringCase(item.name, ".far")) {
      out.push_back(folder / PathFromUtf8(item.name));
    }
  }
}

class DiskGameFiles final : public game::GameFiles {
 public:
  explicit DiskGameFiles(fs::path gameFolder) : gameFolder_(std::move(gameFolder)) {}

  std::optional<FoundFile> FindMesh(const fs::path& suitFolder, char type, std::string_view meshName) override {
    const std::string skn = std::string(meshName) + ".skn";
    const std::string bmf = std::string(meshName) + ".bmf";
    for (const fs::path* folder : Places(suitFolder, type)) {
      const Listing& listing = Listed(*folder);
      for (const std::string* title : {&skn, &bmf}) {
        if (const Listing::Item* item = FindItem(listing, *title)) return LooseFile(*folder, item->name);
      }
    }
    IndexArchives();
    const std::optional<EntryRef> sknEntry = FindEntry(skn);
    const std::optional<EntryRef> bmfEntry = FindEntry(bmf);
    // Each archive is a place of its own: an earlier archive's .bmf wins over a later one's .skn.
    if (sknEntry && (!bmfEntry || sknEntry->archive <= bmfEntry->archive)) return EntryFile(*sknEntry);
    if (bmfEntry) return EntryFile(*bmfEntry);
    return std::nullopt;
  }

  std::optional<FoundFile> FindFile(const fs::path& suitFolder, char type, std::string_view fileTitle) override {
    for (const fs::path* folder : Places(suitFolder, type)) {
      if (const Listing::Item* item = FindItem(Listed(*folder), fileTitle)) return LooseFile(*folder, item->name);
    }
    IndexArchives();
    if (const std::optional<EntryRef> ref = FindEntry(fileTitle)) return EntryFile(*ref);
    return std::nullopt;
  }

  std::vector<FoundFile> PairedTextures(const fs::path& suitFolder, char type, std::string_view code) override {
    const std::string codeKey = FoldedKey(code);
    std::map<std::string, FoundFile> byName;  // folded title -> the first place's file
    for (const fs::path* folder : Places(suitFolder, type)) {
      Listing& listing = Listed(*folder);
      if (!listing.textures) {
        listing.textures.emplace();
        for (std::size_t i = 0; i < listing.items.size(); ++i) {
          if (listing.items[i].folder) continue;
          if (const auto texture = game::ParseTextureName(listing.items[i].name)) {
            (*listing.textures)[FoldedKey(texture->code)].push_back(i);
          }
        }
      }
      const auto found = listing.textures->find(codeKey);
      if (found == listing.textures->end()) continue;
      for (const std::size_t i : found->second) {
        const Listing::Item& item = listing.items[i];
        if (game::PairsWith(item.name, code) && !byName.contains(item.key)) {
          byName.emplace(item.key, LooseFile(*folder, item.name));
        }
      }
    }
    IndexArchives();
    if (!archiveTextures_) {
      archiveTextures_.emplace();
      std::string text;
      for (std::uint32_t a = 0; a < archives_.size(); ++a) {
        for (const game::FarRecord record : archives_[a].manifest) {
          if (const auto texture = game::ParseTextureName(TitleText(record.name, text))) {
            (*archiveTextures_)[FoldedKey(texture->code)].push_back({a, record.at});
          }
        }
      }
    }
    if (const auto found = archiveTextures_->find(codeKey); found != archiveTextures_->end()) {
      std::string text;
      for (const EntryRef& ref : found->second) {
        const std::string_view title = TitleText(archives_[ref.archive].manifest.At(ref.at).name, text);
        if (game::PairsWith(title, code)) byName.try_emplace(FoldedKey(title), EntryFile(ref));
      }
    }
    std::vector<FoundFile> textures;
    textures.reserve(byName.size());
    for (auto& [key, file] : byName) textures.push_back(std::move(file));
    return textures;
  }

  std::string Read(const FoundFile& file, std::size_t maxBytes) override {
    const std::string shown = file.Shown();
    std::uintmax_t size = 0;
    errno = 0;
    const OpenFile in = OpenRegularFile(file.path, size);
    if (!in) {
      const std::string subject = file.InArchive() ? "the archive" : "it";
      throw GameFileError(shown, 0, game::kNoOffset, WhyNotOpened(file.path, errno, subject));
    }
    if (!file.InArchive()) {
      return ReadAt(in.get(), 0, static_cast<std::size_t>(std::min<std::uintmax_t>(size, maxBytes)), shown);
    }
    // The archive may have changed since its manifest was read.
    if (file.offset > size || file.size > size - file.offset) {
      throw GameFileError(shown, 0, file.offset, "the entry lies outside the archive, which is " +
                                                     std::to_string(size) + " bytes long");
    }
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(file.size, maxBytes));
    std::string bytes = ReadAt(in.get(), file.offset, count, shown);
    if (bytes.size() < count) throw GameFileError(shown, 0, file.offset, "the archive ends inside the entry");
    return bytes;
  }

  const std::vector<game::FoundSkeletons>& GameSkeletons() override {
    if (skeletonsRead_) return skeletons_;
    skeletonsRead_ = true;
    for (const fs::path* folder : {SkinFolder(), SkinsBuyFolder()}) {
      if (folder == nullptr) continue;
      for (const Listing::Item& item : Listed(*folder).items) {
        if (item.folder || !IsSkeletonFileName(item.name)) continue;
        const FoundFile file = LooseFile(*folder, item.name);
        auto read = [&] { return Read(file, game::kMaxSkeletonBytes + 1); };
        if (auto skeletons = ReadSkeletonFile(file, read)) {
          if (!skeletons->skeletons.empty()) skeletons_.push_back({file, std::move(skeletons->skeletons)});
        }
      }
    }
    ReadArchiveSkeletonFiles();
    skeletons_.insert(skeletons_.end(), archiveSkeletons_.begin(), archiveSkeletons_.end());
    return skeletons_;
  }

  const std::vector<game::FoundSuit>& ArchiveSuits() override {
    ReadArchiveSkeletonFiles();
    return archiveSuits_;
  }

  std::vector<FoundFile> GameSuitFiles() override {
    std::vector<FoundFile> suits;
    for (const fs::path* folder : {SkinFolder(), SkinsBuyFolder()}) {
      if (folder == nullptr) continue;
      for (const Listing::Item& item : Listed(*folder).items) {
        if (item.folder || !EndsWithIgnoringCase(item.name, ".cmx") || IsSkeletonFileName(item.name)) continue;
        suits.push_back(LooseFile(*folder, item.name));
      }
    }
    return suits;
  }

  std::vector<game::GameFileProblem> Problems() override { return problems_; }

 private:
  static bool IsSkeletonFileName(std::string_view name) {
    return EndsWithIgnoringCase(name, ".bcf") || EndsWithIgnoringCase(name, "skeleton.cmx");
  }

  Listing& Listed(const fs::path& folder) {
    auto found = folders_.find(folder);
    if (found == folders_.end()) found = folders_.emplace(folder, ListFolder(folder)).first;
    return found->second;
  }

  const fs::path* SkinFolder() { return GameSubfolder(skins_, "GameData/Skins"); }
  const fs::path* SkinsBuyFolder() { return GameSubfolder(skinsBuy_, "ExpansionShared/SkinsBuy"); }
  const fs::path* GameSubfolder(std::optional<fs::path>& resolved, std::string_view relative) {
    if (gameFolder_.empty()) return nullptr;
    if (!resolved) resolved = ResolveCaseInsensitive(gameFolder_, relative);
    return &*resolved;
  }

  // The folders searched before the archives, in order.
  std::vector<const fs::path*> Places(const fs::path& suitFolder, char type) {
    std::vector<const fs::path*> places{&suitFolder};
    if (const fs::path* skins = game::IsCreateASimType(type) ? SkinFolder() : SkinsBuyFolder()) {
      places.push_back(skins);
    }
    return places;
  }

  void IndexArchives() {
    if (archivesIndexed_) return;
    archivesIndexed_ = true;
    if (gameFolder_.empty()) return;
    std::vector<fs::path> paths;
    auto list = [this](const fs::path& folder) -> const Listing& { return Listed(folder); };
    CollectArchives(gameFolder_, 0, list, paths);
    archives_.reserve(paths.size());
    std::uint64_t base = 0;
    for (fs::path& path : paths) {
      if (std::optional<game::FarManifest> manifest = ReadManifest(path, base)) {
        const auto at = static_cast<std::uint32_t>(base);
        base += manifest->ByteSize();
        archives_.push_back({std::move(path), std::move(*manifest), at});
      }
    }
    entryIndex_.Build(archives_);
  }

  // An archive's manifest from its header and the manifest's bytes alone,
  // never the entries' bytes; nothing after reporting why. `kept` is what
  // the archives before it keep.
  std::optional<game::FarManifest> ReadManifest(const fs::path& path, std::uint64_t kept) {
    FoundFile whole;
    whole.path = path;
    const std::string shown = whole.Shown();
    try {
      std::uintmax_t size = 0;
      errno = 0;
      const OpenFile in = OpenRegularFile(whole.path, size);
      if (!in) throw GameFileError(shown, 0, game::kNoOffset, WhyNotOpened(whole.path, errno, "it"));
      // Only two reads are made, so stdio's buffer would just copy them.
      std::setvbuf(in.get(), nullptr, _IONBF, 0);
      char header[game::kFarHeaderSize];
      const std::size_t got = std::fread(header, 1, sizeof header, in.get());
      if (std::ferror(in.get())) throw GameFileError(shown, 0, 0, "it cannot be read");
      const std::uint32_t manifestOffset = game::ReadFarHeader(std::string_view(header, got), size, shown);
      const std::uint64_t manifestSize = size - manifestOffset;
      if (manifestSize > game::kMaxFarManifestBytes) {
        throw GameFileError(shown, 0, manifestOffset, "the manifest is " + std::to_string(manifestSize) +
                                                          " bytes, more than an archive's can be");
      }
      if (kept + manifestSize > kMaxManifestsBytes) {
        throw GameFileError(shown, 0, manifestOffset,
                            "the manifest is " + std::to_string(manifestSize) +
                                " bytes, more than the archives before it leave room for in memory");
      }
      // Kept as read: memory filled first would only be touched twice.
      const auto count = static_cast<std::size_t>(manifestSize);
      std::unique_ptr<char[]> manifest(new char[count]);
      if (!SeekTo(in.get(), manifestOffset)) throw GameFileError(shown, 0, manifestOffset, "it cannot be read");
      const std::size_t read = std::fread(manifest.get(), 1, count, in.get());
      if (std::ferror(in.get())) throw GameFileError(shown, 0, manifestOffset, "it cannot be read");
      if (read < count) throw GameFileError(shown, 0, manifestOffset, "the archive ends early");
      return game::FarManifest(std::move(manifest), count, manifestOffset, size, shown);
    } catch (const GameFileError& e) {
      AddProblem(shown, ProblemText(e));
      return std::nullopt;
    }
  }

  std::optional<EntryRef> FindEntry(std::string_view title) const { return entryIndex_.Find(title); }

  // The name leaves the index here, as UTF-8.
  FoundFile EntryFile(EntryRef ref) const {
    const Archive& archive = archives_[ref.archive];
    const game::FarRecord record = archive.manifest.At(ref.at);
    return {archive.path, game::FarNameUtf8(record.name), record.offset, record.size};
  }

  // The skeletons and suits of one skeleton file, or nothing after reporting why.
  template <class ReadFn>
  std::optional<game::SkeletonFile> ReadSkeletonFile(const FoundFile& file, ReadFn read) {
    const std::string shown = file.Shown();
    try {
      if (file.size > game::kMaxSkeletonBytes) {
        throw GameFileError(shown, 0, game::kNoOffset,
                            "it is " + std::to_string(file.size) + " bytes, too large for a skeleton file");
      }
      const std::string bytes = read();
      return EndsWithIgnoringCase(file.Title(), ".bcf") ? game::ReadBcf(bytes, shown)
                                                        : game::ReadCmxSkeletons(bytes, shown);
    } catch (const GameFileError& e) {
      AddProblem(shown, ProblemText(e));
      return std::nullopt;
    }
  }

  // Every archived skeleton file, each archive opened once.
  void ReadArchiveSkeletonFiles() {
    if (archiveSkeletonFilesRead_) return;
    archiveSkeletonFilesRead_ = true;
    IndexArchives();
    for (std::uint32_t a = 0; a < archives_.size(); ++a) {
      const Archive& archive = archives_[a];
      OpenFile in;
      std::uintmax_t size = 0;
      for (const game::FarRecord record : archive.manifest) {
        if (!IsSkeletonFileName(game::EntryTitle(record.name))) continue;
        const FoundFile file = EntryFile({a, record.at});
        if (!in) {
          errno = 0;
          in = OpenRegularFile(archive.path, size);
          if (!in) {
            FoundFile whole;
            whole.path = archive.path;
            AddProblem(whole.Shown(), WhyNotOpened(archive.path, errno, "it"));
            break;
          }
        }
        auto read = [&] {
          if (file.offset + file.size > size) {
            throw GameFileError(file.Shown(), 0, file.offset, "the archive ends inside the entry");
          }
          return ReadAt(in.get(), file.offset, static_cast<std::size_t>(file.size), file.Shown());
        };
        if (auto contents = ReadSkeletonFile(file, read)) {
          if (!contents->skeletons.empty()) archiveSkeletons_.push_back({file, std::move(contents->skeletons)});
          for (game::BcfSuit& suit : contents->suits) archiveSuits_.push_back({file, std::move(suit)});
        }
      }
    }
  }

  void AddProblem(std::string file, std::string message) {
    if (!problemsSeen_.insert(file + '\n' + message).second) return;
    problems_.push_back({std::move(file), std::move(message)});
  }

  fs::path gameFolder_;
  std::optional<fs::path> skins_;
  std::optional<fs::path> skinsBuy_;
  std::map<fs::path, Listing> folders_;  // node-based: references stay valid while it grows

  bool archivesIndexed_ = false;
  std::vector<Archive> archives_;
  EntryIndex entryIndex_;
  std::optional<std::unordered_map<std::string, std::vector<EntryRef>>> archiveTextures_;

  bool skeletonsRead_ = false;
  std::vector<game::FoundSkeletons> skeletons_;
  bool archiveSkeletonFilesRead_ = false;
  std::vector<game::FoundSkeletons> archiveSkeletons_;
  std::vector<game::FoundSuit> archiveSuits_;

  std::vector<game::GameFileProblem> problems_;
  std::set<std::string> problemsSeen_;
};

}  // namespace

bool LooksLikeGameFolder(const fs::path& folder) {
  if (folder.empty()) return false;
  std::error_code ec;
  return fs::is_directory(ResolveCaseInsensitive(folder, "GameData"), ec);
}

std::unique_ptr<game::GameFiles> OpenGameFiles(const fs::path& gameFolder) {
  return std::make_unique<DiskGameFiles>(gameFolder);
}

std::vector<fs::path> GameArchives(const fs::path& gameFolder) {
  std::vector<fs::path> archives;
  if (gameFolder.empty()) return archives;
  auto list = [](const fs::path& folder) { return ListFolder(folder); };
  CollectArchives(gameFolder, 0, list, archives);
  return archives;
}

}  // namespace tailorloft::env
