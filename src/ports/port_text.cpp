#include "ports/port_text.h"

#include <cstdio>

#include "ports/port_texts.h"

namespace velarin::ports {
namespace {

constexpr std::string_view kGap = "  ";
constexpr std::string_view kWarning = "  ! ";
constexpr std::string_view kLabelDash = " \u2014 ";  // em dash

std::string HexId(const UsbId& id) {
  char text[10];
  std::snprintf(text, sizeof text, "%04x:%04x", id.vid, id.pid);
  return text;
}

// The friendly name where Windows gives one; else maker and product, the maker
// left out when the product already starts with it.
std::string Description(const PortInfo& port) {
  if (!port.friendly_name.empty()) return port.friendly_name;
  if (port.manufacturer.empty()) return port.product;
  if (port.product.empty() || port.product.rfind(port.manufacturer, 0) == 0) {
    return port.product.empty() ? port.manufacturer : port.product;
  }
  return port.manufacturer + " " + port.product;
}

std::string_view BaseName(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string PortLine(const PortInfo& port) {
  std::string line = port.system_path;
  auto add = [&](std::string_view label, const std::string& value) {
    if (value.empty()) return;
    line += kGap;
    line += label;
    line += value;
  };
  if (auto com = ComNumberOf(port)) add(texts::kComLabel, std::to_string(*com));
  if (port.usb) add("", HexId(*port.usb));
  add("", Description(port));
  add(texts::kSerialLabel, port.serial_number);
  add(texts::kDriverLabel, port.driver);
  add("", port.by_id_path);
  if (!port.rate_note.empty()) {
    line += kWarning;
    line += port.rate_note;
  }
  return line;
}

std::string PortListText(const PortList& list) {
  if (list.ports.empty()) {
    std::string text(texts::kNoPorts);
    if (!list.error.empty()) text += ": " + list.error;
    return text + "\n";
  }
  std::string text;
  for (const PortInfo& port : list.ports) text += PortLine(port) + "\n";
  return text;
}

std::vector<PortChoice> PortChoices(const std::vector<PortInfo>& ports,
                                    std::string_view remembered_identity) {
  std::vector<PortChoice> choices;
  bool remembered_present = remembered_identity.empty();
  for (const PortInfo& port : ports) {
    PortChoice c;
    c.identity = PortIdentity(port);
    c.system_path = port.system_path;
    c.com = ComNumberOf(port);
    c.rate_7812 = port.rate_7812;
    c.rate_note = port.rate_note;
    c.label = std::string(BaseName(port.system_path));
    const std::string description = Description(port);
    if (!description.empty()) c.label += std::string(kLabelDash) + description;
    if (!port.serial_number.empty()) c.label += " (" + port.serial_number + ")";
    if (c.rate_7812 != Rate7812::kNoKnownProblem) c.label += " !";
    if (c.identity == remembered_identity) remembered_present = true;
    choices.push_back(std::move(c));
  }
  if (!remembered_present) {
    PortChoice gone;
    gone.identity = remembered_identity;
    gone.present = false;
    gone.label = std::string(BaseName(remembered_identity)) + std::string(kLabelDash) +
                 std::string(texts::kNotPresent);
    choices.push_back(std::move(gone));
  }
  return choices;
}

}  // namespace velarin::ports
