// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures on disk through Qt's QImage (Qt Gui, no window needed): textures
// decoded for drawing, and pictures written as PNG files that are either
// whole or not there.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/file_system.h"
#include "render/rasterizer.h"

namespace tailorloft::env {

// The picture in `bytes` (an 8-bit BMP as the game's textures are, or any
// other format QImage reads) as RGBA8 rows from the top, alpha not
// premultiplied; nothing when the bytes are no picture QImage can read.
// Fits render::TextureDecoder.
std::optional<render::Image> DecodePicture(std::string_view bytes);

// The bytes of `image` as a PNG file, alpha kept (0 is transparent). Throws
// std::invalid_argument when the image's sides and bytes disagree.
std::string EncodePng(const render::Image& image);

// A picture could not be written; what() names the file and the reason.
class PictureWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes `image` as a PNG file at `path`, replacing a file of that name as
// image tools do, the way suits are saved (WriteFileSafely: a symbolic link
// followed, the replaced file's permissions kept, a temporary file flushed
// and renamed over it): a failure leaves the earlier file, never part of a
// picture. Throws PictureWriteError.
void WritePng(const std::filesystem::path& path, const render::Image& image,
              FileSystem& fileSystem = RealFileSystem());

}  // namespace tailorloft::env
