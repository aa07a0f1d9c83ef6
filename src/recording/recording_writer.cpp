#include "recording/recording_writer.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "recording/recording_texts.h"

namespace velarin::recording {
namespace {

std::FILE* OpenForWriting(const std::string& path) {
#ifdef _WIN32
  // The path is UTF-8; the narrow fopen would read it in the ANSI code page.
  const std::filesystem::path file(std::u8string(path.begin(), path.end()));
  return _wfopen(file.c_str(), L"wb");
#else
  return std::fopen(path.c_str(), "wb");  // binary: the rows' CRLF stays as it is
#endif
}

void TruncateTo(std::FILE* file, uint64_t size) {
#ifdef _WIN32
  (void)_chsize_s(_fileno(file), static_cast<long long>(size));
#else
  (void)!ftruncate(fileno(file), static_cast<off_t>(size));
#endif
}

std::string RowCount(size_t n) {
  return n == 1 ? std::string(texts::kOneRow) : std::to_string(n) + std::string(texts::kRows);
}

}  // namespace

RecordingWriter::~RecordingWriter() { Close(); }

bool RecordingWriter::Open(const std::string& path, std::string_view header_row) {
  Close();
  path_ = path;
  rows_ = 0;
  written_bytes_ = 0;
  failed_ = false;
  message_.clear();
  errno = 0;
  file_ = OpenForWriting(path);
  if (file_ == nullptr) {
    Fail(errno);
    return false;
  }
  return Write(header_row);
}

bool RecordingWriter::WriteRow(std::string_view row) {
  if (file_ == nullptr) return false;
  if (!Write(row)) return false;
  ++rows_;
  return true;
}

bool RecordingWriter::Write(std::string_view bytes) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() ||
      std::fflush(file_) != 0) {
    Fail(errno);
    return false;
  }
  written_bytes_ += bytes.size();
  return true;
}

void RecordingWriter::Fail(int error) {
  failed_ = true;
  if (file_ != nullptr) {
    // Part of the failed row may have reached the file: cut it off, so that the
    // file ends with the last whole row.
    std::clearerr(file_);
    TruncateTo(file_, written_bytes_);
    std::fclose(file_);
    file_ = nullptr;
  }
  message_ = std::string(texts::kRecordingStopped) + std::string(texts::kCannotWrite) + path_ +
             ": " + (error != 0 ? std::strerror(error) : "unknown error");
  if (rows_ > 0) message_ += "; " + RowCount(rows_) + std::string(texts::kKept);
}

size_t RecordingWriter::Close() {
  if (file_ == nullptr) return rows_;
  errno = 0;
  if (std::fclose(file_) != 0) {
    file_ = nullptr;
    Fail(errno);
    return rows_;
  }
  file_ = nullptr;
  message_ = rows_ == 0 ? std::string(texts::kNoRowWritten) + path_
                        : RowCount(rows_) + std::string(texts::kWrittenTo) + path_;
  return rows_;
}

}  // namespace velarin::recording
