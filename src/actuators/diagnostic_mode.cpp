#include "actuators/diagnostic_mode.h"

#include <string>

#include "actuators/actuator_protocol.h"
#include "actuators/actuator_texts.h"
#include "link/exchange.h"
#include "link/kline_codes.h"

namespace velarin {

namespace ap = actuator_protocol;
namespace at = actuator_texts;

bool DiagnosticEntryConfirmed(const std::vector<uint8_t>& answer) {
  return answer.size() == 2 && answer[0] == kline::kEnterDiagnostic &&
         (answer[1] == kline::kEnteredFF || answer[1] == kline::kEnteredAA);
}

bool EnterDiagnosticMode(App& app) {
  LinkPort& port = app.form2.MSComm1;
  Clock& clock = app.clock();
  clock.Sleep(ap::kEntryPauseMs);
  std::vector<uint8_t> answer;
  if (port.PortOpen()) {
    clock.Sleep(ap::kEntrySettleMs);
    FlushInput(port);
    SendByte(port, kline::kEnterDiagnostic);
    clock.Sleep(ap::kEntryAfterSendMs);
    if (WaitForInput(port, clock, 2, ap::kEntryTimeoutMs, kPollEntry)) answer = ReadInput(port);
  }
  if (DiagnosticEntryConfirmed(answer)) {
    AppendLog(app.form1.Rtb1, at::kEnterDiagnosticOk);
    return true;
  }
  clock.Sleep(ap::kEntryFailedPauseMs);
  app.services->MessageBox(std::string(at::kDiagnosticFailed));
  return false;
}

bool ExitDiagnosticMode(App& app) {
  LinkPort& port = app.form2.MSComm1;
  Clock& clock = app.clock();
  if (!port.PortOpen()) return false;
  clock.Sleep(ap::kExitSettleMs);
  FlushInput(port);
  SendByte(port, kline::kLeave);
  if (!WaitForInput(port, clock, 2, ap::kExitTimeoutMs, kPollExit)) return false;
  const std::vector<uint8_t> answer = ReadInput(port);
  const bool left = answer.size() == 2 && answer[0] == kline::kLeave && answer[1] == kline::kLeft;
  if (left) AppendLog(app.form1.Rtb1, at::kExitDiagnosticOk);
  return left;
}

}  // namespace velarin
