#pragma once
// A pseudo-terminal standing in for a serial port: the code under test opens the
// slave by its path, the test plays the far end on the master.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velarin::testing {

class PtyPair {
 public:
  // Opens the pair. The test keeps its own slave descriptor open, as a port's
  // driver keeps its state between opens, so settings left behind stay visible.
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return master_ >= 0; }
  int master() const { return master_; }
  int slave() const { return slave_; }
  const std::string& slave_path() const { return slave_path_; }

  void WriteMaster(const std::vector<uint8_t>& bytes);
  // Reads from the master until `count` bytes came or `limit_ms` passed without one.
  std::vector<uint8_t> ReadMaster(size_t count, int limit_ms = 2000);
  // Closes the master: the slave is hung up, as when a USB adapter is pulled.
  void CloseMaster();

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slave_path_;
};

// Retries `done` every millisecond until it holds or about `limit_ms` passed.
bool WaitUntil(const std::function<bool()>& done, int limit_ms = 2000);

// Descriptors open in this process, to catch a failed open that leaks one.
int OpenDescriptorCount();

}  // namespace velarin::testing
