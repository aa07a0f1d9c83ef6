// Pseudo-terminals: POSIX only.
#ifndef _WIN32

#include "serial/pty_pair.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace velarin::testing {

PtyPair::PtyPair() {
  char name[256] = {};
  int master = -1;
  int slave = -1;
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
  fcntl(master, F_SETFD, FD_CLOEXEC);
  fcntl(slave, F_SETFD, FD_CLOEXEC);
  master_ = master;
  slave_ = slave;
  slave_path_ = name;
}

PtyPair::~PtyPair() {
  CloseMaster();
  if (slave_ >= 0) close(slave_);
}

void PtyPair::WriteMaster(const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t r = write(master_, bytes.data() + done, bytes.size() - done);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return;
    done += static_cast<size_t>(r);
  }
}

std::vector<uint8_t> PtyPair::ReadMaster(size_t count, int limit_ms) {
  std::vector<uint8_t> out;
  uint8_t buf[4096];
  while (out.size() < count) {
    pollfd p{master_, POLLIN, 0};
    int ready = poll(&p, 1, limit_ms);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    ssize_t r = read(master_, buf, std::min(sizeof buf, count - out.size()));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    out.insert(out.end(), buf, buf + r);
  }
  return out;
}

void PtyPair::CloseMaster() {
  if (master_ < 0) return;
  close(master_);
  master_ = -1;
}

bool WaitUntil(const std::function<bool()>& done, int limit_ms) {
  for (int i = 0; i < limit_ms; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

int OpenDescriptorCount() {
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  int count = 0;
  while (readdir(dir) != nullptr) ++count;
  closedir(dir);
  return count;
}

}  // namespace velarin::testing

#endif  // _WIN32
