// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/picture_files.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstring>
#include <limits>
#include <random>
#include <system_error>

#include "core/utf8.h"

namespace tailorloft::env {
namespace {

namespace fs = std::filesystem;

std::string Reason(std::error_code ec) {
  if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory) {
    return "the folder does not exist";
  }
  if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted) return "permission denied";
  if (ec == std::errc::no_space_on_device) return "the disk is full";
  if (ec == std::errc::read_only_file_system) return "the disk is read-only";
  return ec.message();
}

[[noreturn]] void Fail(const fs::path& path, const std::string& reason) {
  throw PictureWriteError("Could not save " + QuoteForMessage(Utf8FromPath(path)) + ": " + reason + ".");
}

// The file a chain of symbolic links ends at; `path` itself when it is no link.
fs::path FollowLinks(FileSystem& fileSystem, const fs::path& path) {
  fs::path current = path;
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code ec;
    const fs::path link = fileSystem.ReadLink(current, ec);
    if (ec) Fail(path, Reason(ec));
    if (link.empty()) return current;
    current = current.parent_path() / link;  // an absolute link replaces the path
  }
  Fail(path, Reason(std::make_error_code(std::errc::too_many_symbolic_link_levels)));
}

// ".<name>.<12 hex digits>.tmp" beside the target, as the CMX writer names
// its own; without the name when that would not fit the folder.
fs::path TemporaryName(const fs::path& target, std::size_t maxNameLength, std::mt19937_64& random) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string digits;
  for (std::uint64_t bits = random(); digits.size() < 12; bits >>= 4) digits += kHex[bits & 0xF];
  const fs::path::string_type name = target.filename().native();
  const std::size_t extra = 1 + 1 + digits.size() + 4;
  const std::string middle = name.size() + extra <= maxNameLength ? Utf8FromPath(target.filename()) + "." : "";
  return target.parent_path() / PathFromUtf8("." + middle + digits + ".tmp");
}

}  // namespace

std::optional<render::Image> DecodePicture(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return std::nullopt;
  const QImage read = QImage::fromData(
      QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (read.isNull()) return std::nullopt;
  const QImage rgba = read.convertToFormat(QImage::Format_RGBA8888);
  if (rgba.isNull()) return std::nullopt;
  render::Image image;
  image.width = rgba.width();
  image.height = rgba.height();
  const auto rowBytes = static_cast<std::size_t>(image.width) * 4;
  image.pixels.resize(rowBytes * static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    std::memcpy(image.pixels.data() + rowBytes * static_cast<std::size_t>(y), rgba.constScanLine(y), rowBytes);
  }
  return image;
}

std::string EncodePng(const render::Image& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4) {
    throw std::invalid_argument("the picture's bytes do not match its sides");
  }
  // Read in place: the QImage only borrows the pixels while it is written.
  const QImage view(image.pixels.data(), image.width, image.height, image.width * 4, QImage::Format_RGBA8888);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!view.save(&buffer, "PNG")) throw std::runtime_error("Qt could not make a PNG picture");
  return std::string(png.constData(), static_cast<std::size_t>(png.size()));
}

void WritePng(const fs::path& path, const render::Image& image, FileSystem& fileSystem) {
  const std::string bytes = EncodePng(image);
  const fs::path target = FollowLinks(fileSystem, path);
  std::error_code ec;
  const fs::file_status status = fileSystem.Status(target, ec);
  if (ec) Fail(path, Reason(ec));
  const bool exists = status.type() != fs::file_type::not_found;
  if (exists) {
    if (status.type() == fs::file_type::directory) Fail(path, "it is a folder");
    if (status.type() != fs::file_type::regular) Fail(path, "it is not a regular file");
    if ((ec = fileSystem.CheckWritable(target))) Fail(path, Reason(ec));
  }

  std::mt19937_64 random{std::random_device{}()};
  const std::size_t maxName = fileSystem.MaxNameLength(target.parent_path());
  fs::path temp;
  for (int attempt = 0;; ++attempt) {
    temp = TemporaryName(target, maxName, random);
    ec = fileSystem.CreateAndWrite(temp, bytes, exists ? &target : nullptr);
    if (ec != std::errc::file_exists) break;
    if (attempt == 100) Fail(path, Reason(ec));
  }
  if (!ec) ec = fileSystem.Rename(temp, target, true);
  if (ec) {
    fileSystem.Remove(temp);
    Fail(path, Reason(ec));
  }
}

}  // namespace tailorloft::env
