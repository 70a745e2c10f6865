// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/system_codepage.h"

#ifdef _WIN32

#include <string>

#include "env/win32_text.h"

namespace tailorloft::env {
namespace {

class WindowsCodePage final : public tailorloft::CodePage {
 public:
  explicit WindowsCodePage(UINT codePage) : codePage_(codePage) {}

  std::string Name() const override {
    return codePage_ == 1252 ? std::string("Windows-1252") : "code page " + std::to_string(codePage_);
  }

  std::optional<std::string> Encode(std::string_view utf8) const override {
    const std::optional<std::wstring> wide = WideFrom(CP_UTF8, utf8, MB_ERR_INVALID_CHARS);
    if (!wide) return std::nullopt;
    if (codePage_ == CP_UTF8) return std::string(utf8);
    std::optional<std::string> bytes = BytesFrom(codePage_, *wide);
    if (!bytes) return std::nullopt;
    std::optional<std::wstring> back = WideFrom(codePage_, *bytes, MB_ERR_INVALID_CHARS);
    if (!back) back = WideFrom(codePage_, *bytes, 0);  // code pages without that flag
    if (!back || *back != *wide) return std::nullopt;
    return bytes;
  }

  std::optional<std::string> Decode(std::string_view bytes) const override {
    if (codePage_ == CP_UTF8) {
      if (!WideFrom(CP_UTF8, bytes, MB_ERR_INVALID_CHARS)) return std::nullopt;
      return std::string(bytes);
    }
    std::optional<std::wstring> wide = WideFrom(codePage_, bytes, MB_ERR_INVALID_CHARS);
    if (!wide) wide = WideFrom(codePage_, bytes, 0);  // code pages without that flag
    if (!wide) return std::nullopt;
    // Only an exact round trip counts: a byte without a character decodes to
    // a default character that would not encode back to it.
    std::optional<std::string> back = BytesFrom(codePage_, *wide);
    if (!back || *back != bytes) return std::nullopt;
    return BytesFrom(CP_UTF8, *wide);
  }

 private:
  UINT codePage_;
};

}  // namespace

std::unique_ptr<tailorloft::CodePage> MakeWindowsCodePage(unsigned int codePage) {
  return std::make_unique<WindowsCodePage>(codePage);
}

const tailorloft::CodePage& SystemCodePage() {
  static const WindowsCodePage page(GetACP());
  return page;
}

}  // namespace tailorloft::env

#else

namespace tailorloft::env {

const tailorloft::CodePage& SystemCodePage() { return tailorloft::Windows1252(); }

}  // namespace tailorloft::env

#endif
