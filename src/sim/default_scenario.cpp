#include "sim/ecu_scenario.h"

namespace velarin {

EcuScenario DefaultScenario(EcuFamily family) {
  EcuScenario s;
  s.family = family;
  s.engine_model = true;
  switch (family) {
    case EcuFamily::Ecu15m:
      s.ident = "VLR15M0107";
      s.calibration = "CAL04711";
      s.burst = {0x55, 0x01, 0x8A, 0x13, 0x27, 0x40};
      break;
    case EcuFamily::Ecu15Rc:
      s.ident = "VLR15RC203";
      s.calibration = "CALRC052";
      s.burst.clear();
      break;
    case EcuFamily::Ecu16m:
      s.ident = "VLR16M0311";
      s.calibration = "CAL16M09";
      s.burst = {0x55, 0x01, 0x8A, 0x16, 0x31, 0x42};
      // Its fault memory is a register of its own, not the trimmer's.
      s.fault1 = 0;
      break;
    case EcuFamily::EcuP8:
      s.ident = "VLRP8A0412";
      s.calibration = "CALP8B01";
      s.burst.clear();
      s.fault1 = 0;
      break;
  }
  return s;
}

}  // namespace velarin
