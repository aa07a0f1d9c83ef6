#include "platform/profile_file.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace velarin {
namespace {

namespace fs = std::filesystem;

struct Line {
  std::string_view content;  // without its line ending
  std::string_view ending;   // "\r\n", "\n", "\r" or "" (last line)
};

// Splits on CR LF, LF and lone CR alike, so a file from any platform parses.
std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) {
      lines.push_back({text.substr(begin), {}});
      break;
    }
    size_t ending = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    lines.push_back({text.substr(begin, end - begin), text.substr(end, ending)});
    begin = end + ending;
  }
  return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// The section name of a header line, or nullopt for any other line.
std::optional<std::string_view> SectionOf(std::string_view content) {
  std::string_view s = Trim(content);
  if (s.empty() || s.front() != '[') return std::nullopt;
  s.remove_prefix(1);
  size_t close = s.find(']');
  if (close != std::string_view::npos) s = s.substr(0, close);
  return Trim(s);
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> KeyOf(std::string_view content) {
  std::string_view s = Trim(content);
  if (s.empty() || s.front() == ';') return std::nullopt;
  size_t eq = s.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(s.substr(0, eq)), Trim(s.substr(eq + 1))};
}

std::string CleanValue(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  size_t nul = v.find('\0');
  if (nul != std::string_view::npos) v = v.substr(0, nul);
  if (v.size() > kProfileValueMax) v = v.substr(0, kProfileValueMax);
  return std::string(v);
}

// Index range [first, last) of the lines after the first header named `section`.
struct SectionSpan {
  size_t header;
  size_t first;
  size_t last;
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section) {
  section = Trim(section);
  for (size_t i = 0; i < lines.size(); ++i) {
    std::optional<std::string_view> name = SectionOf(lines[i].content);
    if (!name || !SameName(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines.size() && !SectionOf(lines[end].content)) ++end;
    return SectionSpan{i, i + 1, end};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<Line>& lines, const SectionSpan& span,
                              std::string_view key) {
  key = Trim(key);
  for (size_t i = span.first; i < span.last; ++i) {
    std::optional<KeyLine> k = KeyOf(lines[i].content);
    if (k && SameName(k->key, key)) return i;
  }
  return std::nullopt;
}

bool HasLineBreakOrNul(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

enum class ReadStatus { kOk, kMissing, kUnreadable };

ReadStatus ReadWholeFile(const std::string& path, std::string* text) {
  std::error_code ec;
  fs::file_status st = fs::status(path, ec);
  if (st.type() == fs::file_type::not_found) return ReadStatus::kMissing;
  if (ec || !fs::is_regular_file(st)) return ReadStatus::kUnreadable;
  uintmax_t size = fs::file_size(path, ec);
  if (ec || size > kProfileFileMax) return ReadStatus::kUnreadable;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return ReadStatus::kUnreadable;
  text->clear();
  char buffer[64 * 1024];
  size_t n;
  bool ok = true;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    text->append(buffer, n);
    // The file may grow while we read it.
    if (text->size() > kProfileFileMax) {
      ok = false;
      break;
    }
  }
  if (std::ferror(file)) ok = false;
  std::fclose(file);
  return ok ? ReadStatus::kOk : ReadStatus::kUnreadable;
}

std::string TempNameFor(const std::string& target) {
  static std::atomic<unsigned> counter{0};
#ifdef _WIN32
  const int pid = _getpid();
#else
  const int pid = static_cast<int>(getpid());
#endif
  return target + ".tmp" + std::to_string(pid) + "-" + std::to_string(counter++);
}

bool WriteAtomically(const std::string& path, const std::string& text) {
  std::error_code ec;
  // Replace the file a symbolic link points at, not the link itself.
  std::string target = path;
  if (fs::is_symlink(path, ec)) {
    fs::path resolved = fs::weakly_canonical(path, ec);
    if (ec) return false;
    target = resolved.string();
  }
  const std::string temp = TempNameFor(target);
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  ok = std::fflush(file) == 0 && ok;
#ifndef _WIN32
  // On disk before the rename, or a crash could leave an empty file under the real name.
  ok = fsync(fileno(file)) == 0 && ok;
#endif
  ok = std::fclose(file) == 0 && ok;
  if (ok) {
    fs::file_status old = fs::status(target, ec);
    if (!ec && fs::exists(old)) fs::permissions(temp, old.permissions(), ec);
    fs::rename(temp, target, ec);
    ok = !ec;
  }
  if (!ok) fs::remove(temp, ec);
  return ok;
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
  std::vector<Line> lines = SplitLines(text);
  std::optional<SectionSpan> span = FindSection(lines, section);
  if (!span) return std::nullopt;
  std::optional<size_t> at = FindKey(lines, *span, key);
  if (!at) return std::nullopt;
  return CleanValue(KeyOf(lines[*at].content)->value);
}

std::optional<std::string> SetProfileValue(std::string_view text, std::string_view section,
                                           std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || HasLineBreakOrNul(section) || section.find(']') != std::string_view::npos)
    return std::nullopt;
  if (key.empty() || HasLineBreakOrNul(key) || key.find('=') != std::string_view::npos ||
      key.front() == '[' || key.front() == ';')
    return std::nullopt;
  value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));

  std::vector<Line> lines = SplitLines(text);
  std::string_view eol = kProfileNewline;
  for (const Line& l : lines) {
    if (!l.ending.empty()) {
      eol = l.ending;
      break;
    }
  }
  const std::string entry = std::string(key) + "=" + std::string(value);

  std::string out;
  out.reserve(text.size() + entry.size() + section.size() + 8);
  std::optional<SectionSpan> span = FindSection(lines, section);
  if (!span) {
    out.append(text);
    if (!lines.empty() && lines.back().ending.empty()) out.append(eol);
    out.append("[").append(section).append("]").append(eol);
    out.append(entry).append(eol);
    return out;
  }

  std::optional<size_t> replace = FindKey(lines, *span, key);
  size_t insert_after = span->header;
  if (!replace) {
    for (size_t i = span->first; i < span->last; ++i) {
      if (!Trim(lines[i].content).empty()) insert_after = i;
    }
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (replace && i == *replace) {
      out.append(entry).append(lines[i].ending.empty() ? eol : lines[i].ending);
      continue;
    }
    out.append(lines[i].content);
    if (!replace && i == insert_after) {
      out.append(lines[i].ending.empty() ? eol : lines[i].ending);
      out.append(entry).append(eol);
    } else {
      out.append(lines[i].ending);
    }
  }
  return out;
}

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key) {
  if (path.empty()) return {};
  std::string text;
  if (ReadWholeFile(path, &text) != ReadStatus::kOk) return {};
  return FindProfileValue(text, section, key).value_or(std::string());
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  if (path.empty()) return false;
  std::string text;
  // An existing file we cannot read is left alone rather than replaced by one key.
  if (ReadWholeFile(path, &text) == ReadStatus::kUnreadable) return false;
  std::optional<std::string> updated = SetProfileValue(text, section, key, value);
  if (!updated) return false;
  if (*updated == text) return true;
  return WriteAtomically(path, *updated);
}

}  // namespace velarin
