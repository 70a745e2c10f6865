// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/windows_names.h"

#include <algorithm>
#include <array>

#include "core/utf8.h"

namespace tailorloft {
namespace {

// The device names, and the superscript digits Windows also takes for 1 to 3.
bool IsDeviceName(std::string_view stem) {
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  static constexpr std::array<std::string_view, 12> kDigits = {"1", "2", "3", "4", "5", "6", "7", "8", "9",
                                                               "\u00B9", "\u00B2", "\u00B3"};
  std::string upper(stem);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (std::find(kPlain.begin(), kPlain.end(), upper) != kPlain.end()) return true;
  if (upper.size() < 4 || (upper.compare(0, 3, "COM") != 0 && upper.compare(0, 3, "LPT") != 0)) return false;
  const std::string_view digit = std::string_view(upper).substr(3);
  return std::find(kDigits.begin(), kDigits.end(), digit) != kDigits.end();
}

}  // namespace

std::string TrimForWindows(std::string_view title) {
  const std::size_t end = title.find_last_not_of(". ");
  return std::string(title.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

std::optional<std::string> WhyWindowsRefuses(std::string_view title) {
  if (title.empty()) return "it has no name left once Windows drops its trailing dots and spaces";
  for (std::size_t pos = 0; pos < title.size();) {
    const std::size_t start = pos;
    const char32_t ch = DecodeChar(title, pos);
    if (ch == U':') return "it contains \":\", which Windows reads as the start of a stream name";
    if (ch < 0x20) return "it contains a control character, which Windows does not allow in file names";
    if (ch == U'"') return "it contains a quotation mark, which Windows does not allow in file names";
    if (std::u32string_view(U"<>/\\|?*").find(ch) != std::u32string_view::npos) {
      return "it contains " + QuoteForMessage(title.substr(start, pos - start)) +
             ", which Windows does not allow in file names";
    }
  }
  // Windows matches the part before the first dot, ignoring spaces at its end.
  std::string_view stem = title.substr(0, title.find('.'));
  stem = stem.substr(0, stem.find_last_not_of(' ') + 1);
  if (IsDeviceName(stem)) {
    return "it is " + QuoteForMessage(stem) + ", a device name on Windows, whatever the extension";
  }
  return std::nullopt;
}

}  // namespace tailorloft
