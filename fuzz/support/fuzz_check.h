#pragma once
// What a fuzz target does when an invariant breaks: it says which, with the
// values involved, and aborts, so libFuzzer keeps the input as a crash file
// that replays the finding.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace velarin::fuzz {

[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "\nINVARIANT BROKEN: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

// Text with every byte outside printable ASCII as \xHH, for messages.
std::string Printable(const std::string& text);

}  // namespace velarin::fuzz

// The message is built only when the check fails.
#define FUZZ_CHECK(condition, message)                             \
  do {                                                             \
    if (!(condition)) ::velarin::fuzz::Fail(std::string(message)); \
  } while (0)
