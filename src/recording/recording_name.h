#pragma once
// The file name offered when a recording starts: velarin-<family>-<yyyymmdd-hhmmss>.csv,
// the family as the "ECU Type" option names it, the time the local one.

#include <ctime>
#include <string>
#include <string_view>

namespace velarin::recording {

std::string SuggestedRecordingName(std::string_view family, const std::tm& local_time);
// The same at the current local time.
std::string SuggestedRecordingName(std::string_view family);

}  // namespace velarin::recording
