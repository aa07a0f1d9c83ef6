#pragma once
// Command lines from fuzzer bytes, and the shape every parse result must have.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/fuzz_check.h"

namespace velarin::fuzz {

// `program` followed by the input split at its NUL bytes (an empty input gives no
// further argument; two NULs in a row give an empty one).
std::vector<std::string> ArgsFromBytes(std::string_view program, const uint8_t* data, size_t size);

// The arguments quoted, for messages.
std::string ArgsText(const std::vector<std::string>& args);

// Exactly one of: options, help, or an error of one line that starts with the
// program's name.
template <typename Result>
void CheckParseShape(const Result& result, std::string_view program,
                     const std::vector<std::string>& args) {
  const int outcomes = (result.options ? 1 : 0) + (result.help ? 1 : 0) + (!result.error.empty());
  FUZZ_CHECK(outcomes == 1, "not exactly one outcome for " + ArgsText(args));
  if (result.error.empty()) return;
  FUZZ_CHECK(result.error.rfind(std::string(program) + ": ", 0) == 0,
             "error without the program's name: " + Printable(result.error));
  FUZZ_CHECK(result.error.find_first_of("\r\n") == std::string::npos,
             "error of more than one line: \"" + Printable(result.error) + "\"");
}

}  // namespace velarin::fuzz
