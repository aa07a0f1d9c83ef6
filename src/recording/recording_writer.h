#pragma once
// The window's recording file: rows formatted by the caller (CSV, line end
// included) written one by one, each flushed to the system at once, so that a
// crash or a pulled cable costs no row already read. The first failure stops the
// recording with its reason; the rows written before it stay in the file, and
// what reached the file of the row that failed is cut off again.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace velarin::recording {

class RecordingWriter {
 public:
  RecordingWriter() = default;
  ~RecordingWriter();
  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;

  // Creates (or empties) `path` and writes `header_row` to it; false, with
  // Message() saying why, when it cannot.
  bool Open(const std::string& path, std::string_view header_row);
  // False once the recording has stopped (not open, or a write failed now or before).
  bool WriteRow(std::string_view row);
  // Closes the file; the number of rows in it. Message() then sums the recording up.
  size_t Close();

  bool recording() const { return file_ != nullptr; }
  bool failed() const { return failed_; }
  size_t rows() const { return rows_; }
  const std::string& path() const { return path_; }
  // What the user is told: why it could not open or stopped, or after Close
  // "N rows in PATH" / "the recording ended with no row: PATH".
  const std::string& Message() const { return message_; }

 private:
  bool Write(std::string_view bytes);
  void Fail(int error);

  std::FILE* file_ = nullptr;
  std::string path_;
  size_t rows_ = 0;
  uint64_t written_bytes_ = 0;
  bool failed_ = false;
  std::string message_;
};

}  // namespace velarin::recording
