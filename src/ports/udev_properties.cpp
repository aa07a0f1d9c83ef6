#include "ports/udev_properties.h"

#include <charconv>
#include <initializer_list>
#include <optional>

#include "ports/adapter_rates.h"

namespace velarin::ports {
namespace {

constexpr std::string_view kByIdDir = "/dev/serial/by-id/";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// The first of `keys` that is present and not empty (udev 252 and later also
// name the USB ones ID_USB_*; older ones only ID_*).
std::string_view Get(const UdevProperties& p, std::initializer_list<std::string_view> keys) {
  for (std::string_view key : keys) {
    auto it = p.find(key);
    if (it != p.end() && !it->second.empty()) return it->second;
  }
  return {};
}

std::optional<uint16_t> Hex16(std::string_view text) {
  uint16_t value = 0;
  if (text.size() != 4) return std::nullopt;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A device without a string of its own gets its id in hex from udev ("ea60"): not a name.
std::string OwnString(std::string_view encoded, std::string_view id_hex) {
  // Trimmed: some chips pad their strings with blanks ("Prolific Technology Inc. ").
  std::string decoded(Trim(DecodeUdevString(encoded)));
  if (decoded == id_hex) return {};
  return decoded;
}

std::string FirstByIdLink(std::string_view links) {
  while (!links.empty()) {
    const size_t space = links.find(' ');
    std::string_view link = links.substr(0, space);
    if (link.substr(0, kByIdDir.size()) == kByIdDir) return std::string(link);
    if (space == std::string_view::npos) break;
    links.remove_prefix(space + 1);
  }
  return {};
}

}  // namespace

UdevProperties ParseUdevPropertyDump(std::string_view dump) {
  UdevProperties properties;
  while (!dump.empty()) {
    const size_t eol = dump.find('\n');
    std::string_view line = Trim(dump.substr(0, eol));
    dump.remove_prefix(eol == std::string_view::npos ? dump.size() : eol + 1);
    if (line.substr(0, 3) == "E: ") line.remove_prefix(3);
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    properties[std::string(line.substr(0, eq))] = std::string(line.substr(eq + 1));
  }
  return properties;
}

std::string DecodeUdevString(std::string_view encoded) {
  std::string out;
  out.reserve(encoded.size());
  for (size_t i = 0; i < encoded.size(); ++i) {
    unsigned value = 0;
    if (encoded[i] == '\\' && i + 3 < encoded.size() && encoded[i + 1] == 'x') {
      const char* first = encoded.data() + i + 2;
      auto [end, ec] = std::from_chars(first, first + 2, value, 16);
      if (ec == std::errc() && end == first + 2) {
        out += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    out += encoded[i];
  }
  return out;
}

PortInfo PortFromUdevProperties(const UdevProperties& p) {
  PortInfo port;
  port.system_path = Get(p, {"DEVNAME"});
  port.by_id_path = FirstByIdLink(Get(p, {"DEVLINKS"}));
  const std::string_view vid_hex = Get(p, {"ID_USB_VENDOR_ID", "ID_VENDOR_ID"});
  const std::string_view pid_hex = Get(p, {"ID_USB_MODEL_ID", "ID_MODEL_ID"});
  const auto vid = Hex16(vid_hex);
  const auto pid = Hex16(pid_hex);
  if (vid && pid) port.usb = UsbId{*vid, *pid};

  port.manufacturer = OwnString(
      Get(p, {"ID_USB_VENDOR_ENC", "ID_VENDOR_ENC", "ID_USB_VENDOR", "ID_VENDOR"}), vid_hex);
  if (port.manufacturer.empty()) port.manufacturer = Get(p, {"ID_VENDOR_FROM_DATABASE"});
  port.product =
      OwnString(Get(p, {"ID_USB_MODEL_ENC", "ID_MODEL_ENC", "ID_USB_MODEL", "ID_MODEL"}), pid_hex);
  if (port.product.empty()) port.product = Get(p, {"ID_MODEL_FROM_DATABASE"});
  port.serial_number = Get(p, {"ID_USB_SERIAL_SHORT", "ID_SERIAL_SHORT"});
  port.driver = Get(p, {"ID_USB_DRIVER"});
  ClassifyRate7812(port);
  return port;
}

}  // namespace velarin::ports
