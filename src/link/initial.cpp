#include "link/initial.h"

#include <iterator>
#include <string>

#include "forms/ecu_family.h"
#include "link/exchange.h"
#include "link/link_port.h"
#include "link/link_texts.h"
#include "protocol/kline_codes.h"

namespace velarin {
namespace {

constexpr int kBurstBytes = 6;
constexpr int32_t kBurstTimeoutMs = 3000;
constexpr uint32_t kBurstSettleMs = 100;
constexpr size_t kIsoCodeChars = 12;
constexpr std::string_view kIsoCodeStart = "55";  // the hex text of its first byte, 0x55
constexpr std::string_view kAnswerLog[] = {texts::kTx0F, texts::kTxAA, texts::kTxCC};
// From the report line to the flush before the answers (with the settle pause, 518 ms).
constexpr uint32_t kBeforeAnswerMs = 510;

// True when the selected family's link start is `start`, read now.
bool SelectedStarts(const Form2& f, LinkStart start) {
  const FamilyFacts* family = SelectedFacts(f);
  return family != nullptr && family->link_start == start;
}

// Shows the ISO code found in the burst and returns the report line.
std::string_view ReportBurst(Form2& f, const std::vector<uint8_t>& burst) {
  AppendLog(f.Rtb1, texts::kIso);
  const std::string hex = HexText(burst);
  AppendLog(f.Rtb1, std::string(texts::kRx) + hex + " ");
  // Searched in the hex text, so the code may start in the middle of a byte.
  const size_t pos = hex.find(kIsoCodeStart);
  AppendLog(f.Rtb1, std::string(texts::kBuff) + hex + std::string(texts::kLbuff) +
                        std::to_string(hex.size()));
  const std::string code = pos == std::string::npos ? hex : hex.substr(pos, kIsoCodeChars);
  f.Text4.text += std::string(texts::kIsoCode) + code + std::string(texts::kCrLf);
  return texts::kIsoCodeOk;
}

}  // namespace

void Initial(Form2& f, ProtocolState& p, Clock& clock) {
  LinkPort& port = p.MSComm1;
  if (!port.PortOpen()) return;

  std::string_view report;
  if (SelectedStarts(f, LinkStart::kAnswerAtOnce)) {
    report = texts::k15RcSkip;
  } else {
    if (port.CommEvent() != kCommEventReceive) return;
    if (!WaitForInput(port, clock, kBurstBytes, kBurstTimeoutMs, kPoll3Then1)) {
      f.Check1[0].enabled = true;
      p.init = true;
      return;
    }
    clock.Sleep(kBurstSettleMs);
    report = ReportBurst(f, ReadInput(port));
  }

  AppendLog(f.Rtb1, report);
  f.Label4.caption.clear();
  clock.Sleep(kBeforeAnswerMs);
  clock.Sleep(kSettleBeforeFlushMs);
  FlushInput(port);
  for (size_t i = 0; i < std::size(kline::kWakeAnswer); ++i) {
    SendByte(port, kline::kWakeAnswer[i]);
    AppendLog(f.Rtb1, kAnswerLog[i]);
    clock.Sleep(kWakeAnswerGapMs);
  }
  AppendLog(f.Rtb1, texts::kInitSuccessful);
  // One test per family whose handshake ends in the switch, as the options are
  // read in table order; only one can hold.
  for (const FamilyFacts& family : kFamilies) {
    if (family.link_start != LinkStart::kNoHandshake && IsSelected(f, family.id)) {
      SetBaudRate(port, kKLineBaud);
      AppendLog(f.Rtb1, texts::k7812);
    }
  }
  f.Check1[0].enabled = true;
  p.init = true;
}

}  // namespace velarin
