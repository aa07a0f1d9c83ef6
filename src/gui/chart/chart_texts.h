#pragma once
// What the chart panel says, one definition each.

#include <array>
#include <string_view>

namespace velarin::gui::chart_texts {

inline constexpr std::string_view kWindow = "Window";
inline constexpr std::array<std::string_view, 3> kWindowChoices = {"1 min", "5 min", "15 min"};
inline constexpr std::array<int, 3> kWindowMinutes = {1, 5, 15};
inline constexpr std::string_view kWholeRecording = "whole recording";
inline constexpr std::string_view kOpenRecording = "Open recording\u2026";
inline constexpr std::string_view kOpenRecordingTitle = "Open a recording";
inline constexpr std::string_view kRecordingFilter = "Recordings (*.csv);;All files (*)";
inline constexpr std::string_view kLive = "Live";
inline constexpr std::string_view kLiveData = "live data";
inline constexpr std::string_view kNoLiveData = "live data: waiting for the first read";
inline constexpr std::string_view kTimeAxis = "time since Connect";

}  // namespace velarin::gui::chart_texts
