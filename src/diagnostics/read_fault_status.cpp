#include "diagnostics/read_fault_status.h"

#include "connection/restart_polling.h"
#include "forms/timer_on.h"
#include "link/exchange.h"

namespace velarin {
namespace {

// Runs the three requests; nullopt when one of them times out.
std::optional<FaultBytes> AskFaultBytes(LinkPort& port, Clock& clock) {
  std::array<uint8_t, kFaultRequests.size()> values{};
  for (size_t i = 0; i < kFaultRequests.size(); ++i) {
    FlushInput(port);
    SendByte(port, kFaultRequests[i]);
    if (!WaitForInput(port, clock, kEchoAndAnswer, kFaultAnswerTimeoutMs, kPoll3))
      return std::nullopt;
    values[i] = FaultAnswerValue(kFaultRequests[i], ReadInput(port));
    clock.Sleep(kFaultSettleMs);
  }
  return FaultBytes{values[0], values[1], values[2]};
}

}  // namespace

uint8_t FaultAnswerValue(uint8_t request, const std::vector<uint8_t>& answer) {
  // The adapter echoes the request first; anything after the first answer byte is dropped.
  if (answer.size() < 2 || answer[0] != request) return 0;
  return answer[1];
}

void ReadFaultStatus(Form2& f, ProtocolState& p, Clock& clock) {
  TimerOn(p.Timer1, clock, 0);
  if (std::optional<FaultBytes> bytes = AskFaultBytes(p.MSComm1, clock)) {
    for (std::string_view line : FaultReport(*bytes)) AppendLog(f.Rtb1, line);
  }
  RestartPolling(f, p, clock, kPollingAfterFaultReadMs);
}

}  // namespace velarin
