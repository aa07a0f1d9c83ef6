#include "actuators/diagnostic_mode.h"

#include <string>

#include "actuators/actuator_protocol.h"
#include "actuators/actuator_texts.h"
#include "link/exchange.h"
#include "protocol/kline_codes.h"

namespace velarin {

namespace ap = actuator_protocol;
namespace at = actuator_texts;

bool DiagnosticEntryConfirmed(const std::vector<uint8_t>& answer) {
  return answer.size() == 2 && answer[0] == kline::kEnterDiagnostic &&
         (answer[1] == kline::kEnteredFF || answer[1] == kline::kEnteredAA);
}

bool EnterDiagnosticMode(LinkPort& port, Clock& clock, TraceLog& log, Services& window) {
  clock.Sleep(ap::kEntryPauseMs);
  std::vector<uint8_t> answer;
  if (port.PortOpen()) {
    clock.Sleep(ap::kEntrySettleMs);
    FlushInput(port);
    SendByte(port, kline::kEnterDiagnostic);
    clock.Sleep(ap::kEntryAfterSendMs);
    if (WaitForInput(port, clock, kEchoAndAnswer, ap::kEntryTimeoutMs, kPollEntry))
      answer = ReadInput(port);
  }
  if (DiagnosticEntryConfirmed(answer)) {
    AppendLog(log, at::kEnterDiagnosticOk);
    return true;
  }
  clock.Sleep(ap::kEntryFailedPauseMs);
  window.MessageBox(std::string(at::kDiagnosticFailed));
  return false;
}

bool ExitDiagnosticMode(LinkPort& port, Clock& clock, TraceLog& log) {
  if (!port.PortOpen()) return false;
  clock.Sleep(kSettleBeforeFlushMs);
  FlushInput(port);
  SendByte(port, kline::kLeave);
  if (!WaitForInput(port, clock, kEchoAndAnswer, ap::kExitTimeoutMs, kPollExit)) return false;
  const std::vector<uint8_t> answer = ReadInput(port);
  const bool left = answer.size() == 2 && answer[0] == kline::kLeave && answer[1] == kline::kLeft;
  if (left) AppendLog(log, at::kExitDiagnosticOk);
  return left;
}

}  // namespace velarin
