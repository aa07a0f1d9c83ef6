#include "frontend/csv.h"

namespace velarin::frontend {

std::string CsvField(std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(field);
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string CsvRow(const std::vector<std::string>& fields) {
  std::string row;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) row += ',';
    row += CsvField(fields[i]);
  }
  row += "\r\n";
  return row;
}

std::string RecordingRow(int64_t t_ms, const std::array<std::string, kReadoutCount>& readouts) {
  std::vector<std::string> fields;
  fields.reserve(readouts.size() + 1);
  fields.push_back(std::to_string(t_ms));
  fields.insert(fields.end(), readouts.begin(), readouts.end());
  return CsvRow(fields);
}

}  // namespace velarin::frontend
