// SPDX-License-Identifier: GPL-3.0-or-later
// tailorloft-cli --check on a skins folder of 20 000 suits and their skins,
// against just reading those CMX files, in the same run. The closing line
// gives the ratio: what the checks (bones, head/body, a case-blind lookup of
// every skin in the folder) cost on top of reading.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "cli/check.h"
#include "core/cmx_reader.h"
#include "core/cmx_writer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kSuits = 20000;

const fs::path& Folder() {
  static const fs::path folder = [] {
    const fs::path made = fs::temp_directory_path() / ("tailorloft-check-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(made);
    for (int i = 0; i < kSuits; ++i) {
      const std::string id = std::to_string(i);
      const tailorloft::Suit suit{"B" + id, "PELVIS", "xskin-B" + id + "-PELVIS-BODY",
                                  {{"HEAD", "acc-hat" + id + "-HEAD-a"}, {"L_HAND", "acc-ring-L_HAND-" + id}}};
      std::ofstream(made / ("B" + id + ".cmx"), std::ios::binary) << tailorloft::FormatCmx(suit);
      std::ofstream(made / ("xskin-B" + id + "-PELVIS-BODY.skn"));
      std::ofstream(made / ("acc-hat" + id + "-HEAD-a.skn"));
    }
    std::ofstream(made / "acc-ring-L_HAND-0.skn");  // the other rings are missing: 19 999 errors
    return made;
  }();
  return folder;
}

double checkSeconds = 0, readSeconds = 0;
int checkRuns = 0, readRuns = 0;

void BM_CheckFolder(benchmark::State& state) {
  const std::string folder = Folder().string();
  for (auto _ : state) {
    std::ostringstream out;
    const auto start = Clock::now();
    benchmark::DoNotOptimize(tailorloft::cli::CheckSuits({folder}, {}, out));
    checkSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    ++checkRuns;
  }
}

void BM_ReadEveryCmx(benchmark::State& state) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(Folder())) {
    if (entry.path().extension() == ".cmx") files.push_back(entry.path());
  }
  for (auto _ : state) {
    const auto start = Clock::now();
    for (const fs::path& file : files) benchmark::DoNotOptimize(tailorloft::ReadCmxFile(file));
    readSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    ++readRuns;
  }
}

BENCHMARK(BM_CheckFolder)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadEveryCmx)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Folder();  // made before timing starts
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (checkRuns > 0 && readRuns > 0) {
    std::printf("--check of %d suits: %.1f ms; reading them only: %.1f ms; ratio %.2f\n", kSuits,
                1000 * checkSeconds / checkRuns, 1000 * readSeconds / readRuns,
                (checkSeconds / checkRuns) / (readSeconds / readRuns));
  }
  std::error_code ec;
  fs::remove_all(Folder(), ec);
  return 0;
}
