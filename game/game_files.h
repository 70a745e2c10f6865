// SPDX-License-Identifier: GPL-3.0-or-later
// Where the files a suit names are, as the game finds them: the suit's own
// folder, then the game's skin folder for the outfit's type, then the entries
// of the game's archives. The seam between the suit check and the disk; the
// real one is env/game_files.h, tests may use their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/skeleton.h"

namespace tailorloft::game {

// The most of a mesh or a skeleton file read whole: a real mesh is tens of KB,
// and a skeleton file, which may also hold the suits of its skeletons, a few
// MB at most, so what is larger is not a file of the game and is refused
// unread.
inline constexpr std::size_t kMaxMeshBytes = std::size_t{16} << 20;
inline constexpr std::size_t kMaxSkeletonBytes = std::size_t{64} << 20;

// An entry's name without the folders an archive may file it under. Works
// alike on a name as stored and on its UTF-8 form: the separators are ASCII.
std::string_view EntryTitle(std::string_view entryName);

// A file found for a suit: a loose file, or an entry of one of the game's archives.
struct FoundFile {
  std::filesystem::path path;  // the loose file, or the archive that holds the entry
  std::string entry;           // the entry's name inside the archive (UTF-8); empty for a loose file
  std::uint64_t offset = 0;    // where the entry's bytes start in the archive
  std::uint64_t size = 0;      // the loose file's or the entry's size in bytes

  bool InArchive() const { return !entry.empty(); }
  // How findings name it: the path for a loose file, "ARCHIVE.far/ENTRY" for an entry.
  std::string Shown() const;
  // The file's own name: the loose file's, or the last part of the entry's.
  std::string Title() const;

  friend bool operator==(const FoundFile&, const FoundFile&) = default;
};

// The skeletons of one skeleton file of the game (loose, or in an archive).
struct FoundSkeletons {
  FoundFile file;
  std::vector<Skeleton> skeletons;
};

// A suit kept in one of the archives' BCF files.
struct FoundSuit {
  FoundFile file;
  BcfSuit suit;
};

// A file of the game that could not be used (an archive whose manifest is
// broken, a BCF that cannot be read): reported once, and the search goes on.
struct GameFileProblem {
  std::string file;  // as FoundFile::Shown names it
  std::string message;
};

class GameFiles {
 public:
  virtual ~GameFiles() = default;

  // The mesh called `meshName` (no extension) for a suit in `suitFolder`
  // whose outfit type is `type` (OutfitType of its code): the suit's folder,
  // then the game's GameData/Skins (types B, C) or ExpansionShared/SkinsBuy
  // (others), then the entries of every archive in path order. In one place
  // `.skn` comes before `.bmf`. Names compare ignoring case; the first found wins.
  virtual std::optional<FoundFile> FindMesh(const std::filesystem::path& suitFolder, char type,
                                            std::string_view meshName) = 0;

  // A file called `fileTitle` (a texture "NAME.bmp", a skeleton), in the same places.
  virtual std::optional<FoundFile> FindFile(const std::filesystem::path& suitFolder, char type,
                                            std::string_view fileTitle) = 0;

  // Every texture that pairs with a suit of code `code` (PairsWith), across
  // the same places; of several with one name (ignoring case) the first place
  // wins. In name order.
  virtual std::vector<FoundFile> PairedTextures(const std::filesystem::path& suitFolder, char type,
                                                std::string_view code) = 0;

  // Up to `maxBytes` bytes of `file` from its start. Throws GameFileError
  // when it cannot be read; a FIFO or a device is never waited on.
  virtual std::string Read(const FoundFile& file, std::size_t maxBytes) = 0;

  // The game's own skeleton files (loose in its skin folders, and in its
  // archives), read once a run.
  virtual const std::vector<FoundSkeletons>& GameSkeletons() = 0;

  // The suits in the archives' BCF files, read once a run.
  virtual const std::vector<FoundSuit>& ArchiveSuits() = 0;

  // The suit files loose in the game's skin folders (GameData/Skins, then
  // ExpansionShared/SkinsBuy), in name order, skeleton files left out; not
  // read. None without a game.
  virtual std::vector<FoundFile> GameSuitFiles() = 0;

  // The game's files that could not be used so far, each once.
  virtual std::vector<GameFileProblem> Problems() = 0;
};

}  // namespace tailorloft::game
