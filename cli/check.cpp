// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/check.h"

#include <algorithm>
#include <memory>

#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "core/attachment.h"
#include "core/cmx_reader.h"
#include "core/utf8.h"
#include "env/game_files.h"
#include "game/finding.h"
#include "game/suit_check.h"

namespace tailorloft::cli {
namespace {

namespace fs = std::filesystem;

bool IsBone(std::string_view name) {
  const auto points = AttachmentPoints();
  return std::find(points.begin(), points.end(), name) != points.end();
}

std::string Counted(std::size_t count, std::string_view noun) {
  std::string text = std::to_string(count) + " " + std::string(noun);
  if (count != 1) text += 's';
  return text;
}

// A file name as it goes into a report line: as the user gave it, but with
// control characters escaped so a name cannot garble the terminal.
std::string Shown(const std::string& file) {
  const std::string quoted = QuoteForMessage(file);
  return quoted.substr(1, quoted.size() - 2);
}

std::string_view SeverityWord(game::Severity severity) {
  return severity == game::Severity::kError ? "error" : "warning";
}

void PrintPlain(const game::CheckResult& result, std::size_t errors, std::size_t warnings, std::ostream& out) {
  for (const game::Finding& finding : result.findings) {
    out << Shown(finding.file) << ':';
    if (finding.line > 0) out << finding.line << ':';
    out << ' ' << SeverityWord(finding.severity) << ": " << finding.message << " [" << finding.code << "]\n";
  }
  out << Counted(result.files, "file") << ", " << Counted(errors, "error") << ", "
      << Counted(warnings, "warning") << '\n';
}

void PrintJson(const game::CheckResult& result, std::size_t errors, std::size_t warnings, std::ostream& out) {
  nlohmann::ordered_json findings = nlohmann::ordered_json::array();
  for (const game::Finding& finding : result.findings) {
    findings.push_back({{"file", finding.file},
                        {"line", finding.line},
                        {"severity", SeverityWord(finding.severity)},
                        {"code", finding.code},
                        {"message", finding.message}});
  }
  const nlohmann::ordered_json report = {
      {"files", result.files}, {"errors", errors}, {"warnings", warnings}, {"findings", std::move(findings)}};
  // A file name that is not UTF-8 (any bytes are a name on Linux) still
  // makes valid JSON, its odd bytes replaced.
  out << report.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

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

int CheckSuits(const std::vector<std::string>& paths, const fs::path& gameFolder, bool json,
               const fs::path& workingFolder, std::ostream& out, FileSystem& fileSystem) {
  std::vector<fs::path> given;
  given.reserve(paths.size());
  for (const std::string& path : paths) given.push_back(PathFromUtf8(path));
  const std::unique_ptr<game::GameFiles> game = env::OpenGameFiles(gameFolder);
  const game::CheckResult result = game::CheckSuits(given, workingFolder, *game, fileSystem);
  const auto errors = static_cast<std::size_t>(
      std::count_if(result.findings.begin(), result.findings.end(),
                    [](const game::Finding& f) { return f.severity == game::Severity::kError; }));
  const std::size_t warnings = result.findings.size() - errors;
  if (json) {
    PrintJson(result, errors, warnings, out);
  } else {
    PrintPlain(result, errors, warnings, out);
  }
  return errors > 0 ? kExitFailure : kExitSuccess;
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
      // The line names its file after the suit, as the program always does.
      const std::string written = contents.suits[i].suitName + ".cmx";
      const std::string title = Utf8FromPath(given.filename());
      if (written != title) {
        err << "tailorloft-cli: The suit in " << QuoteForMessage(title) << " is named "
            << QuoteForMessage(contents.suits[i].suitName) << ", so the line writes "
            << QuoteForMessage(written) << ", a file named after the suit, not " << QuoteForMessage(title)
            << ".\n";
      }
    }
  }
  return status;
}

}  // namespace tailorloft::cli
