// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/wine_registry.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "core/utf8.h"
#include "core/fold_case.h"
#include "env/paths.h"

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

// Reads escaped text one character at a time, so that a name can be compared
// without decoding more of it than it takes to tell it apart. The escapes are
// Wine's: \\ \" \] \a \b \e \f \n \r \t \v, \x with up to four hex digits (one
// UTF-16 unit), \ with up to three octal digits; any other escaped character
// stands for itself. UTF-16 surrogate pairs are joined, a lone surrogate reads
// as U+FFFD. Bytes outside ASCII are read as UTF-8 where well-formed, else as
// Latin-1.
class EscapedText {
 public:
  EscapedText(std::string_view line, std::size_t pos, char end) : line_(line), pos_(pos), end_(end) {}

  // The next character, or false at the closing `end` (consumed) or at the
  // end of the line, which leaves the text unterminated.
  bool Next(char32_t& ch) {
    Unit unit;
    if (pending_) {
      unit = *pending_;
      pending_.reset();
    } else if (!ReadUnit(unit)) {
      return false;
    }
    ch = unit.value;
    if (unit.isCodePoint) return true;
    if (ch >= 0xD800 && ch <= 0xDBFF) {
      Unit low;
      if (ReadUnit(low)) {
        if (!low.isCodePoint && low.value >= 0xDC00 && low.value <= 0xDFFF) {
          ch = 0x10000 + ((ch - 0xD800) << 10) + (low.value - 0xDC00);
          return true;
        }
        pending_ = low;
      }
      ch = 0xFFFD;
    } else if (ch >= 0xDC00 && ch <= 0xDFFF) {
      ch = 0xFFFD;
    }
    return true;
  }

  bool terminated() const { return terminated_; }
  std::size_t position() const { return pos_; }

 private:
  struct Unit {
    char32_t value = 0;
    bool isCodePoint = false;  // a whole character, not a UTF-16 unit
  };

  bool ReadUnit(Unit& unit) {
    if (pos_ >= line_.size() || terminated_) return false;
    const char c = line_[pos_];
    if (c == end_) {
      ++pos_;
      terminated_ = true;
      return false;
    }
    if (c != '\\') return ReadRaw(unit);
    if (pos_ + 1 >= line_.size()) {
      pos_ = line_.size();
      return false;
    }
    pos_ += 2;
    const char e = line_[pos_ - 1];
    unit.isCodePoint = false;
    switch (e) {
      case 'a': unit.value = 0x07; return true;
      case 'b': unit.value = 0x08; return true;
      case 'e': unit.value = 0x1B; return true;
      case 'f': unit.value = 0x0C; return true;
      case 'n': unit.value = 0x0A; return true;
      case 'r': unit.value = 0x0D; return true;
      case 't': unit.value = 0x09; return true;
      case 'v': unit.value = 0x0B; return true;
      case 'x':
        unit.value = U'x';
        if (pos_ < line_.size() && IsHexDigit(line_[pos_])) {
          unit.value = 0;
          for (int digits = 0; digits < 4 && pos_ < line_.size() && IsHexDigit(line_[pos_]); ++digits) {
            unit.value = unit.value * 16 + HexValue(line_[pos_++]);
          }
        }
        return true;
      default:
        break;
    }
    if (e >= '0' && e <= '7') {
      unit.value = static_cast<char32_t>(e - '0');
      for (int digits = 1; digits < 3 && pos_ < line_.size() && line_[pos_] >= '0' && line_[pos_] <= '7';
           ++digits) {
        unit.value = unit.value * 8 + static_cast<char32_t>(line_[pos_++] - '0');
      }
      return true;
    }
    --pos_;  // the escaped character itself, read as plain text
    return ReadRaw(unit);
  }

  bool ReadRaw(Unit& unit) {
    const auto byte = static_cast<unsigned char>(line_[pos_]);
    if (byte < 0x80) {
      ++pos_;
      unit = Unit{byte, false};
      return true;
    }
    const std::size_t start = pos_;
    bool malformed = false;
    const char32_t ch = DecodeChar(line_, pos_, &malformed);
    if (malformed) pos_ = start + 1;
    unit = Unit{malformed ? char32_t{byte} : ch, true};
    return true;
  }

  std::string_view line_;
  std::size_t pos_;
  char end_;
  std::optional<Unit> pending_;
  bool terminated_ = false;
};

// Decodes the escaped text that starts at `pos` up to the first unescaped
// `end`, which is consumed. Returns false when the line ends before `end`.
bool Unescape(std::string_view line, std::size_t& pos, char end, std::string& out) {
  EscapedText text(line, pos, end);
  for (char32_t ch = 0; text.Next(ch);) AppendUtf8(out, ch);
  pos = text.position();
  return text.terminated();
}

// Whether the escaped text at `pos`, up to `end`, is `folded` ignoring case;
// on a match `pos` moves past `end`. Stops at the first character that differs.
bool EscapedEquals(std::string_view line, std::size_t& pos, char end, const std::u32string& folded) {
  EscapedText text(line, pos, end);
  std::size_t i = 0;
  for (char32_t ch = 0; text.Next(ch); ++i) {
    if (i >= folded.size() || FoldCase(ch) != folded[i]) return false;
  }
  pos = text.position();
  return text.terminated() && i == folded.size();
}

std::u32string Folded(std::string_view utf8) {
  std::u32string folded;
  for (std::size_t pos = 0; pos < utf8.size();) {
    bool malformed = false;
    const char32_t ch = DecodeChar(utf8, pos, &malformed);
    folded += malformed ? char32_t{0x110000} : FoldCase(ch);  // a stray byte matches nothing
  }
  return folded;
}

// Doubled and trailing separators in a key the caller names are dropped.
std::string NormalizeKey(std::string_view key) {
  std::string out;
  for (const char c : key) {
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

// A key as Wine writes it when every character of it is plain printable
// ASCII that Wine leaves as it is: in lower case, each backslash doubled.
// Empty for any other key, which only the full comparison can judge.
std::string PlainEscapedKey(std::string_view normalizedKey) {
  std::string out;
  for (const char c : normalizedKey) {
    if (c < 0x20 || c > 0x7e || c == ']' || c == '"') return {};
    out += FoldAscii(c);
    if (c == '\\') out += '\\';
  }
  return out;
}

// Whether the name on a key line ("[name] ...") certainly is not the key
// written as `plain` (see PlainEscapedKey). Settled only by a plain ASCII byte
// that differs or ends the name early; at an escape or a byte outside ASCII,
// which may spell the same character another way, false is returned and the
// full comparison decides. Most key lines differ from the wanted keys within
// the first few bytes, and this spares them the decoding.
bool PlainlyDiffers(std::string_view line, std::string_view plain) {
  std::size_t at = 1;
  for (std::size_t i = 0; i < plain.size(); ++i, ++at) {
    if (at >= line.size()) return false;
    const char c = line[at];
    if (static_cast<unsigned char>(c) >= 0x80) return false;
    if (c == '\\') {
      const bool bothDoubled = plain[i] == '\\' && at + 1 < line.size() && line[at + 1] == '\\';
      if (!bothDoubled) return false;
      ++i;
      ++at;
      continue;
    }
    if (FoldAscii(c) != plain[i]) return true;
  }
  if (at >= line.size()) return false;
  const char next = line[at];
  return next != ']' && next != '\\' && static_cast<unsigned char>(next) < 0x80;
}

// Where the first line after `pos` that starts with '[' begins, or npos.
// The line at `pos` itself does not count: it has been seen or it is
// not a line's start.
std::size_t NextKeyLine(std::string_view piece, std::size_t pos) {
  for (std::size_t at = pos + 1; at < piece.size(); ++at) {
    at = piece.find('[', at);
    if (at == std::string_view::npos) return at;
    if (piece[at - 1] == '\n') return at;
  }
  return std::string_view::npos;
}

}  // namespace

WineRegistryScanner::WineRegistryScanner(WineRegistryQuery query) : query_(std::move(query)) {
  for (const std::string& key : query_.keys) {
    const std::string normalized = NormalizeKey(key);
    foldedKeys_.push_back(Folded(normalized));
    plainKeys_.push_back(PlainEscapedKey(normalized));
  }
  foldedValueName_ = Folded(query_.valueName);
  keyDone_.assign(query_.keys.size(), false);
  done_ = query_.keys.empty();
}

bool WineRegistryScanner::Feed(std::string_view piece) {
  const char* const base = piece.data();
  std::size_t pos = 0;
  while (!done_ && pos < piece.size()) {
    if (sawHeader_ && currentKey_ < 0 && mode_ != Mode::Keeping &&
        !(mode_ == Mode::LineStart && base[pos] == '[')) {
      // Outside the keys asked for, only the next key line can matter: go
      // straight to the next '[' that starts a line instead of line by line.
      const std::size_t next = NextKeyLine(piece, pos);
      if (next == std::string_view::npos) {
        mode_ = piece.back() == '\n' ? Mode::LineStart : Mode::Skipping;
        break;
      }
      pos = next;
      mode_ = Mode::LineStart;
    }
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
  for (std::size_t i = 0; i < foldedKeys_.size(); ++i) {
    if (!plainKeys_[i].empty() && PlainlyDiffers(line, plainKeys_[i])) continue;
    std::size_t pos = 1;
    if (EscapedEquals(line, pos, ']', foldedKeys_[i])) {
      currentKey_ = static_cast<std::ptrdiff_t>(i);
      return;
    }
  }
}

void WineRegistryScanner::TakeValueLine(std::string_view line) {
  std::size_t pos = 1;
  if (line.front() == '"' ? !EscapedEquals(line, pos, '"', foldedValueName_) : !foldedValueName_.empty()) return;
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
  std::uintmax_t left = 0;
  const OpenFile in = OpenRegularFile(file, left);
  if (!in) return std::nullopt;
  WineRegistryScanner scanner(query);
  std::unique_ptr<char[]> buffer(new char[kMaxLine]);
  while (left > 0) {
    const std::size_t want = left < kMaxLine ? static_cast<std::size_t>(left) : kMaxLine;
    const std::size_t got = std::fread(buffer.get(), 1, want, in.get());
    left -= got;
    if (got > 0 && !scanner.Feed(std::string_view(buffer.get(), got))) break;
    if (got < want) {
      if (std::ferror(in.get())) return std::nullopt;
      break;
    }
  }
  return scanner.Finish();
}

}  // namespace tailorloft::env
