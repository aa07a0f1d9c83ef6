#include "capture/capture_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "capture/capture_format.h"
#include "capture/capture_texts.h"

namespace velarin {
namespace {

std::string Reason(int err) { return err != 0 ? std::strerror(err) : "write failed"; }

}  // namespace

std::unique_ptr<CaptureWriter> CaptureWriter::Create(const std::string& path,
                                                     const CaptureNotes& notes,
                                                     std::string* error) {
  errno = 0;
  // Binary: the rows end in "\n" on every system.
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    if (error != nullptr) {
      *error = std::string(capture_texts::kCannotCreate) + path + ": " + Reason(errno);
    }
    return nullptr;
  }
  return std::make_unique<CaptureWriter>(file, notes);
}

CaptureWriter::CaptureWriter(std::FILE* file, const CaptureNotes& notes) : file_(file) {
  Put(CaptureHeaderLine());
  for (const auto& [key, value] : notes) Note(key, value);
}

CaptureWriter::~CaptureWriter() { Finish(); }

void CaptureWriter::Put(const std::string& row) {
  if (file_ == nullptr || stopped()) return;
  errno = 0;
  if (std::fwrite(row.data(), 1, row.size(), file_) != row.size() || std::fflush(file_) != 0) {
    failure_ = Reason(errno);
    // What did not reach the disk stays out of the file: nothing more is written.
    std::fclose(file_);
    file_ = nullptr;
    return;
  }
  bytes_written_ += row.size();
}

void CaptureWriter::Write(const CaptureEvent& event) {
  if (event.kind == CaptureEventKind::kReceived && event.bytes.empty()) return;
  // A clock that steps back must not make a negative delta.
  const uint64_t at = std::max(event.at_us, last_us_);
  uint64_t delta = at - last_us_;
  last_us_ = at;
  if (event.kind != CaptureEventKind::kReceived || event.bytes.size() <= kCaptureRowBytes) {
    Put(CaptureEventLine(delta, event));
    return;
  }
  CaptureEvent part = event;
  for (size_t i = 0; i < event.bytes.size(); i += kCaptureRowBytes) {
    const size_t n = std::min(kCaptureRowBytes, event.bytes.size() - i);
    part.bytes.assign(event.bytes.begin() + static_cast<std::ptrdiff_t>(i),
                      event.bytes.begin() + static_cast<std::ptrdiff_t>(i + n));
    Put(CaptureEventLine(delta, part));
    delta = 0;
  }
}

void CaptureWriter::Note(const std::string& key, const std::string& value) {
  Put(CaptureNoteLine(key, value));
}

void CaptureWriter::Finish() {
  if (file_ == nullptr) return;
  Put(CaptureEndLine(0));
  if (file_ != nullptr && std::fclose(file_) != 0 && failure_.empty()) failure_ = Reason(errno);
  file_ = nullptr;
}

}  // namespace velarin
