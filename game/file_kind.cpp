// SPDX-License-Identifier: GPL-3.0-or-later
// Magic bytes where a format has them (FAR, BMP, the CMX header line); the
// shape of the first records where it has none (meshes, BCF). A guess that
// fits nothing says kUnknown rather than stretch.
#include "game/file_kind.h"

#include <cstdint>
#include <optional>

#include "game/read_cursor.h"

namespace tailorloft::game {

namespace {

// The lines of `bytes`, one at a time; the last one only when it ends.
class Lines {
 public:
  explicit Lines(std::string_view bytes) : bytes_(bytes) {}
  std::optional<std::string_view> Next() {
    const std::size_t end = bytes_.find('\n', pos_);
    if (end == std::string_view::npos) return std::nullopt;
    std::string_view line = bytes_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

bool IsNameText(std::string_view text) {
  if (detail::TrimBlanks(text).empty()) return false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return false;
  }
  return true;
}

std::optional<std::uint32_t> CountLine(std::optional<std::string_view> line) {
  if (!line) return std::nullopt;
  return detail::ParseU32(detail::TrimBlanks(*line));
}

// A Pascal string of name text at `pos`, moved past it; false when it is not one.
bool PascalName(std::string_view bytes, std::size_t& pos) {
  if (pos >= bytes.size()) return false;
  const std::size_t length = static_cast<unsigned char>(bytes[pos]);
  if (length == 0 || pos + 1 + length > bytes.size()) return false;
  if (!IsNameText(bytes.substr(pos + 1, length))) return false;
  pos += 1 + length;
  return true;
}

std::optional<std::uint32_t> U32At(std::string_view bytes, std::size_t& pos) {
  if (pos + 4 > bytes.size()) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[pos + i]);
  pos += 4;
  return value;
}

// Counts of the game's files stay far below this; a larger one is not a count.
constexpr std::uint32_t kPlausibleCount = 4096;

bool LooksLikeBcf(std::string_view bytes) {
  std::size_t pos = 0;
  const std::optional<std::uint32_t> skeletons = U32At(bytes, pos);
  if (!skeletons || *skeletons > kPlausibleCount) return false;
  if (*skeletons == 0) {
    // Suits only: a suit count, then a suit's name.
    const std::optional<std::uint32_t> suits = U32At(bytes, pos);
    return suits && *suits > 0 && *suits <= kPlausibleCount && PascalName(bytes, pos);
  }
  if (!PascalName(bytes, pos)) return false;
  const std::optional<std::uint32_t> bones = U32At(bytes, pos);
  return bones && *bones <= kPlausibleCount && (*bones == 0 || PascalName(bytes, pos));
}

bool LooksLikeBmf(std::string_view bytes) {
  std::size_t pos = 0;
  if (!PascalName(bytes, pos) || !PascalName(bytes, pos)) return false;
  const std::optional<std::uint32_t> bones = U32At(bytes, pos);
  return bones && *bones <= kPlausibleCount && (*bones == 0 || PascalName(bytes, pos));
}

bool LooksLikeSkn(std::string_view bytes) {
  Lines lines(bytes);
  const std::optional<std::string_view> name = lines.Next();
  const std::optional<std::string_view> texture = lines.Next();
  if (!name || !texture || !IsNameText(*name) || !IsNameText(*texture)) return false;
  const std::optional<std::uint32_t> bones = CountLine(lines.Next());
  if (!bones) return false;
  if (*bones == 0) return CountLine(lines.Next()).has_value();
  const std::optional<std::string_view> bone = lines.Next();
  return bone && IsNameText(*bone) && !CountLine(bone);
}

}  // namespace

FileKind SniffFileKind(std::string_view firstBytes) {
  if (firstBytes.substr(0, 8) == "FAR!byAZ") return FileKind::kFar;
  if (firstBytes.substr(0, 2) == "BM" && firstBytes.size() >= 18) {
    std::size_t pos = 14;
    const std::optional<std::uint32_t> infoSize = U32At(firstBytes, pos);
    if (infoSize && (*infoSize == 12 || (*infoSize >= 40 && *infoSize <= 124))) return FileKind::kBmp;
  }
  if (detail::TrimBlanks(firstBytes).substr(0, 2) == "//") {
    Lines lines(firstBytes);
    lines.Next();
    const std::optional<std::string_view> version = lines.Next();
    if (!version || detail::TrimBlanks(*version) != "version 300") return FileKind::kUnknown;
    const std::optional<std::uint32_t> skeletons = CountLine(lines.Next());
    if (!skeletons) return FileKind::kUnknown;
    return *skeletons == 0 ? FileKind::kCmxSuit : FileKind::kCmxSkeleton;
  }
  if (LooksLikeBcf(firstBytes)) return FileKind::kBcf;
  if (LooksLikeBmf(firstBytes)) return FileKind::kBmf;
  if (LooksLikeSkn(firstBytes)) return FileKind::kSkn;
  return FileKind::kUnknown;
}

std::string_view DescribeFileKind(FileKind kind) {
  switch (kind) {
    case FileKind::kCmxSuit: return "a suit file";
    case FileKind::kCmxSkeleton: return "a skeleton file";
    case FileKind::kSkn: return "a mesh";
    case FileKind::kBmf: return "a binary mesh";
    case FileKind::kBcf: return "a binary skeleton file";
    case FileKind::kFar: return "an archive";
    case FileKind::kBmp: return "a BMP picture";
    case FileKind::kUnknown: break;
  }
  return "not a file of the game";
}

}  // namespace tailorloft::game
