#pragma once
// Expected texts of files the program writes from nothing, written with "\n" in
// the test and compared with the platform's line ending (CR LF on Windows).

#include <string>
#include <string_view>

#include "platform/profile_file.h"

namespace velarin::testing {

inline std::string NativeLines(std::string_view lf_text) {
  std::string out;
  for (char c : lf_text) {
    if (c == '\n') {
      out += kProfileNewline;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace velarin::testing
