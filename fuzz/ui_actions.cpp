// The window fuzzer: random runs of user actions -- Connect/Disconnect, the Com
// box, family and channel clicks, "Ecu data", "Calibration", "ecu info",
// "calibration", "DTC", "Tests", every test button, custom codes, "On", "Off",
// slider, trimmer text, "Ok", "Back", closing either window -- against the
// simulated ECU on the virtual clock, with faults on the line (ignition,
// pulled cable, garbage, no echo, slow, scripted or stray answers, verdicts).
// The invariants are checked after every step; see support/ui_checker.h.
//
// Input: family and ECU configuration, ignition moment, then steps of
// (timing, action or fault, parameters).

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "support/ui_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  velarin::fuzz::UiSession session(in);
  session.Run();
  return 0;
}
