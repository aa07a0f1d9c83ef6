// termios2 needs the kernel's own header, which clashes with <termios.h>: this
// file must include neither <termios.h> nor anything that pulls it in.
#ifdef __linux__

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "platform/tty_settings.h"

namespace velarin::tty {
namespace {

bool Get(int fd, termios2& t) {
  int r;
  do r = ioctl(fd, TCGETS2, &t);
  while (r < 0 && errno == EINTR);
  return r == 0;
}

bool Set(int fd, const termios2& t) {
  int r;
  do r = ioctl(fd, TCSETS2, &t);
  while (r < 0 && errno == EINTR);
  return r == 0;
}

// The standard speed code where the rate has one, so that programs reading the line
// with plain termios (cfgetospeed) understand it; BOTHER (the rate is the number
// itself) for every other rate, 7812 among them.
tcflag_t SpeedCode(int32_t baud) {
  struct Standard {
    int32_t rate;
    tcflag_t code;
  };
  static constexpr Standard kStandard[] = {
      {300, B300},     {600, B600},       {1200, B1200},     {2400, B2400},
      {4800, B4800},   {9600, B9600},     {19200, B19200},   {38400, B38400},
      {57600, B57600}, {115200, B115200}, {230400, B230400},
  };
  for (const Standard& s : kStandard) {
    if (s.rate == baud) return s.code;
  }
  return BOTHER;
}

void PutRate(termios2& t, int32_t baud) {
  const tcflag_t code = SpeedCode(baud);
  t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  t.c_cflag |= code | (code << IBSHIFT);
  t.c_ispeed = static_cast<speed_t>(baud);
  t.c_ospeed = static_cast<speed_t>(baud);
}

}  // namespace

bool MakeRaw(int fd, int32_t baud) {
  if (baud <= 0) {
    errno = EINVAL;
    return false;
  }
  termios2 t{};
  if (!Get(fd, t)) return false;
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY |
                 IUCLC | IMAXBEL | INPCK);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN | TOSTOP);
  t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  PutRate(t, baud);
  return Set(fd, t);
}

std::optional<int32_t> ReadRate(int fd) {
  termios2 t{};
  if (!Get(fd, t)) return std::nullopt;
  return static_cast<int32_t>(t.c_ospeed);
}

bool WriteRate(int fd, int32_t baud) {
  if (baud <= 0) {
    errno = EINVAL;
    return false;
  }
  termios2 t{};
  if (!Get(fd, t)) return false;
  PutRate(t, baud);
  return Set(fd, t);
}

}  // namespace velarin::tty

#endif  // __linux__
