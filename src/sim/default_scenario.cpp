#include "protocol/kline_codes.h"
#include "sim/ecu_scenario.h"

namespace velarin {
namespace {

// What tells the demo ECUs apart besides the family's facts: their texts and ISO code.
struct DemoEcu {
  EcuFamily family;
  const char* ident;
  const char* calibration;
  std::vector<uint8_t> burst;  // used by the families that send one
};

const DemoEcu kDemoEcus[] = {
    {EcuFamily::Ecu15m, "VLR15M0107", "CAL04711", {0x55, 0x01, 0x8A, 0x13, 0x27, 0x40}},
    {EcuFamily::Ecu15Rc, "VLR15RC203", "CALRC052", {}},
    {EcuFamily::Ecu16m, "VLR16M0311", "CAL16M09", {0x55, 0x01, 0x8A, 0x16, 0x31, 0x42}},
    {EcuFamily::EcuP8, "VLRP8A0412", "CALP8B01", {}},
};

}  // namespace

EcuScenario DefaultScenario(EcuFamily family) {
  EcuScenario s;
  s.family = family;
  s.engine_model = true;
  for (const DemoEcu& demo : kDemoEcus) {
    if (demo.family != family) continue;
    s.ident = demo.ident;
    s.calibration = demo.calibration;
    s.burst = demo.burst;
  }
  const FamilyFacts& facts = FactsOf(family);
  if (facts.link_start != LinkStart::kAwaitBurst) s.burst.clear();
  // Where the trimmer is read elsewhere, the fault memory is a register of its own.
  if (facts.live_frame->trimmer_code != kline::kFault1) s.fault1 = 0;
  return s;
}

}  // namespace velarin
