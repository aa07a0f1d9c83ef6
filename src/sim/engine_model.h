#pragma once
// A small running engine: idle near 1200 rpm with a rev now and then, water
// warming from cold, air near ambient, battery near 14 V. Deterministic from
// the seed and the time since the ignition went on.

#include <cstdint>
#include <optional>

#include "protocol/families.h"

namespace velarin {

struct EngineState {
  double rpm = 0;
  double injection_ms = 0;
  double advance_deg = 0;
  double pressure_mbar = 0;
  double air_c = 0;
  double water_c = 0;
  double throttle_deg = 0;
  double battery_v = 0;
};

EngineState EngineAt(uint32_t seed, uint64_t ms_since_ignition);

// The data byte the ECU of `family` answers to live code `code` for `state`;
// nullopt for a code the family does not have. The trimmer is not part of the
// engine (it is a register) and is not answered here.
std::optional<uint8_t> EncodeLive(EcuFamily family, uint8_t code, const EngineState& state);

// The raw temperature byte of the P8 sensor for `celsius` (the curve falls from
// 125 C at 32 to -55 C at 224).
uint8_t P8TemperatureByte(double celsius);

}  // namespace velarin
