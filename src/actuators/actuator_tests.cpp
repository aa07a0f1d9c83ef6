#include "actuators/actuator_tests.h"

#include <string>
#include <vector>

#include "actuators/actuator_protocol.h"
#include "actuators/actuator_texts.h"
#include "actuators/test_table.h"
#include "actuators/typed_byte.h"
#include "actuators/window_yield.h"
#include "forms/ecu_family.h"
#include "link/exchange.h"
#include "protocol/kline_codes.h"

namespace velarin {

namespace ap = actuator_protocol;
namespace at = actuator_texts;

namespace {

// Counts the waits in progress for as long as one runs.
class ResultWaitScope {
 public:
  explicit ResultWaitScope(Form1& form) : form_(form) { ++form_.result_waits; }
  ~ResultWaitScope() { --form_.result_waits; }
  ResultWaitScope(const ResultWaitScope&) = delete;
  ResultWaitScope& operator=(const ResultWaitScope&) = delete;

 private:
  Form1& form_;
};

int BytesWaiting(LinkPort& port) { return port.PortOpen() ? port.device->BytesWaiting() : 0; }

bool EndsWith(const std::vector<uint8_t>& bytes, uint8_t last) {
  return !bytes.empty() && bytes.back() == last;
}

bool IsLone(const std::vector<uint8_t>& bytes, uint8_t byte) {
  return bytes.size() == 1 && bytes[0] == byte;
}

}  // namespace

bool AwaitTestResult(App& app, int16_t wait_s) {
  Form1& form = app.form1;
  const uint64_t instance = form.instance;
  ResultWaitScope counted(form);
  LinkPort& port = app.protocol.MSComm1;
  const int32_t max = wait_s;
  int32_t waited = 0;
  bool anything = false;
  form.Pg1.max = max;
  form.Pg1.value = waited;
  while (max > waited) {
    if (!YieldToWindow(app, instance)) return false;
    // A test run from inside the yield drew its own wait on Pg1: show ours again.
    form.Pg1.max = max;
    form.Pg1.value = ++waited;
    app.clock().Sleep(ap::kResultStepMs);
    const std::vector<uint8_t> bytes =
        BytesWaiting(port) >= 1 ? ReadInput(port) : std::vector<uint8_t>{};
    if (!bytes.empty()) {
      anything = true;
      AppendLog(form.Rtb1, HexText(bytes));
      if (IsLone(bytes, kline::kTestFinished)) {
        waited = max;
        AppendLog(form.Rtb1, at::kTestFinish);
      } else if (IsLone(bytes, kline::kTestFailed)) {
        waited = max;
        AppendLog(form.Rtb1, at::kTestFailed);
      }
      form.Pg1.value = waited;
    }
    app.services->Repaint();
  }
  if (!anything) AppendLog(form.Rtb1, at::kTestUnknown);
  if (waited == max) waited = 0;
  form.Pg1.value = waited;
  return true;
}

void RunTest(App& app, uint8_t code, std::string_view name, int16_t wait_s) {
  Form1& form = app.form1;
  const uint64_t instance = form.instance;
  LinkPort& port = app.protocol.MSComm1;
  form.Pg1.value = 0;
  if (!YieldToWindow(app, instance)) return;
  app.clock().Sleep(ap::kTestStartPauseMs);
  if (port.PortOpen()) {
    FlushInput(port);
    SendByte(port, code);
    AppendLog(form.Rtb1, name);
    if (WaitForInput(port, app.clock(), kEchoAndAnswer, ap::kTestAnswerTimeoutMs, kPollTestStart)) {
      const std::vector<uint8_t> first = ReadInput(port);
      AppendLog(form.Rtb1, HexText(first));
      if (EndsWith(first, kline::kTestFinished)) {
        AppendLog(form.Rtb1, at::kTestFinish);
      } else if (!AwaitTestResult(app, wait_s)) {
        return;
      }
    }
  }
  ScrollLogToEnd(form.Rtb1);
}

void TestButtonClick(App& app, int index) {
  if (index < 0 || index >= kTestButtonCount) return;
  const ActuatorTest& test = ActuatorTests()[index];
  Form1& form = app.form1;
  if (test.custom) {
    const std::string& typed = form.Text1.text;
    const std::optional<uint8_t> code = CustomCodeFromText(typed);
    if (!code) {
      AppendLog(form.Rtb1, std::string(at::kCustomCodeRefused) + TypedTextForLog(typed) +
                               std::string(at::kCustomCodeRefusedWhy));
      ScrollLogToEnd(form.Rtb1);
      return;
    }
    // The name is taken now: the text may change while the test yields.
    RunTest(app, *code, std::string(test.name_a) + typed, test.wait_s);
    return;
  }
  const FamilyFacts* family = SelectedFacts(app.form2);
  if (family == nullptr) {
    if (test.needs_family) return;  // no group selected: nothing to send
    RunTest(app, test.code_a, test.name_a, test.wait_s);
    return;
  }
  // The group is read once, so a family change during the test cannot start a second one.
  if (family->test_group == TestGroup::kA) {
    RunTest(app, test.code_a, test.name_a, test.wait_s);
  } else {
    RunTest(app, test.code_b, test.name_b, test.wait_s);
  }
}

}  // namespace velarin
