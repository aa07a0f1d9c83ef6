#include "diagnostics/fault_report.h"

#include "diagnostics/fault_texts.h"

namespace velarin {

namespace ft = fault_texts;
using Source = FaultLine::Source;

const std::array<FaultLine, kFaultReportLines>& FaultLines() {
  static const std::array<FaultLine, kFaultReportLines> lines = {{
      {Source::kFault1, 0x01, 0x00, ft::kIcvBlocked, {}, ft::kIcvOk},
      {Source::kFault1, 0x02, 0x01, ft::kMaximumRich, ft::kMaximumLean, ft::kEnrichmentOk},
      {Source::kFault1, 0x04, 0x02, ft::kAirTempOpen, ft::kAirTempShort, ft::kAirTempOk},
      {Source::kFault1, 0x08, 0x00, ft::kKnockPinking, {}, ft::kKnockOk},
      {Source::kFault1, 0x10, 0x04, ft::kWaterTempOpen, ft::kWaterTempShort, ft::kWaterTempOk},
      {Source::kFault1, 0x20, 0x00, ft::kLambdaFaulty, {}, ft::kLambdaOk},
      {Source::kFault1, 0x40, 0x80, ft::kMapOpen, ft::kMapShort, ft::kMapOk},
      {Source::kFault1, 0x80, 0x10, ft::kThrottleOpen, ft::kThrottleShort, ft::kThrottleOk},
      {Source::kFault2, 0x01, 0x80, ft::kCamshaftOpen, ft::kCamshaftShort, ft::kCamshaftOk},
      {Source::kFault2, 0x04, 0x00, ft::kEpromFault, {}, ft::kEpromOk},
      {Source::kFault2, 0x08, 0x00, ft::kEepromFault, {}, ft::kEepromOk},
      {Source::kFault2, 0x40, 0x00, ft::kRamFault, {}, ft::kRamOk},
      {Source::kFault2, 0x80, 0x40, ft::kCrankshaftOpen, ft::kCrankshaftShort, ft::kCrankshaftOk},
  }};
  return lines;
}

std::string_view FaultLineText(const FaultLine& line, const FaultBytes& bytes) {
  const uint8_t value = line.source == Source::kFault1 ? bytes.fault1 : bytes.fault2;
  if ((value & line.bit) == 0) return line.ok_text;
  if (line.detail_bit != 0 && (bytes.detail & line.detail_bit) != 0) return line.short_text;
  return line.fault_text;
}

std::array<std::string_view, kFaultReportLines> FaultReport(const FaultBytes& bytes) {
  std::array<std::string_view, kFaultReportLines> texts;
  const auto& lines = FaultLines();
  for (int i = 0; i < kFaultReportLines; ++i) texts[i] = FaultLineText(lines[i], bytes);
  return texts;
}

}  // namespace velarin
