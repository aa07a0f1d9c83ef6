// Linux with libudev: the tty subsystem's devices that sit on real hardware.
#if defined(__linux__) && defined(VELARIN_HAVE_LIBUDEV)

#include <libudev.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "ports/adapter_rates.h"
#include "ports/port_list.h"
#include "ports/port_texts.h"
#include "ports/udev_properties.h"

namespace velarin::ports {
namespace {

struct UdevDeleter {
  void operator()(udev* u) const { udev_unref(u); }
  void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
  void operator()(udev_device* d) const { udev_device_unref(d); }
  void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

// Virtual consoles, ptmx and the like have no device behind them; serial-core
// ports whose UART was not found (the 8250 driver's spare ttyS1..31) say type 0.
bool IsPort(udev_device* dev) {
  if (udev_device_get_devnode(dev) == nullptr || udev_device_get_parent(dev) == nullptr)
    return false;
  const char* type = udev_device_get_sysattr_value(dev, "type");
  return type == nullptr || std::strcmp(type, "0") != 0;
}

void AddIfAbsent(UdevProperties& p, const char* key, const char* value) {
  if (value != nullptr && *value != '\0') p.emplace(key, value);
}

PortInfo Describe(udev_device* dev) {
  UdevProperties p;
  for (udev_list_entry* e = udev_device_get_properties_list_entry(dev); e != nullptr;
       e = udev_list_entry_get_next(e)) {
    const char* value = udev_list_entry_get_value(e);
    p[udev_list_entry_get_name(e)] = value != nullptr ? value : "";
  }
  // Without udev's database (a container, udevd not running) the kernel's own
  // properties are all there is: read the USB strings from sysfs instead.
  if (udev_device* usb = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device")) {
    AddIfAbsent(p, "ID_VENDOR_ID", udev_device_get_sysattr_value(usb, "idVendor"));
    AddIfAbsent(p, "ID_MODEL_ID", udev_device_get_sysattr_value(usb, "idProduct"));
    AddIfAbsent(p, "ID_VENDOR", udev_device_get_sysattr_value(usb, "manufacturer"));
    AddIfAbsent(p, "ID_MODEL", udev_device_get_sysattr_value(usb, "product"));
    AddIfAbsent(p, "ID_SERIAL_SHORT", udev_device_get_sysattr_value(usb, "serial"));
  }
  // The driver of the device behind the tty stands in for the USB driver (for
  // an on-board UART it is the only driver there is).
  if (udev_device* parent = udev_device_get_parent(dev))
    AddIfAbsent(p, "ID_USB_DRIVER", udev_device_get_driver(parent));
  AddIfAbsent(p, "DEVNAME", udev_device_get_devnode(dev));
  return PortFromUdevProperties(p);
}

// udevd announces devices once its rules ran (the by-id links exist by then);
// without udevd only the kernel announces them.
const char* MonitorSource() { return access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel"; }

}  // namespace

PortList ListSerialPorts() {
  PortList list;
  UdevPtr<udev> u(udev_new());
  UdevPtr<udev_enumerate> e(u ? udev_enumerate_new(u.get()) : nullptr);
  if (!e || udev_enumerate_add_match_subsystem(e.get(), "tty") < 0 ||
      udev_enumerate_scan_devices(e.get()) < 0) {
    list.error = texts::kUdevFailed;
    return list;
  }
  for (udev_list_entry* entry = udev_enumerate_get_list_entry(e.get()); entry != nullptr;
       entry = udev_list_entry_get_next(entry)) {
    UdevPtr<udev_device> dev(
        udev_device_new_from_syspath(u.get(), udev_list_entry_get_name(entry)));
    if (dev && IsPort(dev.get())) list.ports.push_back(Describe(dev.get()));
  }
  std::sort(list.ports.begin(), list.ports.end(), [](const PortInfo& a, const PortInfo& b) {
    return PathLess(a.system_path, b.system_path);
  });
  return list;
}

struct PortWatcher::Impl {
  UdevPtr<udev> u;
  UdevPtr<udev_monitor> monitor;
};

PortWatcher::PortWatcher() : impl_(std::make_unique<Impl>()) {
  impl_->u.reset(udev_new());
  if (!impl_->u) return;
  impl_->monitor.reset(udev_monitor_new_from_netlink(impl_->u.get(), MonitorSource()));
  if (!impl_->monitor ||
      udev_monitor_filter_add_match_subsystem_devtype(impl_->monitor.get(), "tty", nullptr) < 0 ||
      udev_monitor_enable_receiving(impl_->monitor.get()) < 0)
    impl_->monitor.reset();
}

PortWatcher::~PortWatcher() = default;

int PortWatcher::Fd() const {
  return impl_->monitor ? udev_monitor_get_fd(impl_->monitor.get()) : -1;
}

bool PortWatcher::Drain() {
  if (!impl_->monitor) return false;
  bool changed = false;
  // The socket is non-blocking: receive returns null once nothing is pending.
  while (UdevPtr<udev_device> dev{udev_monitor_receive_device(impl_->monitor.get())}) {
    const char* action = udev_device_get_action(dev.get());
    if (action != nullptr && std::strcmp(action, "change") != 0) changed = true;
  }
  return changed;
}

}  // namespace velarin::ports

#endif
