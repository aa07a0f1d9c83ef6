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

// BOTHER in both the output and the input speed bits: the rates are the numbers themselves.
void PutRate(termios2& t, int32_t baud) {
  t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
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
