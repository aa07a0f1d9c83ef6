#include "livedata/frames.h"

#include <string>

#include "forms/ecu_family.h"
#include "link/exchange.h"
#include "livedata/channel_exchange.h"
#include "livedata/channels.h"
#include "livedata/conversions.h"
#include "livedata/livedata_texts.h"
#include "livedata/speed_bar.h"
#include "livedata/temp_table.h"
#include "livedata/text_forms.h"
#include "protocol/kline_codes.h"

namespace velarin {
namespace {

constexpr uint8_t kFF = 0xFF;

uint32_t Period(uint8_t high, uint8_t low) { return high * 256u + low; }

void ShowRpm(Form2& f, const FrameProfile& p, const ChannelAnswer& a) {
  const bool both = a.first && a.second;
  if (p.rpm_rule == RpmRule::kHighNotFF) {
    // A period of 0 has no speed: the readouts stay as they are.
    if (both && *a.first != kFF && Period(*a.first, *a.second) != 0) {
      ShowEngineSpeed(f, RpmFromPeriod(p.rpm_constant, Period(*a.first, *a.second)));
    }
  } else if (both && *a.first != 0 && *a.second != 0) {
    ShowEngineSpeed(f, RpmFromPeriod(p.rpm_constant, Period(*a.first, *a.second)));
  }
  if (both && *a.first == kFF && *a.second == kFF) f.Text1[kRpm].text = texts::kNoEngineSpeed;
  if (p.rpm_rule == RpmRule::kNeitherZero && both && *a.first == 0 && *a.second == 0) {
    f.Text1[kRpm].text = texts::kZeroEngineSpeed;
  }
}

// Whether data byte `x` may be converted: present, and not 0xFF where FF means "no value".
bool Usable(const FrameProfile& p, const std::optional<uint8_t>& x) {
  return x && !(p.ff_means_no_value && *x == kFF);
}

std::string TemperatureText(const TempTableEntries& table, const FrameProfile& p, uint8_t x) {
  if (p.temperature == TemperatureRule::kTable) {
    return TwoDecimalsText(TemperatureFromTable(table, x));
  }
  return PlainText(TemperatureCelsius(x));
}

// The test window follows the trimmer only while it is open: loading it would
// put the ECU into diagnostic mode.
void HandTrimmerOver(App& app, double value) {
  Form1& test = app.form1;
  if (!test.loaded || !(value > -(kline::kTrimmerCentre + 1) && value < kline::kTrimmerCentre)) {
    return;
  }
  const int position = static_cast<int>(value);
  test.Slider1.value = position;
  test.Text2.text = std::to_string(position + kline::kTrimmerCentre);  // the byte form it keeps
}

void ShowChannel(App& app, const FrameProfile& p, int channel, bool with_15rc,
                 const ChannelAnswer& a) {
  Form2& f = app.form2;
  std::string& readout = f.Text1[channel].text;
  switch (channel) {
    case kRpm:
      ShowRpm(f, p, a);
      break;
    case kInjection:
      if (a.first && a.second && Usable(p, a.first)) {
        readout = PlainText(InjectionMs(Period(*a.first, *a.second)));
      }
      break;
    case kAdvance:
      if (Usable(p, a.first)) readout = PlainText(AdvanceDegrees(*a.first));
      break;
    case kPressure:
      if (Usable(p, a.first)) readout = WholeNumberText(PressureMbar(*a.first));
      break;
    case kAirTemp:
    case kWaterTemp:
      if (Usable(p, a.first)) readout = TemperatureText(app.protocol.TempTable, p, *a.first);
      break;
    case kThrottle:
      if (!Usable(p, a.first)) break;
      if (with_15rc) {
        f.Text1[kThrottleVoltsReadout].text = FixedTwoDecimalsText(Throttle15RcVolts(*a.first));
        readout = OneDecimalText(Throttle15RcDegrees(*a.first, a.second.value_or(0)));
      } else {
        readout = TwoDecimalsText(ThrottleDegrees(*a.first));
      }
      break;
    case kBattery:
      if (Usable(p, a.first)) readout = PlainText(BatteryVolts(*a.first));
      break;
    case kTrimmer:
      // The trimmer byte is always a value, 0xFF included.
      if (a.first) {
        readout = PlainText(TrimmerValue(*a.first));
        if (p.hands_trimmer_over) HandTrimmerOver(app, TrimmerValue(*a.first));
      }
      break;
    default:
      break;
  }
}

}  // namespace

void ReadLiveFrame(App& app, const FrameProfile& profile) {
  Form2& f = app.form2;
  ProtocolState& link = app.protocol;
  if (profile.yields_at_start) {
    const bool polling = link.Timer1.enabled;
    const bool live = link.cal_ask;
    const bool test_window_open = app.form1.loaded;
    app.services->DoEvents();
    f.Label4.caption.clear();
    // A handler run by the yield may have taken the link over (the test window puts
    // the ECU into diagnostic mode), stopped the polling, or ended the connection and
    // made a new one that has not read the ECU's information yet: the frame must not go on.
    if ((polling && !link.Timer1.enabled) || (live && !link.cal_ask) ||
        (!test_window_open && app.form1.loaded))
      return;
  }
  if (!link.MSComm1.PortOpen()) return;
  ++link.live_frames;
  const FamilyFacts* family = SelectedFacts(f);
  const bool with_15rc = profile.reads_15rc_throttle && family != nullptr && family->throttle_15rc;
  const FrameLink frame_link{link.MSComm1, app.clock(), f};
  FramePause(frame_link, profile);
  FlushInput(link.MSComm1);
  for (int channel = 0; channel < kChannelCount; ++channel) {
    if (!f.Check1[channel].value) continue;
    ChannelRequest request = kChannelRequests[channel];
    if (channel == kTrimmer) request.code = profile.trimmer_code;
    ChannelAnswer answer;
    // A time-out drops the rest of the frame; every readout keeps what it shows.
    if (!RunChannelExchange(frame_link, profile, request, with_15rc, &answer)) return;
    ShowChannel(app, profile, channel, with_15rc, answer);
  }
}

}  // namespace velarin
