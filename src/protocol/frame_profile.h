#pragma once
// Where the families' live-data frames differ, as data. The frame reader of the
// program and the simulated ECU both consult it.

#include <cstdint>

#include "protocol/kline_codes.h"

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

// Engine speed = constant / period (period counts of the crank signal).
inline constexpr double kRpmConstant = 15'000'000.0;    // 15m, 15Rc, 16m
inline constexpr double kRpmConstantP8 = 30'000'000.0;  // P8 counts at half the rate

inline constexpr uint32_t kFixedPauseMs = 8;

struct FrameProfile {
  PauseSource pause;
  double rpm_constant;
  RpmRule rpm_rule;
  TemperatureRule temperature;
  // 0xFF data leaves injection, advance, pressure, temperatures, throttle and battery untouched.
  bool ff_means_no_value;
  uint8_t trimmer_code;
  // The 15Rc throttle branch (second code, Text1(9)), when the selected family has it.
  bool reads_15rc_throttle;
  // The trimmer readout is passed on to an open test window.
  bool hands_trimmer_over;
  // Lets the window process its events once and clears the status line first.
  bool yields_at_start;
};

// The three frames, named after their readers: ReadLive15m (15m and 15Rc),
// ReadLive16m and ReadLiveP8.
inline constexpr FrameProfile kReadLive15m{.pause = PauseSource::kFixed8ms,
                                           .rpm_constant = kRpmConstant,
                                           .rpm_rule = RpmRule::kHighNotFF,
                                           .temperature = TemperatureRule::kOffset,
                                           .ff_means_no_value = true,
                                           .trimmer_code = kline::kTrimmer15m,
                                           .reads_15rc_throttle = true,
                                           .hands_trimmer_over = true,
                                           .yields_at_start = false};
inline constexpr FrameProfile kReadLive16m{.pause = PauseSource::kInterByteDelay,
                                           .rpm_constant = kRpmConstant,
                                           .rpm_rule = RpmRule::kHighNotFF,
                                           .temperature = TemperatureRule::kOffset,
                                           .ff_means_no_value = true,
                                           .trimmer_code = kline::kTrimmer,
                                           .reads_15rc_throttle = false,
                                           .hands_trimmer_over = false,
                                           .yields_at_start = false};
inline constexpr FrameProfile kReadLiveP8{.pause = PauseSource::kFixed8ms,
                                          .rpm_constant = kRpmConstantP8,
                                          .rpm_rule = RpmRule::kNeitherZero,
                                          .temperature = TemperatureRule::kTable,
                                          .ff_means_no_value = false,
                                          .trimmer_code = kline::kTrimmer,
                                          .reads_15rc_throttle = false,
                                          .hands_trimmer_over = false,
                                          .yields_at_start = true};

}  // namespace velarin
