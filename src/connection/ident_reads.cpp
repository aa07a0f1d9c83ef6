#include "connection/ident_reads.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "connection/connection_texts.h"
#include "link/exchange.h"
#include "link/kline_codes.h"
#include "link/link_texts.h"

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
  CheckBox Form2::*enable;
  bool Form2::*done;
  std::string_view ask_line;
  std::string_view log_prefix;
  std::string_view box_prefix;
};

constexpr IdentRead kEcuInfo{kEcuInfoCodes,     kPoll3Then1,        &Form2::Check3,
                             &Form2::ecuinf,    texts::kAskEcuInfo, texts::kEcuInfoLog,
                             texts::kEcuDataBox};
constexpr IdentRead kCalibration{
    kCalibrationCodes,      kPoll3,         &Form2::Check4,        &Form2::cal_ask,
    texts::kAskCalibration, texts::kCalLog, texts::kCalibrationBox};

void RunIdentRead(App& app, const IdentRead& read) {
  Form2& f = app.form2;
  LinkPort& port = f.MSComm1;
  std::string text;
  WaitReadings readings;  // both 0 until a request is sent
  bool complete = false;
  if ((f.*read.enable).value && port.PortOpen()) {
    AppendLog(f.Rtb1, read.ask_line);
    complete = true;
    for (uint8_t code : read.codes) {
      std::optional<uint8_t> answer = AskByte(port, app.clock(), code, read.step, &readings);
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
  f.*read.done = true;
}

}  // namespace

void ReadEcuInfo(App& app) { RunIdentRead(app, kEcuInfo); }
void ReadCalibration(App& app) { RunIdentRead(app, kCalibration); }

void Check3_Click(App& app) {
  if (app.form2.Check3.value) app.form2.ecuinf = true;
}

void Check4_Click(App& app) {
  if (app.form2.Check4.value) app.form2.cal_ask = true;
}

}  // namespace velarin
