#pragma once
// Decoding the ECU's fault and status bytes into the thirteen report lines.
// Each line tests its own bit with a mask, so a byte carrying several faults
// reports every one of them.

#include <array>
#include <cstdint>
#include <string_view>

namespace velarin {

inline constexpr int kFaultReportLines = 13;

// The three bytes the ECU answers to 0x0F, 0x10 and 0x11 (0 when unanswered).
struct FaultBytes {
  uint8_t fault1 = 0;
  uint8_t fault2 = 0;
  uint8_t detail = 0;  // open-circuit / short-circuit detail
};

// One report line: the fault bit it tests and, for the three-way lines, the
// detail bit that turns an open circuit into a short circuit.
struct FaultLine {
  enum class Source { kFault1, kFault2 };
  Source source;
  uint8_t bit;
  uint8_t detail_bit;  // 0: a two-way line
  std::string_view fault_text;
  std::string_view short_text;  // used only when detail_bit != 0
  std::string_view ok_text;
};

// The lines in report order, least significant bit first within each byte.
const std::array<FaultLine, kFaultReportLines>& FaultLines();

// The text one line shows for the given bytes.
std::string_view FaultLineText(const FaultLine& line, const FaultBytes& bytes);

// All thirteen texts in report order.
std::array<std::string_view, kFaultReportLines> FaultReport(const FaultBytes& bytes);

}  // namespace velarin
