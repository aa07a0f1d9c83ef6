// The capture file: what the writer writes, the reader reads back, and every
// kind of bad file gets a message naming its line (and offset) instead.

#include "capture/capture_format.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "capture/capture_writer.h"

namespace velarin {
namespace {

CaptureEvent Event(uint64_t at_us, CaptureEventKind kind, std::vector<uint8_t> bytes = {},
                   int32_t asked = 0, std::optional<int32_t> rate = std::nullopt,
                   std::string text = "") {
  CaptureEvent e;
  e.at_us = at_us;
  e.kind = kind;
  e.bytes = std::move(bytes);
  e.asked = asked;
  e.rate = rate;
  e.text = std::move(text);
  return e;
}

TEST(CaptureFormat, WhatIsWrittenReadsBackEventForEvent) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("velarin-format-" + std::to_string(getpid()) + ".vcap"))
                               .string();
  std::vector<uint8_t> long_read(300);
  for (size_t i = 0; i < long_read.size(); ++i) long_read[i] = static_cast<uint8_t>(i);
  using K = CaptureEventKind;
  const std::vector<CaptureEvent> events = {
      Event(5, K::kOpen, {}, 0, 1200, "/dev/serial/by-id/usb adapter"),
      Event(363'017, K::kReceived, {0x55, 0x01, 0x8A}),
      Event(981'000, K::kSent, {0x0F}),
      Event(1'201'000, K::kRate, {}, 7812, 9600),
      Event(1'201'500, K::kRate, {}, 7812, std::nullopt),
      Event(1'202'000, K::kRefused, {}, 7812),
      Event(1'203'000, K::kReceived, long_read),
      Event(1'204'000, K::kGone, {}, 0, std::nullopt, "/dev/ttyUSB0: the device went away"),
      Event(2'000'000, K::kOpen, {}, 0, std::nullopt, "/dev/ttyUSB0"),
      Event(2'000'001, K::kClose),
  };
  {
    std::string error;
    auto writer =
        CaptureWriter::Create(path, {{"family", "15Rc"}, {"program", "velarin 0.1"}}, &error);
    ASSERT_TRUE(writer) << error;
    for (const CaptureEvent& e : events) writer->Write(e);
    writer->Note("info", "Iso Code    : 55018A");
  }
  const CaptureParse parse = ReadCaptureFile(path);
  std::filesystem::remove(path);
  ASSERT_TRUE(parse.capture) << parse.error;
  const Capture& c = *parse.capture;
  EXPECT_EQ(c.notes,
            (CaptureNotes{
                {"family", "15Rc"}, {"program", "velarin 0.1"}, {"info", "Iso Code    : 55018A"}}));
  // The long read comes back as two rows of one moment.
  ASSERT_EQ(c.events.size(), events.size() + 1);
  std::vector<CaptureEvent> merged = c.events;
  merged[6].bytes.insert(merged[6].bytes.end(), merged[7].bytes.begin(), merged[7].bytes.end());
  EXPECT_EQ(merged[7].at_us, merged[6].at_us);
  merged.erase(merged.begin() + 7);
  for (size_t i = 0; i < events.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(merged[i].at_us, events[i].at_us);
    EXPECT_EQ(merged[i].kind, events[i].kind);
    EXPECT_EQ(merged[i].bytes, events[i].bytes);
    EXPECT_EQ(merged[i].asked, events[i].asked);
    EXPECT_EQ(merged[i].rate, events[i].rate);
    EXPECT_EQ(merged[i].text, events[i].text);
  }
}

struct BadFile {
  const char* name;
  std::string bytes;
  std::string error;
};

class CaptureBadFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(CaptureBadFile, IsRefusedWithItsLineNamed) {
  const CaptureParse parse = ParseCapture(GetParam().bytes);
  EXPECT_FALSE(parse.capture.has_value());
  EXPECT_EQ(parse.error, GetParam().error);
}

std::string Repeat(const std::string& row, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += row;
  return out;
}

const std::string kHead = "velarin-capture 1\n0 O 1200 /dev/ttyUSB0\n";

INSTANTIATE_TEST_SUITE_P(
    Files, CaptureBadFile,
    ::testing::Values(
        BadFile{"Empty", "", "the file is empty"},
        BadFile{"Foreign", "\x89PNG\r\n\x1a\n\0\0",
                "line 1: not a velarin capture (the first line is not \"velarin-capture "
                "<version>\")"},
        BadFile{"Newer", "velarin-capture 2\n0 O 1200 x\n0 E\n",
                "line 1: the capture has format version 2, newer than this program reads "
                "(version 1): use a newer velarin"},
        BadFile{"BadVersion", "velarin-capture one\n",
                "line 1: the format version is not a number: \"one\""},
        BadFile{"TruncatedRow", kHead + "8000 > 0",
                "line 3: the file ends in the middle of this row: the capture is truncated"},
        BadFile{"NoEndRow", kHead + "8000 > 0F\n",
                "line 4: the capture ends without its end row \"E\": it is truncated"},
        BadFile{"Binary", kHead + std::string("12 < 0F\0\x01\x02\n", 11),
                "line 3: byte 0x00 at offset 0x2F is not text: the file is corrupted or not a "
                "capture"},
        BadFile{"BadHex", kHead + "3000 < 0G\n0 E\n",
                "line 3: \"<\" takes 1 to 256 bytes as pairs of hex digits"},
        BadFile{"TwoBytesSent", kHead + "3000 > 0F10\n0 E\n",
                "line 3: \">\" takes one byte as two hex digits"},
        BadFile{"NoDelta", kHead + "> 0F\n0 E\n",
                "line 3: a row starts with the microseconds since the previous row, then one "
                "blank"},
        BadFile{"UnknownCode", kHead + "0 Q\n0 E\n", "line 3: unknown row code: \"Q\""},
        BadFile{"BadRate", kHead + "0 B 7812 fast\n0 E\n",
                "line 3: \"B\" takes the rate asked and the rate reported (a number, \"?\" or "
                "\"refused\")"},
        BadFile{"ClosedPort", "velarin-capture 1\n0 > 0F\n0 E\n",
                "line 2: a row of an open port while the port is closed"},
        BadFile{"AfterEnd", kHead + "0 E\n0 C\n", "line 4: a row after the end row \"E\""},
        BadFile{"EmptyLine", kHead + "\n0 E\n", "line 3: empty line"},
        BadFile{"TimeOverflow", kHead + Repeat("999999999999 B 1200 1200\n", 1001),
                "line 1003: the time runs past any session"},
        BadFile{"LongLine", kHead + "# " + std::string(5000, 'x') + "\n0 E\n",
                "line 3: the line is longer than any row can be"}),
    [](const auto& info) { return std::string(info.param.name); });

// Read as cut short, a capture without its end row keeps its whole rows; one
// bad within them is still refused.
TEST(CaptureFormat, ACaptureCutShortKeepsItsWholeRowsWhenAsked) {
  const struct {
    std::string bytes;
    size_t events;  // -1: refused
    std::string says;
  } cases[] = {
      {kHead + "8000 > 0F\n", 2, "line 4: the capture ends without its end row"},
      {kHead + "8000 > 0F\n4000 < 0F", 2, "line 4: the file ends in the middle of this row"},
      {kHead + "8000 > 0G\n", size_t(-1), "line 3: \">\" takes one byte"},
      {"velarin-capture 1", size_t(-1), "line 1: the file ends in the middle"},
  };
  for (const auto& c : cases) {
    const CaptureParse parse = ParseCapture(c.bytes, CutShort::kAccept);
    const std::string& said = parse.capture ? parse.warning : parse.error;
    EXPECT_EQ(said.rfind(c.says, 0), 0u) << said;
    EXPECT_EQ(parse.capture ? parse.capture->events.size() : size_t(-1), c.events) << said;
    EXPECT_EQ(said.ends_with("; the rows before it are replayed"), parse.capture.has_value());
  }
}

TEST(CaptureFormat, AMissingFileIsNamedWithTheOsReason) {
  const CaptureParse parse = ReadCaptureFile("/nonexistent/x.vcap");
  EXPECT_FALSE(parse.capture.has_value());
  EXPECT_EQ(parse.error, "/nonexistent/x.vcap: cannot read the capture: No such file or directory");
}

}  // namespace
}  // namespace velarin
