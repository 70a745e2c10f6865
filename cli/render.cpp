// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/render.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <system_error>
#include <vector>

#include <CLI/CLI.hpp>

#include "core/cmx_reader.h"
#include "core/utf8.h"
#include "env/game_files.h"
#include "env/install_path.h"
#include "env/picture_files.h"
#include "game/texture_names.h"
#include "render/camera.h"
#include "render/rasterizer.h"
#include "render/suit_scene.h"

namespace tailorloft::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "tailorloft-cli: ";
constexpr std::string_view kMoreHelp = "\nRun with --help for more information.\n";
constexpr int kMinSide = 16;
constexpr int kMaxSide = 8192;

struct Named {
  std::string_view name;
  render::View view;
};
constexpr std::array<Named, 5> kViews{{{"front", render::View::kFront},
                                       {"back", render::View::kBack},
                                       {"left", render::View::kLeft},
                                       {"right", render::View::kRight},
                                       {"three-quarter", render::View::kThreeQuarter}}};

game::Tone ToneOf(std::string_view suffix) {
  if (suffix == "med") return game::Tone::kMedium;
  if (suffix == "drk") return game::Tone::kDark;
  return game::Tone::kLight;
}

// "WIDTHxHEIGHT", each side kMinSide to kMaxSide; nothing otherwise.
std::optional<std::pair<int, int>> ParseSize(std::string_view text) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return std::nullopt;
  const auto side = [](std::string_view digits) -> std::optional<int> {
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    if (value < kMinSide || value > kMaxSide) return std::nullopt;
    return value;
  };
  const std::optional<int> width = side(text.substr(0, x));
  const std::optional<int> height = side(text.substr(x + 1));
  if (!width || !height) return std::nullopt;
  return std::pair{*width, *height};
}

fs::path Resolved(const fs::path& workingFolder, const std::string& name) {
  const fs::path path = PathFromUtf8(name);
  return workingFolder.empty() ? path : workingFolder / path;
}

}  // namespace

RenderCommand::RenderCommand(CLI::App& app) {
  render_ = app.add_option("--render", suit_,
                           "Draw the suit (the first one in the file) as the game dresses it and write "
                           "the picture to -o OUT.png, with a transparent background")
                ->type_name("SUIT.cmx");
  app.add_option("--skeleton", skeleton_,
                 "With --render: the skeleton file to stand the suit on (default: adult-skeleton.cmx "
                 "beside the suit, else the game's)")
      ->type_name("FILE");
  app.add_option("--tone", tone_, "With --render: the skin tone of the texture (default: lgt)")
      ->type_name("lgt|med|drk")
      ->check(CLI::Validator(CLI::IsMember({"lgt", "med", "drk"})).description(""));
  app.add_option("--texture", texture_,
                 "With --render: the main skin's texture (default: the first of the tone that pairs "
                 "with the suit, in name order)")
      ->type_name("FILE.bmp");
  app.add_option("--size", size_, "With --render: the picture's size in pixels, each side 16 to 8192 (default: 512x512)")
      ->type_name("WxH");
  app.add_option("--view", view_, "With --render: where the suit is seen from (default: front, the Sim facing you)")
      ->type_name("front|back|left|right|three-quarter")
      ->check(CLI::Validator(CLI::IsMember({"front", "back", "left", "right", "three-quarter"})).description(""));
}

std::optional<int> RenderCommand::RunIfAsked(const CLI::App& app, const fs::path& workingFolder, std::ostream& err,
                                             FileSystem& fileSystem, const GameLookup& findGame) const {
  static constexpr std::array<std::string_view, 5> kOwn{"--skeleton", "--tone", "--texture", "--size", "--view"};
  const bool renders = render_->count() > 0;
  for (const CLI::Option* option : app.get_options()) {
    if (option->count() == 0 || option == render_) continue;
    const std::string name = option->get_name();
    const bool own = std::find(kOwn.begin(), kOwn.end(), name) != kOwn.end();
    if (!renders && own) {
      err << kPrefix << name << " goes with --render only." << kMoreHelp;
      return kExitUsage;
    }
    if (renders && !own && name != "--output" && name != "--game") {
      err << kPrefix << "--render writes a picture, not a suit, so " << name << " cannot go with it." << kMoreHelp;
      return kExitUsage;
    }
  }
  if (!renders) return std::nullopt;

  const CLI::Option* output = app.get_option("--output");
  if (output->count() == 0) {
    err << kPrefix << "--render needs -o OUT.png: the picture to write." << kMoreHelp;
    return kExitUsage;
  }
  const std::optional<std::pair<int, int>> size = ParseSize(size_);
  if (!size) {
    err << kPrefix << "--size " << QuoteForMessage(size_) << " is not WIDTHxHEIGHT with each side "
        << kMinSide << " to " << kMaxSide << ", as 512x512." << kMoreHelp;
    return kExitUsage;
  }
  fs::path gameFolder;
  if (const CLI::Option* game = app.get_option("--game"); game->count() > 0) {
    const std::string given = game->as<std::string>();
    gameFolder = Resolved(workingFolder, given);
    if (!env::LooksLikeGameFolder(gameFolder)) {
      err << kPrefix << QuoteForMessage(given) << " is not the game's folder: it holds no GameData folder.\n";
      return kExitUsage;
    }
  } else {
    const std::string found = findGame ? findGame() : env::FindGameInstallFolder();
    if (found != "ERROR") gameFolder = PathFromUtf8(found);
  }

  try {
    const fs::path suitPath = Resolved(workingFolder, suit_);
    const CmxContents contents = ReadCmxFile(suitPath);
    if (contents.suits.empty()) {
      err << kPrefix << QuoteForMessage(suit_) << " holds no suit to draw.\n";
      return kExitFailure;
    }
    const CmxSuit& suit = contents.suits.front();
    if (contents.suits.size() > 1) {
      err << kPrefix << "warning: " << QuoteForMessage(suit_) << " holds " << contents.suits.size()
          << " suits; only the first, " << QuoteForMessage(suit.suitName) << ", is drawn\n";
    }
    if (suit.skins.empty()) {
      err << kPrefix << "The suit " << QuoteForMessage(suit.suitName) << " has no skins to draw.\n";
      return kExitFailure;
    }

    fs::path suitFolder = suitPath.parent_path();
    if (suitFolder.empty()) suitFolder = ".";
    const std::unique_ptr<game::GameFiles> game = env::OpenGameFiles(gameFolder);
    const std::optional<render::FoundSkeleton> skeleton =
        render::FindSkeleton(skeleton_.empty() ? fs::path() : Resolved(workingFolder, skeleton_), suitFolder, *game);
    if (!skeleton) {
      err << kPrefix << render::kNoSkeletonFound
          << "; give one with --skeleton FILE (an adult-skeleton.cmx or adult-skeleton.cmx.bcf), or the "
             "game's folder with --game DIR.\n";
      return kExitFailure;
    }

    render::SceneRequest request;
    request.skins = render::SkinChoices(suit);
    request.suitFolder = suitFolder;
    request.code = game::SuitCode(Utf8FromPath(suitPath.filename()));
    request.tone = ToneOf(tone_);
    if (!texture_.empty()) {
      game::FoundFile texture;
      texture.path = Resolved(workingFolder, texture_);
      std::error_code ec;
      const std::uintmax_t bytes = fs::file_size(texture.path, ec);
      if (!ec) texture.size = bytes;
      request.texture = texture;
    }
    const render::SuitScene scene =
        render::BuildSuitScene(request, skeleton->skeleton, *game, env::DecodePicture);
    for (const std::string& warning : scene.warnings) err << kPrefix << "warning: " << warning << '\n';

    const auto [width, height] = *size;
    const auto named = std::find_if(kViews.begin(), kViews.end(), [this](const Named& v) { return v.name == view_; });
    const render::View view = named != kViews.end() ? named->view : render::View::kFront;
    const render::Camera camera =
        render::FrameBox(scene.Bounds(), render::ViewOrbit(view), render::Projection::kOrthographic,
                         static_cast<float>(width) / static_cast<float>(height));
    const std::vector<render::DrawItem> items = scene.Items();
    const render::Image picture = render::Render(items, camera, width, height);
    env::WritePng(Resolved(workingFolder, output->as<std::string>()), picture, fileSystem);
  } catch (const std::exception& e) {
    // A suit, mesh or skeleton that cannot be read, or a picture that cannot be written.
    err << kPrefix << e.what() << '\n';
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace tailorloft::cli
