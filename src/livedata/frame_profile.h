#pragma once
// Where the families' frames differ, as data. One reader consults it.

#include <cstdint>

#include "livedata/channels.h"
#include "livedata/conversions.h"

namespace velarin {

enum class PauseSource {
  kFixed8ms,        // 15m, 15Rc, P8
  kInterByteDelay,  // 16m: Text11, read at every pause
};

enum class RpmRule {
  kHighNotFF,    // period used unless the high byte is 0xFF; FF FF shows " ----"
  kNeitherZero,  // P8: period used unless a byte is 0x00; FF FF " ----", 00 00 " 0"
};

enum class TemperatureRule {
  kOffset,  // x - 55
  kTable,   // TempTable, form "##.##"
};

struct FrameProfile {
  PauseSource pause;
  double rpm_constant;
  RpmRule rpm_rule;
  TemperatureRule temperature;
  // 0xFF data leaves injection, advance, pressure, temperatures, throttle and battery untouched.
  bool ff_means_no_value;
  uint8_t trimmer_code;
  // 15Rc's second throttle code and Text1(9), when Option9 is selected.
  bool reads_15rc_throttle;
  // The trimmer readout is passed on to an open test window.
  bool hands_trimmer_over;
  // Lets the window process its events once and clears the status line first.
  bool yields_at_start;
};

inline constexpr uint32_t kFixedPauseMs = 8;

inline constexpr FrameProfile kFrame15m{.pause = PauseSource::kFixed8ms,
                                        .rpm_constant = kRpmConstant,
                                        .rpm_rule = RpmRule::kHighNotFF,
                                        .temperature = TemperatureRule::kOffset,
                                        .ff_means_no_value = true,
                                        .trimmer_code = kline::kTrimmer15m,
                                        .reads_15rc_throttle = true,
                                        .hands_trimmer_over = true,
                                        .yields_at_start = false};
inline constexpr FrameProfile kFrame16m{.pause = PauseSource::kInterByteDelay,
                                        .rpm_constant = kRpmConstant,
                                        .rpm_rule = RpmRule::kHighNotFF,
                                        .temperature = TemperatureRule::kOffset,
                                        .ff_means_no_value = true,
                                        .trimmer_code = kline::kTrimmer,
                                        .reads_15rc_throttle = false,
                                        .hands_trimmer_over = false,
                                        .yields_at_start = false};
inline constexpr FrameProfile kFrameP8{.pause = PauseSource::kFixed8ms,
                                       .rpm_constant = kRpmConstantP8,
                                       .rpm_rule = RpmRule::kNeitherZero,
                                       .temperature = TemperatureRule::kTable,
                                       .ff_means_no_value = false,
                                       .trimmer_code = kline::kTrimmer,
                                       .reads_15rc_throttle = false,
                                       .hands_trimmer_over = false,
                                       .yields_at_start = true};

}  // namespace velarin
