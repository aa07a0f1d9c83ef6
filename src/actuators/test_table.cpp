#include "actuators/test_table.h"

#include "actuators/actuator_texts.h"

namespace velarin {

namespace at = actuator_texts;

const std::array<ActuatorTest, kTestButtonCount>& ActuatorTests() {
  static const std::array<ActuatorTest, kTestButtonCount> tests = {{
      {0x80, 0x80, at::kFuelPump, at::kFuelPump, 36, false, false},
      {0x86, 0x81, at::kInjector1, at::kInjector1, 30, false, true},
      {0x87, 0x87, at::kInjector2, at::kInjector2, 30, false, false},
      {0x85, 0x86, at::kRevCounterA, at::kRevCounterB, 30, false, true},
      {0x81, 0x82, at::kCoil1, at::kCoil1, 30, false, true},
      {0x82, 0x83, at::kCoil2, at::kCoil2, 30, false, true},
      {0x83, 0x84, at::kClearDtc, at::kClearDtc, 30, false, true},
      {0x00, 0x00, at::kCustomCode, at::kCustomCode, 36, true, false},
      {0x89, 0x89, at::kResetTps, at::kResetTps, 30, false, false},
  }};
  return tests;
}

}  // namespace velarin
