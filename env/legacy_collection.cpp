// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/legacy_collection.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <unordered_set>

#include "core/fold_case.h"
#include "env/paths.h"

namespace tailorloft::env {
namespace {

namespace fs = std::filesystem;

// Steam's text KeyValues format: "key" "value" pairs and "key" { ... } blocks,
// with // comments. Tokens may also be unquoted.
class VdfLexer {
 public:
  enum class Kind { Text, Open, Close, End };

  explicit VdfLexer(std::string_view text) : text_(text) {}

  Kind Next(std::string& out) {
    SkipSpaceAndComments();
    if (pos_ >= text_.size()) return Kind::End;
    const char c = text_[pos_];
    if (c == '{') {
      ++pos_;
      return Kind::Open;
    }
    if (c == '}') {
      ++pos_;
      return Kind::Close;
    }
    out.clear();
    if (c == '"') {
      ++pos_;
      while (pos_ < text_.size() && text_[pos_] != '"') {
        char ch = text_[pos_++];
        if (ch == '\\' && pos_ < text_.size()) {
          const char e = text_[pos_++];
          ch = e == 'n' ? '\n' : e == 't' ? '\t' : e;
        }
        out += ch;
      }
      if (pos_ >= text_.size()) return Kind::End;  // unterminated
      ++pos_;
      return Kind::Text;
    }
    while (pos_ < text_.size() && !IsSpace(text_[pos_]) && text_[pos_] != '{' &&
           text_[pos_] != '}' && text_[pos_] != '"') {
      out += text_[pos_++];
    }
    return Kind::Text;
  }

 private:
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

  void SkipSpaceAndComments() {
    for (;;) {
      while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
      if (text_.substr(pos_).starts_with("//")) {
        const std::size_t eol = text_.find('\n', pos_);
        pos_ = eol == std::string_view::npos ? text_.size() : eol + 1;
        continue;
      }
      return;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

bool IsNumber(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

constexpr std::size_t kMaxVdfBytes = 4 * 1024 * 1024;

}  // namespace

std::vector<std::string> ParseSteamLibraryFolders(std::string_view vdf) {
  std::vector<std::string> folders;
  std::vector<std::string> blocks;  // names of the open blocks, outermost first
  std::optional<std::string> key;
  std::string token;
  VdfLexer lexer(vdf);
  for (;;) {
    switch (lexer.Next(token)) {
      case VdfLexer::Kind::End:
        return folders;
      case VdfLexer::Kind::Open:
        blocks.push_back(key.value_or(std::string()));
        key.reset();
        break;
      case VdfLexer::Kind::Close:
        if (blocks.empty()) return folders;
        blocks.pop_back();
        key.reset();
        break;
      case VdfLexer::Kind::Text:
        if (!key) {
          key = token;
          break;
        }
        if (!blocks.empty() && EqualsIgnoringCase(blocks.front(), "libraryfolders")) {
          const bool oldLayout = blocks.size() == 1 && IsNumber(*key);
          const bool newLayout = blocks.size() == 2 && IsNumber(blocks[1]) && EqualsIgnoringCase(*key, "path");
          if ((oldLayout || newLayout) && !token.empty()) folders.push_back(token);
        }
        key.reset();
        break;
    }
  }
}

std::optional<fs::path> FindLegacyCollection(const std::vector<fs::path>& steamFolders,
                                             const std::vector<fs::path>& eaGamesFolders) {
  // In the order found, each folder once; the set keeps a list of many
  // thousand libraries from costing time quadratic in its length.
  std::vector<fs::path> libraries;
  std::unordered_set<fs::path::string_type> seen;
  const auto addLibrary = [&libraries, &seen](fs::path folder) {
    folder = folder.lexically_normal();
    if (folder.has_relative_path() && !folder.has_filename()) folder = folder.parent_path();
    if (seen.insert(folder.native()).second) libraries.push_back(std::move(folder));
  };
  for (const fs::path& steam : steamFolders) {
    addLibrary(steam);
    for (const char* list : {"steamapps/libraryfolders.vdf", "config/libraryfolders.vdf"}) {
      const std::optional<std::string> vdf =
          ReadSmallFile(ResolveCaseInsensitive(steam, list), kMaxVdfBytes);
      if (!vdf) continue;
      for (const std::string& folder : ParseSteamLibraryFolders(*vdf)) addLibrary(PathFromUtf8(folder));
    }
  }

  std::error_code ec;
  for (const fs::path& library : libraries) {
    // One look for a library that is gone, not one per component below it.
    if (!fs::is_directory(library, ec)) continue;
    fs::path game = ResolveCaseInsensitive(library, "steamapps/common/The Sims Legacy Collection");
    if (fs::is_directory(game, ec)) return game;
  }
  for (const fs::path& folder : eaGamesFolders) {
    fs::path game = ResolveCaseInsensitive(folder, "The Sims Legacy");
    if (fs::is_directory(game, ec)) return game;
  }
  return std::nullopt;
}

}  // namespace tailorloft::env
