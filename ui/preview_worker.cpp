// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preview_worker.h"

#include <QMetaObject>
#include <QObject>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

#include "core/cmx_reader.h"
#include "core/file_system.h"
#include "core/fold_case.h"
#include "core/utf8.h"
#include "env/game_files.h"
#include "env/paths.h"
#include "env/system_codepage.h"
#include "game/game_files.h"
#include "game/suit_check.h"
#include "game/texture_names.h"

namespace tailorloft::ui {
namespace {

namespace fs = std::filesystem;

// Larger than any suit file; a file this big is not offered as one.
constexpr std::uintmax_t kMaxSuitFileBytes = 1 << 20;

// The game's files as seen from another folder: lookups for a suit in
// `standIn` look where they would for a suit in `folder`. The suit on screen
// is checked from a copy in a scratch folder, but its meshes and textures are
// looked for where the saved suit will be.
class FolderStandIn final : public game::GameFiles {
 public:
  FolderStandIn(game::GameFiles& inner, const fs::path& standIn, fs::path folder)
      : inner_(inner), standIn_(Normal(standIn)), folder_(std::move(folder)) {}

  std::optional<game::FoundFile> FindMesh(const fs::path& suitFolder, char type,
                                          std::string_view meshName) override {
    return inner_.FindMesh(Mapped(suitFolder), type, meshName);
  }
  std::optional<game::FoundFile> FindFile(const fs::path& suitFolder, char type,
                                          std::string_view fileTitle) override {
    return inner_.FindFile(Mapped(suitFolder), type, fileTitle);
  }
  std::vector<game::FoundFile> PairedTextures(const fs::path& suitFolder, char type,
                                              std::string_view code) override {
    return inner_.PairedTextures(Mapped(suitFolder), type, code);
  }
  std::string Read(const game::FoundFile& file, std::size_t maxBytes) override {
    return inner_.Read(file, maxBytes);
  }
  const std::vector<game::FoundSkeletons>& GameSkeletons() override { return inner_.GameSkeletons(); }
  const std::vector<game::FoundSuit>& ArchiveSuits() override { return inner_.ArchiveSuits(); }
  std::vector<game::FoundFile> GameSuitFiles() override { return inner_.GameSuitFiles(); }
  std::vector<game::GameFileProblem> Problems() override { return inner_.Problems(); }

  // The check names folders in its own spelling (separators made the
  // system's own, "." and ".." gone).
  static fs::path Normal(const fs::path& folder) {
    fs::path normal = folder.lexically_normal();
    return normal.has_filename() ? normal : normal.parent_path();
  }

 private:
  const fs::path& Mapped(const fs::path& folder) const { return Normal(folder) == standIn_ ? folder_ : folder; }

  game::GameFiles& inner_;
  fs::path standIn_;
  fs::path folder_;
};

// The folder's own name, whether or not the path ends in a separator.
fs::path FolderName(const fs::path& folder) {
  const fs::path trimmed = folder.has_filename() ? folder : folder.parent_path();
  return trimmed.filename();
}

bool SameFolder(std::string_view a, std::string_view b) {
#ifdef _WIN32
  return EqualsIgnoringCase(a, b);  // as Windows compares them
#else
  return a == b;
#endif
}

bool IsSuitFileName(const fs::path& name) {
  const std::string text = Utf8FromPath(name.extension());
  return EqualsIgnoringCase(text, ".cmx");
}

// The names of the suit files in `folder` whose code is `code` (ignoring
// case): all a suit of that code can clash with there. Names alone, so a
// skin folder of thousands of suits costs one listing.
std::vector<fs::path> SuitFilesOfCode(const fs::path& folder, const std::string& code) {
  std::vector<fs::path> names;
  if (folder.empty()) return names;
  const std::string key = FoldedKey(code);
  const auto ofCode = [&](const fs::path& name) {
    return IsSuitFileName(name) && FoldedKey(game::SuitCode(Utf8FromPath(name))) == key;
  };
  std::error_code ec;
  for (FolderEntry& entry : RealFileSystem().List(folder, ofCode, ec)) names.push_back(std::move(entry.name));
  return names;
}

// The suits among `names` (in `folder`) that hold a suit, as the check of
// the whole folder sees them.
void AddSuitsOfCode(const fs::path& folder, const std::vector<fs::path>& names,
                    std::vector<game::SuitCodeUse>& uses) {
  for (const fs::path& name : names) {
    const fs::path path = folder / name;
    const std::string title = Utf8FromPath(name);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) > kMaxSuitFileBytes || ec) continue;
    try {
      if (ReadCmxFile(path, env::SystemCodePage()).suits.empty()) continue;  // a skeleton file, say
    } catch (const std::exception&) {
      continue;  // the game cannot read it either, so it pairs no textures
    }
    uses.push_back({game::SuitCode(title), Utf8FromPath(path.stem()), Utf8FromPath(path), true});
  }
}

// id-clash as the game sees it once the suit is where it is saved: with the
// suits beside it and in the game's skin folder for its type (the folders the
// game reads whole; `--check` of either folder names them) and the suits in
// the game's archives. The check of the suit alone knows only the last.
// `beside` are the suit files of its code in its folder.
std::vector<game::Finding> CodeClashes(const CheckJob& job, const std::vector<fs::path>& beside,
                                       const fs::path& gameFolder, game::GameFiles& gameFiles) {
  const std::string code = game::SuitCode(job.cmxFileTitle);
  std::vector<game::SuitCodeUse> uses{
      {code, Utf8FromPath(PathFromUtf8(job.cmxFileTitle).stem()), job.cmxFileTitle, true}};
  AddSuitsOfCode(job.suitFolder, beside, uses);
  if (!gameFolder.empty()) {
    const fs::path skins = env::ResolveCaseInsensitive(
        gameFolder, game::IsCreateASimType(game::OutfitType(code)) ? "GameData/Skins" : "ExpansionShared/SkinsBuy");
    if (FolderStandIn::Normal(skins) != FolderStandIn::Normal(job.suitFolder)) {
      AddSuitsOfCode(skins, SuitFilesOfCode(skins, code), uses);
    }
  }
  for (const game::FoundSuit& found : gameFiles.ArchiveSuits()) {
    uses.push_back({game::SuitCode(found.suit.name + ".cmx"), found.suit.name, found.file.Shown(), false});
  }
  std::vector<game::Finding> findings = game::CodeClashFindings(uses);
  std::erase_if(findings, [&](const game::Finding& finding) { return finding.file != job.cmxFileTitle; });
  return findings;
}

// id-clash of names: a file beside the suit (among `beside`, those of its
// code) whose name differs from the suit's only in letter case, which on
// Windows is the same file. The check sees only the suit's copy, so the
// folder is looked at here.
std::vector<game::Finding> CaseClashes(const CheckJob& job, const std::vector<fs::path>& beside) {
  const std::string key = FoldedKey(job.cmxFileTitle);
  std::vector<std::string> names{job.cmxFileTitle};
  for (const fs::path& entry : beside) {
    std::string name = Utf8FromPath(entry);
    if (name != job.cmxFileTitle && FoldedKey(name) == key) names.push_back(std::move(name));
  }
  return game::CaseClashFindings({}, std::move(names));
}

std::vector<game::Finding> RunCheck(const CheckJob& job, const fs::path& gameFolder, game::GameFiles& gameFiles) {
  const auto problem = [&](std::string message) {
    return std::vector<game::Finding>{
        {job.cmxFileTitle, 0, game::Severity::kError, "unreadable", std::move(message)}};
  };
  QTemporaryDir scratch;
  if (!scratch.isValid()) return problem("the check could not make a scratch folder: " + scratch.errorString().toStdString());
  // Named like the suit's own folder, which the folder rules read.
  fs::path name = FolderName(job.suitFolder);
  if (name.empty()) name = "Suit";
  const fs::path folder = (fs::path(scratch.path().toStdU16String()) / name).make_preferred();
  const fs::path file = folder / PathFromUtf8(job.cmxFileTitle);
  std::error_code ec;
  fs::create_directories(folder, ec);
  {
    std::ofstream out(file, std::ios::binary);
    out.write(job.cmxBytes.data(), static_cast<std::streamsize>(job.cmxBytes.size()));
    if (ec || !out.flush()) return problem("the check could not write its copy of the suit");
  }

  FolderStandIn standIn(gameFiles, folder, job.suitFolder);
  game::CheckResult result = game::CheckSuits({file}, {}, standIn, RealFileSystem());

  // The suit by its title, and the files beside it by theirs.
  const std::string copy = Utf8FromPath(file);
  const std::string suitFolder = Utf8FromPath(FolderStandIn::Normal(job.suitFolder));
  for (game::Finding& finding : result.findings) {
    if (finding.file == copy) {
      finding.file = job.cmxFileTitle;
      continue;
    }
    const fs::path found = PathFromUtf8(finding.file).lexically_normal();
    if (!job.suitFolder.empty() && SameFolder(Utf8FromPath(found.parent_path()), suitFolder)) {
      finding.file = Utf8FromPath(found.filename());
    }
  }
  std::erase_if(result.findings, [&](const game::Finding& finding) {
    return finding.code == "id-clash" && finding.file == job.cmxFileTitle;
  });
  const std::vector<fs::path> beside = SuitFilesOfCode(job.suitFolder, game::SuitCode(job.cmxFileTitle));
  for (game::Finding& clash : CodeClashes(job, beside, gameFolder, gameFiles)) result.findings.push_back(std::move(clash));
  for (game::Finding& clash : CaseClashes(job, beside)) result.findings.push_back(std::move(clash));
  game::SortFindings(result.findings);
  return std::move(result.findings);
}

// The suits of the loose suit files in `folder` whose main skin is on `bone`.
void AddLooseSuits(const fs::path& folder, std::string_view bone, std::set<std::string>& seen,
                   std::vector<CompanionSuit>& out) {
  if (folder.empty()) return;
  std::vector<CompanionSuit> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end; it.increment(ec)) {
    std::error_code entryEc;
    if (!IsSuitFileName(it->path().filename()) || !it->is_regular_file(entryEc) ||
        it->file_size(entryEc) > kMaxSuitFileBytes || entryEc) {
      continue;
    }
    try {
      const CmxContents contents = ReadCmxFile(it->path(), env::SystemCodePage());
      if (contents.suits.empty() || contents.suits.front().skins.empty() ||
          contents.suits.front().skins.front().bone != bone) {
        continue;
      }
      CompanionSuit suit;
      suit.label = Utf8FromPath(it->path().filename());
      suit.folder = folder;
      suit.code = game::SuitCode(suit.label);
      suit.skins = render::SkinChoices(contents.suits.front());
      found.push_back(std::move(suit));
    } catch (const std::exception&) {
      // Not a suit the game could show either; it is not offered.
    }
  }
  std::sort(found.begin(), found.end(), [](const CompanionSuit& a, const CompanionSuit& b) {
    return FoldedKey(a.label) < FoldedKey(b.label);
  });
  for (CompanionSuit& suit : found) {
    if (seen.insert(FoldedKey(suit.label)).second) out.push_back(std::move(suit));
  }
}

}  // namespace

PreviewWorker::PreviewWorker(fs::path gameFolder) : gameFolder_(std::move(gameFolder)), context_(new QObject) {
  context_->moveToThread(&thread_);
  thread_.setObjectName(QStringLiteral("Preview worker"));
  thread_.start(QThread::LowPriority);
}

PreviewWorker::~PreviewWorker() {
  stopping_ = true;
  // Deleted on its own thread once the loop has stopped.
  context_->deleteLater();
  thread_.quit();
  thread_.wait();
}

void PreviewWorker::ForgetFolders() { forgetFolders_ = true; }

void PreviewWorker::Post(std::function<void()> work) {
  QMetaObject::invokeMethod(
      context_,
      [this, work = std::move(work)] {
        if (!stopping_) work();
      },
      Qt::QueuedConnection);
}

game::GameFiles& PreviewWorker::Game() {
  if (!game_ || forgetFolders_.exchange(false)) game_ = env::OpenGameFiles(gameFolder_);
  return *game_;
}

void PreviewWorker::Check(CheckJob job, QObject* receiver, std::function<void(std::vector<game::Finding>)> done) {
  const int generation = ++latestCheck_;
  Post([this, generation, job = std::move(job), receiver, done = std::move(done)] {
    if (generation != latestCheck_) return;
    std::vector<game::Finding> findings = RunCheck(job, gameFolder_, Game());
    QMetaObject::invokeMethod(
        receiver,
        [this, generation, findings = std::move(findings), done] {
          if (generation == latestCheck_) done(findings);
        },
        Qt::QueuedConnection);
  });
}

void PreviewWorker::ListCompanions(bool heads, fs::path folder, QObject* receiver,
                                   std::function<void(std::vector<CompanionSuit>)> done) {
  Post([this, heads, folder = std::move(folder), receiver, done = std::move(done)] {
    const std::string bone = heads ? "HEAD" : "PELVIS";
    std::vector<CompanionSuit> suits;
    std::set<std::string> seen;
    AddLooseSuits(folder, bone, seen, suits);
    if (!gameFolder_.empty()) {
      for (const char* place : {"GameData/Skins", "ExpansionShared/SkinsBuy"}) {
        const fs::path skins = env::ResolveCaseInsensitive(gameFolder_, place);
        if (skins != folder) AddLooseSuits(skins, bone, seen, suits);
      }
    }
    std::vector<CompanionSuit> archived;
    for (const game::FoundSuit& found : Game().ArchiveSuits()) {
      if (found.suit.skins.empty() || found.suit.skins.front().bone != bone) continue;
      CompanionSuit suit;
      suit.label = found.suit.name;
      suit.code = game::SuitCode(found.suit.name + ".cmx");
      for (const game::BcfSkin& skin : found.suit.skins) suit.skins.push_back({skin.bone, skin.skinName, {}});
      archived.push_back(std::move(suit));
    }
    std::sort(archived.begin(), archived.end(), [](const CompanionSuit& a, const CompanionSuit& b) {
      return FoldedKey(a.label) < FoldedKey(b.label);
    });
    for (CompanionSuit& suit : archived) {
      if (seen.insert(FoldedKey(suit.label + ".cmx")).second) {
        suit.label += " (the game's)";
        suits.push_back(std::move(suit));
      }
    }
    QMetaObject::invokeMethod(
        receiver, [suits = std::move(suits), done] { done(suits); }, Qt::QueuedConnection);
  });
}

}  // namespace tailorloft::ui
