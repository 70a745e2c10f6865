// SPDX-License-Identifier: GPL-3.0-or-later
// The index of the game's archives, made the first time a suit's mesh is not
// found loose: a made-up game folder of 100 archives holding 30 000 entries,
// indexed through GameFiles, against reading the same manifests' bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>

#include "env/game_files.h"
#include "game/far.h"

namespace {

namespace fs = std::filesystem;

constexpr int kArchives = 100;
constexpr int kEntriesPerArchive = 300;

void AppendU32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

// A FAR 1a archive of `names`, each entry a few hundred bytes, the manifest at the end.
std::string FarArchive(const std::vector<std::string>& names, std::mt19937& random) {
  std::string data = "FAR!byAZ";
  AppendU32(data, 1);
  AppendU32(data, 0);  // the manifest's offset, set below
  std::string manifest;
  AppendU32(manifest, static_cast<std::uint32_t>(names.size()));
  for (const std::string& name : names) {
    const auto size = static_cast<std::uint32_t>(200 + random() % 400);
    AppendU32(manifest, size);
    AppendU32(manifest, size);
    AppendU32(manifest, static_cast<std::uint32_t>(data.size()));
    AppendU32(manifest, static_cast<std::uint32_t>(name.size()));
    manifest += name;
    data.append(size, 'm');
  }
  const auto manifestOffset = static_cast<std::uint32_t>(data.size());
  for (std::size_t i = 0; i < 4; ++i) data[12 + i] = static_cast<char>((manifestOffset >> (8 * i)) & 0xFF);
  return data + manifest;
}

// The game folder, in the shape of an install: archives spread over a few
// folders, skin folders with loose files; removed at exit.
struct Game {
  Game() {
    root = fs::temp_directory_path() / ("tailorloft-bench-" + std::to_string(std::random_device()()));
    folder = root / "The Sims";
    suits = root / "suits";
    fs::create_directories(suits);
    fs::create_directories(folder / "ExpansionShared/SkinsBuy");
    fs::create_directories(folder / "GameData/Skins");
    for (int i = 0; i < 200; ++i) {
      std::ofstream(folder / "GameData/Skins" / ("B" + std::to_string(100 + i) + "FAFit_loose.cmx"));
    }
    std::mt19937 random(7);
    const char* const kinds[] = {"BODY.bmf", "HEAD.bmf", "HAND.bmf", "lgt_x.bmp", "med_x.bmp", "drk_x.bmp"};
    for (int a = 0; a < kArchives; ++a) {
      std::vector<std::string> names;
      for (int e = 0; e < kEntriesPerArchive; ++e) {
        char name[96];
        std::snprintf(name, sizeof name, "xskin-b%03d%02dfafit_%02d-PELVIS-%s", a, e % 100, e / 100, kinds[e % 6]);
        names.emplace_back(name);
      }
      if (a == kArchives - 1) names.back() = "xskin-last-PELVIS-BODY.bmf";
      char relative[64];
      std::snprintf(relative, sizeof relative, "%s/Archive%02d.far", a < 50 ? "GameData" : "ExpansionPack", a);
      const fs::path file = folder / relative;
      fs::create_directories(file.parent_path());
      const std::string bytes = FarArchive(names, random);
      std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      archives.push_back(file);
    }
  }
  ~Game() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  fs::path root;
  fs::path folder;
  fs::path suits;
  std::vector<fs::path> archives;
};

const Game& TheGame() {
  static const Game game;
  return game;
}

// Page faults so far: memory the process touches for the first time, which
// a VM makes expensive.
double PageFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_minflt + usage.ru_majflt);
}

// An archive opened, its header read and the file positioned at the
// manifest, whose offset goes to `offset`; null when that fails.
std::FILE* OpenAtManifest(const fs::path& archive, std::uint32_t& offset) {
  std::FILE* in = std::fopen(archive.c_str(), "rb");
  char header[16];
  if (in == nullptr) return nullptr;
  if (std::fread(header, 1, sizeof header, in) != sizeof header) {
    std::fclose(in);
    return nullptr;
  }
  std::memcpy(&offset, header + 12, sizeof offset);  // little-endian, as the machine
  std::fseek(in, static_cast<long>(offset), SEEK_SET);
  return in;
}

// Calls read(in, offset) with each archive positioned at its manifest, and
// closes it after; an archive that cannot be opened, or false from `read`,
// fails the benchmark and returns false.
template <class Read>
bool ForEachManifest(benchmark::State& state, const Game& game, Read read) {
  for (const fs::path& archive : game.archives) {
    std::uint32_t offset = 0;
    std::FILE* in = OpenAtManifest(archive, offset);
    const bool ok = in != nullptr && read(in, offset);
    if (in != nullptr) std::fclose(in);
    if (!ok) {
      state.SkipWithError("cannot read an archive's manifest");
      return false;
    }
  }
  return true;
}

// What indexing cannot do without: each archive opened, its header read, and
// its manifest read from where the header says to the end.
void BM_ReadManifestsOnly(benchmark::State& state) {
  const Game& game = TheGame();
  std::string manifest;
  const double faults = PageFaults();
  for (auto _ : state) {
    std::size_t total = 0;
    const bool read = ForEachManifest(state, game, [&](std::FILE* in, std::uint32_t) {
      manifest.resize(1 << 20);
      total += std::fread(manifest.data(), 1, manifest.size(), in);
      return true;
    });
    if (!read) return;
    benchmark::DoNotOptimize(total);
  }
  state.counters["faults"] = benchmark::Counter(PageFaults() - faults, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ReadManifestsOnly)->Unit(benchmark::kMillisecond);

// Memory handed back to the system, so that the next iteration starts as a
// process that indexes once does: with memory it touches for the first time.
void GiveMemoryBack() { malloc_trim(0); }

// The same reads, each manifest into memory of its own and kept, as anything
// that uses the manifests after reading them must keep them: the fresh memory
// is part of the cost. Freeing it is not timed.
void BM_ReadManifestsKept(benchmark::State& state) {
  const Game& game = TheGame();
  std::vector<std::unique_ptr<char[]>> manifests;
  manifests.reserve(game.archives.size());
  GiveMemoryBack();
  const double faults = PageFaults();
  for (auto _ : state) {
    const bool read = ForEachManifest(state, game, [&](std::FILE* in, std::uint32_t offset) {
      std::fseek(in, 0, SEEK_END);
      const auto size = static_cast<std::size_t>(std::ftell(in));
      std::fseek(in, static_cast<long>(offset), SEEK_SET);
      // Memory left as it comes: filling it first would only add to the cost.
      std::unique_ptr<char[]>& manifest = manifests.emplace_back(new char[size - offset]);
      return std::fread(manifest.get(), 1, size - offset, in) == size - offset;
    });
    if (!read) return;
    benchmark::DoNotOptimize(manifests.data());
    state.PauseTiming();
    manifests.clear();
    GiveMemoryBack();
    state.ResumeTiming();
  }
  state.counters["faults"] = benchmark::Counter(PageFaults() - faults, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ReadManifestsKept)->Unit(benchmark::kMillisecond);

// The archive reader alone, on the same manifests already in memory (each
// copied, as the reader keeps the bytes it is given): every entry checked,
// nothing decoded or copied per entry.
void BM_ParseManifestsOnly(benchmark::State& state) {
  const Game& game = TheGame();
  struct Manifest {
    std::string bytes;
    std::uint32_t offset;
    std::uint64_t archiveSize;
  };
  std::vector<Manifest> manifests;
  for (const fs::path& archive : game.archives) {
    std::ifstream in(archive, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::uint32_t offset = tailorloft::game::ReadFarHeader(bytes.substr(0, 16), bytes.size(), "bench");
    manifests.push_back({bytes.substr(offset), offset, bytes.size()});
  }
  const double faults = PageFaults();
  for (auto _ : state) {
    std::size_t total = 0;
    for (const Manifest& m : manifests) {
      total += tailorloft::game::FarManifest(m.bytes, m.offset, m.archiveSize, "bench").Count();
    }
    benchmark::DoNotOptimize(total);
  }
  state.counters["faults"] = benchmark::Counter(PageFaults() - faults, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ParseManifestsOnly)->Unit(benchmark::kMillisecond);

// The first lookup that reaches the archives: the game folder walked, every
// manifest read and every entry indexed, then the name found in the last archive.
void BM_IndexThroughGameFiles(benchmark::State& state) {
  const Game& game = TheGame();
  GiveMemoryBack();
  const double faults = PageFaults();
  for (auto _ : state) {
    std::unique_ptr<tailorloft::game::GameFiles> files = tailorloft::env::OpenGameFiles(game.folder);
    const auto found = files->FindMesh(game.suits, 'B', "XSKIN-LAST-PELVIS-BODY");
    if (!found || found->path != game.archives.back()) {
      state.SkipWithError("the mesh in the last archive was not found");
      return;
    }
    state.PauseTiming();  // freed once, at exit
    files.reset();
    GiveMemoryBack();
    state.ResumeTiming();
  }
  state.counters["faults"] = benchmark::Counter(PageFaults() - faults, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_IndexThroughGameFiles)->Unit(benchmark::kMillisecond);

// Lookups once the index is made: the share of a suit check's time it costs.
void BM_LookupAfterIndex(benchmark::State& state) {
  const Game& game = TheGame();
  const std::unique_ptr<tailorloft::game::GameFiles> files = tailorloft::env::OpenGameFiles(game.folder);
  files->FindMesh(game.suits, 'B', "none");
  for (auto _ : state) {
    benchmark::DoNotOptimize(files->FindMesh(game.suits, 'B', "xskin-b04218fafit_00-PELVIS-BODY"));
  }
}
BENCHMARK(BM_LookupAfterIndex)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
