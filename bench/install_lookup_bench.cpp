// SPDX-License-Identifier: GPL-3.0-or-later
// The game's install folder looked up the way start-up does it, in a Wine
// prefix the size of a fresh Wine 8 one: a system.reg of about 1.7 MB and
// 44 000 lines, with the game's keys where Wine's sorted order puts them;
// and through a Steam libraryfolders.vdf listing 100 000 libraries.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "env/install_path.h"
#include "env/legacy_collection.h"
#include "env/wine_prefix.h"
#include "env/wine_registry.h"

namespace {

namespace fs = std::filesystem;
using namespace tailorloft::env;

// One key block the way Wine writes it.
void AppendKey(std::string& out, const std::string& escapedName, std::mt19937& random) {
  out += "[" + escapedName + "] 1700000000\n#time=1d9a0e0c6b2f1e0\n";
  switch (random() % 4) {
    case 0:
      out += "@=\"C:\\\\windows\\\\system32\\\\component" + std::to_string(random() % 1000) + ".dll\"\n";
      out += "\"ThreadingModel\"=\"Both\"\n";
      break;
    case 1:
      out += "\"FilterData\"=hex:02,00,00,00,00,00,60,00,02,00,00,00,00,00,00,00,30,70,69,33,\\\n"
             "  08,00,00,00,00,00,00,00,01,00,00,00,00,00,00,00,00,00,00,00\n";
      break;
    case 2:
      out += "\"Version\"=dword:0000000" + std::to_string(random() % 10) + "\n";
      out += "\"Path\"=str(2):\"%SystemRoot%\\\\system32\"\n";
      break;
    default:
      out += "@=\"Item " + std::to_string(random()) + "\"\n";
      break;
  }
  out += "\n";
}

std::string MakeSystemReg(bool withGame) {
  std::mt19937 random(42);
  std::string out = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
  const auto many = [&](const std::string& parent, int count) {
    for (int i = 0; i < count; ++i) {
      char clsid[64];
      std::snprintf(clsid, sizeof clsid, "{%08X-%04X-%04X-0000-%012X}", static_cast<unsigned>(random()),
                    static_cast<unsigned>(random() % 0x10000), static_cast<unsigned>(i), static_cast<unsigned>(i));
      AppendKey(out, parent + "\\\\" + clsid, random);
    }
  };
  const std::string game = "\"InstallPath\"=\"C:\\\\Program Files (x86)\\\\Maxis\\\\The Sims\"\n\"SIMS_LANGUAGE\"=\"USEnglish\"\n\n";
  many("Software\\\\Classes\\\\CLSID", 7650);
  if (withGame) out += "[Software\\\\Maxis\\\\The Sims] 1700000000\n" + game;
  many("Software\\\\Microsoft\\\\Windows\\\\CurrentVersion", 1500);
  if (withGame) out += "[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1700000000\n" + game;
  many("Software\\\\Wow6432Node\\\\Microsoft", 60);
  many("System\\\\CurrentControlSet\\\\Services", 260);
  return out;
}

// A home folder with one Wine prefix in ~/.wine, removed at exit.
struct Home {
  explicit Home(bool withGame) {
    home = fs::temp_directory_path() / ("tailorloft-bench-" + std::to_string(std::random_device()()));
    const fs::path prefix = home / ".wine";
    fs::create_directories(prefix / "dosdevices");
    fs::create_directories(prefix / "drive_c/Program Files (x86)/Maxis/The Sims/GameData/Skins");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
    const std::string text = MakeSystemReg(withGame);
    std::ofstream(prefix / "system.reg", std::ios::binary) << text;
    systemReg = prefix / "system.reg";
    bytes = text.size();
    lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  }
  ~Home() { fs::remove_all(home); }

  fs::path home;
  fs::path systemReg;
  std::size_t bytes = 0;
  std::size_t lines = 0;
};

const Home& Installed() {
  static const Home home(true);
  return home;
}
const Home& NotInstalled() {
  static const Home home(false);
  return home;
}

const WineRegistryQuery kGameQuery{
    {"Software\\Wow6432Node\\Maxis\\The Sims", "Software\\Maxis\\The Sims"}, "InstallPath"};

void Describe(benchmark::State& state, const Home& home) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(home.bytes));
  state.counters["file_MB"] = static_cast<double>(home.bytes) / 1e6;
  state.counters["file_lines"] = static_cast<double>(home.lines);
}

// Reads the whole file through buffer and returns its length: the cost of
// just reading, which the lookups are compared with.
std::size_t ReadWhole(const fs::path& path, std::vector<char>& buffer) {
  std::FILE* in = std::fopen(path.string().c_str(), "rb");
  if (in == nullptr) return 0;
  std::size_t total = 0;
  while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in)) total += got;
  std::fclose(in);
  return total;
}

// What reading the file costs at all, for comparison.
void BM_ReadFileOnly(benchmark::State& state) {
  const Home& home = Installed();
  std::vector<char> buffer(64 * 1024);
  for (auto _ : state) benchmark::DoNotOptimize(ReadWhole(home.systemReg, buffer));
  Describe(state, home);
}
BENCHMARK(BM_ReadFileOnly)->Unit(benchmark::kMicrosecond);

// The value found: the scan stops after the 32-bit view's key.
void BM_ScanSystemRegFound(benchmark::State& state) {
  const Home& home = Installed();
  for (auto _ : state) benchmark::DoNotOptimize(FindWineRegistryValueInFile(home.systemReg, kGameQuery));
  Describe(state, home);
}
BENCHMARK(BM_ScanSystemRegFound)->Unit(benchmark::kMicrosecond);

// The game not installed: the whole file is read.
void BM_ScanSystemRegNotFound(benchmark::State& state) {
  const Home& home = NotInstalled();
  for (auto _ : state) benchmark::DoNotOptimize(FindWineRegistryValueInFile(home.systemReg, kGameQuery));
  Describe(state, home);
}
BENCHMARK(BM_ScanSystemRegNotFound)->Unit(benchmark::kMicrosecond);

// All of start-up's lookup: the prefix search, the scan, the path mapping and
// the skin folder.
void BM_FindGameAndSkinFolder(benchmark::State& state) {
  const Home& home = Installed();
  const HomePlaces places{home.home, {}};
  for (auto _ : state) benchmark::DoNotOptimize(SkinFolder(FindGameInstallFolderIn(places)));
  Describe(state, home);
}
BENCHMARK(BM_FindGameAndSkinFolder)->Unit(benchmark::kMicrosecond);

// A home folder with Steam in ~/.steam/steam and no Wine prefix, whose
// libraryfolders.vdf lists `count` libraries that do not exist (the game is
// in none of them): at 100 000 entries, 3.7 MB, still within the size the
// lookup reads. Every library is looked into once.
struct SteamHome {
  explicit SteamHome(int count) {
    home = fs::temp_directory_path() / ("tailorloft-bench-" + std::to_string(std::random_device()()));
    fs::create_directories(home / ".steam/steam/steamapps");
    std::string text = "\"libraryfolders\"\n{\n";
    for (int i = 0; i < count; ++i) {
      text += "\"" + std::to_string(i) + "\"\n{\n\"path\" \"/nowhere/" + std::to_string(i) + "\"\n}\n";
    }
    text += "}\n";
    vdf = home / ".steam/steam/steamapps/libraryfolders.vdf";
    std::ofstream(vdf, std::ios::binary) << text;
    bytes = text.size();
    libraries = count;
  }
  ~SteamHome() { fs::remove_all(home); }
  SteamHome(const SteamHome&) = delete;
  SteamHome& operator=(const SteamHome&) = delete;

  fs::path home;
  fs::path vdf;
  std::size_t bytes = 0;
  int libraries = 0;
};

const SteamHome& ManyLibraries() {
  static const SteamHome home(100000);
  return home;
}

void DescribeSteam(benchmark::State& state, const SteamHome& home) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(home.bytes));
  state.counters["file_MB"] = static_cast<double>(home.bytes) / 1e6;
  state.counters["libraries"] = home.libraries;
}

// Reading libraryfolders.vdf and nothing else, for comparison.
void BM_ReadLibraryFoldersOnly(benchmark::State& state) {
  const SteamHome& home = ManyLibraries();
  std::vector<char> buffer(64 * 1024);
  for (auto _ : state) benchmark::DoNotOptimize(ReadWhole(home.vdf, buffer));
  DescribeSteam(state, home);
}
BENCHMARK(BM_ReadLibraryFoldersOnly)->Unit(benchmark::kMillisecond);

// Reading and parsing the file into its list of libraries.
void BM_ParseLibraryFolders(benchmark::State& state) {
  const SteamHome& home = ManyLibraries();
  std::ifstream in(home.vdf, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  for (auto _ : state) benchmark::DoNotOptimize(ParseSteamLibraryFolders(text));
  DescribeSteam(state, home);
}
BENCHMARK(BM_ParseLibraryFolders)->Unit(benchmark::kMillisecond);

// All of start-up's lookup with that file: each library named once and
// looked into, the game found in none.
void BM_FindGameInManyLibraries(benchmark::State& state) {
  const SteamHome& home = ManyLibraries();
  const HomePlaces places{home.home, {}};
  for (auto _ : state) benchmark::DoNotOptimize(FindGameInstallFolderIn(places));
  DescribeSteam(state, home);
}
BENCHMARK(BM_FindGameInManyLibraries)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
