#pragma once
// The columns of a recording: the time since Connect and the ten readouts in
// the order of the readout panel (Text1 elements 0 to 9), with what the chart
// draws of each.

#include <array>
#include <string_view>

#include "forms/captions.h"
#include "recording/recording_texts.h"

namespace velarin::recording {

inline constexpr int kValueColumns = 10;

// The header line of a recording, exactly (the fields' order is the columns').
inline constexpr std::string_view kCsvHeader =
    "t_ms,rpm,inj_ms,advance_deg,map_mbar,air_c,water_c,throttle,battery_v,trimmer,throttle_v";

struct ColumnInfo {
  std::string_view csv_name;
  std::string_view caption;  // the readout panel's selector caption
  std::string_view unit;     // the readout panel's unit label caption
  // The smallest value range a chart shows for the column, so that the last
  // digit's flicker does not fill the height.
  double min_span;
};

inline constexpr std::array<ColumnInfo, kValueColumns> kColumns = {{
    {"rpm", captions::kChannels[0], captions::kUnits[0], 1000},
    {"inj_ms", captions::kChannels[1], captions::kUnits[1], 2},
    {"advance_deg", captions::kChannels[2], captions::kUnits[2], 10},
    {"map_mbar", captions::kChannels[3], captions::kUnits[3], 200},
    {"air_c", captions::kChannels[4], captions::kUnits[4], 10},
    {"water_c", captions::kChannels[5], captions::kUnits[5], 10},
    {"throttle", captions::kChannels[6], captions::kUnits[6], 10},
    {"battery_v", captions::kChannels[7], captions::kUnits[7], 2},
    {"trimmer", captions::kChannels[8], captions::kUnits[8], 10},
    {"throttle_v", texts::kThrottleVoltsCaption, captions::kVolt, 1},
}};

}  // namespace velarin::recording
