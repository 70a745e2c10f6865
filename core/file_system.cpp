// SPDX-License-Identifier: GPL-3.0-or-later
// The real disk. This file is the one place in core/ that talks to the
// operating system directly: what the standard library cannot do (flush a
// file to the disk, rename without replacing, keep a file's owner, ask what
// the running user may write) is done with the platform's own calls here.
#include "core/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tailorloft {

namespace fs = std::filesystem;

namespace {

// The parts that need no platform calls.
class DiskBase : public FileSystem {
 public:
  fs::file_status Status(const fs::path& path, std::error_code& ec) override {
    fs::file_status status = fs::status(path, ec);
    if (ec == std::errc::no_such_file_or_directory) ec.clear();
    return status;
  }

  fs::path ReadLink(const fs::path& path, std::error_code& ec) override {
    const fs::file_status status = fs::symlink_status(path, ec);
    if (ec == std::errc::no_such_file_or_directory) ec.clear();
    if (ec || !fs::is_symlink(status)) return {};
    return fs::read_symlink(path, ec);
  }

  std::error_code Remove(const fs::path& path) override {
    std::error_code ec;
    fs::remove(path, ec);
    return ec;
  }

  std::vector<FolderEntry> List(const fs::path& folder,
                                const std::function<bool(const fs::path&)>& wanted,
                                std::error_code& ec) override {
    std::vector<FolderEntry> entries;
    const fs::path where = folder.empty() ? fs::path(".") : folder;
    for (fs::directory_iterator it(where, ec), end; !ec && it != end; it.increment(ec)) {
      fs::path name = it->path().filename();
      if (!wanted(name)) continue;
      std::error_code ignored;  // an entry gone meanwhile is simply not listed
      const fs::file_type type = it->symlink_status(ignored).type();
      if (ignored) continue;
      const fs::file_time_type lastWrite = it->last_write_time(ignored);
      if (ignored) continue;
      entries.push_back({std::move(name), type, lastWrite});
    }
    return entries;
  }
};

#ifdef _WIN32

std::error_code FromWin32(DWORD error) {
  switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return std::make_error_code(std::errc::file_exists);
    case ERROR_ACCESS_DENIED:
      return std::make_error_code(std::errc::permission_denied);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_WRITE_PROTECT:
      return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_FILENAME_EXCED_RANGE:
      return std::make_error_code(std::errc::filename_too_long);
    case ERROR_DIRECTORY:
      return std::make_error_code(std::errc::not_a_directory);
    default:
      return {static_cast<int>(error), std::system_category()};
  }
}

std::error_code LastError() { return FromWin32(GetLastError()); }

class RealDisk final : public DiskBase {
 public:
  std::error_code CheckWritable(const fs::path& path) override {
    // Opening for writing, sharing everything, changes nothing and asks the
    // file's own access rules rather than only its read-only flag.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const std::error_code ec = LastError();
      return ec == std::errc::no_such_file_or_directory ? std::error_code() : ec;
    }
    CloseHandle(file);
    return {};
  }

  std::size_t MaxNameLength(const fs::path&) override { return 255; }

  // Windows files carry no owner and mode to copy: the new file takes the
  // folder's inherited access rules. It keeps the replaced file's attributes
  // (hidden, system, archive, not indexed), as the Linux build keeps the mode;
  // read-only files are never replaced, so that one never arises.
  std::error_code CreateAndWrite(const fs::path& path, std::string_view bytes,
                                 const fs::path* like) override {
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (like) {
      const DWORD original = GetFileAttributesW(like->c_str());
      if (original == INVALID_FILE_ATTRIBUTES) return LastError();
      constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
      if (original & kKept) attributes = original & kKept;
    }
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    std::error_code ec;
    while (!bytes.empty() && !ec) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      DWORD written = 0;
      if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
        ec = LastError();
      } else if (written == 0) {
        ec = std::make_error_code(std::errc::io_error);
      }
      bytes.remove_prefix(written);
    }
    if (!ec && !FlushFileBuffers(file)) ec = LastError();
    if (!CloseHandle(file) && !ec) ec = LastError();
    return ec;
  }

  std::error_code Rename(const fs::path& from, const fs::path& to, bool replace) override {
    // Written through: the move itself is on the disk when the call returns.
    DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (replace) flags |= MOVEFILE_REPLACE_EXISTING;
    if (!MoveFileExW(from.c_str(), to.c_str(), flags)) return LastError();
    return {};
  }
};

#else

std::error_code LastError() { return {errno, std::generic_category()}; }

const char* FolderOf(const fs::path& path, std::string& storage) {
  storage = path.parent_path().native();
  return storage.empty() ? "." : storage.c_str();
}

// Makes the folder entries of a rename last through a power cut. File systems
// that cannot flush a folder say so with EINVAL; that is no failure of ours.
std::error_code FlushFolder(const fs::path& file) {
  std::string storage;
  const int folder = ::open(FolderOf(file, storage), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return {};  // a folder we may write but not read cannot be flushed by us
  std::error_code ec;
  if (::fsync(folder) != 0 && errno != EINVAL && errno != ENOTSUP) ec = LastError();
  ::close(folder);
  return ec;
}

// A rename that fails when `to` exists, for file systems without
// RENAME_NOREPLACE: a hard link cannot replace a file either.
std::error_code LinkInstead(const fs::path& from, const fs::path& to) {
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return {};
  }
  if (errno != EPERM && errno != ENOTSUP) return LastError();
  // No hard links either (FAT, some network shares): claim the name with an
  // exclusive create, which also fails when it exists, then move over that.
  const int claim = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (claim < 0) return LastError();
  ::close(claim);
  if (::rename(from.c_str(), to.c_str()) != 0) {
    const std::error_code ec = LastError();
    ::unlink(to.c_str());
    return ec;
  }
  return {};
}

class RealDisk final : public DiskBase {
 public:
  std::error_code CheckWritable(const fs::path& path) override {
    // With the effective ids, as the open would be checked: under sudo the
    // answer is root's, and a file another user owns is judged by its group
    // and other bits and its access list, not by its owner's write bit.
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 || errno == ENOENT) return {};
    return LastError();
  }

  std::size_t MaxNameLength(const fs::path& folder) override {
    const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
  }

  std::error_code CreateAndWrite(const fs::path& path, std::string_view bytes,
                                 const fs::path* like) override {
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (file < 0) return LastError();
    std::error_code ec = WriteAll(file, bytes);
    if (!ec && like) ec = CopyOwnerAndMode(*like, file);
    // The bytes reach the disk before the rename makes them the file: after a
    // power cut the file is either the old one or the complete new one.
    if (!ec && ::fsync(file) != 0) ec = LastError();
    if (::close(file) != 0 && !ec && errno != EINTR) ec = LastError();
    return ec;
  }

  std::error_code Rename(const fs::path& from, const fs::path& to, bool replace) override {
    std::error_code ec;
    if (replace) {
      if (::rename(from.c_str(), to.c_str()) != 0) ec = LastError();
    } else if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
      ec = errno == EINVAL || errno == ENOSYS || errno == ENOTSUP ? LinkInstead(from, to) : LastError();
    }
    if (ec) return ec;
    return FlushFolder(to);
  }

 private:
  static std::error_code WriteAll(int file, std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t written = ::write(file, bytes.data(), bytes.size());
      if (written < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      if (written == 0) return std::make_error_code(std::errc::io_error);
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
  }

  // The owner and group first (changing them may clear the set-id bits), then
  // the mode. Only root may give a file away, and a user only to one of their
  // own groups: what the system refuses stays ours, and is no failure.
  static std::error_code CopyOwnerAndMode(const fs::path& like, int file) {
    struct stat original {};
    if (::stat(like.c_str(), &original) != 0) return LastError();
    if (::fchown(file, original.st_uid, original.st_gid) != 0) {
      // Refused too, the file keeps our group; fchown's result is marked
      // as one to read, and a cast to void does not silence that.
      [[maybe_unused]] const int group_kept = ::fchown(file, static_cast<uid_t>(-1), original.st_gid);
    }
    if (::fchmod(file, original.st_mode & 07777) != 0) return LastError();
    return {};
  }
};

#endif

}  // namespace

FileSystem& RealFileSystem() {
  static RealDisk disk;
  return disk;
}

}  // namespace tailorloft
