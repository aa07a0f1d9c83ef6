#include "connection/ident_reads.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "connection/connection_texts.h"
#include "link/exchange.h"
#include "link/link_texts.h"
#include "protocol/kline_codes.h"

namespace velarin {
namespace {

// The request codes first..last, in the order they are sent.
template <uint8_t First, uint8_t Last>
constexpr std::array<uint8_t, Last - First + 1> CodeRange() {
  std::array<uint8_t, Last - First + 1> codes{};
  for (size_t i = 0; i < codes.size(); ++i) codes[i] = static_cast<uint8_t>(First + i);
  return codes;
}

constexpr auto kEcuInfoCodes = CodeRange<kline::kIdentFirst, kline::kIdentLast>();
constexpr auto kCalibrationCodes = CodeRange<kline::kCalFirst, kline::kCalLast>();

// The two reads differ only in these; one reader serves both.
struct IdentRead {
  std::span<const uint8_t> codes;
  PollStep step;
  CheckBox Form2Controls::*enable;
  bool ProtocolState::*done;
  std::string_view ask_line;
  std::string_view log_prefix;
  std::string_view box_prefix;
};

constexpr IdentRead kEcuInfo{kEcuInfoCodes,          kPoll3Then1,        &Form2::Check3,
                             &ProtocolState::ecuinf, texts::kAskEcuInfo, texts::kEcuInfoLog,
                             texts::kEcuDataBox};
constexpr IdentRead kCalibration{
    kCalibrationCodes,      kPoll3,         &Form2::Check4,        &ProtocolState::cal_ask,
    texts::kAskCalibration, texts::kCalLog, texts::kCalibrationBox};

void RunIdentRead(Form2& f, ProtocolState& p, Clock& clock, const IdentRead& read) {
  LinkPort& port = p.MSComm1;
  std::string text;
  WaitReadings readings;  // both 0 until a request is sent
  bool complete = false;
  if ((f.*read.enable).value && port.PortOpen()) {
    AppendLog(f.Rtb1, read.ask_line);
    complete = true;
    for (uint8_t code : read.codes) {
      std::optional<uint8_t> answer = AskByte(port, clock, code, read.step, &readings);
      if (!answer) {
        complete = false;
        break;
      }
      // The byte is the character; a NUL stays part of the text.
      text.push_back(static_cast<char>(*answer));
    }
    if (complete) {
      f.Text4.text += std::string(read.box_prefix) + text + std::string(texts::kCrLf);
    }
  }
  const int64_t elapsed = std::llabs(static_cast<int64_t>(Elapsed(readings.start, readings.now)));
  AppendLog(f.Rtb1, std::string(read.log_prefix) + std::to_string(elapsed) + " " + text);
  p.*read.done = true;
}

}  // namespace

void ReadEcuInfo(Form2& f, ProtocolState& p, Clock& clock) { RunIdentRead(f, p, clock, kEcuInfo); }
void ReadCalibration(Form2& f, ProtocolState& p, Clock& clock) {
  RunIdentRead(f, p, clock, kCalibration);
}

void Check3_Click(const Form2& f, ProtocolState& p) {
  if (f.Check3.value) p.ecuinf = true;
}

void Check4_Click(const Form2& f, ProtocolState& p) {
  if (f.Check4.value) p.cal_ask = true;
}

}  // namespace velarin
