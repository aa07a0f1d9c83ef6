#include "recording/recording_name.h"

#include <cstdio>

#include "platform/local_time.h"

namespace velarin::recording {

std::string SuggestedRecordingName(std::string_view family, const std::tm& t) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return "velarin-" + std::string(family) + "-" + stamp + ".csv";
}

std::string SuggestedRecordingName(std::string_view family) {
  return SuggestedRecordingName(family, LocalTimeNow());
}

}  // namespace velarin::recording
