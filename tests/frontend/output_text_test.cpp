#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/csv.h"
#include "frontend/line_text.h"

namespace velarin::frontend {
namespace {

using Lines = std::vector<std::string>;

TEST(CsvField, QuotesOnlyWhereRfc4180NeedsIt) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"3750", "3750"},
      {"12.5", "12.5"},
      {"12,5", "\"12,5\""},  // a readout in a locale with a decimal comma
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"a\r\nb", "\"a\r\nb\""},
      {"line\n", "\"line\n\""},
      {"cr\r", "\"cr\r\""},
      {" padded ", " padded "},  // blanks are data, not a reason to quote
      {"°", "°"},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.in), c.out) << c.in;
}

TEST(CsvRow, JoinsWithCommasAndEndsInCrLf) {
  EXPECT_EQ(CsvRow({"0", "3750", "", "1,5"}), "0,3750,,\"1,5\"\r\n");
  EXPECT_EQ(CsvRow({}), "\r\n");
  EXPECT_EQ(CsvRow({""}), "\r\n");
}

TEST(PrintableLine, ShowsWhatWouldBreakALine) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"ecu data    : ", "ecu data    : "},
      {std::string("AB\0C", 4), "AB\\0C"},
      {std::string("\0", 1), "\\0"},
      {"a\rb\nc", "a\\rb\\nc"},
      {"\x01\x1F\x7F", "\\x01\\x1F\\x7F"},
      {"tab\there", "tab\there"},
      // Bytes are Windows-1252 characters, written as UTF-8: the pair C3 A9 is two of them.
      {"\xE9t\xE9", "été"},
      {"\xC3\xA9", "Ã©"},
      {"\x80\x96\x9F\xA0\xFF", "€–Ÿ\u00A0ÿ"},
      {"\x81\x8D\x8F\x90\x9D", "\\x81\\x8D\\x8F\\x90\\x9D"},  // no character: C1 controls
  };
  for (const auto& c : cases) EXPECT_EQ(PrintableLine(c.in), c.out);
}

TEST(LineTracker, HandsOutEachCompleteLineOnce) {
  LineTracker t;
  std::string text;
  EXPECT_EQ(t.NewLines(text), Lines{});
  text += "1200bds\r\n";
  EXPECT_EQ(t.NewLines(text), Lines{"1200bds"});
  EXPECT_EQ(t.NewLines(text), Lines{});
  text += "a\r\n\r\nb\r\n";
  EXPECT_EQ(t.NewLines(text), (Lines{"a", "", "b"}));
}

TEST(LineTracker, AnUnfinishedLineWaitsForItsEnd) {
  LineTracker t;
  std::string text = "Iso Code    : 55";
  EXPECT_EQ(t.NewLines(text), Lines{});
  text += "01\r";  // the CR alone does not end it
  EXPECT_EQ(t.NewLines(text), Lines{});
  text += "\nnext";
  EXPECT_EQ(t.NewLines(text), Lines{"Iso Code    : 5501"});
  EXPECT_EQ(t.Rest(text), Lines{"next"});
  EXPECT_EQ(t.Rest(text), Lines{});
}

TEST(LineTracker, StartsOverWhenTheTextIsEmptiedOrReplaced) {
  LineTracker t;
  EXPECT_EQ(t.NewLines("Iso Code    : 1\r\necu data    : X\r\n").size(), 2u);
  // Disconnect empties the "ECU Info" box; the next connection fills it again.
  EXPECT_EQ(t.NewLines(""), Lines{});
  EXPECT_EQ(t.NewLines("Iso Code    : 1\r\n"), Lines{"Iso Code    : 1"});
  // Replaced by a longer, different text between two looks.
  EXPECT_EQ(t.NewLines("other text line one\r\nline two\r\n"),
            (Lines{"other text line one", "line two"}));
}

TEST(LineTracker, KeepsNulBytesInsideLines) {
  LineTracker t;
  const std::string text("ecu data    : VL\0R\r\n", 20);
  const Lines lines = t.NewLines(text);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], std::string("ecu data    : VL\0R", 18));
}

}  // namespace
}  // namespace velarin::frontend
