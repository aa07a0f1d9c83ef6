#pragma once
// Line settings of an open POSIX tty at any integer baud rate. On Linux these go
// through termios2 (TCGETS2/TCSETS2; BOTHER for a rate without a standard code),
// so 7812 reaches the driver as 7812 rather than the nearest standard rate. Each
// call returns false (or nullopt) with errno set when the kernel refuses.

#ifndef _WIN32

#include <cstdint>
#include <optional>

namespace velarin::tty {

// Raw 8N1: no echo, no line editing, no character translation, no signals, no
// software or hardware flow control, receiver on, modem lines ignored, reads
// that return at once (VMIN 0, VTIME 0), `baud` both ways.
bool MakeRaw(int fd, int32_t baud);
// The output rate the driver reports.
std::optional<int32_t> ReadRate(int fd);
// Sets input and output rate to `baud`, leaving every other field as read.
bool WriteRate(int fd, int32_t baud);

}  // namespace velarin::tty

#endif  // _WIN32
