// The settings file's reader and writer over any text: a value written reads
// back as written, writing it again changes nothing, every other key keeps its
// value, and every byte outside the written section stays as it was.
//
// Input: section, key, value, a second section and key to watch (each a
// length-prefixed string), then the file text.

#include "platform/profile_file.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/fuzz_check.h"

namespace {

using velarin::fuzz::Printable;

bool Blank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && Blank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Names match without regard to ASCII case or surrounding blanks.
bool SameName(std::string_view a, std::string_view b) {
  a = Trim(a);
  b = Trim(b);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool HasBreakOrNul(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool WritableNames(std::string_view section, std::string_view key) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || HasBreakOrNul(section) || section.find(']') != std::string_view::npos)
    return false;
  return !key.empty() && !HasBreakOrNul(key) && key.find('=') == std::string_view::npos &&
         key.front() != '[' && key.front() != ';';
}

// What reading back gives for a written value: one line, blanks trimmed, one
// pair of enclosing quotes dropped, at most 254 characters.
std::string ReadBackOf(std::string_view value) {
  value = Trim(value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3))));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, velarin::kProfileValueMax));
}

// Byte range [begin, end) of the first section named `section`: its header
// line up to the next header line.
struct Span {
  size_t begin;
  size_t end;
};

std::optional<Span> SectionBytes(std::string_view text, std::string_view section) {
  std::optional<Span> found;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eol = text.find_first_of("\r\n", pos);
    const size_t content_end = eol == std::string_view::npos ? text.size() : eol;
    size_t next = content_end;
    if (next < text.size())
      next += (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
    std::string_view line = Trim(text.substr(pos, content_end - pos));
    if (!line.empty() && line.front() == '[') {
      if (found) {
        found->end = pos;
        return found;
      }
      line.remove_prefix(1);
      if (SameName(line.substr(0, line.find(']')), section)) found = Span{pos, text.size()};
    }
    pos = next;
  }
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string section = in.ConsumeRandomLengthString(24);
  const std::string key = in.ConsumeRandomLengthString(24);
  const std::string value = in.ConsumeRandomLengthString(300);
  const std::string other_section = in.ConsumeRandomLengthString(24);
  const std::string other_key = in.ConsumeRandomLengthString(24);
  const std::string text = in.ConsumeRemainingBytesAsString();

  const std::optional<std::string> before = velarin::FindProfileValue(text, section, key);
  if (before) {
    FUZZ_CHECK(before->size() <= velarin::kProfileValueMax, "value longer than 254");
    FUZZ_CHECK(before->find('\0') == std::string::npos, "value holds a NUL");
  }

  const std::optional<std::string> written = velarin::SetProfileValue(text, section, key, value);
  const std::string what = "[" + Printable(section) + "] " + Printable(key) + "=" +
                           Printable(value) + " into \"" + Printable(text) + "\"";
  FUZZ_CHECK(written.has_value() == WritableNames(section, key),
             (written ? "accepted " : "refused ") + what);
  if (!written) return 0;

  const std::optional<std::string> read_back = velarin::FindProfileValue(*written, section, key);
  FUZZ_CHECK(read_back == ReadBackOf(value),
             "read back \"" + Printable(read_back.value_or("<none>")) + "\" after " + what);
  FUZZ_CHECK(velarin::SetProfileValue(*written, section, key, value) == written,
             "writing the same value twice changed the file: " + what);

  if (!(SameName(other_section, section) && SameName(other_key, key))) {
    FUZZ_CHECK(
        velarin::FindProfileValue(text, other_section, other_key) ==
            velarin::FindProfileValue(*written, other_section, other_key),
        "[" + Printable(other_section) + "] " + Printable(other_key) + " changed by " + what);
  }

  // The bytes that differ all lie inside the written section, or the file only grew.
  size_t same_front = 0;
  while (same_front < text.size() && same_front < written->size() &&
         text[same_front] == (*written)[same_front])
    ++same_front;
  size_t same_back = 0;
  while (same_back < text.size() - same_front && same_back < written->size() - same_front &&
         text[text.size() - 1 - same_back] == (*written)[written->size() - 1 - same_back])
    ++same_back;
  const size_t changed_end = text.size() - same_back;
  if (*written == text) {
    // Nothing changed.
  } else if (std::optional<Span> span = SectionBytes(text, section)) {
    FUZZ_CHECK(
        same_front >= span->begin && changed_end <= span->end,
        "bytes outside the section changed: " + what + " gave \"" + Printable(*written) + "\"");
  } else {
    FUZZ_CHECK(same_front == text.size(), "a new section did not keep the file in front: " + what);
  }
  return 0;
}
