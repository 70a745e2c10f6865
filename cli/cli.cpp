// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include <CLI/CLI.hpp>

#include "cli/check.h"
#ifdef TAILORLOFT_RENDER
#include "cli/render.h"
#endif
#include "core/attachment.h"
#include "core/cmx_writer.h"
#include "core/codepage.h"
#include "core/skin_names.h"
#include "core/suit.h"
#include "core/utf8.h"
#include "core/windows_names.h"
#include "env/game_files.h"
#include "env/install_path.h"

namespace tailorloft::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "tailorloft-cli: ";

// An input the program will not work with; what() is the message to show.
class Refusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Options {
  bool head = false;
  bool body = false;
  bool force = false;
  bool toStdout = false;
  bool outputGiven = false;
  std::string output;
  std::string bodyFile;
  std::vector<std::string> accessories;
  std::vector<std::string> checkPaths;
  std::string gameFolder;
  bool json = false;
  std::string showFile;
};

// --check and --show read suits instead of writing one, so they take no BODY.
bool ReadsSuits(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& arg) {
    return arg == "--check" || arg == "--show" || arg == "--render" || arg.rfind("--check=", 0) == 0 ||
           arg.rfind("--show=", 0) == 0 || arg.rfind("--render=", 0) == 0;
  });
}

// The file title: the name without its folder, split off the way the
// platform splits paths (on Linux only "/" separates; a backslash is an
// ordinary character of a file name there).
std::string FileTitle(const std::string& fileName) {
  const std::u8string title = PathFromUtf8(fileName).filename().u8string();
  if (title.empty()) throw Refusal("No file name in " + QuoteForMessage(fileName) + ".");
  return std::string(title.begin(), title.end());
}

bool EndsWithCmxExtension(std::string_view name) {
  constexpr std::string_view kExtension = ".cmx";
  if (name.size() < kExtension.size()) return false;
  const std::string_view tail = name.substr(name.size() - kExtension.size());
  return std::equal(tail.begin(), tail.end(), kExtension.begin(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
  });
}

// The file the save dialog would propose for the body skin, as a name in the
// current folder.
std::string DefaultFileName(const std::string& bodyTitle) {
  std::string name = DefaultCmxName(bodyTitle);
  if (name.empty()) {
    throw Refusal("No CMX file name can be made from " + QuoteForMessage(bodyTitle) +
                  "; name the file with -o.");
  }
  if (!EndsWithCmxExtension(name)) name += ".cmx";
  // Checked here so the message can say where the name came from.
  if (const auto reason = WhyNameIsRefused(StripExtension(name), Windows1252())) {
    throw Refusal("The CMX file name " + QuoteForMessage(name) + " made from " +
                  QuoteForMessage(bodyTitle) + " cannot be used: " + *reason +
                  "; name the file with -o.");
  }
  return name;
}

// "BONE=FILE" when BONE is an attachment point; otherwise the whole argument
// is a file whose bone is read from its name.
std::string AccessoryEntry(const std::string& argument) {
  const auto points = AttachmentPoints();
  if (const auto equals = argument.find('='); equals != std::string::npos) {
    const std::string_view bone(argument.data(), equals);
    if (std::find(points.begin(), points.end(), bone) != points.end()) {
      return MakeEntry(bone, FileTitle(argument.substr(equals + 1)));
    }
  }
  const std::string title = FileTitle(argument);
  const auto bone = SuggestAttachmentPoint(title, points);
  if (!bone) {
    throw Refusal("No attachment point found in the name " + QuoteForMessage(title) +
                  "; give one as " + QuoteForMessage("BONE=" + argument) +
                  " (--help lists the bones).");
  }
  return MakeEntry(*bone, title);
}

// The attachment points for the help text, wrapped to fit a terminal.
std::string BoneList() {
  std::string list;
  std::size_t lineLength = 0;
  for (const std::string& bone : AttachmentPoints()) {
    if (lineLength > 0 && lineLength + 1 + bone.size() > 78) {
      list += '\n';
      lineLength = 0;
    }
    const std::string_view gap = lineLength == 0 ? "  " : " ";
    list += gap;
    list += bone;
    lineLength += gap.size() + bone.size();
  }
  return list;
}

void Save(const Options& options, const fs::path& workingFolder, std::ostream& out,
          FileSystem& fileSystem) {
  const std::string bodyTitle = FileTitle(options.bodyFile);
  const bool head = options.head || (!options.body && IsHeadSkin(bodyTitle));
  std::vector<std::string> entries;
  entries.reserve(options.accessories.size());
  for (const std::string& accessory : options.accessories) {
    entries.push_back(AccessoryEntry(accessory));
  }
  std::string cmxName = options.outputGiven ? options.output : DefaultFileName(bodyTitle);
#ifdef _WIN32
  // Taken as Windows will create it, so the suit is named as the file really
  // is; a name Windows would refuse or read as a stream is refused here.
  const std::string title = FileTitle(cmxName);
  const std::string windowsTitle = TrimForWindows(title);
  if (const auto reason = WhyWindowsRefuses(windowsTitle)) {
    throw Refusal("The file name " + QuoteForMessage(cmxName) + " cannot be used: " + *reason + ".");
  }
  cmxName.resize(cmxName.size() - (title.size() - windowsTitle.size()));
#endif

  // Every name is checked here, before any file is looked at.
  const CodePage& codePage = Windows1252();
  const Suit suit = GatherSuit(FileTitle(cmxName), head, bodyTitle, entries, codePage);

  if (options.toStdout) {
    const std::string bytes = FormatCmx(suit, codePage);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) throw Refusal("Could not write to standard output.");
    return;
  }

  // Without -f the writer refuses a file of that name, also one that appears
  // while the new one is being written.
  const fs::path target = workingFolder / PathFromUtf8(cmxName);
  try {
    WriteCmxFile(target, suit, codePage, fileSystem,
                 options.force ? ExistingFile::kReplace : ExistingFile::kKeep);
  } catch (const CmxFileExists&) {
    throw Refusal("The file " + QuoteForMessage(cmxName) + " already exists; use -f to replace it.");
  }
}

}  // namespace

std::string VersionText() { return "tailorloft-cli " TAILORLOFT_VERSION; }

int RunCli(const std::vector<std::string>& args, const fs::path& workingFolder, std::ostream& out,
           std::ostream& err, FileSystem& fileSystem, const GameLookup& findGame) {
  Options options;
  CLI::App app{"Writes a CMX suit file for The Sims from skin file names.", "tailorloft-cli"};
  // On Windows CLI11 would read "/name" as an option; here it is always a file.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", VersionText());
  auto* headFlag = app.add_flag("--head", options.head, "The main skin is a head (bone HEAD)");
  auto* bodyFlag = app.add_flag("--body", options.body, "The main skin is a body (bone PELVIS)");
  headFlag->excludes(bodyFlag);
  auto* outputOption =
      app.add_option("-o,--output", options.output,
                     "The CMX file to write (default: a name made from BODY, in the current folder)")
          ->type_name("OUT.cmx");
  auto* forceFlag = app.add_flag("-f,--force", options.force, "Replace the CMX file if it exists");
  auto* stdoutFlag = app.add_flag("--stdout", options.toStdout, "Write the file's bytes to standard output instead");
  auto* bodyOption =
      app.add_option("BODY", options.bodyFile,
                     "The body or head skin file; a head when the character after its first \"-\" is c or C")
          ->type_name("")
          ->required(!ReadsSuits(args));
  auto* accessoryOption =
      app.add_option("ACCESSORY", options.accessories,
                     "BONE=FILE.skn, or FILE.skn whose third \"-\" field names the bone")
          ->type_name("");
  // PATHs may follow --check or stand where BODY would: "--check --json Skins" too.
  auto* checkOption =
      app.add_option("--check", options.checkPaths,
                     "Check suits, meshes, textures and skeletons, or the files of folders, for what "
                     "the game would trip over; report them as FILE:LINE: error: or warning: lines")
          ->type_name("PATH")
          ->expected(0, CLI::detail::expected_max_vector_size);
  auto* gameOption =
      app.add_option("--game", options.gameFolder,
                     "With --check or --render: the game's folder, whose skin folders and archives are searched "
                     "(default: the game found as at start-up)")
          ->type_name("DIR");
  auto* jsonFlag = app.add_flag("--json", options.json, "With --check: print one JSON object instead of lines");
  auto* showOption =
      app.add_option("--show", options.showFile,
                     "Print the command line that writes the suits of a CMX file")
          ->type_name("FILE.cmx");
  checkOption->excludes(showOption);
#ifdef TAILORLOFT_RENDER
  RenderCommand render(app);
#endif

  app.footer(
      "When writing, only the file names count, without folder; the skin files are never opened.\n"
      "--check and --show read files instead and take no BODY; --check exits with 1 when it\n"
      "finds an error, and with 2 when the --game folder is not the game's.\n"
#ifdef TAILORLOFT_RENDER
      "--render takes no BODY either; it exits with 1 when a mesh or the skeleton is missing or\n"
      "broken, and draws a missing texture grey with a warning.\n"
#endif

      "BONE is one of:\n" +
      BoneList());

  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 consumes from the back
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {  // --help, --version
      app.exit(e, out, err);
      return kExitSuccess;
    }
    err << kPrefix << e.what() << "\nRun with --help for more information.\n";
    return kExitUsage;
  }
#ifdef TAILORLOFT_RENDER
  if (const std::optional<int> status = render.RunIfAsked(app, workingFolder, err, fileSystem, findGame)) {
    return *status;
  }
#endif
  options.outputGiven = outputOption->count() > 0;
  const bool checks = checkOption->count() > 0;
  const bool reads = checks || showOption->count() > 0;
  for (const CLI::Option* writing :
       {headFlag, bodyFlag, outputOption, forceFlag, stdoutFlag, bodyOption, accessoryOption}) {
    // With --check, BODY and ACCESSORY are the PATHs to check.
    const bool isPath = writing == bodyOption || writing == accessoryOption;
    if (reads && writing->count() > 0 && !(checks && isPath)) {
      err << kPrefix << (checks ? "--check" : "--show") << " writes no suit, so "
          << writing->get_name() << " cannot go with it.\nRun with --help for more information.\n";
      return kExitUsage;
    }
  }
#ifdef TAILORLOFT_RENDER
  constexpr std::string_view kGameGoesWith = "--check or --render";
#else
  constexpr std::string_view kGameGoesWith = "--check";
#endif
  for (const CLI::Option* checkOnly : {gameOption, static_cast<CLI::Option*>(jsonFlag)}) {
    if (!checks && checkOnly->count() > 0) {
      err << kPrefix << checkOnly->get_name() << " goes with "
          << (checkOnly == gameOption ? kGameGoesWith : std::string_view("--check"))
          << " only.\nRun with --help for more information.\n";
      return kExitUsage;
    }
  }
  if (checks) {
    // A bare --check leaves CLI11's empty value behind; no PATH is empty.
    std::vector<std::string> paths;
    std::copy_if(options.checkPaths.begin(), options.checkPaths.end(), std::back_inserter(paths),
                 [](const std::string& path) { return !path.empty(); });
    if (bodyOption->count() > 0) paths.push_back(options.bodyFile);
    paths.insert(paths.end(), options.accessories.begin(), options.accessories.end());
    if (paths.empty()) {
      err << kPrefix << "--check needs a PATH: a file or folder to check.\nRun with --help for more information.\n";
      return kExitUsage;
    }
    fs::path gameFolder;
    if (gameOption->count() > 0) {
      gameFolder = PathFromUtf8(options.gameFolder);
      if (!workingFolder.empty()) gameFolder = workingFolder / gameFolder;
      if (!env::LooksLikeGameFolder(gameFolder)) {
        err << kPrefix << QuoteForMessage(options.gameFolder)
            << " is not the game's folder: it holds no GameData folder.\n";
        return kExitUsage;
      }
    } else {
      const std::string found = findGame ? findGame() : env::FindGameInstallFolder();
      if (found != "ERROR") gameFolder = PathFromUtf8(found);
    }
    return CheckSuits(paths, gameFolder, options.json, workingFolder, out, fileSystem);
  }
  if (showOption->count() > 0) return ShowSuits(options.showFile, workingFolder, out, err);

  try {
    Save(options, workingFolder, out, fileSystem);
  } catch (const std::exception& e) {
    err << kPrefix << e.what() << '\n';
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace tailorloft::cli
