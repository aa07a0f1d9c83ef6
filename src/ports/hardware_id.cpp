#include "ports/hardware_id.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace velarin::ports {
namespace {

std::string Upper(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return out;
}

// The four hex digits after `tag` at the start of a part (after '\', '&' or '+').
std::optional<uint16_t> Field(std::string_view upper_id, std::string_view tag) {
  for (size_t at = upper_id.find(tag); at != std::string_view::npos;
       at = upper_id.find(tag, at + 1)) {
    const bool starts_part =
        at == 0 || upper_id[at - 1] == '\\' || upper_id[at - 1] == '&' || upper_id[at - 1] == '+';
    const size_t first = at + tag.size();
    if (!starts_part || first + 4 > upper_id.size()) continue;
    uint16_t value = 0;
    const char* begin = upper_id.data() + first;
    auto [end, ec] = std::from_chars(begin, begin + 4, value, 16);
    const bool ends_part = first + 4 == upper_id.size() ||
                           !std::isxdigit(static_cast<unsigned char>(upper_id[first + 4]));
    if (ec == std::errc() && end == begin + 4 && ends_part) return value;
  }
  return std::nullopt;
}

}  // namespace

std::optional<UsbId> UsbIdFromHardwareId(std::string_view id) {
  const std::string upper = Upper(id);
  const auto vid = Field(upper, "VID_");
  const auto pid = Field(upper, "PID_");
  if (!vid || !pid) return std::nullopt;
  return UsbId{*vid, *pid};
}

std::string SerialFromInstanceId(std::string_view id) {
  const std::string upper = Upper(id);
  if (upper.rfind("USB\\", 0) != 0) return {};
  const size_t second = upper.find('\\', 4);
  if (second == std::string::npos) return {};
  const std::string_view ids = std::string_view(upper).substr(4, second - 4);
  if (ids.find("&MI_") != std::string_view::npos) return {};
  const std::string_view serial = id.substr(second + 1);
  if (serial.empty() || serial.find_first_of("&\\") != std::string_view::npos) return {};
  return std::string(serial);
}

}  // namespace velarin::ports
