#pragma once
// What a simulated ECU does: readable data, not code per case. Tests build one
// of these; the front ends use DefaultScenario(family).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "protocol/families.h"

namespace velarin {

// How the ECU answers one actuator test code (after the adapter's echo).
struct TestVerdict {
  std::vector<uint8_t> first = {0xFF};  // right after the request; empty: silence
  uint32_t later_after_ms = 0;          // then, this long after the first answer
  std::vector<uint8_t> later;           // these bytes (empty: nothing more)
};

struct EcuScenario {
  EcuFamily family = kOpeningFamily;

  // The K-line adapter echoes every byte the program sends.
  bool echo = true;
  // From the end of a request byte on the wire to the first answer byte.
  uint32_t answer_latency_ms = 1;

  // Wake-up: after IgnitionOn and this delay, the burst goes out at 1200 baud
  // (15m and 16m; 15Rc and P8 never send one, whatever this holds).
  uint32_t ignition_delay_ms = 0;
  std::vector<uint8_t> burst = {0x55, 0x01, 0x8A, 0x13, 0x27, 0x40};

  // Answers to 0x17..0x20 and 0x21..0x28, one character each; a code beyond
  // the end of the text gets no answer.
  std::string ident = "VLR15M0107";
  std::string calibration = "CAL04711";

  // Live data: the engine model moves the values; without it `raw` holds them.
  bool engine_model = true;
  uint32_t model_seed = 1;
  // Request code -> data byte, overriding the model; without the model a live
  // code missing here is answered 0x00.
  std::map<uint8_t, uint8_t> raw;

  // Fault and status bytes (0x0F, 0x10, 0x11). While fault1 is unset, 0x0F is
  // answered with the live trimmer byte: the ECU has one register behind it.
  std::optional<uint8_t> fault1;
  uint8_t fault2 = 0;
  uint8_t detail = 0;

  // Diagnostic mode and CO regulation: bytes after the echo.
  std::vector<uint8_t> diag_entry_answer = {0xFF};  // to 0xAA ("AAFF")
  std::vector<uint8_t> diag_exit_answer = {0xFF};   // to 0xFF ("FFFF")
  std::vector<uint8_t> co_entry_answer = {0x8D};    // to 0x8D
  std::vector<uint8_t> co_exit_answer = {0xFF};     // to 0xFF while in CO regulation
  bool trimmer_confirm = true;                      // answers a trimmer byte with itself
  uint8_t trimmer = 0x83;                           // the trimmer register at power-up
  std::map<uint8_t, TestVerdict> verdicts;          // test code -> verdict; default: 0xFF at once

  // Scripted answers, highest priority: request code -> bytes after the echo
  // (an empty vector: the ECU stays silent for that code). Only once awake;
  // the mode changes a code causes still happen.
  std::map<uint8_t, std::vector<uint8_t>> answers;

  // Faults: a code answered later than answer_latency_ms (a slow ECU), and
  // bytes the adapter delivers in front of a code's echo (line noise).
  std::map<uint8_t, uint32_t> latency_for;
  std::map<uint8_t, std::vector<uint8_t>> stray_before_echo;
};

// A plausible ECU of the family for the demo and the front ends.
EcuScenario DefaultScenario(EcuFamily family);

}  // namespace velarin
