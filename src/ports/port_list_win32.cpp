// Windows: SetupAPI, the system's own registry of devices. The Ports class holds
// what drivers install as COM ports (FTDIBUS, silabser, CH341SER, usbser,
// serial); the COM-port interface adds ports of other classes (modems). The
// registry gives the COM name; the parent USB device gives the serial number.
// Windows has no socket to wait on for plug-ins here: the watcher polls.
#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// clang-format off
#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <devpkey.h>
#include <setupapi.h>
#include <cfgmgr32.h>
// clang-format on

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ports/adapter_rates.h"
#include "ports/hardware_id.h"
#include "ports/port_list.h"
#include "ports/port_texts.h"

namespace velarin::ports {
namespace {

constexpr int kParentLevels = 3;
// GUID_DEVINTERFACE_COMPORT, whose header (ntddser.h) is a driver-kit one in MinGW.
constexpr GUID kComPortInterface = {0x86E0D1E0,
                                    0x8089,
                                    0x11D0,
                                    {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F,
                                     0x73}};  // port -> USB interface -> USB device at most

std::string Utf8(const wchar_t* text) {
  if (text == nullptr || *text == L'\0') return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

// A string property; for a list (the hardware ids) its first entry.
std::string RegistryProperty(HDEVINFO set, SP_DEVINFO_DATA& info, DWORD property) {
  wchar_t buffer[1024] = {};
  DWORD type = 0;
  if (!SetupDiGetDeviceRegistryPropertyW(
          set, &info, property, &type, reinterpret_cast<BYTE*>(buffer), sizeof buffer - 4, nullptr))
    return {};
  if (type != REG_SZ && type != REG_MULTI_SZ) return {};
  return Utf8(buffer);
}

// The product string the USB device reports itself ("CP2102 USB to UART Bridge
// Controller"), where the driver's own description is generic.
std::string BusReportedDescription(HDEVINFO set, SP_DEVINFO_DATA& info) {
  wchar_t buffer[512] = {};
  DEVPROPTYPE type = 0;
  if (!SetupDiGetDevicePropertyW(set, &info, &DEVPKEY_Device_BusReportedDeviceDesc, &type,
                                 reinterpret_cast<BYTE*>(buffer), sizeof buffer - 4, nullptr, 0) ||
      type != DEVPROP_TYPE_STRING)
    return {};
  return Utf8(buffer);
}

std::string PortName(HDEVINFO set, SP_DEVINFO_DATA& info) {
  HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
  if (key == INVALID_HANDLE_VALUE) return {};
  wchar_t buffer[64] = {};
  DWORD size = sizeof buffer - 4;
  DWORD type = 0;
  const LONG r =
      RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  return r == ERROR_SUCCESS && type == REG_SZ ? Utf8(buffer) : std::string();
}

std::string InstanceId(DEVINST devinst) {
  wchar_t buffer[MAX_DEVICE_ID_LEN + 1] = {};
  if (CM_Get_Device_IDW(devinst, buffer, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS) return {};
  return Utf8(buffer);
}

PortInfo Describe(HDEVINFO set, SP_DEVINFO_DATA& info, std::string com_name) {
  PortInfo port;
  port.system_path = std::move(com_name);
  port.friendly_name = RegistryProperty(set, info, SPDRP_FRIENDLYNAME);
  port.manufacturer = RegistryProperty(set, info, SPDRP_MFG);
  port.product = BusReportedDescription(set, info);
  if (port.product.empty()) port.product = RegistryProperty(set, info, SPDRP_DEVICEDESC);
  port.driver = RegistryProperty(set, info, SPDRP_SERVICE);
  port.instance_id = InstanceId(info.DevInst);
  port.usb = UsbIdFromHardwareId(RegistryProperty(set, info, SPDRP_HARDWAREID));
  // The serial number is the USB device's; FTDIBUS and composite devices put
  // the port one or two levels below it.
  DEVINST devinst = info.DevInst;
  std::string id = port.instance_id;
  for (int level = 0; level <= kParentLevels; ++level) {
    if (!port.usb) port.usb = UsbIdFromHardwareId(id);
    port.serial_number = SerialFromInstanceId(id);
    DEVINST parent = 0;
    if (!port.serial_number.empty() || CM_Get_Parent(&parent, devinst, 0) != CR_SUCCESS) break;
    devinst = parent;
    id = InstanceId(devinst);
  }
  ClassifyRate7812(port);
  return port;
}

}  // namespace

PortList ListSerialPorts() {
  struct Source {
    const GUID* guid;
    DWORD flags;
  };
  const Source sources[] = {{&GUID_DEVCLASS_PORTS, DIGCF_PRESENT},
                            {&kComPortInterface, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE}};
  PortList list;
  std::set<std::string> seen;
  for (const Source& source : sources) {
    HDEVINFO set = SetupDiGetClassDevsW(source.guid, nullptr, nullptr, source.flags);
    if (set == INVALID_HANDLE_VALUE) {
      list.error = std::string(texts::kSetupApiFailed) + std::to_string(GetLastError());
      continue;
    }
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
      std::string name = PortName(set, info);
      // The Ports class also holds printer ports (LPT1).
      if (name.rfind("COM", 0) != 0 || !seen.insert(name).second) continue;
      list.ports.push_back(Describe(set, info, std::move(name)));
    }
    SetupDiDestroyDeviceInfoList(set);
  }
  if (!list.ports.empty()) list.error.clear();
  std::sort(list.ports.begin(), list.ports.end(), [](const PortInfo& a, const PortInfo& b) {
    return PathLess(a.system_path, b.system_path);
  });
  return list;
}

namespace {
std::string Signature(const PortList& list) {
  std::string s;
  for (const PortInfo& port : list.ports) s += port.system_path + '|' + PortIdentity(port) + '\n';
  return s;
}
}  // namespace

struct PortWatcher::Impl {
  std::string last;
};

PortWatcher::PortWatcher() : impl_(std::make_unique<Impl>()) {
  impl_->last = Signature(ListSerialPorts());
}
PortWatcher::~PortWatcher() = default;
int PortWatcher::Fd() const { return -1; }

bool PortWatcher::Drain() {
  std::string now = Signature(ListSerialPorts());
  const bool changed = now != impl_->last;
  impl_->last = std::move(now);
  return changed;
}

}  // namespace velarin::ports

#endif
