// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cmx_reader.h"

#include <cerrno>
#include <charconv>
#include <fstream>
#include <optional>
#include <system_error>

#include "core/utf8.h"

namespace tailorloft {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "// Character File. Copyright 1997, Maxis Inc.";
constexpr std::string_view kVersion = "version 300";
// Enough of an offending line to recognise it, short enough for one message line.
constexpr std::size_t kShownBytes = 40;

std::string Message(std::string_view fileName, std::size_t line, std::string_view problem) {
  std::string text = "Could not read " + QuoteForMessage(fileName) + ": ";
  if (line > 0) text += "line " + std::to_string(line) + ": ";
  text.append(problem);
  text += '.';
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text, bool spacesToo) {
  const auto strip = [spacesToo](char c) { return c == '\t' || (spacesToo && c == ' '); };
  while (!text.empty() && strip(text.front())) text.remove_prefix(1);
  while (!text.empty() && strip(text.back())) text.remove_suffix(1);
  return text;
}

bool IsBlankLine(std::string_view line) {
  for (const char c : line) {
    if (!IsBlank(c)) return false;
  }
  return true;
}

// The lines of the file, each without its LF or CR LF. A final line end
// starts no further line.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = next;
  }
  return lines;
}

std::optional<std::int64_t> ParseNumber(std::string_view text) {
  text = Trim(text, true);
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::uint64_t> ParseCount(std::string_view text) {
  text = Trim(text, true);
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string Plural(std::uint64_t count, std::string_view noun) {
  std::string text = std::to_string(count) + " " + std::string(noun);
  if (count != 1) text += 's';
  return text;
}

class Reader {
 public:
  Reader(std::string_view bytes, std::string_view fileName, const CodePage& codePage)
      : lines_(SplitLines(bytes)), fileName_(fileName), codePage_(codePage) {
    end_ = lines_.size();
    while (end_ > 0 && IsBlankLine(lines_[end_ - 1])) --end_;
  }

  CmxContents Read() {
    CmxContents contents;
    const std::string_view header = Take("the header line " + QuoteForMessage(kHeader));
    if (Trim(header, true).substr(0, 2) != "//") Fail("the header line " + QuoteForMessage(kHeader), header);
    const std::string_view version = Take(QuoteForMessage(kVersion));
    if (Trim(version, true) != kVersion) Fail(QuoteForMessage(kVersion), version);

    const std::uint64_t skeletons = Count("a skeleton count");
    if (skeletons != 0) {
      FailHere("expected a skeleton count of 0, found " + std::to_string(skeletons) +
               ": this file describes skeletons, not suits");
    }
    const std::uint64_t suitCount = Count("a suit count");
    // No reservation from the count: it is only trusted as far as lines exist.
    for (std::uint64_t i = 0; i < suitCount; ++i) {
      contents.suits.push_back(ReadSuit(suitCount == 1 ? std::string("a suit name")
                                                       : "the name of suit " + std::to_string(i + 1),
                                        i + 1 == suitCount));
    }

    // The final count may be left out at the very end of a hand-edited file.
    if (next_ < end_) {
      const std::uint64_t finalCount = Count("the final count 0");
      if (finalCount != 0) {
        FailHere("expected the final count 0, found " + std::to_string(finalCount) +
                 ": a file with more than suits in it is not a suit file");
      }
    }
    if (next_ < end_) {
      ++next_;
      Fail("the end of the file", lines_[next_ - 1]);
    }
    return contents;
  }

 private:
  CmxSuit ReadSuit(const std::string& nameExpected, bool last) {
    CmxSuit suit;
    suit.suitName = Name(nameExpected);
    suit.nameLine = next_;
    suit.firstNumber = Number();
    suit.secondNumber = Number();
    const std::uint64_t skinCount = Count("a skin count");
    suit.countLine = next_;
    if (last) CheckCountAgainstRecords(skinCount);
    for (std::uint64_t i = 0; i < skinCount; ++i) {
      CmxSkinRecord skin;
      skin.bone = Bone();
      skin.line = next_;
      skin.skinName = Name("a skin name");
      skin.firstNumber = Number();
      skin.secondNumber = Number();
      suit.skins.push_back(std::move(skin));
    }
    return suit;
  }

  // A wrong skin count would otherwise show up several lines later as a
  // puzzling "expected a number". When the lines left are whole records
  // (and the final count), name the real problem at the count itself.
  void CheckCountAgainstRecords(std::uint64_t declared) {
    const std::size_t left = end_ - next_;
    if (left % 4 > 1) return;
    const std::size_t records = left / 4;
    for (std::size_t i = 0; i < records; ++i) {
      const std::size_t first = next_ + 4 * i;
      if (ParseNumber(lines_[first]) || !ParseNumber(lines_[first + 2]) ||
          !ParseNumber(lines_[first + 3])) {
        return;
      }
    }
    if (left % 4 == 1 && !ParseCount(lines_[end_ - 1])) return;
    if (records == declared) return;
    FailHere("the skin count is " + std::to_string(declared) + ", but the suit has " +
             Plural(records, "skin record"));
  }

  std::string_view Take(const std::string& expected) {
    if (next_ >= end_) {
      next_ = end_ + 1;
      FailHere("expected " + expected + ", found the end of the file");
    }
    return lines_[next_++];
  }

  std::uint64_t Count(const std::string& expected) {
    const std::string_view line = Take(expected);
    const std::optional<std::uint64_t> count = ParseCount(line);
    if (!count) Fail(expected, line);
    return *count;
  }

  std::int64_t Number() {
    const std::string_view line = Take("a number");
    const std::optional<std::int64_t> number = ParseNumber(line);
    if (!number) Fail("a number", line);
    return *number;
  }

  // A bone has no spaces; around it they are a hand-editing slip.
  std::string Bone() { return Decoded("a bone name", Trim(Take("a bone name"), true)); }

  // Spaces belong to a name (a file name may begin with one), so only tabs,
  // which no name can hold, are trimmed.
  std::string Name(const std::string& expected) {
    return Decoded(expected, Trim(Take(expected), false));
  }

  std::string Decoded(const std::string& expected, std::string_view bytes) {
    const std::optional<std::string> text = codePage_.Decode(bytes);
    if (!text) {
      Fail(expected, bytes, "which is not text in " + codePage_.Name());
    }
    if (const auto reason = WhyNameIsRefused(*text, codePage_)) {
      Fail(expected, bytes, "and " + *reason);
    }
    return *text;
  }

  // The offending line as readable text, shortened and with control
  // characters escaped.
  std::string Shown(std::string_view bytes) const {
    const bool cut = bytes.size() > kShownBytes;
    if (cut) bytes = bytes.substr(0, kShownBytes);
    const std::optional<std::string> text = codePage_.Decode(bytes);
    // Bytes that are not text stay as they are and are shown as \xNN.
    std::string shown = QuoteForMessage(text ? *text : std::string(bytes));
    if (cut) shown.insert(shown.size() - 1, "...");
    return shown;
  }

  [[noreturn]] void Fail(const std::string& expected, std::string_view found,
                         const std::string& why = {}) const {
    std::string problem = "expected " + expected + ", found " + Shown(found);
    if (!why.empty()) problem += ", " + why;
    FailHere(problem);
  }

  // A problem on the line just taken.
  [[noreturn]] void FailHere(const std::string& problem) const {
    throw CmxReadError(std::string(fileName_), next_, problem);
  }

  std::vector<std::string_view> lines_;
  std::size_t end_ = 0;   // lines from here on are blank
  std::size_t next_ = 0;  // lines taken so far, so the 1-based number of the last one
  std::string_view fileName_;
  const CodePage& codePage_;
};

std::string SizeText(std::uintmax_t bytes) {
  if (bytes >= 1024 * 1024 * 1024) return std::to_string(bytes / (1024 * 1024 * 1024)) + " GiB";
  if (bytes >= 1024 * 1024) return std::to_string(bytes / (1024 * 1024)) + " MiB";
  return std::to_string(bytes) + " bytes";
}

[[noreturn]] void TooLarge(const std::string& fileName, std::optional<std::uintmax_t> size) {
  throw CmxReadError(fileName, 0,
                     "the file is " + (size ? SizeText(*size) : std::string("too large")) +
                         ", more than a suit file ever holds (at most " +
                         SizeText(kMaxCmxFileSize) + ")");
}

}  // namespace

CmxReadError::CmxReadError(std::string fileName, std::size_t line, std::string problem)
    : std::runtime_error(Message(fileName, line, problem)),
      fileName_(std::move(fileName)),
      line_(line),
      problem_(std::move(problem)) {}

CmxContents ReadCmx(std::string_view bytes, std::string_view fileName, const CodePage& codePage) {
  if (bytes.size() > kMaxCmxFileSize) TooLarge(std::string(fileName), bytes.size());
  if (bytes.empty()) throw CmxReadError(std::string(fileName), 0, "the file is empty");
  return Reader(bytes, fileName, codePage).Read();
}

CmxContents ReadCmxFile(const fs::path& path, const CodePage& codePage) {
  const std::string fileName = Utf8FromPath(path);
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) {
    throw CmxReadError(fileName, 0, "the file does not exist");
  }
  if (status.type() == fs::file_type::directory) throw CmxReadError(fileName, 0, "it is a folder");
  if (status.type() == fs::file_type::regular) {
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kMaxCmxFileSize) TooLarge(fileName, size);
  }

  errno = 0;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    const std::string reason =
        errno == EACCES ? "permission denied" : errno ? std::generic_category().message(errno) : "";
    throw CmxReadError(fileName, 0, "it cannot be opened" + (reason.empty() ? "" : ": " + reason));
  }
  // One byte past the limit tells a file that grew, a pipe or a device apart
  // from one that fits, without reading them to their end.
  std::string bytes(kMaxCmxFileSize + 1, '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file.bad()) throw CmxReadError(fileName, 0, "it cannot be read");
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  if (bytes.size() > kMaxCmxFileSize) TooLarge(fileName, std::nullopt);
  return ReadCmx(bytes, fileName, codePage);
}

Suit ToSuit(const CmxSuit& cmx) {
  Suit suit;
  suit.suitName = cmx.suitName;
  if (!cmx.skins.empty()) {
    suit.mainBone = cmx.skins.front().bone;
    suit.mainSkinName = cmx.skins.front().skinName;
    for (std::size_t i = 1; i < cmx.skins.size(); ++i) {
      suit.accessories.push_back({cmx.skins[i].bone, cmx.skins[i].skinName});
    }
  }
  return suit;
}

}  // namespace tailorloft
