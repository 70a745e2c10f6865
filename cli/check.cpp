// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/check.h"

#include <algorithm>
#include <map>
#include <set>
#include <system_error>

#include "cli/cli.h"
#include "core/attachment.h"
#include "core/cmx_reader.h"
#include "core/fold_case.h"
#include "core/skin_names.h"
#include "core/utf8.h"

namespace tailorloft::cli {
namespace {

namespace fs = std::filesystem;

bool IsBone(std::string_view name) {
  const auto points = AttachmentPoints();
  return std::find(points.begin(), points.end(), name) != points.end();
}

bool HasExtensionIgnoringCase(const fs::path& path, std::string_view extension) {
  return EqualsIgnoringCase(Utf8FromPath(path.extension()), extension);
}

std::string Counted(std::size_t count, std::string_view noun) {
  std::string text = std::to_string(count) + " " + std::string(noun);
  if (count != 1) text += 's';
  return text;
}

// A file name as it goes into a report line: as the user gave it, but with
// control characters escaped so a name cannot garble the terminal.
std::string Shown(const fs::path& path) {
  const std::string quoted = QuoteForMessage(Utf8FromPath(path));
  return quoted.substr(1, quoted.size() - 2);
}

class Checker {
 public:
  Checker(const fs::path& workingFolder, std::ostream& out) : workingFolder_(workingFolder), out_(out) {}

  void CheckPath(const std::string& given) {
    const fs::path shown = PathFromUtf8(given);
    const fs::path actual = workingFolder_.empty() ? shown : workingFolder_ / shown;
    std::error_code ec;
    const fs::file_status status = fs::status(actual, ec);
    if (status.type() == fs::file_type::not_found) {
      ++files_;
      Report(shown, 0, "error", "no such file or folder");
      return;
    }
    if (status.type() != fs::file_type::directory) {
      CheckFile(shown, actual);
      return;
    }
    // The game reads the folder's own files only, so subfolders are not entered.
    std::vector<fs::path> names;
    for (fs::directory_iterator it(actual, ec), end; !ec && it != end; it.increment(ec)) {
      if (HasExtensionIgnoringCase(it->path(), ".cmx") && !it->is_directory(ec)) {
        names.push_back(it->path().filename());
      }
    }
    if (ec) {
      ++files_;
      Report(shown, 0, "error", "the folder cannot be read: " + ec.message());
      return;
    }
    std::sort(names.begin(), names.end());
    for (const fs::path& name : names) CheckFile(shown / name, actual / name);
  }

  int Finish() {
    out_ << Counted(files_, "file") << ", " << Counted(errors_, "error") << ", "
         << Counted(warnings_, "warning") << '\n';
    return errors_ > 0 ? kExitFailure : kExitSuccess;
  }

 private:
  void CheckFile(const fs::path& shown, const fs::path& actual) {
    ++files_;
    CmxContents contents;
    try {
      contents = ReadCmxFile(actual);
    } catch (const CmxReadError& e) {
      Report(shown, e.Line(), "error", e.Problem());
      return;
    }
    if (contents.suits.empty()) Report(shown, 4, "warning", "the file holds no suit");
    const std::set<std::string>& skins = SkinsIn(actual.parent_path());
    for (const CmxSuit& suit : contents.suits) {
      if (suit.skins.empty()) Report(shown, suit.countLine, "warning", "the suit has no skins");
      for (std::size_t i = 0; i < suit.skins.size(); ++i) {
        const CmxSkinRecord& skin = suit.skins[i];
        const std::string skinFile = skin.skinName + ".skn";
        if (i == 0) CheckMainBone(shown, skin, skinFile);
        if (!IsBone(skin.bone)) {
          Report(shown, skin.line, "error",
                 QuoteForMessage(skin.bone) + " is not a bone of the skeleton");
        }
        if (skins.count(FoldedKey(skinFile)) == 0) {
          Report(shown, skin.line + 1, "error",
                 "the skin file " + QuoteForMessage(skinFile) + " is not in the folder");
        }
      }
    }
  }

  // The same rule the window applies to a chosen body or head file.
  void CheckMainBone(const fs::path& shown, const CmxSkinRecord& skin, const std::string& skinFile) {
    const bool namedAsHead = IsHeadSkin(skinFile);
    if (skin.bone == "PELVIS" && namedAsHead) {
      Report(shown, skin.line, "warning",
             "the main skin " + QuoteForMessage(skinFile) + " is named as a head but is bound to PELVIS");
    } else if (skin.bone == "HEAD" && !namedAsHead) {
      Report(shown, skin.line, "warning",
             "the main skin " + QuoteForMessage(skinFile) + " is named as a body but is bound to HEAD");
    } else if (skin.bone != "PELVIS" && skin.bone != "HEAD" && IsBone(skin.bone)) {
      Report(shown, skin.line, "warning",
             "the main skin is bound to " + skin.bone + ", not to PELVIS (a body) or HEAD (a head)");
    }
  }

  // The skin files of a folder, folded for a case-blind lookup, listed once
  // however many suits the folder holds.
  const std::set<std::string>& SkinsIn(const fs::path& folder) {
    const auto [it, inserted] = skinsByFolder_.try_emplace(folder);
    if (inserted) {
      std::error_code ec;
      const fs::path listed = folder.empty() ? fs::path(".") : folder;
      for (fs::directory_iterator entry(listed, ec), end; !ec && entry != end; entry.increment(ec)) {
        if (HasExtensionIgnoringCase(entry->path(), ".skn")) {
          it->second.insert(FoldedKey(Utf8FromPath(entry->path().filename())));
        }
      }
    }
    return it->second;
  }

  void Report(const fs::path& file, std::size_t line, std::string_view kind, const std::string& text) {
    out_ << Shown(file) << ':';
    if (line > 0) out_ << line << ':';
    out_ << ' ' << kind << ": " << text << '\n';
    (kind == "error" ? errors_ : warnings_)++;
  }

  fs::path workingFolder_;
  std::ostream& out_;
  std::map<fs::path, std::set<std::string>> skinsByFolder_;
  std::size_t files_ = 0;
  std::size_t errors_ = 0;
  std::size_t warnings_ = 0;
};

// One argument for a POSIX shell: as it is when it holds only characters no
// shell treats specially, otherwise in single quotes.
std::string ShellWord(const std::string& word) {
  const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("_./=+:,@%-").find(c) != std::string_view::npos;
  });
  if (plain) return word;
  std::string quoted = "'";
  for (const char c : word) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// Whether the CLI reads `name` back as this very file title.
bool IsItsOwnFileTitle(const std::string& name) {
  return Utf8FromPath(PathFromUtf8(name).filename()) == name;
}

// The command line that writes `suit`, or why there is none.
std::string CommandFor(const CmxSuit& suit, std::string& whyNot) {
  if (suit.skins.empty()) {
    whyNot = "it has no skins";
    return {};
  }
  const CmxSkinRecord& main = suit.skins.front();
  if (main.bone != "HEAD" && main.bone != "PELVIS") {
    whyNot = "its main skin is bound to " + QuoteForMessage(main.bone) +
             "; tailorloft-cli binds it to PELVIS or HEAD";
    return {};
  }
  if (suit.firstNumber != 0 || suit.secondNumber != 0 ||
      std::any_of(suit.skins.begin(), suit.skins.end(),
                  [](const CmxSkinRecord& s) { return s.firstNumber != 0 || s.secondNumber != 0; })) {
    whyNot = "it holds numbers other than 0, and tailorloft-cli writes 0";
    return {};
  }
  const std::string output = suit.suitName + ".cmx";
  std::vector<std::string> positionals = {main.skinName + ".skn"};
  for (std::size_t i = 1; i < suit.skins.size(); ++i) {
    if (!IsBone(suit.skins[i].bone)) {
      whyNot = "the accessory on line " + std::to_string(suit.skins[i].line) + " is bound to " +
               QuoteForMessage(suit.skins[i].bone) + ", which is not a bone of the skeleton";
      return {};
    }
    positionals.push_back(suit.skins[i].bone + "=" + suit.skins[i].skinName + ".skn");
  }
  for (const std::string& name : positionals) {
    const std::string title = name.substr(name.find('=') == std::string::npos ? 0 : name.find('=') + 1);
    if (!IsItsOwnFileTitle(title)) {
      whyNot = "the skin name " + QuoteForMessage(title) + " holds a folder separator";
      return {};
    }
  }
  if (!IsItsOwnFileTitle(output)) {
    whyNot = "the suit name " + QuoteForMessage(suit.suitName) + " holds a folder separator";
    return {};
  }

  std::string command = "tailorloft-cli ";
  command += main.bone == "HEAD" ? "--head" : "--body";
  // A name starting with "-" must not be taken for an option.
  command += output.front() == '-' ? " " + ShellWord("--output=" + output) : " -o " + ShellWord(output);
  if (std::any_of(positionals.begin(), positionals.end(), [](const std::string& p) { return p.front() == '-'; })) {
    command += " --";
  }
  for (const std::string& positional : positionals) command += " " + ShellWord(positional);
  return command;
}

}  // namespace

int CheckSuits(const std::vector<std::string>& paths, const fs::path& workingFolder, std::ostream& out) {
  Checker checker(workingFolder, out);
  for (const std::string& path : paths) checker.CheckPath(path);
  return checker.Finish();
}

int ShowSuits(const std::string& file, const fs::path& workingFolder, std::ostream& out,
              std::ostream& err) {
  const fs::path given = PathFromUtf8(file);
  CmxContents contents;
  try {
    contents = ReadCmxFile(workingFolder.empty() ? given : workingFolder / given);
  } catch (const CmxReadError& e) {
    err << "tailorloft-cli: Could not read " << QuoteForMessage(file) << ": "
        << (e.Line() > 0 ? "line " + std::to_string(e.Line()) + ": " : std::string()) << e.Problem()
        << ".\n";
    return kExitFailure;
  }
  if (contents.suits.empty()) {
    err << "tailorloft-cli: " << QuoteForMessage(file) << " holds no suit.\n";
    return kExitFailure;
  }
  int status = kExitSuccess;
  for (std::size_t i = 0; i < contents.suits.size(); ++i) {
    std::string whyNot;
    const std::string command = CommandFor(contents.suits[i], whyNot);
    if (command.empty()) {
      err << "tailorloft-cli: The suit " << QuoteForMessage(contents.suits[i].suitName) << " of "
          << QuoteForMessage(file) << " cannot be written by tailorloft-cli: " << whyNot << ".\n";
      status = kExitFailure;
    } else {
      out << command << '\n';
    }
  }
  return status;
}

}  // namespace tailorloft::cli
