// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window: opened by its button and Ctrl+R, drawing the suit on
// screen from the folders its files were chosen in, redrawn as the suit and
// its files change, with the check's findings below.
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <functional>

#include "game/mesh.h"
#include "tests/game/game_test_files.h"
#include "ui/frm_main.h"
#include "ui/frm_preview.h"
#include "ui/suit_picture.h"
#include "ui_test.h"

namespace tailorloft::ui::testing {
namespace {

namespace gt = game::testing;

// Waits up to two seconds for `done`, letting the window and its worker run.
bool WaitFor(const std::function<bool()>& done) {
  for (int waited = 0; waited < 2000; waited += 10) {
    if (done()) return true;
    QTest::qWait(10);
  }
  return done();
}

// An 8-bit texture of one colour.
std::string Texture(QRgb colour) {
  std::string bytes = gt::BmpBytes(4, 4, 8);
  // Every pixel is index 0; its palette entry, blue green red, follows the headers.
  bytes[54] = static_cast<char>(qBlue(colour));
  bytes[55] = static_cast<char>(qGreen(colour));
  bytes[56] = static_cast<char>(qRed(colour));
  return bytes;
}

struct Colour {
  double red = 0, green = 0, blue = 0;
  int covered = 0;  // pixels wholly drawn
};

Colour MeanColour(const render::Image& image) {
  Colour mean;
  for (std::size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
    if (image.pixels[i + 3] != 255) continue;
    mean.red += image.pixels[i];
    mean.green += image.pixels[i + 1];
    mean.blue += image.pixels[i + 2];
    ++mean.covered;
  }
  if (mean.covered > 0) {
    mean.red /= mean.covered;
    mean.green /= mean.covered;
    mean.blue /= mean.covered;
  }
  return mean;
}

class PreviewTest : public UiTest {
 protected:
  static constexpr const char* kBody = "xskin-B700MAFit_mine-PELVIS-BODY";

  // A body suit's files in `folder`: the skeleton, the body and a red light
  // and a blue dark texture paired by the code of the name Save proposes.
  void MakeSuitFiles(bool withSkeleton = true, const QString& folder = QStringLiteral("skins")) {
    if (withSkeleton) {
      WriteBytes(PathIn(folder, QStringLiteral("adult-skeleton.cmx")), gt::CmxSkeletonText({gt::AdultSkeleton()}));
    }
    WriteBytes(PathIn(folder, QLatin1String(kBody) + QStringLiteral(".skn")),
               gt::SknText(gt::BoxMesh(kBody, "x", "PELVIS")));
    WriteBytes(PathIn(folder, QStringLiteral("B700MAFitlgt_mine.bmp")), Texture(qRgb(220, 30, 30)));
    WriteBytes(PathIn(folder, QStringLiteral("B700MAFitdrk_mine.bmp")), Texture(qRgb(30, 30, 220)));
  }

  // Chooses the body file in `folder` and opens the preview.
  frmPreview* OpenPreview(frmMain& main, const QString& folder = QStringLiteral("skins")) {
    script_->fileAnswers = {PathIn(folder, QLatin1String(kBody) + QStringLiteral(".skn"))};
    main.cmdFile_Click();
    Control<QPushButton>(&main, "cmdPreview")->click();
    auto* preview = main.findChild<frmPreview*>();
    EXPECT_NE(preview, nullptr);
    return preview;
  }

  static SuitPicture* Picture(const frmPreview* preview) { return Control<SuitPicture>(preview, "picSuit"); }
  static QStringList Findings(const frmPreview* preview) {
    QStringList lines;
    const auto* list = Control<QListWidget>(preview, "lstFindings");
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
  }
  static QString Notes(const frmPreview* preview) {
    return Control<QPlainTextEdit>(preview, "txtNotes")->toPlainText();
  }
  static bool Checked(const frmPreview* preview) {
    const QStringList lines = Findings(preview);
    return !lines.isEmpty() && lines.front() != "Checking the suit...";
  }
};

TEST_F(PreviewTest, ThePreviewButtonSitsBetweenSaveAndQuit) {
  frmMain main(MakeDesktop());
  const auto* button = Control<QPushButton>(&main, "cmdPreview");
  EXPECT_EQ(button->text(), "Preview");
  EXPECT_EQ(button->geometry(), QRect(168, 356, 57, 21));
  // Its place in the tab order: see LayoutTest.TabFollowsTheDesignedOrder.
  // Nothing of the preview exists before it is asked for.
  EXPECT_EQ(main.findChild<frmPreview*>(), nullptr);
}

TEST_F(PreviewTest, CtrlROpensThePreviewAndQuitClosesIt) {
  frmMain main(MakeDesktop());
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  QTest::keyClick(&main, Qt::Key_R, Qt::ControlModifier);
  auto* preview = main.findChild<frmPreview*>();
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->isVisible());
  EXPECT_FALSE(preview->isModal());
  EXPECT_EQ(preview->windowTitle(), "Preview");
  EXPECT_GE(preview->width(), 400);
  EXPECT_GE(preview->height(), 500);
  EXPECT_FALSE(Picture(preview)->Message().isEmpty());  // no suit yet: it says to choose one

  preview->resize(520, 700);
  Control<QPushButton>(&main, "cmdQuit")->click();
  EXPECT_FALSE(preview->isVisible());
  // The next run puts it back in the size it had.
  frmMain again(MakeDesktop());
  again.cmdPreview_Click();
  EXPECT_EQ(again.findChild<frmPreview*>()->size(), QSize(520, 700));
}

// The accessory lies in a folder of its own: the preview finds it where it
// was chosen and draws it at once, and the check says the game would not.
TEST_F(PreviewTest, AddingAnAccessoryRedrawsAndTheCheckNamesItsFile) {
  MakeSuitFiles();
  const QString hat = PathIn(QStringLiteral("hats"), QStringLiteral("acc-hat-HEAD-red.skn"));
  WriteBytes(hat, gt::SknText(gt::BoxMesh("acc-hat-HEAD-red", "hat-red", "HEAD")));
  WriteBytes(PathIn(QStringLiteral("hats"), QStringLiteral("hat-red.bmp")), Texture(qRgb(200, 0, 0)));
  WriteBytes(PathIn(QStringLiteral("skins"), QStringLiteral("B700MAFitmed_mine.bmp")), Texture(qRgb(90, 90, 90)));
  frmMain main(MakeDesktop());
  frmPreview* preview = OpenPreview(main);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->windowTitle(), "Preview - B700MAFit_mine");
  const render::Image before = Picture(preview)->Picture();
  ASSERT_GT(MeanColour(before).covered, 0) << Picture(preview)->Message().toStdString();
  ASSERT_TRUE(WaitFor([&] { return Checked(preview); }));
  EXPECT_EQ(Findings(preview), QStringList{"No problems found"});

  WhenModalShown([](QWidget* modal) {
    modal->findChild<QPushButton*>(QStringLiteral("cmdFile"))->click();
    modal->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
  });
  script_->fileAnswers = {hat};
  main.cmdAdd_Click();
  QTest::qWait(0);
  const render::Image after = Picture(preview)->Picture();
  EXPECT_NE(after.pixels, before.pixels);
  // Drawn whole, its texture found beside it.
  EXPECT_FALSE(Notes(preview).contains(QStringLiteral("acc-hat")))
      << Notes(preview).toStdString();

  ASSERT_TRUE(WaitFor([&] { return Checked(preview); }));
  const QStringList findings = Findings(preview);
  ASSERT_EQ(findings.size(), 1) << findings.join('\n').toStdString();
  EXPECT_TRUE(findings[0].startsWith("B700MAFit_mine.cmx:")) << findings[0].toStdString();
  EXPECT_TRUE(findings[0].endsWith("[missing-mesh]")) << findings[0].toStdString();

  // A mesh found nowhere leaves the rest as it was, and is named.
  Control<QListWidget>(&main, "lstParts")->addItem(QStringLiteral("L_HAND = acc-ring-L_HAND-gold.skn"));
  QTest::qWait(0);
  EXPECT_EQ(Picture(preview)->Picture().pixels, after.pixels);
  EXPECT_TRUE(Notes(preview).contains(QStringLiteral("the mesh \"acc-ring-L_HAND-gold\"")))
      << Notes(preview).toStdString();
}

// The check of the suit as the game reads its folder: a Create-a-Sim suit
// in a SkinsBuy folder, and its code shared with a suit beside it, one in the
// game's skin folder and one in the game's archives (a file that holds no
// suit shares nothing), and a file beside it whose name differs only in case.
TEST_F(PreviewTest, TheFindingsTakeInTheSuitsTheGameReadsWithIt) {
  const QString folder = QStringLiteral("SkinsBuy");
  MakeSuitFiles(true, folder);
  WriteBytes(PathIn(folder, QStringLiteral("B700MAFitmed_mine.bmp")), Texture(qRgb(90, 90, 90)));
  const std::string suitFile = "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n1\r\n";
  const auto suit = [&](const std::string& name) {
    return suitFile + name + "\r\n0\r\n0\r\n1\r\nPELVIS\r\n" + kBody + "\r\n0\r\n0\r\n0\r\n";
  };
  WriteBytes(PathIn(folder, QStringLiteral("b700mafit_old.cmx")), suit("b700mafit_old"));
  WriteBytes(PathIn(folder, QStringLiteral("B700MAFit_broken.cmx")), "not a suit");
  WriteBytes(PathIn(folder, QStringLiteral("b700mafit_MINE.cmx")), "not a suit");
  WriteBytes(PathIn(QStringLiteral("game/GameData/Skins"), QStringLiteral("B700MAFit_gold.cmx")), suit("B700MAFit_gold"));
  WriteBytes(PathIn(QStringLiteral("game/GameData"), QStringLiteral("Suits.far")),
             gt::FarBytes({{"shop.bcf", gt::BcfBytes({{}, {{"B700MAFit_shop", 0, {{"PELVIS", kBody, 0}}}}})}}));
  script_->installFolder = FolderOf(QStringLiteral("game")).toStdString();
  frmMain main(MakeDesktop());
  frmPreview* preview = OpenPreview(main, folder);
  ASSERT_NE(preview, nullptr);
  ASSERT_TRUE(WaitFor([&] { return Checked(preview); }));
  EXPECT_EQ(Findings(preview),
            (QStringList{
                "B700MAFit_mine.cmx: warning: a suit of type B is a Create-a-Sim outfit, which the game reads from "
                "GameData/Skins, not from SkinsBuy; move the suit and its files there [wrong-folder]",
                "B700MAFit_mine.cmx: warning: the suit's code \"B700MAFit\" is also the code of \"b700mafit_old\", "
                "\"B700MAFit_gold\" and the game's \"B700MAFit_shop\", so the game mixes their textures; give the "
                "suit and its textures a code of their own [id-clash]",
                "b700mafit_MINE.cmx: warning: \"b700mafit_MINE.cmx\" and \"B700MAFit_mine.cmx\" differ only in "
                "letter case: on Windows they are one file, and the game sees only one of them; remove or rename "
                "one [id-clash]",
            }));
}

// Textures pair by the code of the name Save would propose, one per tone; a
// tone without one draws the body grey and says so.
TEST_F(PreviewTest, EachSkinToneWearsItsPairedTexture) {
  MakeSuitFiles();
  frmMain main(MakeDesktop());
  frmPreview* preview = OpenPreview(main);
  ASSERT_NE(preview, nullptr);
  auto* tones = Control<QComboBox>(preview, "cboTone");
  EXPECT_EQ(tones->currentText(), "Light");
  struct Case {
    const char* tone;
    bool red, blue;  // the colour that wins
    const char* status;
  } cases[] = {
      {"Dark", false, true, ""},
      {"Medium", false, false, "no texture of tone med pairs with the suit's code \"B700MAFit\""},
      {"Light", true, false, ""},
  };
  for (const Case& c : cases) {
    tones->setCurrentText(QLatin1String(c.tone));
    QTest::qWait(0);
    const Colour mean = MeanColour(Picture(preview)->Picture());
    EXPECT_EQ(mean.red > 2 * mean.blue, c.red) << c.tone;
    EXPECT_EQ(mean.blue > 2 * mean.red, c.blue) << c.tone;
    EXPECT_EQ(Control<QComboBox>(preview, "cboTexture")->isEnabled(), false) << c.tone;
    EXPECT_TRUE(Notes(preview).contains(QLatin1String(c.status), Qt::CaseInsensitive))
        << c.tone << ": " << Notes(preview).toStdString();
  }

  // A creator repaints the texture: the picture follows without a click.
  WriteBytes(PathIn(QStringLiteral("skins"), QStringLiteral("B700MAFitlgt_mine.bmp")), Texture(qRgb(30, 200, 30)));
  EXPECT_TRUE(WaitFor([&] {
    const Colour mean = MeanColour(Picture(preview)->Picture());
    return mean.green > 2 * mean.red;
  }));

  // A second texture of the tone appears: the first in name order is worn,
  // the other can be chosen.
  WriteBytes(PathIn(QStringLiteral("skins"), QStringLiteral("B700MAFitlgt_night.bmp")), Texture(qRgb(30, 30, 220)));
  auto* textures = Control<QComboBox>(preview, "cboTexture");
  ASSERT_TRUE(WaitFor([&] { return textures->count() == 2; }));
  EXPECT_TRUE(textures->isEnabled());
  EXPECT_EQ(textures->currentText(), "B700MAFitlgt_mine.bmp");
  textures->setCurrentIndex(1);
  emit textures->activated(1);
  QTest::qWait(0);
  const Colour mean = MeanColour(Picture(preview)->Picture());
  EXPECT_GT(mean.blue, 2 * mean.green);
}

// A texture found only in the game's archives: the picture follows the
// archive when a tool writes it anew, in place or as a new file renamed over
// the old, again and again.
TEST_F(PreviewTest, ReplacingAnArchiveRedraws) {
  MakeSuitFiles();
  QFile::remove(PathIn(QStringLiteral("skins"), QStringLiteral("B700MAFitlgt_mine.bmp")));
  const QString archive = PathIn(QStringLiteral("game/GameData"), QStringLiteral("Textures.far"));
  const auto replaceArchive = [&](QRgb colour, bool inPlace) {
    // A different size each time, so that stale offsets would read garbage.
    const std::string padding(colour == qRgb(30, 200, 30) ? 100 : 0, 'x');
    const std::string bytes = gt::FarBytes({{"padding.txt", padding}, {"B700MAFitlgt_mine.bmp", Texture(colour)}});
    if (inPlace) return WriteBytes(archive, bytes);
    const QString fresh = archive + QStringLiteral(".new");
    WriteBytes(fresh, bytes);
    std::filesystem::rename(fresh.toStdU16String(), archive.toStdU16String());
  };
  replaceArchive(qRgb(220, 30, 30), true);
  script_->installFolder = FolderOf(QStringLiteral("game")).toStdString();
  frmMain main(MakeDesktop());
  frmPreview* preview = OpenPreview(main);
  ASSERT_NE(preview, nullptr);
  const auto wears = [&](bool red, bool green, bool blue) {
    return WaitFor([&] {
      const Colour mean = MeanColour(Picture(preview)->Picture());
      const double total = mean.red + mean.green + mean.blue;
      const auto wins = [&](double c) { return c > 0.6 * total; };
      return mean.covered > 0 && wins(mean.red) == red && wins(mean.green) == green && wins(mean.blue) == blue;
    });
  };
  EXPECT_TRUE(wears(true, false, false)) << Notes(preview).toStdString();
  replaceArchive(qRgb(30, 200, 30), true);
  EXPECT_TRUE(wears(false, true, false)) << Notes(preview).toStdString();
  replaceArchive(qRgb(30, 30, 220), false);
  EXPECT_TRUE(wears(false, false, true)) << Notes(preview).toStdString();
  replaceArchive(qRgb(220, 30, 30), false);
  EXPECT_TRUE(wears(true, false, false)) << Notes(preview).toStdString();
}

// A body is shown with any head suit beside it; none at first.
TEST_F(PreviewTest, ABodyCanBeShownWithAHead) {
  MakeSuitFiles();
  const std::string head = "xskin-c001ma_bob-HEAD-HEAD";
  WriteBytes(PathIn(QStringLiteral("skins"), QString::fromStdString(head) + QStringLiteral(".skn")),
             gt::SknText(gt::BoxMesh(head, "x", "HEAD")));
  WriteBytes(PathIn(QStringLiteral("skins"), QStringLiteral("C001MA_bob.cmx")),
             "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n1\r\nC001MA_bob\r\n0\r\n0\r\n"
             "1\r\nHEAD\r\n" + head + "\r\n0\r\n0\r\n0\r\n");
  frmMain main(MakeDesktop());
  frmPreview* preview = OpenPreview(main);
  ASSERT_NE(preview, nullptr);
  auto* heads = Control<QComboBox>(preview, "cboCompanion");
  EXPECT_EQ(Control<QLabel>(preview, "lblCompanion")->text(), "Show &with head:");
  ASSERT_TRUE(WaitFor([&] { return heads->count() == 2; }));
  EXPECT_EQ(heads->currentText(), "None");
  EXPECT_EQ(heads->itemText(1), "C001MA_bob.cmx");
  const int alone = MeanColour(Picture(preview)->Picture()).covered;

  heads->setCurrentIndex(1);
  emit heads->activated(1);
  QTest::qWait(0);
  // Drawn with it: the head on HEAD, above the body, and grey, as no texture pairs with it.
  EXPECT_NE(MeanColour(Picture(preview)->Picture()).covered, alone);
  EXPECT_TRUE(Notes(preview).contains(QStringLiteral("\"C001MA\"")))
      << Notes(preview).toStdString();
}

TEST_F(PreviewTest, SavePictureWritesWhatIsShown) {
  MakeSuitFiles();
  frmMain main(MakeDesktop());
  frmPreview* preview = OpenPreview(main);
  ASSERT_NE(preview, nullptr);
  const QString png = PathIn(QStringLiteral("pictures"), QStringLiteral("mine.png"));
  script_->fileAnswers = {png};
  Control<QPushButton>(preview, "cmdSavePicture")->click();
  EXPECT_EQ(script_->shownDialogs.back().fileName, "B700MAFit_mine.png");

  const render::Image shown = Picture(preview)->Picture();
  const QImage saved = QImage(png).convertToFormat(QImage::Format_RGBA8888);
  ASSERT_EQ(saved.size(), QSize(shown.width, shown.height));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(saved.constBits()), static_cast<std::size_t>(saved.sizeInBytes())),
            std::string(shown.pixels.begin(), shown.pixels.end()));

  // Saved under a name of its own, the suit is called by it from then on.
  script_->fileAnswers = {PathIn(QStringLiteral("skins"), QStringLiteral("B701MAFit_other.cmx"))};
  main.cmdSave_Click();
  QTest::qWait(0);
  EXPECT_EQ(preview->windowTitle(), "Preview - B701MAFit_other");
}

// Without a skeleton the picture says how to pick one; the rest works.
TEST_F(PreviewTest, WithoutASkeletonThePreviewSaysHowToPickOne) {
  MakeSuitFiles(false);
  frmMain main(MakeDesktop());
  frmPreview* preview = OpenPreview(main);
  ASSERT_NE(preview, nullptr);
  const QString message = Picture(preview)->Message();
  EXPECT_TRUE(message.contains(QStringLiteral("Skeleton..."))) << message.toStdString();
  EXPECT_TRUE(message.contains(QStringLiteral("no skeleton found"))) << message.toStdString();
  EXPECT_FALSE(Control<QPushButton>(preview, "cmdSavePicture")->isEnabled());
  ASSERT_TRUE(WaitFor([&] { return Checked(preview); }));

  // Picked once, remembered for every later preview.
  const QString skeleton = PathIn(QStringLiteral("game"), QStringLiteral("adult-skeleton.cmx"));
  WriteBytes(skeleton, gt::CmxSkeletonText({gt::AdultSkeleton()}));
  script_->fileAnswers = {skeleton};
  Control<QPushButton>(preview, "cmdSkeleton")->click();
  QTest::qWait(0);
  EXPECT_TRUE(Picture(preview)->Message().isEmpty()) << Picture(preview)->Message().toStdString();
  frmMain again(MakeDesktop());
  EXPECT_TRUE(Picture(OpenPreview(again))->Message().isEmpty());
}

}  // namespace
}  // namespace tailorloft::ui::testing
