#include "ports/adapter_rates.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <string_view>

#include "ports/port_texts.h"

namespace velarin::ports {
namespace {

constexpr uint16_t kSiliconLabsVid = 0x10C4;
constexpr uint16_t kCp2105Pid = 0xEA70;  // the dual-port chip has an id of its own

constexpr std::array<std::string_view, 3> kChipsAt9600 = {"CP2101", "CP2102", "CP2103"};
constexpr std::array<std::string_view, 2> kChipsAt7812 = {"CP2104", "CP2105"};

bool IsCp210x(const PortInfo& port) {
  if (port.usb && port.usb->vid == kSiliconLabsVid) return true;
  // Vendors ship the chip under ids of their own; the driver still knows it.
  return port.driver == "cp210x" || port.driver == "silabser";
}

// The chip named in the product string ("CP2102 USB to UART Bridge Controller" ->
// "CP2102"), with any letter suffix ("CP2102N"); empty when none is named.
std::string ChipNamed(std::string_view product) {
  std::string upper(product);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  const size_t at = upper.find("CP210");
  if (at == std::string::npos) return {};
  size_t end = at + 5;
  while (end < upper.size() && std::isalnum(static_cast<unsigned char>(upper[end]))) ++end;
  return upper.substr(at, end - at);
}

}  // namespace

void ClassifyRate7812(PortInfo& port) {
  port.rate_7812 = Rate7812::kNoKnownProblem;
  port.rate_note.clear();
  if (!IsCp210x(port)) return;
  if (port.usb && port.usb->vid == kSiliconLabsVid && port.usb->pid == kCp2105Pid) return;
  const std::string chip = ChipNamed(port.product);
  if (std::find(kChipsAt7812.begin(), kChipsAt7812.end(), chip) != kChipsAt7812.end()) return;
  if (std::find(kChipsAt9600.begin(), kChipsAt9600.end(), chip) != kChipsAt9600.end()) {
    port.rate_7812 = Rate7812::kUnable;
    port.rate_note = std::string(texts::kUnable7812) + chip + std::string(texts::kRuns9600);
    return;
  }
  port.rate_7812 = Rate7812::kMaybeUnable;
  port.rate_note = texts::kMaybeUnable7812;
}

}  // namespace velarin::ports
