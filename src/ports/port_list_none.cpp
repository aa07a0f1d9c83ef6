// Systems without a lister (Linux built without libudev, other POSIX systems):
// an empty list that says why, and a watcher that never fires.
#if !defined(_WIN32) && !(defined(__linux__) && defined(VELARIN_HAVE_LIBUDEV))

#include "ports/port_list.h"
#include "ports/port_texts.h"

namespace velarin::ports {

PortList ListSerialPorts() {
  PortList list;
#ifdef __linux__
  list.error = texts::kNoUdev;
#else
  list.error = texts::kNoLister;
#endif
  return list;
}

struct PortWatcher::Impl {};

PortWatcher::PortWatcher() = default;
PortWatcher::~PortWatcher() = default;
int PortWatcher::Fd() const { return -1; }
bool PortWatcher::Drain() { return false; }

}  // namespace velarin::ports

#endif
