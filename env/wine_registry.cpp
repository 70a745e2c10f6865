#include "env/wine_registry.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "core/utf8.h"
#include "env/fold_case.h"

namespace tailorloft::env {
namespace {

// Longest line kept: far beyond any key name or install path. A longer line
// is dropped whole, so memory stays bounded whatever the file holds.
constexpr std::size_t kMaxLine = 64 * 1024;

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char32_t HexValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<char32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<char32_t>(c - 'a' + 10);
  return static_cast<char32_t>(c - 'A' + 10);
}

// Turns the UTF-16 code units of the registry into UTF-8, pairing surrogates;
// a lone surrogate becomes U+FFFD.
class Utf16Sink {
 public:
  explicit Utf16Sink(std::string& out) : out_(out) {}
  ~Utf16Sink() { Flush(); }
  Utf16Sink(const Utf16Sink&) = delete;
  Utf16Sink& operator=(const Utf16Sink&) = delete;

  void Unit(char32_t unit) {
    if (high_ != 0) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        AppendUtf8(out_, 0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00));
        high_ = 0;
        return;
      }
      Flush();
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      high_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      AppendUtf8(out_, 0xFFFD);
    } else {
      AppendUtf8(out_, unit);
    }
  }
  void CodePoint(char32_t ch) {
    Flush();
    AppendUtf8(out_, ch);
  }
  void Flush() {
    if (high_ != 0) AppendUtf8(out_, 0xFFFD);
    high_ = 0;
  }

 private:
  std::string& out_;
  char32_t high_ = 0;
};

// Decodes the escaped text that starts at `pos` up to the first unescaped
// `end`, which is consumed. The escapes are Wine's: \\ \" \] \a \b \e \f \n \r
// \t \v, \x with up to four hex digits (one UTF-16 unit), \ with up to three
// octal digits; any other escaped character stands for itself. Bytes outside
// ASCII are read as UTF-8 where well-formed, else as Latin-1. Returns false
// when the line ends before `end`.
bool Unescape(std::string_view line, std::size_t& pos, char end, std::string& out) {
  Utf16Sink sink(out);
  while (pos < line.size()) {
    const char c = line[pos];
    if (c == end) {
      ++pos;
      return true;
    }
    if (c != '\\') {
      if (static_cast<unsigned char>(c) < 0x80) {
        sink.Unit(static_cast<unsigned char>(c));
        ++pos;
      } else {
        const std::size_t start = pos;
        bool malformed = false;
        const char32_t ch = DecodeChar(line, pos, &malformed);
        if (malformed) {
          pos = start + 1;
          sink.CodePoint(static_cast<unsigned char>(c));
        } else {
          sink.CodePoint(ch);
        }
      }
      continue;
    }
    if (++pos >= line.size()) return false;
    const char e = line[pos++];
    switch (e) {
      case 'a': sink.Unit(0x07); break;
      case 'b': sink.Unit(0x08); break;
      case 'e': sink.Unit(0x1B); break;
      case 'f': sink.Unit(0x0C); break;
      case 'n': sink.Unit(0x0A); break;
      case 'r': sink.Unit(0x0D); break;
      case 't': sink.Unit(0x09); break;
      case 'v': sink.Unit(0x0B); break;
      case 'x': {
        if (pos >= line.size() || !IsHexDigit(line[pos])) {
          sink.Unit(U'x');
          break;
        }
        char32_t unit = 0;
        for (int digits = 0; digits < 4 && pos < line.size() && IsHexDigit(line[pos]); ++digits) {
          unit = unit * 16 + HexValue(line[pos++]);
        }
        sink.Unit(unit);
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          char32_t unit = static_cast<char32_t>(e - '0');
          for (int digits = 1; digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7';
               ++digits) {
            unit = unit * 8 + static_cast<char32_t>(line[pos++] - '0');
          }
          sink.Unit(unit);
        } else if (static_cast<unsigned char>(e) < 0x80) {
          sink.Unit(static_cast<unsigned char>(e));
        } else {
          --pos;  // an escaped non-ASCII character: decode it as raw text
        }
        break;
    }
  }
  return false;
}

// "Software\\\\Maxis\\" and "Software\Maxis" name the same key.
std::string NormalizeKey(std::string_view key) {
  std::string out;
  for (const char c : key) {
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

}  // namespace

WineRegistryScanner::WineRegistryScanner(WineRegistryQuery query) : query_(std::move(query)) {
  for (std::string& key : query_.keys) key = NormalizeKey(key);
  keyDone_.assign(query_.keys.size(), false);
  done_ = query_.keys.empty();
}

bool WineRegistryScanner::Feed(std::string_view piece) {
  const char* const base = piece.data();
  std::size_t pos = 0;
  while (!done_ && pos < piece.size()) {
    const void* found = std::memchr(base + pos, '\n', piece.size() - pos);
    const std::size_t end =
        found ? static_cast<std::size_t>(static_cast<const char*>(found) - base) : piece.size();
    switch (mode_) {
      case Mode::Skipping:
        break;
      case Mode::LineStart: {
        const char c = base[pos];
        const bool wanted = !sawHeader_ || c == '[' || (currentKey_ >= 0 && (c == '"' || c == '@'));
        if (!wanted) {
          mode_ = Mode::Skipping;
          break;
        }
        if (found) {
          if (end - pos > kMaxLine) {
            DropLine(c);
          } else {
            TakeLine(std::string_view(base + pos, end - pos));
          }
        } else {
          carry_.clear();
          mode_ = Mode::Keeping;
          if (end - pos > kMaxLine) {
            DropLine(c);
            mode_ = Mode::Skipping;
          } else {
            carry_.assign(base + pos, end - pos);
          }
        }
        break;
      }
      case Mode::Keeping:
        if (carry_.size() + (end - pos) > kMaxLine) {
          DropLine(carry_.front());
          carry_.clear();
          mode_ = Mode::Skipping;
        } else {
          carry_.append(base + pos, end - pos);
          if (found) {
            TakeLine(carry_);
            carry_.clear();
          }
        }
        break;
    }
    if (found) mode_ = Mode::LineStart;
    pos = found ? end + 1 : piece.size();
  }
  return !done_;
}

std::optional<WineRegistryValue> WineRegistryScanner::Finish() {
  if (!done_ && mode_ == Mode::Keeping) TakeLine(carry_);
  carry_.clear();
  mode_ = Mode::LineStart;
  done_ = true;
  if (malformed_ || !sawHeader_) return std::nullopt;
  return best_;
}

void WineRegistryScanner::TakeLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (!sawHeader_) {
    sawHeader_ = true;
    if (line != kHeader) {
      malformed_ = true;
      done_ = true;
    }
    return;
  }
  if (line.empty()) return;
  if (line.front() == '[') {
    TakeKeyLine(line);
  } else if (currentKey_ >= 0 && (line.front() == '"' || line.front() == '@')) {
    TakeValueLine(line);
  }
  if (Settled()) done_ = true;
}

void WineRegistryScanner::DropLine(char first) {
  if (!sawHeader_) {
    sawHeader_ = true;
    malformed_ = true;
    done_ = true;
  } else if (first == '[') {
    LeaveKey();  // a key we cannot be looking for
    if (Settled()) done_ = true;
  }
}

void WineRegistryScanner::LeaveKey() {
  if (currentKey_ >= 0) keyDone_[static_cast<std::size_t>(currentKey_)] = true;
  currentKey_ = -1;
}

void WineRegistryScanner::TakeKeyLine(std::string_view line) {
  LeaveKey();
  std::size_t pos = 1;
  scratch_.clear();
  if (!Unescape(line, pos, ']', scratch_)) return;
  for (std::size_t i = 0; i < query_.keys.size(); ++i) {
    if (EqualsIgnoringCase(scratch_, query_.keys[i])) {
      currentKey_ = static_cast<std::ptrdiff_t>(i);
      return;
    }
  }
}

void WineRegistryScanner::TakeValueLine(std::string_view line) {
  std::size_t pos = 1;
  scratch_.clear();
  if (line.front() == '"' && !Unescape(line, pos, '"', scratch_)) return;
  if (!EqualsIgnoringCase(scratch_, query_.valueName)) return;
  if (pos >= line.size() || line[pos] != '=') return;
  ++pos;

  const auto index = static_cast<std::size_t>(currentKey_);
  if (best_ && best_->keyIndex <= index) return;  // the first one of a better key stays

  WineRegistryValue value;
  value.keyIndex = index;
  std::string_view data = line.substr(pos);
  if (data.starts_with("str(")) {
    // str(2):"..." is an expandable string, kept unexpanded like the registry
    // gives it; any other type number with string data reads the same way.
    std::size_t p = 4;
    while (p < data.size() && IsHexDigit(data[p])) ++p;
    data = (p > 4 && data.substr(p).starts_with("):")) ? data.substr(p + 2) : std::string_view();
  }
  if (!data.empty() && data.front() == '"') {
    std::size_t p = 1;
    value.isString = Unescape(data, p, '"', value.text);
    if (!value.isString) value.text.clear();
  }
  best_ = std::move(value);
}

bool WineRegistryScanner::Settled() const {
  if (!best_) return false;
  for (std::size_t i = 0; i < best_->keyIndex; ++i) {
    if (!keyDone_[i]) return false;
  }
  return true;
}

std::optional<WineRegistryValue> FindWineRegistryValue(std::string_view file,
                                                       const WineRegistryQuery& query) {
  WineRegistryScanner scanner(query);
  scanner.Feed(file);
  return scanner.Finish();
}

std::optional<WineRegistryValue> FindWineRegistryValueInFile(const std::filesystem::path& file,
                                                             const WineRegistryQuery& query) {
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
#ifdef _WIN32
  std::unique_ptr<std::FILE, Closer> in(_wfopen(file.c_str(), L"rb"));
#else
  std::unique_ptr<std::FILE, Closer> in(std::fopen(file.c_str(), "rb"));
#endif
  if (!in) return std::nullopt;
  WineRegistryScanner scanner(query);
  std::unique_ptr<char[]> buffer(new char[kMaxLine]);
  for (;;) {
    const std::size_t got = std::fread(buffer.get(), 1, kMaxLine, in.get());
    if (got > 0 && !scanner.Feed(std::string_view(buffer.get(), got))) break;
    if (got < kMaxLine) {
      if (std::ferror(in.get())) return std::nullopt;
      break;
    }
  }
  return scanner.Finish();
}

}  // namespace tailorloft::env
