// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/picture_files.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstring>
#include <limits>

#include "core/cmx_writer.h"

namespace tailorloft::env {

namespace fs = std::filesystem;

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
  try {
    WriteFileSafely(path, bytes, fileSystem);
  } catch (const CmxWriteError& error) {
    throw PictureWriteError(error.what());
  }
}

}  // namespace tailorloft::env
