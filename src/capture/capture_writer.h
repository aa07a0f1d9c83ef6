#pragma once
// Writes a capture file row by row: each row is flushed as it is written, so a
// crash loses at most that row. The first failed write (a full disk) stops the
// capture for good and keeps the OS's reason; nothing is thrown or retried.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "capture/capture.h"

namespace velarin {

class CaptureWriter {
 public:
  // Creates (or empties) `path` and writes the header and the notes. nullptr,
  // with *error "cannot create the capture: <path>: <reason>", when it cannot
  // be created; a header that cannot be written leaves a stopped writer.
  static std::unique_ptr<CaptureWriter> Create(const std::string& path, const CaptureNotes& notes,
                                               std::string* error);
  // Over an open stream, which it closes (tests give it one that fails).
  CaptureWriter(std::FILE* file, const CaptureNotes& notes);
  ~CaptureWriter();  // Finish()
  CaptureWriter(const CaptureWriter&) = delete;
  CaptureWriter& operator=(const CaptureWriter&) = delete;

  // One event; `event.at_us` counts from the start of the capture. Received
  // bytes beyond one row's worth continue on rows of their own.
  void Write(const CaptureEvent& event);
  void Note(const std::string& key, const std::string& value);
  // The end row, then closes the file. Writes after it are ignored.
  void Finish();

  bool stopped() const { return !failure_.empty(); }
  // The OS's reason of the failed write ("No space left on device").
  const std::string& failure() const { return failure_; }
  uint64_t bytes_written() const { return bytes_written_; }

 private:
  void Put(const std::string& row);

  std::FILE* file_;
  uint64_t last_us_ = 0;
  uint64_t bytes_written_ = 0;
  std::string failure_;
};

}  // namespace velarin
