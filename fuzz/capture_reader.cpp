// The capture file reader over any bytes, refusing or accepting a capture cut
// short: a capture or one error line naming the line at fault, never both; a
// warning only with a capture; a capture read is in time order, and written out
// again with the writer's rows it reads back the same.
//
// Input: the file's bytes.

#include <cstdint>
#include <string>
#include <string_view>

#include "capture/capture.h"
#include "capture/capture_format.h"
#include "support/fuzz_check.h"

namespace {

using velarin::Capture;
using velarin::CaptureEvent;
using velarin::CaptureEventKind;
using velarin::fuzz::Printable;

std::string Written(const Capture& c) {
  std::string text = velarin::CaptureHeaderLine();
  for (const auto& [key, value] : c.notes) text += velarin::CaptureNoteLine(key, value);
  uint64_t last = 0;
  for (const CaptureEvent& e : c.events) {
    text += velarin::CaptureEventLine(e.at_us - last, e);
    last = e.at_us;
  }
  return text + velarin::CaptureEndLine(0);
}

bool SameEvent(const CaptureEvent& a, const CaptureEvent& b) {
  return a.at_us == b.at_us && a.kind == b.kind && a.bytes == b.bytes && a.asked == b.asked &&
         a.rate == b.rate && a.text == b.text;
}

// One parse's shape, its time order, and the same capture when written out again.
void CheckParse(const velarin::CaptureParse& parse) {
  FUZZ_CHECK(parse.capture.has_value() != !parse.error.empty(),
             "a capture and an error, or neither: \"" + Printable(parse.error) + "\"");
  FUZZ_CHECK(parse.warning.empty() || parse.capture.has_value(), "a warning without a capture");
  FUZZ_CHECK((parse.error + parse.warning).find_first_of("\r\n") == std::string::npos,
             "a message of more than one line: \"" + Printable(parse.error + parse.warning) + "\"");
  if (!parse.capture) {
    FUZZ_CHECK(parse.error.rfind("line ", 0) == 0 || parse.error == "the file is empty",
               "error without its line: \"" + Printable(parse.error) + "\"");
    return;
  }
  const Capture& capture = *parse.capture;
  for (size_t i = 0; i < capture.events.size(); ++i) {
    const CaptureEvent& e = capture.events[i];
    FUZZ_CHECK(i == 0 || capture.events[i - 1].at_us <= e.at_us, "events out of time order");
    if (e.kind == CaptureEventKind::kSent) FUZZ_CHECK(e.bytes.size() == 1, "a write of bytes");
    if (e.kind == CaptureEventKind::kReceived) {
      FUZZ_CHECK(!e.bytes.empty() && e.bytes.size() <= velarin::kCaptureRowBytes,
                 "a received row of " + std::to_string(e.bytes.size()) + " bytes");
    }
  }

  const std::string again = Written(capture);
  const velarin::CaptureParse reread = velarin::ParseCapture(again);
  FUZZ_CHECK(reread.capture.has_value(),
             "written out again it does not read: " + Printable(reread.error));
  const Capture& second = *reread.capture;
  FUZZ_CHECK(second.version == capture.version && second.notes == capture.notes &&
                 second.events.size() == capture.events.size(),
             "written out again it reads differently: \"" + Printable(again) + "\"");
  for (size_t i = 0; i < capture.events.size(); ++i) {
    FUZZ_CHECK(SameEvent(second.events[i], capture.events[i]),
               "event " + std::to_string(i) + " changed when written out again");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const velarin::CaptureParse whole = velarin::ParseCapture(bytes);
  const velarin::CaptureParse cut = velarin::ParseCapture(bytes, velarin::CutShort::kAccept);
  CheckParse(whole);
  CheckParse(cut);
  FUZZ_CHECK(whole.warning.empty(), "a warning where a capture cut short is refused");
  // Accepting a capture cut short changes nothing about a whole one.
  if (whole.capture) {
    FUZZ_CHECK(cut.capture && cut.warning.empty() &&
                   cut.capture->events.size() == whole.capture->events.size(),
               "a whole capture reads differently when a cut one is accepted");
  }
  return 0;
}
