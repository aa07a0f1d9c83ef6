// LD_PRELOAD shim that lets wine drive a Linux pseudo-terminal as a COM port, for
// the Win32 serial test. A pty lacks what wine asks of a serial driver:
// - modem lines (TIOCMGET/TIOCMSET/TIOCMBIS/TIOCMBIC): kept here per device, so
//   EscapeCommFunction(SETDTR) succeeds and DTR/RTS read back as set;
// - TIOCGSERIAL/TIOCSSERIAL with a custom divisor, which wine uses for a rate
//   without a standard code (7812): the divisor is kept, and a line set to B38400
//   then runs at baud_base / divisor, as the 8250 driver's spd_cust does. The
//   line gets that rate with termios2, so the far end reads 7812 on the master;
//   wine, which reads rates with plain termios, is shown B38400 again.
// Every call on anything else passes through untouched. Built for the host by
// .ci/windows.sh; Linux only.

#include <dlfcn.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

#include <cerrno>
#include <cstdarg>
#include <mutex>

namespace {

// The kernel's termios2; its header clashes with <termios.h>.
struct Termios2 {
  tcflag_t c_iflag, c_oflag, c_cflag, c_lflag;
  cc_t c_line;
  cc_t c_cc[19];
  speed_t c_ispeed, c_ospeed;
};
constexpr unsigned long kGet2 = _IOR('T', 0x2A, Termios2);
constexpr unsigned long kSet2 = _IOW('T', 0x2B, Termios2);
constexpr tcflag_t kBother = 0010000;
constexpr tcflag_t kInputShift = 16;
// What an FTDI bridge reports: 7812 divides it to 7812.5 baud.
constexpr int kBaudBase = 24000000;

struct Line {
  dev_t device = 0;
  int modem = 0;
  int flags = 0;
  int divisor = 0;
};
Line g_lines[16];
std::mutex g_mutex;

using IoctlFn = int (*)(int, unsigned long, ...);
using GetFn = int (*)(int, termios*);
using SetFn = int (*)(int, int, const termios*);

template <typename Fn>
Fn Next(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

// The state of a pseudo-terminal slave, nullptr for anything else.
Line* LineOf(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return nullptr;
  if (major(st.st_rdev) < 136 || major(st.st_rdev) > 143) return nullptr;
  for (Line& l : g_lines) {
    if (l.device == st.st_rdev) return &l;
  }
  for (Line& l : g_lines) {
    if (l.device == 0) {
      l.device = st.st_rdev;
      return &l;
    }
  }
  return nullptr;
}

bool Emulated(Line& line, unsigned long request, void* arg) {
  switch (request) {
    case TIOCMGET:
      *static_cast<int*>(arg) = line.modem;
      return true;
    case TIOCMSET:
      line.modem = *static_cast<int*>(arg);
      return true;
    case TIOCMBIS:
      line.modem |= *static_cast<int*>(arg);
      return true;
    case TIOCMBIC:
      line.modem &= ~*static_cast<int*>(arg);
      return true;
    case TIOCGSERIAL: {
      serial_struct s{};
      s.baud_base = kBaudBase;
      s.flags = line.flags;
      s.custom_divisor = line.divisor;
      *static_cast<serial_struct*>(arg) = s;
      return true;
    }
    case TIOCSSERIAL: {
      const auto* s = static_cast<const serial_struct*>(arg);
      line.flags = s->flags;
      line.divisor = s->custom_divisor;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);
  static const IoctlFn next = Next<IoctlFn>("ioctl");
  const int r = next(fd, request, arg);
  if (r == 0 || (errno != ENOTTY && errno != EINVAL)) return r;
  std::lock_guard<std::mutex> lock(g_mutex);
  Line* line = LineOf(fd);
  if (line == nullptr || !Emulated(*line, request, arg)) return r;
  errno = 0;
  return 0;
}

extern "C" int tcsetattr(int fd, int when, const termios* t) noexcept {
  static const SetFn next = Next<SetFn>("tcsetattr");
  const int r = next(fd, when, t);
  if (r != 0 || (t->c_cflag & CBAUD) != B38400) return r;
  int rate = 0;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    Line* line = LineOf(fd);
    if (line == nullptr || (line->flags & ASYNC_SPD_MASK) != ASYNC_SPD_CUST || line->divisor <= 0)
      return r;
    rate = kBaudBase / line->divisor;
  }
  static const IoctlFn ioctl_next = Next<IoctlFn>("ioctl");
  Termios2 t2{};
  if (ioctl_next(fd, kGet2, &t2) != 0) return -1;
  t2.c_cflag &= ~(CBAUD | (CBAUD << kInputShift));
  t2.c_cflag |= kBother | (kBother << kInputShift);
  t2.c_ispeed = t2.c_ospeed = static_cast<speed_t>(rate);
  return ioctl_next(fd, kSet2, &t2);
}

extern "C" int tcgetattr(int fd, termios* t) noexcept {
  static const GetFn next = Next<GetFn>("tcgetattr");
  const int r = next(fd, t);
  if (r != 0 || (t->c_cflag & CBAUD) != kBother) return r;
  std::lock_guard<std::mutex> lock(g_mutex);
  Line* line = LineOf(fd);
  if (line != nullptr && (line->flags & ASYNC_SPD_MASK) == ASYNC_SPD_CUST) {
    t->c_cflag = (t->c_cflag & ~(CBAUD | (CBAUD << kInputShift))) | B38400;
    t->c_ispeed = t->c_ospeed = B38400;
  }
  return r;
}
