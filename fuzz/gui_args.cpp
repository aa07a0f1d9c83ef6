// The window program's command line: any argument list parses to exactly one
// outcome; the options it yields are consistent, and written back out as a
// command line they parse to the same options (support/args.h).
//
// Input: the arguments after the program name, separated by NUL bytes.

#include <cstddef>
#include <cstdint>

#include "support/args.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velarin::fuzz::CheckCommandLine(velarin::frontend::Program::kWindow, data, size);
  return 0;
}
