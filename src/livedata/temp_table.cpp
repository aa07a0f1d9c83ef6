#include "livedata/temp_table.h"

namespace velarin {
namespace {

constexpr double kTopPlateau = 125.0;     // bytes 0..32
constexpr double kBottomPlateau = -55.0;  // bytes 225..240, and beyond the table
constexpr int kTopPlateauEnd = 32;
constexpr int kSegmentLength = 16;
constexpr int kBottomPlateauEnd = 240;
// The fall per step of each 16-step segment, from bytes 33..48 to 209..224.
constexpr std::array<double, 12> kSegmentSteps = {2.9, 1.2125, 0.73125, 0.6,   0.525,   0.46875,
                                                  0.5, 0.4875, 0.5,     0.625, 1.05625, 1.64375};

}  // namespace

TempTableEntries TempTableValues() {
  TempTableEntries table;
  int index = 0;
  for (; index <= kTopPlateauEnd; ++index) table[index] = kTopPlateau;
  // Repeated subtraction, in index order: the segment ends carry its rounding.
  for (double step : kSegmentSteps) {
    for (int k = 0; k < kSegmentLength; ++k, ++index) table[index] = *table[index - 1] - step;
  }
  for (; index <= kBottomPlateauEnd; ++index) table[index] = kBottomPlateau;
  return table;
}

void BuildTempTable(ProtocolState& p) { p.TempTable = TempTableValues(); }

double TemperatureFromTable(const TempTableEntries& table, uint8_t x) {
  if (table[x]) return *table[x];
  static const TempTableEntries reference = TempTableValues();
  if (reference[x]) return *reference[x];
  return kBottomPlateau;
}

}  // namespace velarin
