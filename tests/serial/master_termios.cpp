// The kernel's termios2 header; <termios.h> must stay out of this file.
// Pseudo-terminals: POSIX only.
#ifndef _WIN32

#include "serial/master_termios.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace velarin::testing {
namespace {

bool Get(int fd, termios2& t) { return ioctl(fd, TCGETS2, &t) == 0; }

}  // namespace

std::optional<MasterRates> ReadMasterRates(int master_fd) {
  termios2 t{};
  if (!Get(master_fd, t)) return std::nullopt;
  return MasterRates{static_cast<int32_t>(t.c_ispeed), static_cast<int32_t>(t.c_ospeed)};
}

std::vector<std::string> RawModeViolations(int master_fd) {
  termios2 t{};
  if (!Get(master_fd, t)) return {"TCGETS2 failed"};
  struct Flag {
    const char* name;
    tcflag_t field;
    tcflag_t mask;
    tcflag_t want;
  } flags[] = {
      {"ICANON", t.c_lflag, ICANON, 0},      {"ECHO", t.c_lflag, ECHO, 0},
      {"ECHONL", t.c_lflag, ECHONL, 0},      {"ISIG", t.c_lflag, ISIG, 0},
      {"IEXTEN", t.c_lflag, IEXTEN, 0},      {"OPOST", t.c_oflag, OPOST, 0},
      {"ICRNL", t.c_iflag, ICRNL, 0},        {"INLCR", t.c_iflag, INLCR, 0},
      {"IGNCR", t.c_iflag, IGNCR, 0},        {"ISTRIP", t.c_iflag, ISTRIP, 0},
      {"IXON", t.c_iflag, IXON, 0},          {"IXOFF", t.c_iflag, IXOFF, 0},
      {"PARMRK", t.c_iflag, PARMRK, 0},      {"BRKINT", t.c_iflag, BRKINT, 0},
      {"CS8", t.c_cflag, CSIZE, CS8},        {"PARENB", t.c_cflag, PARENB, 0},
      {"CSTOPB", t.c_cflag, CSTOPB, 0},      {"CRTSCTS", t.c_cflag, CRTSCTS, 0},
      {"CLOCAL", t.c_cflag, CLOCAL, CLOCAL}, {"CREAD", t.c_cflag, CREAD, CREAD},
  };
  std::vector<std::string> wrong;
  for (const Flag& f : flags) {
    if ((f.field & f.mask) != f.want) wrong.push_back(f.name);
  }
  if (t.c_cc[VMIN] != 0) wrong.push_back("VMIN");
  if (t.c_cc[VTIME] != 0) wrong.push_back("VTIME");
  return wrong;
}

std::optional<std::vector<uint32_t>> FieldsBesideRate(int master_fd) {
  termios2 t{};
  if (!Get(master_fd, t)) return std::nullopt;
  std::vector<uint32_t> out = {t.c_iflag, t.c_oflag, t.c_cflag & ~(CBAUD | (CBAUD << IBSHIFT)),
                               t.c_lflag, t.c_line};
  for (cc_t c : t.c_cc) out.push_back(c);
  return out;
}

bool PerturbFieldsBesideRate(int master_fd) {
  termios2 t{};
  if (!Get(master_fd, t)) return false;
  t.c_cflag |= CSTOPB;
  t.c_cc[VINTR] = 0x42;
  return ioctl(master_fd, TCSETS2, &t) == 0;
}

}  // namespace velarin::testing

#endif  // _WIN32
