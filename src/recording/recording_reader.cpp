#include "recording/recording_reader.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <utility>
#include <vector>

#include "recording/recording_texts.h"

namespace velarin::recording {
namespace {

constexpr size_t kChunkBytes = 64 * 1024;
constexpr size_t kSniffBytes = 4096;  // the start that must look like text
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Control bytes that no text file of ours holds (tab, CR, LF and escape are fine).
bool LooksBinary(std::string_view start) {
  for (unsigned char c : start) {
    if (c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != 0x1B) return true;
  }
  return false;
}

// Splits RFC 4180 records out of a byte stream fed chunk by chunk.
class RecordSplitter {
 public:
  // Called with each record's fields; `good` is false for a record that broke
  // the quoting rules or outgrew kMaxLineBytes (its fields are then unusable).
  template <typename OnRecord>
  void Feed(std::string_view bytes, OnRecord&& on_record) {
    for (char c : bytes) {
      if (skipping_) {
        if (c == '\n') {
          skipping_ = false;
          Reset();
        }
        continue;
      }
      if (++record_bytes_ > kMaxLineBytes) {
        // Too long to be ours: give up on it and find the next line end, quotes or not.
        on_record(fields_, false);
        skipping_ = true;
        continue;
      }
      if (in_quotes_) {
        if (c == '"') {
          in_quotes_ = false;
          after_quote_ = true;
        } else {
          field_ += c;
        }
        continue;
      }
      if (after_quote_ && c == '"') {  // "" inside quotes: one quote
        field_ += c;
        in_quotes_ = true;
        after_quote_ = false;
        continue;
      }
      switch (c) {
        case ',':
          EndField();
          break;
        case '\r':
          cr_ = true;
          break;
        case '\n':
          EndRecord(on_record);
          break;
        case '"':
          if (field_.empty() && !quoted_) {
            in_quotes_ = true;
            quoted_ = true;
          } else {
            bad_ = true;  // a quote inside an unquoted field
          }
          break;
        default:
          // Nothing may follow a closing quote but a comma or the line end.
          if (after_quote_ || cr_) bad_ = true;
          field_ += c;
      }
      if (c != '\r' && c != '"') after_quote_ = false;
      if (c != '\r') cr_ = false;
    }
  }

  // The last record when the file does not end with a line end.
  template <typename OnRecord>
  void Finish(OnRecord&& on_record) {
    if (skipping_) return;
    if (in_quotes_) bad_ = true;
    if (record_bytes_ > 0) EndRecord(on_record);
  }

 private:
  void EndField() {
    fields_.push_back(std::move(field_));
    field_.clear();
    quoted_ = false;
    after_quote_ = false;
  }
  template <typename OnRecord>
  void EndRecord(OnRecord&& on_record) {
    const bool blank = fields_.empty() && field_.empty() && !quoted_;
    EndField();
    if (!blank) on_record(fields_, !bad_);
    Reset();
  }
  void Reset() {
    fields_.clear();
    field_.clear();
    record_bytes_ = 0;
    in_quotes_ = quoted_ = after_quote_ = cr_ = bad_ = false;
  }

  std::vector<std::string> fields_;
  std::string field_;
  size_t record_bytes_ = 0;
  bool in_quotes_ = false;    // inside a quoted field
  bool quoted_ = false;       // the current field began with a quote
  bool after_quote_ = false;  // just past a quote that may close the field
  bool cr_ = false;           // just past a CR
  bool bad_ = false;
  bool skipping_ = false;
};

bool IsHeader(const std::vector<std::string>& fields) {
  std::string joined;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) joined += ',';
    joined += fields[i];
  }
  return joined == kCsvHeader;
}

bool ParseRow(const std::vector<std::string>& fields, Sample* s) {
  if (fields.size() != 1 + kValueColumns) return false;
  const std::string& t = fields[0];
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), s->t_ms);
  if (ec != std::errc() || end != t.data() + t.size() || s->t_ms < 0 || s->t_ms > kMaxTimeMs) {
    return false;
  }
  for (size_t i = 0; i < kValueColumns; ++i) {
    if (!ParseReadout(fields[i + 1], &s->values[i])) return false;
  }
  return true;
}

std::string Count(size_t n, std::string_view one, std::string_view many) {
  return n == 1 ? std::string(one) : std::to_string(n) + std::string(many);
}

RecordingRead Refuse(std::string_view why) {
  RecordingRead r;
  r.message = std::string(texts::kNotARecording) + std::string(why);
  return r;
}

}  // namespace

RecordingRead ReadRecording(std::istream& in, LiveSeries& out) {
  std::string chunk(kChunkBytes, '\0');
  in.read(chunk.data(), static_cast<std::streamsize>(kSniffBytes));
  chunk.resize(static_cast<size_t>(in.gcount()));
  if (chunk.empty()) return Refuse(texts::kEmptyFile);
  std::string_view first(chunk);
  if (first.substr(0, kUtf8Bom.size()) == kUtf8Bom) first.remove_prefix(kUtf8Bom.size());
  if (LooksBinary(first)) return Refuse(texts::kBinaryFile);

  RecordingRead r;
  bool header_seen = false, refused = false;
  LiveSeries rows(std::numeric_limits<int64_t>::max(), kMaxRows);
  Sample sample;
  RecordSplitter splitter;
  auto on_record = [&](const std::vector<std::string>& fields, bool good) {
    if (refused || r.truncated) return;
    if (!header_seen) {
      header_seen = true;
      refused = !good || !IsHeader(fields);
      return;
    }
    if (!good || !ParseRow(fields, &sample)) {
      ++r.skipped;
    } else if (rows.size() == kMaxRows) {
      r.truncated = true;  // a row beyond the limit: reading stops here
    } else if (!rows.Append(sample)) {
      ++r.skipped;
    }
  };
  splitter.Feed(first, on_record);
  while (!refused && !r.truncated && in) {
    chunk.resize(kChunkBytes);
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    chunk.resize(static_cast<size_t>(in.gcount()));
    splitter.Feed(chunk, on_record);
  }
  if (!refused && !r.truncated) splitter.Finish(on_record);
  if (!header_seen || refused) {
    return Refuse(std::string(texts::kWrongHeader) + std::string(kCsvHeader));
  }
  r.ok = true;
  r.rows = rows.size();
  out = std::move(rows);
  r.message =
      r.rows == 0 ? std::string(texts::kNoRows) : Count(r.rows, texts::kOneRow, texts::kRows);
  if (r.skipped > 0) r.message += "; " + Count(r.skipped, texts::kOneSkipped, texts::kSkipped);
  if (r.truncated) {
    r.message += "; " + std::string(texts::kOnlyFirst) + std::to_string(kMaxRows) +
                 std::string(texts::kRows) + std::string(texts::kShown);
  }
  if (in.bad()) r.message += "; " + std::string(texts::kReadFailed) + std::strerror(errno);
  return r;
}

RecordingRead ReadRecordingFile(const std::string& path, LiveSeries& out) {
  const std::filesystem::path file(std::u8string(path.begin(), path.end()));
  std::error_code ec;
  errno = std::filesystem::is_directory(file, ec) ? EISDIR : 0;
  std::ifstream in;
  if (errno == 0) in.open(file, std::ios::binary);
  if (!in.is_open()) {
    RecordingRead r;
    r.message = std::string(texts::kCannotOpen) + path + ": " +
                (errno != 0 ? std::strerror(errno) : "unknown error");
    return r;
  }
  return ReadRecording(in, out);
}

}  // namespace velarin::recording
