// SPDX-License-Identifier: GPL-3.0-or-later
// tailorloft-cli --render: a picture of a suit as the game dresses it, every
// skin on the adult skeleton in its texture, written as a PNG file with a
// transparent background for download pages and catalogues.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "cli/cli.h"
#include "core/file_system.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace tailorloft::cli {

class RenderCommand {
 public:
  // Adds --render and the options that go with it only (--skeleton, --tone,
  // --texture, --size, --view) to `app`; -o and --game are the program's own.
  explicit RenderCommand(CLI::App& app);
  // `app` keeps pointers to the members.
  RenderCommand(const RenderCommand&) = delete;
  RenderCommand& operator=(const RenderCommand&) = delete;

  // After `app` has parsed: nothing when neither --render nor one of its
  // options was given; otherwise the exit status of drawing and writing the
  // picture, or kExitUsage (with the reason on `err`) for options that do
  // not go together. Relative names are taken from `workingFolder`; without
  // --game the game is asked of `findGame` (when empty,
  // env::FindGameInstallFolder). The picture is written through `fileSystem`.
  std::optional<int> RunIfAsked(const CLI::App& app, const std::filesystem::path& workingFolder,
                                std::ostream& err, FileSystem& fileSystem, const GameLookup& findGame) const;

 private:
  std::string suit_;
  std::string skeleton_;
  std::string tone_ = "lgt";
  std::string texture_;
  std::string size_ = "512x512";
  std::string view_ = "front";
  CLI::Option* render_ = nullptr;
};

}  // namespace tailorloft::cli
