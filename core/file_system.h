// The few file operations the CMX writer needs, behind an interface so tests
// can make any one of them fail (a full disk halfway through, a rename that is
// refused) without a real broken disk.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace tailorloft {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Status of `path`; a missing file is file_type::not_found, not an error.
  virtual std::filesystem::file_status Status(const std::filesystem::path& path,
                                              std::error_code& ec) = 0;
  // Creates `path`, which must not exist yet, writes `bytes` and closes it.
  // On failure the file may be left behind, partly written; the caller removes it.
  virtual std::error_code CreateAndWrite(const std::filesystem::path& path,
                                         std::string_view bytes) = 0;
  virtual std::error_code SetPermissions(const std::filesystem::path& path,
                                         std::filesystem::perms perms) = 0;
  // Replaces `to` with `from` in one step.
  virtual std::error_code Rename(const std::filesystem::path& from,
                                 const std::filesystem::path& to) = 0;
  virtual std::error_code Remove(const std::filesystem::path& path) = 0;
};

// The real disk, through the standard library only.
FileSystem& RealFileSystem();

}  // namespace tailorloft
