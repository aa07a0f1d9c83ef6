#pragma once

#include <string_view>

namespace velarin {

// The program's version, set once in the top CMakeLists.txt (project VERSION) and
// handed to every layer by the build; --version, the package and reports show it.
inline constexpr std::string_view kProgramVersion = VELARIN_VERSION;

}  // namespace velarin
