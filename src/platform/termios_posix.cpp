// Other POSIX systems (the BSDs, macOS) have no termios2; their speed_t is the
// rate itself, so cfsetspeed takes 7812 directly where the driver supports it.
#if !defined(__linux__) && !defined(_WIN32)

#include <termios.h>

#include <cerrno>

#include "platform/tty_settings.h"

namespace velarin::tty {
namespace {

bool Get(int fd, termios& t) {
  int r;
  do r = tcgetattr(fd, &t);
  while (r < 0 && errno == EINTR);
  return r == 0;
}

bool Set(int fd, const termios& t) {
  int r;
  do r = tcsetattr(fd, TCSANOW, &t);
  while (r < 0 && errno == EINTR);
  return r == 0;
}

}  // namespace

bool MakeRaw(int fd, int32_t baud) {
  if (baud <= 0) {
    errno = EINVAL;
    return false;
  }
  termios t{};
  if (!Get(fd, t)) return false;
  cfmakeraw(&t);
  t.c_cflag &= ~(CSTOPB | CRTSCTS);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_iflag &= ~(IXON | IXOFF | IXANY);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (cfsetspeed(&t, static_cast<speed_t>(baud)) != 0) return false;
  return Set(fd, t);
}

std::optional<int32_t> ReadRate(int fd) {
  termios t{};
  if (!Get(fd, t)) return std::nullopt;
  return static_cast<int32_t>(cfgetospeed(&t));
}

bool WriteRate(int fd, int32_t baud) {
  if (baud <= 0) {
    errno = EINVAL;
    return false;
  }
  termios t{};
  if (!Get(fd, t)) return false;
  if (cfsetspeed(&t, static_cast<speed_t>(baud)) != 0) return false;
  return Set(fd, t);
}

}  // namespace velarin::tty

#endif
