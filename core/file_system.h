// SPDX-License-Identifier: GPL-3.0-or-later
// The few file operations the CMX writer needs, behind an interface so tests
// can make any one of them fail (a full disk halfway through, a rename that is
// refused) without a real broken disk.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string_view>
#include <system_error>
#include <vector>

namespace tailorloft {

// One entry of a folder listing.
struct FolderEntry {
  std::filesystem::path name;  // the file name, without the folder
  std::filesystem::file_type type = std::filesystem::file_type::unknown;  // links not followed
  std::filesystem::file_time_type lastWrite;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Status of `path`, following links; a missing file is file_type::not_found,
  // not an error.
  virtual std::filesystem::file_status Status(const std::filesystem::path& path,
                                              std::error_code& ec) = 0;
  // What the symbolic link `path` points to, as written in the link; an empty
  // path when `path` is not a symbolic link or does not exist.
  virtual std::filesystem::path ReadLink(const std::filesystem::path& path, std::error_code& ec) = 0;
  // Whether the running user (with the process's effective ids) may write the
  // existing file `path`: errc::permission_denied when not.
  virtual std::error_code CheckWritable(const std::filesystem::path& path) = 0;
  // The longest file name the folder takes, in the units of path::native().
  virtual std::size_t MaxNameLength(const std::filesystem::path& folder) = 0;
  // Creates `path`, which must not exist yet, writes `bytes`, flushes them to
  // the disk and closes it. When `like` is given, the new file takes that
  // file's permissions, and its owner and group where the system allows it.
  // On failure the file may be left behind, partly written; the caller removes it.
  virtual std::error_code CreateAndWrite(const std::filesystem::path& path, std::string_view bytes,
                                         const std::filesystem::path* like = nullptr) = 0;
  // Moves `from` to `to` in one step and flushes the folder to the disk. With
  // `replace` false it fails with errc::file_exists when `to` exists at that
  // moment, whatever created it.
  virtual std::error_code Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                                 bool replace) = 0;
  virtual std::error_code Remove(const std::filesystem::path& path) = 0;
  // The entries of `folder` whose names `wanted` accepts, in no particular order.
  virtual std::vector<FolderEntry> List(const std::filesystem::path& folder,
                                        const std::function<bool(const std::filesystem::path&)>& wanted,
                                        std::error_code& ec) = 0;
};

// The real disk.
FileSystem& RealFileSystem();

// Hands every call on to another file system; derive from it to change one step.
class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& inner = RealFileSystem()) : inner_(inner) {}

  std::filesystem::file_status Status(const std::filesystem::path& path,
                                      std::error_code& ec) override {
    return inner_.Status(path, ec);
  }
  std::filesystem::path ReadLink(const std::filesystem::path& path, std::error_code& ec) override {
    return inner_.ReadLink(path, ec);
  }
  std::error_code CheckWritable(const std::filesystem::path& path) override {
    return inner_.CheckWritable(path);
  }
  std::size_t MaxNameLength(const std::filesystem::path& folder) override {
    return inner_.MaxNameLength(folder);
  }
  std::error_code CreateAndWrite(const std::filesystem::path& path, std::string_view bytes,
                                 const std::filesystem::path* like) override {
    return inner_.CreateAndWrite(path, bytes, like);
  }
  std::error_code Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                         bool replace) override {
    return inner_.Rename(from, to, replace);
  }
  std::error_code Remove(const std::filesystem::path& path) override { return inner_.Remove(path); }
  std::vector<FolderEntry> List(const std::filesystem::path& folder,
                                const std::function<bool(const std::filesystem::path&)>& wanted,
                                std::error_code& ec) override {
    return inner_.List(folder, wanted, ec);
  }

 private:
  FileSystem& inner_;
};

}  // namespace tailorloft
