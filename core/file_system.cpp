#include "core/file_system.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace tailorloft {

namespace fs = std::filesystem;

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

std::FILE* OpenNew(const fs::path& path) {
#ifdef _WIN32
  std::FILE* file = _wfopen(path.c_str(), L"wbx");
  if (!file && errno == EINVAL) {
    // An older C runtime without the exclusive mode: the random name makes a
    // clash unlikely, and the check below keeps an existing file safe.
    std::error_code ec;
    if (fs::exists(path, ec)) {
      errno = EEXIST;
      return nullptr;
    }
    file = _wfopen(path.c_str(), L"wb");
  }
  return file;
#else
  return std::fopen(path.c_str(), "wbx");
#endif
}

class RealDisk final : public FileSystem {
 public:
  fs::file_status Status(const fs::path& path, std::error_code& ec) override {
    fs::file_status status = fs::status(path, ec);
    if (ec == std::errc::no_such_file_or_directory) ec.clear();
    return status;
  }

  std::error_code CreateAndWrite(const fs::path& path, std::string_view bytes) override {
    errno = 0;
    std::FILE* raw = OpenNew(path);
    if (!raw) return LastError();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(raw, &std::fclose);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0) {
      return errno ? LastError() : std::make_error_code(std::errc::io_error);
    }
    // Closing can still report a failed write, such as a full disk on a network share.
    if (std::fclose(file.release()) != 0) {
      return errno ? LastError() : std::make_error_code(std::errc::io_error);
    }
    return {};
  }

  std::error_code SetPermissions(const fs::path& path, fs::perms perms) override {
    std::error_code ec;
    fs::permissions(path, perms, fs::perm_options::replace, ec);
    return ec;
  }

  std::error_code Rename(const fs::path& from, const fs::path& to) override {
    std::error_code ec;
    fs::rename(from, to, ec);
    return ec;
  }

  std::error_code Remove(const fs::path& path) override {
    std::error_code ec;
    fs::remove(path, ec);
    return ec;
  }
};

}  // namespace

FileSystem& RealFileSystem() {
  static RealDisk disk;
  return disk;
}

}  // namespace tailorloft
