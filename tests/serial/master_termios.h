#pragma once
// What the far end of a pseudo-terminal sees of the line settings, read with
// TCGETS2 on the master independently of the code under test.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velarin::testing {

struct MasterRates {
  int32_t input = 0;
  int32_t output = 0;
};
std::optional<MasterRates> ReadMasterRates(int master_fd);

// Names of the settings that differ from raw 8N1 with no flow control,
// receiver on, modem lines ignored, VMIN 0, VTIME 0. Empty when all are right.
std::vector<std::string> RawModeViolations(int master_fd);

// Every field except the speed bits and rates, for before/after comparisons.
std::optional<std::vector<uint32_t>> FieldsBesideRate(int master_fd);

// Changes fields a rate switch must not touch: two stop bits, a VINTR character.
bool PerturbFieldsBesideRate(int master_fd);

}  // namespace velarin::testing
