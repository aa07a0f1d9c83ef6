#include "diagnostics/fault_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diagnostics/read_fault_status.h"

namespace velarin {
namespace {

// The texts are spelled out here, not taken from the program, so a changed
// blank or letter in the program shows up.
const std::vector<std::string> kAllOk = {
    "Icv OK",
    "Enrichment OK ",
    "Air temp sensor OK ",
    "Knock OK ",
    "Water temp sensor OK ",
    "Lambda sensor OK    ",
    "Map sensor OK ",
    "Throttle sensor OK ",
    "OK",
    "Eprom OK ",
    "OK",
    "OK  ",
    "Crankshaft sensor OK",
};

std::vector<std::string> Report(uint8_t fault1, uint8_t fault2, uint8_t detail) {
  std::vector<std::string> out;
  for (std::string_view line : FaultReport({fault1, fault2, detail})) out.emplace_back(line);
  return out;
}

// The report with line `index` (0-based) replaced by `text`.
std::vector<std::string> OkExcept(std::vector<std::pair<int, std::string>> changes) {
  std::vector<std::string> out = kAllOk;
  for (auto& [index, text] : changes) out[index] = text;
  return out;
}

TEST(FaultReport, AllZeroGivesEveryOkText) { EXPECT_EQ(Report(0, 0, 0), kAllOk); }

// One fault bit at a time: its line shows the open-circuit (or fault) text with
// no detail, and the short-circuit text with its detail bit; no other line moves.
TEST(FaultReport, EachBitSelectsItsOwnLine) {
  struct Case {
    int line;
    bool second_byte;
    uint8_t bit;
    std::string fault_text;
    uint8_t detail_bit;  // 0: two-way line
    std::string short_text;
  } cases[] = {
      {0, false, 0x01, "Icv Blocked", 0, ""},
      {1, false, 0x02, "Maximum rich", 0x01, "Maximum lean"},
      {2, false, 0x04, "Air temp sensor open circuit ", 0x02, " Air temp sensor Short circuit"},
      {3, false, 0x08, "Knock Pinking", 0, ""},
      {4, false, 0x10, "water temp sensor Open circuit ", 0x04, "Water temp sensor Short circuit"},
      {5, false, 0x20, "Lambda sensor Faulty", 0, ""},
      {6, false, 0x40, "Map sensor Open circuit ", 0x80, "Map sensor Short circuit"},
      {7, false, 0x80, "Throttle sensor Open circuit ", 0x10, "Throttle sensor Short circuit"},
      {8, true, 0x01, "Camshaft sensor Open circuit ", 0x80, "Camshaft sensor Short circuit"},
      {9, true, 0x04, "Eprom Fault", 0, ""},
      {10, true, 0x08, "EEprom Fault", 0, ""},
      {11, true, 0x40, "Ram Fault", 0, ""},
      {12, true, 0x80, "Crankshat sensor Open circuit ", 0x40, "Crankshaft sensor Short circuit"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("line " + std::to_string(c.line + 1));
    const uint8_t f1 = c.second_byte ? 0 : c.bit;
    const uint8_t f2 = c.second_byte ? c.bit : 0;
    EXPECT_EQ(Report(f1, f2, 0), OkExcept({{c.line, c.fault_text}}));
    if (c.detail_bit != 0) {
      EXPECT_EQ(Report(f1, f2, c.detail_bit)[c.line], c.short_text);
      // A detail bit of another line does not turn this one into a short circuit.
      EXPECT_EQ(Report(f1, f2, static_cast<uint8_t>(~c.detail_bit))[c.line], c.fault_text);
    }
  }
}

TEST(FaultReport, UnusedBitsOfTheSecondByteReportNothing) {
  EXPECT_EQ(Report(0, 0x02 | 0x10 | 0x20, 0), kAllOk);
}

TEST(FaultReport, DetailAloneReportsNoFault) { EXPECT_EQ(Report(0, 0, 0xFF), kAllOk); }

TEST(FaultReport, TwoFaultsInOneByteAreBothReported) {
  EXPECT_EQ(Report(0x03, 0, 0), OkExcept({{0, "Icv Blocked"}, {1, "Maximum rich"}}));
  EXPECT_EQ(Report(0x03, 0, 0x01), OkExcept({{0, "Icv Blocked"}, {1, "Maximum lean"}}));
  EXPECT_EQ(Report(0, 0x0C, 0), OkExcept({{9, "Eprom Fault"}, {10, "EEprom Fault"}}));
}

TEST(FaultReport, SharedDetailBitServesMapAndCamshaft) {
  EXPECT_EQ(Report(0, 0x01, 0x80), OkExcept({{8, "Camshaft sensor Short circuit"}}));
  EXPECT_EQ(Report(0x40, 0x01, 0x80),
            OkExcept({{6, "Map sensor Short circuit"}, {8, "Camshaft sensor Short circuit"}}));
}

TEST(FaultReport, EveryBitSet) {
  const std::vector<std::string> expected = {
      "Icv Blocked",
      "Maximum lean",
      " Air temp sensor Short circuit",
      "Knock Pinking",
      "Water temp sensor Short circuit",
      "Lambda sensor Faulty",
      "Map sensor Short circuit",
      "Throttle sensor Short circuit",
      "Camshaft sensor Short circuit",
      "Eprom Fault",
      "EEprom Fault",
      "Ram Fault",
      "Crankshaft sensor Short circuit",
  };
  EXPECT_EQ(Report(0xFF, 0xFF, 0xFF), expected);
}

TEST(FaultAnswerValue, TakesTheByteAfterTheEcho) {
  struct Case {
    uint8_t request;
    std::vector<uint8_t> answer;
    uint8_t value;
  } cases[] = {
      {0x0F, {0x0F, 0x05}, 0x05},
      {0x10, {0x10, 0x00}, 0x00},
      {0x11, {0x11, 0xFF, 0x42}, 0xFF},  // extra bytes dropped
      {0x0F, {0x0E, 0x05}, 0},           // not the echo
      {0x0F, {0x05, 0x0F}, 0},           // no echo: the answer is taken as the echo
      {0x0F, {0x0F}, 0},                 // nothing after the echo
      {0x0F, {}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FaultAnswerValue(c.request, c.answer), c.value)
        << "request " << int(c.request) << " answer size " << c.answer.size();
  }
}

}  // namespace
}  // namespace velarin
