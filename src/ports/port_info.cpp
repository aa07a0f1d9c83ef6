#include "ports/port_info.h"

#include <charconv>
#include <string_view>

namespace velarin::ports {
namespace {

// The decimal number after `prefix`, which must be all of the rest of `path`.
std::optional<int> NumberAfter(std::string_view path, std::string_view prefix) {
  if (path.substr(0, prefix.size()) != prefix || path.size() == prefix.size()) return std::nullopt;
  int n = 0;
  const char* first = path.data() + prefix.size();
  const char* last = path.data() + path.size();
  auto [end, ec] = std::from_chars(first, last, n);
  if (ec != std::errc() || end != last) return std::nullopt;
  return n;
}

}  // namespace

std::string PortIdentity(const PortInfo& port) {
  if (!port.by_id_path.empty()) return port.by_id_path;
  if (!port.instance_id.empty()) return port.instance_id;
  return port.system_path;
}

std::optional<int> ComNumberOf(const PortInfo& port) {
  if (auto n = NumberAfter(port.system_path, "/dev/ttyUSB"); n && *n < 1'000'000) return *n + 1;
  if (auto n = NumberAfter(port.system_path, "COM"); n && *n >= 1) return *n;
  return std::nullopt;
}

bool PathLess(const std::string& a, const std::string& b) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (digit(a[i]) && digit(b[j])) {
      size_t ie = i, je = j;
      while (ie < a.size() && digit(a[ie])) ++ie;
      while (je < b.size() && digit(b[je])) ++je;
      // Leading zeros aside, the longer run of digits is the larger number.
      while (i + 1 < ie && a[i] == '0') ++i;
      while (j + 1 < je && b[j] == '0') ++j;
      const std::string_view na(a.data() + i, ie - i), nb(b.data() + j, je - j);
      if (na.size() != nb.size()) return na.size() < nb.size();
      if (na != nb) return na < nb;
      i = ie;
      j = je;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

}  // namespace velarin::ports
