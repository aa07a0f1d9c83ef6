#pragma once
// Command lines from fuzzer bytes, and what every parse of them must give: exactly
// one outcome, a one-line error naming the program, options within their ranges
// that parse to the same options when written back out as a command line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "frontend/options.h"

namespace velarin::fuzz {

// The program's name followed by the input split at its NUL bytes (an empty input
// gives no further argument; two NULs in a row give an empty one).
std::vector<std::string> ArgsFromBytes(frontend::Program program, const uint8_t* data, size_t size);

// The arguments quoted, for messages.
std::string ArgsText(const std::vector<std::string>& args);

// Parses the input as `program`'s command line and checks the outcome.
void CheckCommandLine(frontend::Program program, const uint8_t* data, size_t size);

}  // namespace velarin::fuzz
