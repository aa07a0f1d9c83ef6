#include "link/initial.h"

#include <string>

#include "link/exchange.h"
#include "link/kline_codes.h"
#include "link/link_port.h"
#include "link/link_texts.h"

namespace velarin {
namespace {

constexpr int16_t kEventDataReceived = 2;
constexpr int kBurstBytes = 6;
constexpr int32_t kBurstTimeoutMs = 3000;
constexpr uint32_t kBurstSettleMs = 100;
constexpr size_t kIsoCodeChars = 12;
constexpr std::string_view kAnswerLog[] = {texts::kTx0F, texts::kTxAA, texts::kTxCC};

// Shows the ISO code found in the burst and returns the report line.
std::string_view ReportBurst(Form2& f, const std::vector<uint8_t>& burst) {
  AppendLog(f.Rtb1, texts::kIso);
  const std::string hex = HexText(burst);
  AppendLog(f.Rtb1, std::string(texts::kRx) + hex + " ");
  // Searched in the hex text, so the code may start in the middle of a byte.
  const size_t pos = hex.find("55");
  AppendLog(f.Rtb1, std::string(texts::kBuff) + hex + std::string(texts::kLbuff) +
                        std::to_string(hex.size()));
  const std::string code = pos == std::string::npos ? hex : hex.substr(pos, kIsoCodeChars);
  f.Text4.text += std::string(texts::kIsoCode) + code + std::string(texts::kCrLf);
  return texts::kIsoCodeOk;
}

}  // namespace

void Initial(App& app) {
  Form2& f = app.form2;
  Clock& clock = app.clock();
  LinkPort& port = f.MSComm1;
  if (!port.PortOpen()) return;

  std::string_view report;
  if (f.Option9.value) {
    report = texts::k15RcSkip;
  } else {
    if (port.CommEvent() != kEventDataReceived) return;
    if (!WaitForInput(port, clock, kBurstBytes, kBurstTimeoutMs, kPoll3Then1)) {
      f.Check1[0].enabled = true;
      f.init = true;
      return;
    }
    clock.Sleep(kBurstSettleMs);
    report = ReportBurst(f, ReadInput(port));
  }

  AppendLog(f.Rtb1, report);
  f.Label4.caption.clear();
  clock.Sleep(510);
  clock.Sleep(8);
  FlushInput(port);
  for (int i = 0; i < 3; ++i) {
    SendByte(port, kline::kWakeAnswer[i]);
    AppendLog(f.Rtb1, kAnswerLog[i]);
    clock.Sleep(kWakeAnswerGapMs);
  }
  AppendLog(f.Rtb1, texts::kInitSuccessful);
  // One test per family, as the options are read; only one can hold.
  for (bool selected : {f.Option1.value, f.Option9.value, f.Option7.value}) {
    if (selected) {
      SetBaudRate(port, kKLineBaud);
      AppendLog(f.Rtb1, texts::k7812);
    }
  }
  f.Check1[0].enabled = true;
  f.init = true;
}

}  // namespace velarin
