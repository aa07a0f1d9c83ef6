#pragma once
// The capture file: a text file of one row per event (docs/capture-format.md).
// The reader takes any bytes: a truncated, corrupted, foreign or newer file
// gives a message naming the line (and the offset of a byte that is not text),
// never a partial capture.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "capture/capture.h"

namespace velarin {

inline constexpr std::string_view kCaptureMagic = "velarin-capture";
// Most bytes one "<" row holds; the writer splits longer reads.
inline constexpr size_t kCaptureRowBytes = 256;
inline constexpr size_t kCaptureMaxFileBytes = size_t{256} << 20;

// "velarin-capture 1\n".
std::string CaptureHeaderLine();
// "= key value\n"; control characters in either become '?'.
std::string CaptureNoteLine(const std::string& key, const std::string& value);
// One event row, `delta_us` after the previous row; a "<" event must hold at
// most kCaptureRowBytes bytes.
std::string CaptureEventLine(uint64_t delta_us, const CaptureEvent& event);
// The end row, "0 E\n" style.
std::string CaptureEndLine(uint64_t delta_us);

// A capture cut short -- no end row, or a last row without its line end, as a
// crash, a full disk or a pulled cable leaves it -- is refused, or read up to
// its last whole row. Every whole row is as the writer wrote it, so a replay of
// them is sound; only a file that is not a capture up to there is refused.
enum class CutShort { kRefuse, kAccept };

struct CaptureParse {
  std::optional<Capture> capture;  // set when the whole file is good
  std::string error;               // "line 12: ..." otherwise
  std::string warning;             // with CutShort::kAccept: where it was cut short
};

// Reads a whole capture from its bytes (the fuzz targets call this).
CaptureParse ParseCapture(std::string_view bytes, CutShort cut_short = CutShort::kRefuse);
// Reads the file at `path`; errors and warnings read "<path>: line 12: ...".
CaptureParse ReadCaptureFile(const std::string& path, CutShort cut_short = CutShort::kRefuse);

}  // namespace velarin
