// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frm_preview.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <set>
#include <stdexcept>
#include <utility>

#include "core/attachment.h"
#include "core/cmx_writer.h"
#include "core/skin_names.h"
#include "core/utf8.h"
#include "env/game_files.h"
#include "env/picture_files.h"
#include "env/remembered_folder.h"
#include "env/system_codepage.h"
#include "game/game_files.h"
#include "ui/form_layout.h"
#include "ui/preview_worker.h"
#include "ui/suit_picture.h"

namespace tailorloft::ui {

namespace fs = std::filesystem;

namespace {

// Kept with the remembered folder, in a group of their own.
const QString kGeometryKey = QStringLiteral("Preview/Geometry");
const QString kSkeletonKey = QStringLiteral("Preview/Skeleton File");

QSettings Store() {
  return QSettings(QSettings::defaultFormat(), QSettings::UserScope, QStringLiteral("Tailorloft"),
                   QStringLiteral("Tailorloft"));
}

fs::path ToPath(const QString& name) { return fs::path(name.toStdU16String()); }
QString FromPath(const fs::path& path) { return QString::fromStdU16String(path.u16string()); }
QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Files, changed on disk, are often written in several steps; one redraw
// follows them all.
constexpr int kDiskSettleMs = 150;

const std::pair<game::Tone, const char*> kTones[] = {
    {game::Tone::kLight, "Light"}, {game::Tone::kMedium, "Medium"}, {game::Tone::kDark, "Dark"}};

// The file's own name, for a texture offered by name.
QString TitleOf(const game::FoundFile& file) {
  const std::string& name = file.InArchive() ? file.entry : Utf8FromPath(file.path.filename());
  const std::size_t cut = name.find_last_of("/\\");
  return FromUtf8(cut == std::string::npos ? name : name.substr(cut + 1));
}

QString Capitalised(const std::string& text) {
  QString sentence = FromUtf8(text);
  if (!sentence.isEmpty()) sentence[0] = sentence[0].toUpper();
  if (!sentence.endsWith(QLatin1Char('.'))) sentence += QLatin1Char('.');
  return sentence;
}

// The scene of `request`; skins whose mesh cannot be drawn are left out and
// said so in `notDrawn`, so that one missing accessory does not hide the rest.
std::shared_ptr<render::SuitScene> BuildWithout(render::SceneRequest request, const game::Skeleton& skeleton,
                                                game::GameFiles& game, const render::TextureDecoder& decode,
                                                QStringList& notDrawn) {
  try {
    return std::make_shared<render::SuitScene>(render::BuildSuitScene(request, skeleton, game, decode));
  } catch (const render::SceneError&) {
    // Which skins: each alone.
  }
  std::vector<render::SkinChoice> drawable;
  std::vector<std::string> firstAloneWarnings;
  bool mainDrawable = false;
  for (std::size_t i = 0; i < request.skins.size(); ++i) {
    render::SceneRequest alone = request;
    alone.skins = {request.skins[i]};
    if (i > 0) alone.texture.reset();
    try {
      const render::SuitScene scene = render::BuildSuitScene(alone, skeleton, game, decode);
      if (i == 0) mainDrawable = true;
      if (i > 0 && drawable.empty() && !mainDrawable) firstAloneWarnings = scene.warnings;
      drawable.push_back(request.skins[i]);
    } catch (const render::SceneError& error) {
      notDrawn << FromUtf8(error.what());
    }
  }
  if (drawable.empty()) return nullptr;
  request.skins = drawable;
  if (mainDrawable) return std::make_shared<render::SuitScene>(render::BuildSuitScene(request, skeleton, game, decode));

  // Without the main skin the first accessory would take the suit's
  // texture: it is drawn twice, once in the main skin's place (then
  // dropped, with what was said about it) and once as itself.
  request.texture.reset();
  request.skins.insert(request.skins.begin(), request.skins.front());
  auto scene = std::make_shared<render::SuitScene>(render::BuildSuitScene(request, skeleton, game, decode));
  scene->skins.erase(scene->skins.begin());
  scene->pairedTextures.clear();
  const auto said = static_cast<std::ptrdiff_t>(std::min(firstAloneWarnings.size(), scene->warnings.size()));
  scene->warnings.erase(scene->warnings.begin(), scene->warnings.begin() + said);
  return scene;
}

// How the picture says that no skeleton was found, and how to give one.
QString NoSkeletonText() {
  return QStringLiteral("To see the suit, click Skeleton... and pick the game's adult skeleton "
                        "(adult-skeleton.cmx, or adult-skeleton.cmx.bcf taken from its archives); ") +
         FromUtf8(std::string(render::kNoSkeletonFound)) + QLatin1Char('.');
}

}  // namespace

// What one redraw drew.
struct frmPreview::Drawn {
  std::shared_ptr<render::SuitScene> scene;      // null when nothing could be drawn
  std::shared_ptr<render::SuitScene> companion;  // null for none
  std::optional<render::FoundSkeleton> skeleton;
};

frmPreview::frmPreview(const Desktop& desktop, fs::path gameFolder, std::function<PreviewSuit()> suitOnScreen,
                       QWidget* owner)
    : QWidget(owner, Qt::Window),
      desktop_(desktop),
      gameFolder_(std::move(gameFolder)),
      suitOnScreen_(std::move(suitOnScreen)),
      cdlPicture_(desktop_.newFileDialog()),
      cdlSkeleton_(desktop_.newFileDialog()),
      worker_(std::make_unique<PreviewWorker>(gameFolder_)) {
  setObjectName(QStringLiteral("frmPreview"));
  setWindowTitle(QStringLiteral("Preview"));
  setMinimumSize(400, 500);

  lblTone = MakeCaptioned<QLabel>(this, "lblTone", QStringLiteral("&Skin tone:"));
  cboTone = MakeControl<QComboBox>(this, "cboTone", QStringLiteral("Skin tone"));
  for (const auto& [tone, name] : kTones) cboTone->addItem(QLatin1String(name));
  lblTone->setBuddy(cboTone);

  lblTexture = MakeCaptioned<QLabel>(this, "lblTexture", QStringLiteral("&Texture:"));
  cboTexture = MakeControl<QComboBox>(this, "cboTexture", QStringLiteral("Texture"));
  cboTexture->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cboTexture->setMinimumContentsLength(12);
  lblTexture->setBuddy(cboTexture);

  lblCompanion = MakeCaptioned<QLabel>(this, "lblCompanion", QStringLiteral("Show &with:"));
  cboCompanion = MakeControl<QComboBox>(this, "cboCompanion", QStringLiteral("Suit to show with it"));
  cboCompanion->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cboCompanion->setMinimumContentsLength(12);
  cboCompanion->addItem(QStringLiteral("None"));
  lblCompanion->setBuddy(cboCompanion);

  picSuit = MakeControl<SuitPicture>(this, "picSuit", QStringLiteral("Picture of the suit"));
  picSuit->setToolTip(QStringLiteral("Drag to turn, wheel to zoom, double-click to reset"));

  // Of a fixed height, three lines, so that the picture keeps its size as
  // notes come and go; more scroll.
  txtNotes = MakeControl<QPlainTextEdit>(this, "txtNotes", QStringLiteral("Notes on the picture"));
  txtNotes->setReadOnly(true);
  txtNotes->setFrameShape(QFrame::NoFrame);
  txtNotes->setBackgroundRole(QPalette::Window);
  txtNotes->viewport()->setBackgroundRole(QPalette::Window);
  txtNotes->document()->setDocumentMargin(2);
  txtNotes->setFixedHeight(3 * txtNotes->fontMetrics().lineSpacing() + 4);

  cmdResetView = MakePlainButton(this, "cmdResetView", QStringLiteral("&Reset View"), QStringLiteral("Reset view"));
  cmdSkeleton = MakePlainButton(this, "cmdSkeleton", QStringLiteral("S&keleton..."), QStringLiteral("Pick skeleton file"));
  cmdSavePicture =
      MakePlainButton(this, "cmdSavePicture", QStringLiteral("Save &Picture..."), QStringLiteral("Save picture"));

  lblFindings = MakeCaptioned<QLabel>(this, "lblFindings", QStringLiteral("&Findings of the check"));
  lstFindings = MakeControl<QListWidget>(this, "lstFindings", QStringLiteral("Findings of the check"));
  lstFindings->setWordWrap(true);
  lstFindings->setTextElideMode(Qt::ElideNone);
  lstFindings->setMaximumHeight(130);
  lstFindings->setIconSize(QSize(16, 16));
  lblFindings->setBuddy(lstFindings);

  auto* choices = new QGridLayout;
  choices->addWidget(lblTone, 0, 0);
  choices->addWidget(cboTone, 0, 1);
  choices->addWidget(lblTexture, 0, 2);
  choices->addWidget(cboTexture, 0, 3);
  choices->addWidget(lblCompanion, 1, 0);
  choices->addWidget(cboCompanion, 1, 1, 1, 3);
  choices->setColumnStretch(3, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdResetView);
  buttons->addWidget(cmdSkeleton);
  buttons->addStretch(1);
  buttons->addWidget(cmdSavePicture);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choices);
  layout->addWidget(picSuit, 1);
  layout->addWidget(txtNotes);
  layout->addLayout(buttons);
  layout->addWidget(lblFindings);
  layout->addWidget(lstFindings);
  SetTabOrder({cboTone, cboTexture, cboCompanion, picSuit, txtNotes, cmdResetView, cmdSkeleton, cmdSavePicture,
               lstFindings});

  redrawTimer_ = new QTimer(this);
  redrawTimer_->setSingleShot(true);
  redrawTimer_->setInterval(0);
  connect(redrawTimer_, &QTimer::timeout, this, &frmPreview::Redraw);
  diskTimer_ = new QTimer(this);
  diskTimer_->setSingleShot(true);
  diskTimer_->setInterval(kDiskSettleMs);
  connect(diskTimer_, &QTimer::timeout, this, &frmPreview::Redraw);
  watcher_ = new QFileSystemWatcher(this);
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
    // Watched afresh at the redraw: an editor that saves by renaming a new
    // file over the old leaves the watch on the old one, which never changes again.
    watcher_->removePath(path);
    // An archive, one of the game's .far files: its entries may have moved.
    if (path.endsWith(QLatin1String(".far"), Qt::CaseInsensitive)) foldersChanged_ = true;
    skeleton_.reset();  // it may be the skeleton file that changed
    diskChanged_ = true;
    diskTimer_->start();
  });
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
    foldersChanged_ = true;
    diskChanged_ = true;
    diskTimer_->start();
  });

  connect(cboTone, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0) return;
    tone_ = kTones[index].first;
    texture_.reset();  // each tone has textures of its own
    SuitChanged();
  });
  connect(cboTexture, &QComboBox::activated, this, [this](int index) {
    const int paired = cboTexture->itemData(index).toInt();
    if (paired < 0 || static_cast<std::size_t>(paired) >= pairedTextures_.size()) return;
    texture_ = pairedTextures_[static_cast<std::size_t>(paired)];
    textureCode_ = game::SuitCode(shown_.cmxFileTitle.toStdString());
    SuitChanged();
  });
  connect(cboCompanion, &QComboBox::activated, this, [this](int index) {
    companion_ = index > 0 ? cboCompanion->itemText(index) : QString();
    SuitChanged();
  });
  connect(picSuit, &SuitPicture::Painted, this, &frmPreview::AfterPicture);
  connect(cmdResetView, &QPushButton::clicked, this, &frmPreview::cmdResetView_Click);
  connect(cmdSkeleton, &QPushButton::clicked, this, &frmPreview::cmdSkeleton_Click);
  connect(cmdSavePicture, &QPushButton::clicked, this, &frmPreview::cmdSavePicture_Click);

  if (owner != nullptr) owner->installEventFilter(this);
  if (!restoreGeometry(Store().value(kGeometryKey).toByteArray())) resize(460, 640);
  Redraw();
}

frmPreview::~frmPreview() {
  // Before the controls its answers go to.
  worker_.reset();
}

void frmPreview::ShowPreview() {
  if (!placed_ && !Store().contains(kGeometryKey) && parentWidget() != nullptr) {
    if (const QScreen* screen = parentWidget()->screen()) {
      const QRect owner = parentWidget()->frameGeometry();
      // Its frame will be as wide and as tall as the main window's.
      const Placement placement = PlaceBeside(owner, screen->availableGeometry(), size(), minimumSize(),
                                              owner.size() - parentWidget()->size());
      resize(placement.size);
      move(placement.topLeft);
    }
  }
  placed_ = true;
  show();
  raise();
  activateWindow();
}

void frmPreview::SuitChanged() { redrawTimer_->start(); }

QString frmPreview::SuitName() const {
  QString name = shown_.cmxFileTitle;
  if (name.endsWith(QLatin1String(".cmx"), Qt::CaseInsensitive)) name.chop(4);
  return name;
}

void frmPreview::Redraw() {
  redrawTimer_->stop();
  diskTimer_->stop();
  const bool fromDisk = std::exchange(diskChanged_, false);
  shown_ = suitOnScreen_();
  const QString name = SuitName();
  setWindowTitle(name.isEmpty() ? QStringLiteral("Preview") : QStringLiteral("Preview - ") + name);

  if (foldersChanged_ || !game_) {
    foldersChanged_ = false;
    game_ = env::OpenGameFiles(gameFolder_);
    skeleton_.reset();
    companionsListed_.reset();
    worker_->ForgetFolders();
  }

  const SuitChoices& choices = shown_.choices;
  if (choices.bodyFileTitle.empty()) {
    picSuit->ShowMessage(QStringLiteral("Choose a body or head file in the main window to see the suit here."));
    afterPicture_ = nullptr;
    Drawn nothing;
    ShowDrawn(nothing, {});
    ShowFindings({});
    WatchFiles({}, {}, false);
    return;
  }

  QStringList notes, files, folders;
  const render::SceneRequest request = RequestForSuit(notes, folders);
  const QString picked = PickedSkeleton(notes);
  if (!skeleton_ || skeleton_->picked != ToPath(picked) || skeleton_->suitFolder != request.suitFolder) {
    LookForSkeleton(ToPath(picked), request.suitFolder);
  }
  if (!picked.isEmpty()) files << picked;

  Drawn drawn;
  drawn.skeleton = skeleton_->found;
  if (!request.skins.empty() && skeleton_->found) drawn = DrawScenes(request, notes, files, folders);
  if (skeleton_->found) files << FromPath(skeleton_->found->file.path);
  if (!skeleton_->found) {
    picSuit->ShowMessage(skeleton_->problem);
  } else if (!drawn.scene && !drawn.companion) {
    picSuit->ShowMessage(QStringLiteral("Nothing of the suit can be drawn:\n\n") + notes.join(QLatin1Char('\n')));
    notes.clear();
  } else {
    std::vector<std::shared_ptr<const render::SuitScene>> scenes;
    if (drawn.scene) scenes.push_back(drawn.scene);
    if (drawn.companion) scenes.push_back(drawn.companion);
    picSuit->ShowScenes(std::move(scenes));
  }
  ShowDrawn(drawn, notes);
  // At once, so that no change after the files were read is missed.
  WatchFiles(files, folders, fromDisk);

  // Once the picture is on screen: the suit check, on the worker, of the
  // suit as Save would write it, and the suits to show with it. Neither
  // holds up the picture.
  std::optional<CheckJob> job;
  lstFindings->clear();
  try {
    const Suit suit = GatherSuit(shown_.cmxFileTitle.toStdString(), choices, env::SystemCodePage());
    job = CheckJob{shown_.cmxFileTitle.toStdString(), FormatCmx(suit, env::SystemCodePage()), request.suitFolder};
    lstFindings->addItem(QStringLiteral("Checking the suit..."));
  } catch (const std::invalid_argument& error) {
    lstFindings->addItem(QStringLiteral("The suit cannot be saved as it is: ") + FromUtf8(error.what()));
  }
  const bool heads = !choices.headChosen;
  lblCompanion->setText(heads ? QStringLiteral("Show &with head:") : QStringLiteral("Show &with body:"));
  const fs::path mainFolder = request.skins.empty() ? fs::path() : request.skins.front().folder;
  afterPicture_ = [this, job = std::move(job), heads, mainFolder]() mutable {
    if (job) {
      worker_->Check(std::move(*job), this, [this](const std::vector<game::Finding>& findings) { ShowFindings(findings); });
    }
    ListCompanions(heads, mainFolder);
  };
}

render::SceneRequest frmPreview::RequestForSuit(QStringList& notes, QStringList& folders) {
  const SuitChoices& choices = shown_.choices;
  render::SceneRequest request;
  request.suitFolder = ToPath(shown_.suitFolder);
  request.code = game::SuitCode(shown_.cmxFileTitle.toStdString());
  request.tone = tone_;
  if (texture_ && textureCode_ != request.code) texture_.reset();  // picked for another suit
  request.texture = texture_;
  if (!shown_.suitFolder.isEmpty()) folders << shown_.suitFolder;
  // The skins as the main window holds them, each with the folder it was chosen in.
  const auto addSkin = [&](const std::string& bone, const std::string& fileTitle) {
    const QString folder = shown_.chosenFolders.value(FromUtf8(fileTitle));
    if (!folder.isEmpty()) folders << folder;
    try {
      request.skins.push_back({bone, StripExtension(fileTitle), ToPath(folder)});
    } catch (const std::invalid_argument& error) {
      notes << Capitalised(error.what());
    }
  };
  addSkin(choices.headChosen ? "HEAD" : "PELVIS", choices.bodyFileTitle);
  for (const std::string& entry : choices.entries) {
    try {
      const ParsedEntry parsed = ParseEntry(entry);
      addSkin(parsed.bone, parsed.fileTitle);
    } catch (const std::invalid_argument& error) {
      notes << Capitalised(error.what());
    }
  }
  return request;
}

QString frmPreview::PickedSkeleton(QStringList& notes) const {
  const QString picked = Store().value(kSkeletonKey).toString();
  if (picked.isEmpty() || QFileInfo::exists(picked)) return picked;
  notes << QStringLiteral("The skeleton file you picked, %1, is gone; the preview looks for one again.")
               .arg(QDir::toNativeSeparators(picked));
  Store().remove(kSkeletonKey);
  return {};
}

void frmPreview::LookForSkeleton(const fs::path& picked, const fs::path& suitFolder) {
  skeleton_ = SkeletonLookup{picked, suitFolder, std::nullopt, {}};
  try {
    skeleton_->found = render::FindSkeleton(picked, suitFolder, *game_);
    if (!skeleton_->found) skeleton_->problem = NoSkeletonText();
  } catch (const std::exception& error) {
    skeleton_->problem = FromUtf8(error.what()) + QStringLiteral("\n\nClick Skeleton... to pick another skeleton file.");
  }
}

frmPreview::Drawn frmPreview::DrawScenes(const render::SceneRequest& request, QStringList& notes, QStringList& files,
                                         QStringList& folders) {
  Drawn drawn;
  drawn.skeleton = skeleton_->found;
  const render::TextureDecoder decode = env::DecodePicture;
  const game::Skeleton& skeleton = skeleton_->found->skeleton;
  try {
    drawn.scene = BuildWithout(request, skeleton, *game_, decode, notes);
  } catch (const std::exception& error) {
    // Not one skin's fault: nothing of the suit is drawn, and it says why.
    notes << FromUtf8(error.what());
  }
  // The suit shown with it, drawn as the game would find it.
  const auto companion = std::find_if(companions_.begin(), companions_.end(),
                                      [this](const CompanionSuit& suit) { return FromUtf8(suit.label) == companion_; });
  if (companion != companions_.end()) {
    render::SceneRequest with;
    with.skins = companion->skins;
    with.suitFolder = companion->folder;
    with.code = companion->code;
    with.tone = tone_;
    try {
      drawn.companion = BuildWithout(with, skeleton, *game_, decode, notes);
    } catch (const std::exception& error) {
      notes << FromUtf8(error.what());
    }
    if (!companion->folder.empty()) folders << FromPath(companion->folder);
  }
  for (const auto& scene : {drawn.scene, drawn.companion}) {
    if (!scene) continue;
    // A file of an archive: the archive, as a whole.
    for (const render::SceneSkin& skin : scene->skins) {
      files << FromPath(skin.meshFile.path);
      if (skin.textureFile) files << FromPath(skin.textureFile->path);
    }
    for (const std::string& warning : scene->warnings) notes << Capitalised(warning);
  }
  return drawn;
}

void frmPreview::AfterPicture() {
  if (!afterPicture_) return;
  const std::function<void()> work = std::move(afterPicture_);
  afterPicture_ = nullptr;
  work();
}

void frmPreview::ShowDrawn(const Drawn& drawn, const QStringList& notes) {
  // The textures that pair with the suit in this tone, where there is a choice.
  pairedTextures_ = drawn.scene ? drawn.scene->pairedTextures : std::vector<game::FoundFile>{};
  cboTexture->clear();
  int worn = -1;
  for (std::size_t i = 0; i < pairedTextures_.size(); ++i) {
    cboTexture->addItem(TitleOf(pairedTextures_[i]), static_cast<int>(i));
    if (drawn.scene && !drawn.scene->skins.empty() && drawn.scene->skins.front().textureFile == pairedTextures_[i]) {
      worn = static_cast<int>(i);
    }
  }
  if (texture_ && worn < 0) texture_.reset();  // the picked texture is gone
  if (pairedTextures_.empty()) cboTexture->addItem(QStringLiteral("(none for this tone)"), -1);
  cboTexture->setCurrentIndex(std::max(worn, 0));
  cboTexture->setEnabled(pairedTextures_.size() > 1);

  QStringList lines = notes;
  if (drawn.skeleton) {
    // Named short; the whole path is a tooltip away.
    const game::FoundFile& file = drawn.skeleton->file;
    const QString where = file.InArchive() ? QStringLiteral("%1 in %2").arg(TitleOf(file), FromPath(file.path.filename()))
                                           : TitleOf(file);
    lines << QStringLiteral("Skeleton \"%1\" from %2.").arg(FromUtf8(drawn.skeleton->skeleton.name), where);
    txtNotes->setToolTip(QDir::toNativeSeparators(FromUtf8(file.Shown())));
  } else {
    txtNotes->setToolTip(QString());
  }
  txtNotes->setPlainText(lines.join(QLatin1Char('\n')));
  cmdSavePicture->setEnabled(picSuit->Message().isEmpty());
}

void frmPreview::ShowFindings(const std::vector<game::Finding>& findings) {
  lstFindings->clear();
  if (shown_.choices.bodyFileTitle.empty()) return;
  if (findings.empty()) {
    lstFindings->addItem(QStringLiteral("No problems found"));
    return;
  }
  const QIcon error = style()->standardIcon(QStyle::SP_MessageBoxCritical);
  const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
  for (const game::Finding& finding : findings) {
    QString text = QDir::toNativeSeparators(FromUtf8(finding.file)) + QLatin1Char(':');
    if (finding.line > 0) text += QString::number(finding.line) + QLatin1Char(':');
    const bool isError = finding.severity == game::Severity::kError;
    text += (isError ? QStringLiteral(" error: ") : QStringLiteral(" warning: ")) + FromUtf8(finding.message) +
            QStringLiteral(" [") + FromUtf8(finding.code) + QLatin1Char(']');
    auto* item = new QListWidgetItem(isError ? error : warning, text, lstFindings);
    item->setToolTip(text);
  }
}

void frmPreview::ListCompanions(bool heads, const fs::path& folder) {
  const std::pair<bool, fs::path> key{heads, folder};
  if (companionsListed_ == key) return;
  if (companionsListed_ && companionsListed_->first != heads) companion_.clear();
  companionsListed_ = key;
  worker_->ListCompanions(heads, folder, this, [this, key](std::vector<CompanionSuit> suits) {
    if (companionsListed_ == key) ShowCompanions(std::move(suits));
  });
}

void frmPreview::ShowCompanions(std::vector<CompanionSuit> suits) {
  companions_ = std::move(suits);
  cboCompanion->clear();
  cboCompanion->addItem(QStringLiteral("None"));
  int chosen = 0;
  for (const CompanionSuit& suit : companions_) {
    cboCompanion->addItem(FromUtf8(suit.label));
    if (FromUtf8(suit.label) == companion_) chosen = cboCompanion->count() - 1;
  }
  cboCompanion->setCurrentIndex(chosen);
  if (chosen == 0 && !companion_.isEmpty()) {
    companion_.clear();  // gone from its folder
    SuitChanged();
  }
}

void frmPreview::WatchFiles(const QStringList& files, const QStringList& folders, bool keep) {
  // Each file and the folder it is in: a file deleted and written anew, as
  // some editors save, is not there to watch when the redraw comes, and its
  // folder says when it is back. After a change on disk nothing watched is
  // let go: a file caught half written (an archive being copied) cannot be
  // read, so it is not among the files drawn, yet its last write must
  // redraw. A few dozen paths in all, far below what the systems allow a
  // watcher (inotify's default is 8 192 a user; on Windows Qt adds a thread
  // for each 63 folders).
  const auto absolute = [](const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); };
  QStringList wanted = keep ? watched_ : QStringList();
  for (const QString& file : files) wanted << absolute(file) << QDir::cleanPath(QFileInfo(file).absolutePath());
  for (const QString& folder : folders) {
    if (!folder.isEmpty()) wanted << absolute(folder);
  }
  wanted.removeDuplicates();
  watched_ = wanted;

  const QStringList watching = watcher_->files() + watcher_->directories();
  QStringList gone;
  for (const QString& path : watching) {
    if (!wanted.contains(path)) gone << path;
  }
  if (!gone.isEmpty()) watcher_->removePaths(gone);
  QStringList added;
  for (const QString& path : wanted) {
    if (!watching.contains(path) && QFileInfo::exists(path)) added << path;
  }
  if (!added.isEmpty()) watcher_->addPaths(added);
}

void frmPreview::cmdResetView_Click() { picSuit->ResetView(); }

void frmPreview::cmdSkeleton_Click() {
  cdlSkeleton_->SetFilter(QStringLiteral("Skeleton Files (*.cmx;*.bcf)|*.cmx;*.bcf|All Files (*.*)|*.*"));
  cdlSkeleton_->SetDialogTitle(QStringLiteral("Select Skeleton File"));
  cdlSkeleton_->SetFileName(QString());
  const QString picked = Store().value(kSkeletonKey).toString();
  cdlSkeleton_->SetInitDir(picked.isEmpty() ? shown_.suitFolder : QFileInfo(picked).absolutePath());
  cdlSkeleton_->ShowOpen(this);
  if (cdlSkeleton_->FileName().isEmpty()) return;
  Store().setValue(kSkeletonKey, cdlSkeleton_->FileName());
  skeleton_.reset();
  SuitChanged();
}

void frmPreview::cmdSavePicture_Click() {
  const render::Image picture = picSuit->Picture();
  if (picture.width == 0) return;
  cdlPicture_->SetFilter(QStringLiteral("PNG Pictures (*.png)|*.png"));
  cdlPicture_->SetDialogTitle(QStringLiteral("Save Picture"));
  cdlPicture_->SetDefaultExt(QStringLiteral("png"));
  const QString name = SuitName();
  cdlPicture_->SetFileName((name.isEmpty() ? QStringLiteral("suit") : name) + QStringLiteral(".png"));
  if (cdlPicture_->InitDir().isEmpty()) cdlPicture_->SetInitDir(shown_.suitFolder);
  cdlPicture_->SetCancelError(true);  // a cancelled dialog would keep the proposal as its answer
  try {
    cdlPicture_->ShowSave(this);
  } catch (const FileDialogCancelled&) {
    return;
  }
  QString fileName = cdlPicture_->FileName();
  if (fileName.isEmpty()) return;
  if (!fileName.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) fileName += QLatin1String(".png");
  cdlPicture_->SetInitDir(QFileInfo(fileName).absolutePath());
  if (QFileInfo::exists(fileName) &&
      !desktop_.messages->AskYesNo(this, QStringLiteral("Confirm Action"),
                                   QStringLiteral("%1 already exists. Replace it?").arg(fileName))) {
    return;
  }
  try {
    env::WritePng(ToPath(fileName), picture);
  } catch (const env::PictureWriteError& error) {
    desktop_.messages->Warning(this, QCoreApplication::applicationName(), FromUtf8(error.what()));
  }
}

void frmPreview::SaveGeometry() const {
  QSettings store = Store();
  store.setValue(kGeometryKey, saveGeometry());
}

void frmPreview::hideEvent(QHideEvent* event) {
  if (!event->spontaneous()) SaveGeometry();
  QWidget::hideEvent(event);
}

bool frmPreview::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Close) close();
  return QWidget::eventFilter(watched, event);
}

}  // namespace tailorloft::ui
