#include "capture/capture_format.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iterator>

#include "capture/capture_texts.h"

namespace velarin {
namespace {

namespace texts = capture_texts;

// Longer than any row the writer makes (a "<" row of 256 bytes, a long path).
constexpr size_t kMaxLine = 4096;
constexpr size_t kMaxDeltaDigits = 12;
// About 31 years: a sum beyond it is corruption, not a session.
constexpr uint64_t kMaxTimeUs = uint64_t{1'000'000'000'000'000};
constexpr int32_t kMaxRate = 10'000'000;

constexpr char kDigits[] = "0123456789ABCDEF";

std::string HexBytes(const std::vector<uint8_t>& bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
  return out;
}

std::string HexNumber(uint64_t v) {
  std::string out;
  do {
    out.insert(out.begin(), kDigits[v & 0x0F]);
    v >>= 4;
  } while (v != 0);
  return out;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Rows are single lines: a path or note with a control character keeps its place.
std::string Clean(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    if (IsControl(static_cast<unsigned char>(c))) c = '?';
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool ParseHexBytes(std::string_view s, std::vector<uint8_t>& out) {
  if (s.empty() || s.size() % 2 != 0) return false;
  out.clear();
  for (size_t i = 0; i < s.size(); i += 2) {
    const int hi = HexValue(s[i]);
    const int lo = HexValue(s[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out.push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
  return true;
}

template <typename T>
std::optional<T> ParseDecimal(std::string_view s, size_t max_digits) {
  if (s.empty() || s.size() > max_digits) return std::nullopt;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  T v{};
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

std::optional<int32_t> ParseRate(std::string_view s) {
  std::optional<int32_t> v = ParseDecimal<int32_t>(s, 8);
  if (!v || *v <= 0 || *v > kMaxRate) return std::nullopt;
  return v;
}

// The OS's words for the last failure; streams do not always set errno.
std::string Reason() { return errno != 0 ? std::strerror(errno) : "unreadable"; }

std::string RateText(const std::optional<int32_t>& rate) {
  return rate.has_value() ? std::to_string(*rate) : "?";
}

class Parser {
 public:
  Parser(std::string_view bytes, CutShort cut_short) : bytes_(bytes), cut_short_(cut_short) {}

  CaptureParse Run() {
    CaptureParse result;
    if (bytes_.empty()) {
      result.error = texts::kEmpty;
      return result;
    }
    while (pos_ < bytes_.size()) {
      ++line_no_;
      const size_t nl = bytes_.find('\n', pos_);
      const size_t end = nl == std::string_view::npos ? bytes_.size() : nl;
      std::string_view line = bytes_.substr(pos_, end - pos_);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      // The first line decides whether this is a capture at all, before any byte test.
      if (line_no_ == 1 && !Header(line)) return Fail(result);
      if (!TextOnly(line) || !Length(line)) return Fail(result);
      if (nl == std::string_view::npos) {
        error_ = texts::kTruncatedRow;
        return CutShortOrFail(result);
      }
      if (line_no_ > 1 && !Row(line)) return Fail(result);
      pos_ = nl + 1;
    }
    if (!ended_) {
      ++line_no_;
      error_ = texts::kNoEndRow;
      return CutShortOrFail(result);
    }
    result.capture = std::move(capture_);
    return result;
  }

 private:
  CaptureParse& Fail(CaptureParse& result) {
    result.capture.reset();
    result.error = "line " + std::to_string(line_no_) + ": " + error_;
    return result;
  }

  // The rows read so far are the capture, with the reason as its warning.
  CaptureParse& CutShortOrFail(CaptureParse& result) {
    if (cut_short_ == CutShort::kRefuse || line_no_ == 1) return Fail(result);
    result.warning =
        "line " + std::to_string(line_no_) + ": " + error_ + std::string(texts::kReadCutShort);
    result.capture = std::move(capture_);
    return result;
  }

  bool Header(std::string_view line) {
    const std::string prefix = std::string(kCaptureMagic) + " ";
    if (line.substr(0, prefix.size()) != prefix) {
      error_ = texts::kNotACapture;
      return false;
    }
    const std::string_view number = line.substr(prefix.size());
    std::optional<int> version = ParseDecimal<int>(number, 9);
    if (!version || *version < 1) {
      error_ = std::string(texts::kBadVersion) + "\"" + Clean(std::string(number)) + "\"";
      return false;
    }
    if (*version > kCaptureFormatVersion) {
      error_ = std::string(texts::kNewerVersionA) + std::to_string(*version) +
               std::string(texts::kNewerVersionB) + std::to_string(kCaptureFormatVersion) +
               std::string(texts::kNewerVersionC);
      return false;
    }
    capture_.version = *version;
    return true;
  }

  bool TextOnly(std::string_view line) {
    const size_t scan = std::min(line.size(), kMaxLine + 1);
    for (size_t i = 0; i < scan; ++i) {
      const auto c = static_cast<unsigned char>(line[i]);
      if (IsControl(c)) {
        error_ = std::string(texts::kNotTextA) + kDigits[c >> 4] + kDigits[c & 0x0F] +
                 std::string(texts::kNotTextB) + HexNumber(pos_ + i) +
                 std::string(texts::kNotTextC);
        return false;
      }
    }
    return true;
  }

  bool Length(std::string_view line) {
    if (line.size() <= kMaxLine) return true;
    error_ = texts::kLineTooLong;
    return false;
  }

  bool Row(std::string_view line) {
    if (ended_) {
      error_ = texts::kRowAfterEnd;
      return false;
    }
    if (line.empty()) {
      error_ = texts::kEmptyLine;
      return false;
    }
    if (line[0] == '#') return true;
    if (line[0] == '=') return Note(line);

    const size_t blank = line.find(' ');
    std::optional<uint64_t> delta =
        blank == std::string_view::npos
            ? std::nullopt
            : ParseDecimal<uint64_t>(line.substr(0, blank), kMaxDeltaDigits);
    if (!delta || blank + 1 >= line.size()) {
      error_ = texts::kBadDelta;
      return false;
    }
    if (*delta > kMaxTimeUs - now_us_) {
      error_ = texts::kTimeOverflow;
      return false;
    }
    now_us_ += *delta;
    const char code = line[blank + 1];
    std::string_view args = line.substr(blank + 2);
    bool has_args = false;
    if (!args.empty()) {
      if (args[0] != ' ') {
        error_ = std::string(texts::kUnknownCode) + "\"" +
                 Clean(std::string(line.substr(blank + 1))) + "\"";
        return false;
      }
      args.remove_prefix(1);
      has_args = true;
    }
    CaptureEvent event;
    event.at_us = now_us_;
    switch (code) {
      case 'O':
        if (!Open(args, event)) return false;
        open_ = true;
        break;
      case 'C':
        if (!NoArgs(has_args, args) || !NeedOpen()) return false;
        event.kind = CaptureEventKind::kClose;
        open_ = false;
        break;
      case 'X':
        if (!NeedOpen()) return false;
        event.kind = CaptureEventKind::kGone;
        event.text = std::string(args);
        open_ = false;
        break;
      case 'B':
        if (!NeedOpen() || !Rate(args, event)) return false;
        break;
      case '>':
        if (!NeedOpen()) return false;
        if (args.size() != 2 || !ParseHexBytes(args, event.bytes)) {
          error_ = texts::kBadSent;
          return false;
        }
        event.kind = CaptureEventKind::kSent;
        break;
      case '<':
        if (!NeedOpen()) return false;
        if (args.size() > 2 * kCaptureRowBytes || !ParseHexBytes(args, event.bytes)) {
          error_ = texts::kBadReceived;
          return false;
        }
        event.kind = CaptureEventKind::kReceived;
        break;
      case 'E':
        if (!NoArgs(has_args, args)) return false;
        ended_ = true;
        return true;
      default:
        error_ = std::string(texts::kUnknownCode) + "\"" + Clean(std::string(1, code)) + "\"";
        return false;
    }
    capture_.events.push_back(std::move(event));
    return true;
  }

  bool Note(std::string_view line) {
    if (line.size() < 3 || line[1] != ' ' || line[2] == ' ') {
      error_ = texts::kBadNote;
      return false;
    }
    std::string_view rest = line.substr(2);
    const size_t blank = rest.find(' ');
    std::string key(rest.substr(0, blank));
    std::string value = blank == std::string_view::npos ? "" : std::string(rest.substr(blank + 1));
    capture_.notes.emplace_back(std::move(key), std::move(value));
    return true;
  }

  bool Open(std::string_view args, CaptureEvent& event) {
    const size_t blank = args.find(' ');
    if (blank == std::string_view::npos || blank + 1 >= args.size()) {
      error_ = texts::kBadOpen;
      return false;
    }
    const std::string_view rate = args.substr(0, blank);
    if (rate != "?") {
      event.rate = ParseRate(rate);
      if (!event.rate) {
        error_ = texts::kBadOpen;
        return false;
      }
    }
    event.kind = CaptureEventKind::kOpen;
    event.text = std::string(args.substr(blank + 1));
    return true;
  }

  bool Rate(std::string_view args, CaptureEvent& event) {
    const size_t blank = args.find(' ');
    std::optional<int32_t> asked =
        blank == std::string_view::npos ? std::nullopt : ParseRate(args.substr(0, blank));
    if (!asked) {
      error_ = texts::kBadRate;
      return false;
    }
    event.asked = *asked;
    const std::string_view reported = args.substr(blank + 1);
    event.kind = CaptureEventKind::kRate;
    if (reported == "refused") {
      event.kind = CaptureEventKind::kRefused;
    } else if (reported != "?") {
      event.rate = ParseRate(reported);
      if (!event.rate) {
        error_ = texts::kBadRate;
        return false;
      }
    }
    return true;
  }

  bool NoArgs(bool has_args, std::string_view args) {
    if (!has_args) return true;
    error_ = std::string(texts::kExtraText) + "\"" + std::string(args) + "\"";
    return false;
  }

  bool NeedOpen() {
    if (open_) return true;
    error_ = texts::kPortClosed;
    return false;
  }

  std::string_view bytes_;
  CutShort cut_short_;
  size_t pos_ = 0;
  int line_no_ = 0;
  std::string error_;
  Capture capture_;
  uint64_t now_us_ = 0;
  bool open_ = false;
  bool ended_ = false;
};

}  // namespace

std::optional<std::string> Capture::Note(const std::string& key) const {
  for (const auto& [k, v] : notes) {
    if (k == key) return v;
  }
  return std::nullopt;
}

std::string CaptureHeaderLine() {
  return std::string(kCaptureMagic) + " " + std::to_string(kCaptureFormatVersion) + "\n";
}

std::string CaptureNoteLine(const std::string& key, const std::string& value) {
  std::string k = Clean(key);
  for (char& c : k) {
    if (c == ' ') c = '_';
  }
  if (k.empty()) k = "_";
  return "= " + k + (value.empty() ? "" : " " + Clean(value)) + "\n";
}

std::string CaptureEventLine(uint64_t delta_us, const CaptureEvent& e) {
  std::string row = std::to_string(delta_us) + " ";
  switch (e.kind) {
    case CaptureEventKind::kOpen:
      row += "O " + RateText(e.rate) + " " + (e.text.empty() ? "?" : Clean(e.text));
      break;
    case CaptureEventKind::kClose:
      row += "C";
      break;
    case CaptureEventKind::kGone:
      row += "X";
      if (!e.text.empty()) row += " " + Clean(e.text);
      break;
    case CaptureEventKind::kRate:
      row += "B " + std::to_string(e.asked) + " " + RateText(e.rate);
      break;
    case CaptureEventKind::kRefused:
      row += "B " + std::to_string(e.asked) + " refused";
      break;
    case CaptureEventKind::kSent:
      row += "> " + HexBytes(e.bytes);
      break;
    case CaptureEventKind::kReceived:
      row += "< " + HexBytes(e.bytes);
      break;
  }
  return row + "\n";
}

std::string CaptureEndLine(uint64_t delta_us) { return std::to_string(delta_us) + " E\n"; }

CaptureParse ParseCapture(std::string_view bytes, CutShort cut_short) {
  return Parser(bytes, cut_short).Run();
}

CaptureParse ReadCaptureFile(const std::string& path, CutShort cut_short) {
  CaptureParse result;
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    result.error = path + ": " + std::string(capture_texts::kCannotRead) + Reason();
    return result;
  }
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0 || static_cast<uint64_t>(size) > kCaptureMaxFileBytes) {
    result.error = path + ": " + std::string(capture_texts::kTooLarge);
    return result;
  }
  std::string bytes(static_cast<size_t>(size), '\0');
  if (!in.read(bytes.data(), size)) {
    result.error = path + ": " + std::string(capture_texts::kCannotRead) + Reason();
    return result;
  }
  result = ParseCapture(bytes, cut_short);
  if (!result.capture) result.error = path + ": " + result.error;
  if (!result.warning.empty()) result.warning = path + ": " + result.warning;
  return result;
}

}  // namespace velarin
