// SPDX-License-Identifier: GPL-3.0-or-later
// Reads one value out of a Wine registry file (system.reg, user.reg): the
// text files a Wine prefix keeps its registry in. The file is not ours, so any
// input must give an answer or "not found", never a crash. Only the lines of
// the keys asked for are decoded; elsewhere the scan goes from key line to key
// line, and it stops as soon as the answer cannot change any more.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tailorloft::env {

// What to look for: the keys, best first ("Software\Maxis\The Sims", with
// single backslashes, relative to the file's root), and the value name ("" is
// the key's default value). Names match case-insensitively.
struct WineRegistryQuery {
  std::vector<std::string> keys;
  std::string valueName;
};

struct WineRegistryValue {
  std::size_t keyIndex = 0;  // which of the query's keys held it
  bool isString = false;     // "..." or str(N):"..."; false for dword, hex and broken data
  std::string text;          // UTF-8, escapes decoded; empty unless isString

  friend bool operator==(const WineRegistryValue&, const WineRegistryValue&) = default;
};

// Takes the file in pieces of any size, in order.
class WineRegistryScanner {
 public:
  explicit WineRegistryScanner(WineRegistryQuery query);

  // Returns false once the answer is settled: the rest of the file is not needed.
  bool Feed(std::string_view piece);
  // Call after the last piece. The value from the best key that has it, if any.
  std::optional<WineRegistryValue> Finish();

 private:
  enum class Mode { LineStart, Skipping, Keeping };

  void TakeLine(std::string_view line);
  void TakeKeyLine(std::string_view line);
  void TakeValueLine(std::string_view line);
  void DropLine(char first);
  void LeaveKey();
  bool Settled() const;

  WineRegistryQuery query_;
  std::vector<std::u32string> foldedKeys_;  // the keys, separators tidied and case folded
  std::vector<std::string> plainKeys_;      // the same as Wine writes them, where that is plain ASCII
  std::u32string foldedValueName_;
  std::vector<bool> keyDone_;        // the key's block has been read to its end
  std::optional<WineRegistryValue> best_;
  std::ptrdiff_t currentKey_ = -1;   // index into query_.keys of the block being read
  Mode mode_ = Mode::LineStart;
  std::string carry_;                // a kept line split across pieces
  bool sawHeader_ = false;
  bool malformed_ = false;
  bool done_ = false;
};

// The whole file at once; the same answer as feeding it in pieces.
std::optional<WineRegistryValue> FindWineRegistryValue(std::string_view file,
                                                       const WineRegistryQuery& query);

// Streams the file from disk. A missing or unreadable file is "not found".
std::optional<WineRegistryValue> FindWineRegistryValueInFile(const std::filesystem::path& file,
                                                             const WineRegistryQuery& query);

}  // namespace tailorloft::env
