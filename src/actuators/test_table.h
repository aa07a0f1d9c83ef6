#pragma once
// The nine test buttons: which code each sends for the family's group, the
// name it writes to the log and how many one-second steps its verdict may take.

#include <array>
#include <cstdint>
#include <string_view>

#include "forms/form1.h"

namespace velarin {

// Codes and names per test group (the family's row says which: A for 15m and
// 15Rc, B for 16m and P8).
struct ActuatorTest {
  uint8_t code_a;
  uint8_t code_b;
  std::string_view name_a;
  std::string_view name_b;
  int16_t wait_s;
  bool custom;        // the code comes from Text1
  bool needs_family;  // sends nothing when no family is selected
};

// Row k is button Command(k+1).
const std::array<ActuatorTest, kTestButtonCount>& ActuatorTests();

}  // namespace velarin
