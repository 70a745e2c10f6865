// SPDX-License-Identifier: GPL-3.0-or-later
// tailorloft-cli --check on a skins folder of 20 000 suits, each with its body
// mesh and a texture for each skin tone, against reading the bytes the check
// must read (the folder's listing, every suit and mesh whole, the header of
// every texture), in the same run. The closing line gives the ratio: what
// the rules cost on top of reading.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/check.h"
#include "core/file_system.h"
#include "game/bmp.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kSuits = 20000;
constexpr const char* kTones[] = {"lgt", "med", "drk"};

// The 19 bones of a real body mesh: no head, hands or fingers.
constexpr const char* kBodyBones[] = {"PELVIS", "SPINE",  "SPINE1", "SPINE2", "NECK",  "L_LEG",  "L_LEG1",
                                      "L_FOOT", "L_TOE0", "R_LEG",  "R_LEG1", "R_FOOT", "R_TOE0", "L_ARM",
                                      "L_ARM1", "L_ARM2", "R_ARM",  "R_ARM1", "R_ARM2"};

// A body mesh of a real one's size: 19 bones, 532 faces, 19 bindings, 370
// real and 100 blend vertices (470 in all), 370 UVs, numbers written as
// exporters write them.
std::string BodyMesh(const std::string& name, std::mt19937& random) {
  constexpr std::uint32_t kReal = 370, kBlend = 100, kFaces = 532;
  constexpr std::uint32_t kBones = std::size(kBodyBones);
  std::uniform_real_distribution<float> coordinate(-1.0f, 1.0f);
  std::uniform_int_distribution<std::uint32_t> vertex(0, kReal - 1);
  std::uniform_int_distribution<std::uint32_t> weight(1, 32768);
  auto number = [&] {
    char text[16];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(coordinate(random)));
    return std::string(text);
  };
  std::string skn = name + "\r\nx\r\n" + std::to_string(kBones) + "\r\n";
  for (const char* bone : kBodyBones) skn += std::string(bone) + "\r\n";
  skn += std::to_string(kFaces) + "\r\n";
  for (std::uint32_t i = 0; i < kFaces; ++i) {
    skn += std::to_string(vertex(random)) + " " + std::to_string(vertex(random)) + " " +
           std::to_string(vertex(random)) + "\r\n";
  }
  // Real vertices split evenly over the bones; the blend vertices over the first ten.
  skn += std::to_string(kBones) + "\r\n";
  std::uint32_t real = 0, blend = 0;
  for (std::uint32_t b = 0; b < kBones; ++b) {
    const std::uint32_t realCount = b + 1 < kBones ? kReal / kBones : kReal - real;
    const std::uint32_t blendCount = b < 10 ? kBlend / 10 : 0;
    skn += std::to_string(b) + " " + std::to_string(real) + " " + std::to_string(realCount) + " " +
           (blendCount > 0 ? std::to_string(blend) : std::string("-1")) + " " + std::to_string(blendCount) +
           "\r\n";
    real += realCount;
    blend += blendCount;
  }
  skn += std::to_string(kReal) + "\r\n";
  for (std::uint32_t i = 0; i < kReal; ++i) skn += number() + " " + number() + "\r\n";
  skn += std::to_string(kBlend) + "\r\n";
  for (std::uint32_t i = 0; i < kBlend; ++i) {
    skn += std::to_string(vertex(random)) + " " + std::to_string(weight(random)) + "\r\n";
  }
  skn += std::to_string(kReal + kBlend) + "\r\n";
  for (std::uint32_t i = 0; i < kReal + kBlend; ++i) {
    skn += number() + " " + number() + " " + number() + " " + number() + " " + number() + " " + number() + "\r\n";
  }
  return skn;
}

std::string SuitFile(const std::string& suit, const std::string& mesh) {
  return "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n1\r\n" + suit +
         "\r\n0\r\n0\r\n1\r\nPELVIS\r\n" + mesh + "\r\n0\r\n0\r\n0\r\n";
}

void PutU16(std::string& bytes, std::size_t at, std::uint32_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}
void PutU32(std::string& bytes, std::size_t at, std::uint32_t value) {
  PutU16(bytes, at, value & 0xFFFF);
  PutU16(bytes, at + 2, value >> 16);
}

// The file header, info header and palette of a 256x256 8-bit BMP; the
// pixels follow as zeros.
std::string TextureHeader() {
  constexpr std::uint32_t kSide = 256, kPalette = 256 * 4, kPixelsAt = 14 + 40 + kPalette;
  std::string bytes(kPixelsAt, '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  PutU32(bytes, 2, kPixelsAt + kSide * kSide);
  PutU32(bytes, 10, kPixelsAt);
  PutU32(bytes, 14, 40);
  PutU32(bytes, 18, kSide);
  PutU32(bytes, 22, kSide);
  PutU16(bytes, 26, 1);
  PutU16(bytes, 28, 8);
  PutU32(bytes, 34, kSide * kSide);
  for (std::uint32_t i = 0; i < 256; ++i) {
    for (std::uint32_t c = 0; c < 3; ++c) bytes[14 + 40 + i * 4 + c] = static_cast<char>(i);
  }
  return bytes;
}

std::string Code(int i) {
  constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string id(3, '0');
  for (int d = 2; d >= 0; --d, i /= 36) id[static_cast<std::size_t>(d)] = kDigits[i % 36];
  return "B" + id + "FAFit";
}

const fs::path& Folder() {
  static const fs::path folder = [] {
    const fs::path made =
        fs::temp_directory_path() / ("tailorloft-check-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(made);
    std::mt19937 random(20000);
    const std::string texture = TextureHeader();
    for (int i = 0; i < kSuits; ++i) {
      const std::string suit = Code(i) + "_Bench";
      const std::string mesh = "xskin-" + suit + "-PELVIS-BODY";
      std::ofstream(made / (suit + ".cmx"), std::ios::binary) << SuitFile(suit, mesh);
      std::ofstream(made / (mesh + ".skn"), std::ios::binary) << BodyMesh(mesh, random);
      for (const char* tone : kTones) {
        const fs::path file = made / (Code(i) + tone + "_Bench.bmp");
        std::ofstream(file, std::ios::binary) << texture;
        fs::resize_file(file, texture.size() + 256 * 256);  // the pixels: a hole, no disk space
      }
    }
    return made;
  }();
  return folder;
}

double checkSeconds = 0, readSeconds = 0;
int checkRuns = 0, readRuns = 0;
std::string checkSummary;

void BM_CheckFolder(benchmark::State& state) {
  const std::string folder = Folder().string();
  for (auto _ : state) {
    std::ostringstream out;
    const auto start = Clock::now();
    benchmark::DoNotOptimize(
        tailorloft::cli::CheckSuits({folder}, {}, false, {}, out, tailorloft::RealFileSystem()));
    checkSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    ++checkRuns;
    checkSummary = out.str();
  }
}

// Up to `maxBytes` of a file with stdio, as a plain program reads one.
std::size_t ReadFile(const fs::path& path, std::vector<char>& buffer, std::size_t maxBytes) {
#ifdef _WIN32
  std::FILE* file = _wfopen(path.c_str(), L"rb");
#else
  std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
  if (file == nullptr) return 0;
  const std::size_t got = std::fread(buffer.data(), 1, std::min(buffer.size(), maxBytes), file);
  std::fclose(file);
  return got;
}

void BM_ReadNeededBytes(benchmark::State& state) {
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    const auto start = Clock::now();
    std::size_t bytes = 0;
    for (const auto& entry : fs::directory_iterator(Folder())) {
      const fs::path& path = entry.path();
      const bool texture = path.extension() == ".bmp";
      bytes += ReadFile(path, buffer, texture ? tailorloft::game::kBmpHeaderBytes : buffer.size());
    }
    benchmark::DoNotOptimize(bytes);
    readSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    ++readRuns;
  }
}

BENCHMARK(BM_CheckFolder)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadNeededBytes)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Folder();  // made before timing starts
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (checkRuns > 0 && readRuns > 0) {
    std::printf("--check of %d suits: %s", kSuits, checkSummary.c_str());
    std::printf("--check: %.1f ms; reading the bytes it needs: %.1f ms; ratio %.2f\n",
                1000 * checkSeconds / checkRuns, 1000 * readSeconds / readRuns,
                (checkSeconds / checkRuns) / (readSeconds / readRuns));
  }
  std::error_code ec;
  fs::remove_all(Folder(), ec);
  return 0;
}
