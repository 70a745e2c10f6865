// SPDX-License-Identifier: GPL-3.0-or-later
// The preview's slow work, done on a thread of its own so the picture never
// waits for it: the suit check of the suit on screen, and the list of suits
// that can be shown with it. Jobs run one at a time, in order; a check that
// a newer one has made stale is skipped.
#pragma once

#include <QThread>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/finding.h"
#include "render/suit_scene.h"

class QObject;

namespace tailorloft::game {
class GameFiles;
}

namespace tailorloft::ui {

struct CheckJob {
  std::string cmxFileTitle;  // the suit's file title, as findings name the suit
  std::string cmxBytes;      // the suit on screen as its CMX file
  std::filesystem::path suitFolder;  // where the suit is (or will be) saved; may be empty
};

// A suit that can be shown beside the one on screen: a head with a body, a
// body with a head.
struct CompanionSuit {
  std::string label;  // as the choice offers it
  std::filesystem::path folder;  // the suit file's folder; empty for one of the game's archives
  std::string code;              // for its textures
  std::vector<render::SkinChoice> skins;
};

class PreviewWorker {
 public:
  // The game's files under `gameFolder` (empty: no game) are read on the
  // worker's thread through an index of its own.
  explicit PreviewWorker(std::filesystem::path gameFolder);
  // Waits for the job in hand; jobs not started are dropped.
  ~PreviewWorker();

  PreviewWorker(const PreviewWorker&) = delete;
  PreviewWorker& operator=(const PreviewWorker&) = delete;

  // The next job lists the folders again, to see files that came or went.
  void ForgetFolders();

  // The check's findings, as `tailorloft-cli --check` of the suit saved in
  // its folder prints them, with one rule widened to what the game reads
  // whole: id-clash also names the suits of the same code beside it and in
  // the game's skin folder for its type (not only the game's archived ones).
  // Not `unused`, the check of a folder's: it names files no suit uses, so
  // never one of this suit's.
  // Files named for the reader: the suit by its file title, files in the
  // suit's folder by their title, others in full.
  // `done` runs on `receiver`'s thread unless a newer check was asked for
  // first; the receiver outlives the worker (it owns it).
  void Check(CheckJob job, QObject* receiver, std::function<void(std::vector<game::Finding>)> done);

  // The suits whose main skin is on HEAD (`heads`) or on PELVIS, in `folder`,
  // the game's skin folders and its archives, by label; of several of one
  // name the first place wins.
  void ListCompanions(bool heads, std::filesystem::path folder, QObject* receiver,
                      std::function<void(std::vector<CompanionSuit>)> done);

 private:
  // Runs `work` on the worker's thread.
  void Post(std::function<void()> work);
  game::GameFiles& Game();

  std::filesystem::path gameFolder_;
  QThread thread_;
  QObject* context_;  // lives on thread_
  std::unique_ptr<game::GameFiles> game_;  // touched on thread_ only
  std::atomic<bool> stopping_{false};
  std::atomic<bool> forgetFolders_{false};
  std::atomic<int> latestCheck_{0};
};

}  // namespace tailorloft::ui
