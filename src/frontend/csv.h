#pragma once
// CSV rows as RFC 4180 wants them: a field holding a comma, a double quote, CR or
// LF is put in double quotes, its quotes doubled; every other field goes as it is.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "forms/form2.h"

namespace velarin::frontend {

std::string CsvField(std::string_view field);
// The fields joined with commas, quoted where needed, followed by CRLF.
std::string CsvRow(const std::vector<std::string>& fields);

// One row of a recording (recording_columns.h): `t_ms`, then the ten readouts as shown.
std::string RecordingRow(int64_t t_ms, const std::array<std::string, kReadoutCount>& readouts);

}  // namespace velarin::frontend
