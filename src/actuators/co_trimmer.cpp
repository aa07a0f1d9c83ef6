#include "actuators/co_trimmer.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "actuators/actuator_protocol.h"
#include "actuators/actuator_texts.h"
#include "actuators/typed_byte.h"
#include "actuators/window_yield.h"
#include "link/exchange.h"
#include "link/numbers.h"
#include "protocol/kline_codes.h"

namespace velarin {

namespace ap = actuator_protocol;
namespace at = actuator_texts;

namespace {

// Sends `request` and returns the answer; nullopt when the port is closed or
// no two bytes came within 5000 ms.
std::optional<std::vector<uint8_t>> CoExchange(App& app, uint8_t request) {
  LinkPort& port = app.protocol.MSComm1;
  if (!port.PortOpen()) return std::nullopt;
  FlushInput(port);
  SendByte(port, request);
  if (!WaitForInput(port, app.clock(), kEchoAndAnswer, ap::kCoTimeoutMs, kPoll3))
    return std::nullopt;
  return ReadInput(port);
}

bool EndsWith(const std::vector<uint8_t>& bytes, uint8_t last) {
  return !bytes.empty() && bytes.back() == last;
}

}  // namespace

void SetRegulationControls(Form1& form, bool regulating) {
  for (Button& b : form.Command) b.enabled = !regulating;
  form.Command10.enabled = regulating;
  form.Slider1.enabled = regulating;
}

void Form1Option1_Click(App& app) {
  Form1& form = app.form1;
  const uint64_t instance = form.instance;
  SetRegulationControls(form, form.Option1.value);
  if (!YieldToWindow(app, instance)) return;
  app.clock().Sleep(ap::kCoPauseMs);
  if (std::optional<std::vector<uint8_t>> answer = CoExchange(app, kline::kEnterCo)) {
    AppendLog(form.Rtb1, HexText(*answer));
    if (EndsWith(*answer, kline::kTestFinished)) {
      AppendLog(form.Rtb1, at::kTestFinish);
    } else if (EndsWith(*answer, kline::kCoEntered)) {
      AppendLog(form.Rtb1, at::kEnterCoOk);
    }
  }
  ScrollLogToEnd(form.Rtb1);
}

void Form1Option2_Click(App& app) {
  Form1& form = app.form1;
  const uint64_t instance = form.instance;
  SetRegulationControls(form, !form.Option2.value);
  if (!YieldToWindow(app, instance)) return;
  app.clock().Sleep(ap::kCoPauseMs);
  if (std::optional<std::vector<uint8_t>> answer = CoExchange(app, kline::kLeave)) {
    AppendLog(form.Rtb1, HexText(*answer));
    if (EndsWith(*answer, kline::kCoLeft)) {
      AppendLog(form.Rtb1, at::kExitCoOk);
      form.leave_requested = true;
    }
  }
  ScrollLogToEnd(form.Rtb1);
}

void SetSlider1Value(Form1& form, int32_t position) {
  Slider& s = form.Slider1;
  position = std::clamp(position, s.min, s.max);
  if (position == s.value) return;
  s.value = position;
  Slider1_Change(form);
}

void SetText2(Form1& form, const std::string& text) {
  if (text == form.Text2.text) return;
  form.Text2.text = text;
  Text2_Change(form);
}

void Slider1_Change(Form1& form) {
  SetText2(form, std::to_string(form.Slider1.value + kline::kTrimmerCentre));
}

void Text2_Change(Form1& form) {
  const double number = NumberFromText(form.Text2.text);
  if (!(number >= 0 && number <= kline::kTrimmerMax)) return;  // outside the slider's range
  int32_t position = 0;
  if (!ToInt32(number - kline::kTrimmerCentre, &position)) return;
  SetSlider1Value(form, position);
}

void Command10_Click(App& app) {
  Form1& form = app.form1;
  const uint64_t instance = form.instance;
  if (form.Text2.text.empty()) return;
  if (!YieldToWindow(app, instance)) return;
  app.clock().Sleep(ap::kCoPauseMs);
  const std::string typed = form.Text2.text;  // as it stands after the yield
  if (typed.empty()) return;
  const std::optional<uint8_t> byte = TrimmerByteFromText(typed);
  if (!byte) {
    AppendLog(form.Rtb1, std::string(at::kTrimmerRefused) + TypedTextForLog(typed) +
                             std::string(at::kTrimmerRefusedWhy));
    ScrollLogToEnd(form.Rtb1);
    return;
  }
  if (std::optional<std::vector<uint8_t>> answer = CoExchange(app, *byte)) {
    AppendLog(form.Rtb1, HexText(*answer));
    // Confirmed with the value actually sent.
    if (EndsWith(*answer, *byte)) {
      AppendLog(form.Rtb1,
                std::string(at::kTrimmerSetTo) + std::to_string(*byte - kline::kTrimmerCentre));
    }
  }
  ScrollLogToEnd(form.Rtb1);
}

}  // namespace velarin
