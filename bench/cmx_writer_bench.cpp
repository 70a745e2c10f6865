// SPDX-License-Identifier: GPL-3.0-or-later
// What the safe CMX writer costs over a plain write of the same bytes. Compare
// BM_WriteCmxFile/accessories:N with BM_PlainWrite/accessories:N; BM_FormatCmx
// shows how much of the difference is turning the suit into bytes, and
// BM_WriteCmxFileNoFlush what the writer costs without its two flushes to the
// disk (the new file's before the rename, the folder's after it).
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

#include "core/attachment.h"
#include "core/cmx_writer.h"
#include "core/suit.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using tailorloft::Suit;

Suit MakeSuit(std::int64_t accessoryCount) {
  Suit suit{"B07", "PELVIS", "x-B07-PELVIS-BODY", {}};
  const auto points = tailorloft::AttachmentPoints();
  for (std::size_t i = 0; i < static_cast<std::size_t>(accessoryCount); ++i) {
    const std::string& bone = points[i % points.size()];
    suit.accessories.push_back({bone, "x-acc" + std::to_string(i) + "-" + bone + "-a"});
  }
  return suit;
}

// A fresh folder under the system's temporary folder (TMPDIR) for one
// benchmark run.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() /
            ("tailorloft-bench-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  fs::path File(const char* name) const { return path_ / name; }

 private:
  fs::path path_;
};

// The least a careful program does: write the bytes to a file beside the
// target and rename it over the target.
void PlainWrite(const fs::path& target, const std::string& bytes) {
  fs::path temp = target;
  temp += ".tmp";
  std::FILE* file = std::fopen(temp.string().c_str(), "wb");
  if (!file) throw std::runtime_error("cannot create " + temp.string());
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) throw std::runtime_error("cannot write " + temp.string());
  fs::rename(temp, target);
}

void BM_FormatCmx(benchmark::State& state) {
  const Suit suit = MakeSuit(state.range(0));
  std::size_t size = 0;
  for (auto _ : state) {
    const std::string bytes = tailorloft::FormatCmx(suit);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

void BM_WriteCmxFile(benchmark::State& state) {
  const Suit suit = MakeSuit(state.range(0));
  const std::size_t size = tailorloft::FormatCmx(suit).size();
  const ScratchFolder folder;
  const fs::path target = folder.File("suit.cmx");
  for (auto _ : state) tailorloft::WriteCmxFile(target, suit);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

#ifndef _WIN32
// The writer's file system with every step but the flushes: the same
// exclusive create, the old file's owner and mode, the same renames.
class NoFlushDisk final : public tailorloft::ForwardingFileSystem {
 public:
  std::error_code CreateAndWrite(const fs::path& path, std::string_view bytes, const fs::path* like) override {
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0) return {errno, std::generic_category()};
    std::error_code ec;
    while (!bytes.empty() && !ec) {
      const ssize_t written = ::write(file, bytes.data(), bytes.size());
      if (written <= 0) ec = std::make_error_code(std::errc::io_error);
      else bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    struct stat original {};
    if (!ec && like && ::stat(like->c_str(), &original) == 0) {
      // As the real writer: keeping the owner is best effort.
      [[maybe_unused]] const int owner_kept = ::fchown(file, original.st_uid, original.st_gid);
      (void)::fchmod(file, original.st_mode & 07777);
    }
    ::close(file);
    return ec;
  }
  std::error_code Rename(const fs::path& from, const fs::path& to, bool replace) override {
    const int result = replace ? ::rename(from.c_str(), to.c_str())
                               : ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    return result == 0 ? std::error_code() : std::error_code(errno, std::generic_category());
  }
};

void BM_WriteCmxFileNoFlush(benchmark::State& state) {
  const Suit suit = MakeSuit(state.range(0));
  const std::size_t size = tailorloft::FormatCmx(suit).size();
  const ScratchFolder folder;
  const fs::path target = folder.File("suit.cmx");
  NoFlushDisk disk;
  for (auto _ : state) tailorloft::WriteCmxFile(target, suit, tailorloft::Windows1252(), disk);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
#endif

void BM_PlainWrite(benchmark::State& state) {
  const std::string bytes = tailorloft::FormatCmx(MakeSuit(state.range(0)));
  const ScratchFolder folder;
  const fs::path target = folder.File("suit.cmx");
  for (auto _ : state) PlainWrite(target, bytes);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void AccessoryCounts(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("accessories")->Arg(0)->Arg(10)->Arg(1'000)->Arg(100'000);
}

}  // namespace

BENCHMARK(BM_FormatCmx)->Apply(AccessoryCounts);
// Writing waits on the disk, so the wall clock is what counts.
BENCHMARK(BM_WriteCmxFile)->Apply(AccessoryCounts)->UseRealTime();
#ifndef _WIN32
BENCHMARK(BM_WriteCmxFileNoFlush)->Apply(AccessoryCounts)->UseRealTime();
#endif
BENCHMARK(BM_PlainWrite)->Apply(AccessoryCounts)->UseRealTime();

BENCHMARK_MAIN();
