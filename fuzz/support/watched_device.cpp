#include "support/watched_device.h"

namespace velarin::fuzz {

void WatchedDevice::EndWait() {
  if (!waiting_) return;
  waiting_ = false;
  if (on_wait) on_wait(WaitSpan{first_ms_, last_ms_, last_written_});
}

bool WatchedDevice::Open(const std::string& path) {
  EndWait();
  last_written_.reset();
  return inner_.Open(path);
}

void WatchedDevice::Close() {
  EndWait();
  inner_.Close();
}

bool WatchedDevice::IsOpen() const {
  const bool open = inner_.IsOpen();
  // A wait on a port that closed under it polls nothing else.
  if (waiting_ && !open) last_ms_ = clock_.NowMs();
  return open;
}

int WatchedDevice::BytesWaiting() {
  const uint32_t now = clock_.NowMs();
  if (!waiting_) {
    waiting_ = true;
    first_ms_ = now;
  }
  last_ms_ = now;
  return inner_.BytesWaiting();
}

std::vector<uint8_t> WatchedDevice::ReadAll() {
  EndWait();
  return inner_.ReadAll();
}

bool WatchedDevice::WriteByte(uint8_t byte) {
  EndWait();
  if (on_write) on_write(byte);
  last_written_ = byte;
  return inner_.WriteByte(byte);
}

}  // namespace velarin::fuzz
