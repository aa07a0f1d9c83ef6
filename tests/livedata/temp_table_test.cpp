#include "livedata/temp_table.h"

#include <gtest/gtest.h>

#include <cmath>

#include "livedata/text_forms.h"

namespace velarin {
namespace {

class TempTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDecimalSeparator(".");
    BuildTempTable(form);
  }
  void TearDown() override { ResetDecimalSeparator(); }
  ProtocolState form;
};

struct EntryCase {
  int index;
  double value;  // to two decimals
};

TEST_F(TempTableTest, SegmentEndsComeOutOfRepeatedSubtraction) {
  const EntryCase cases[] = {
      {0, 125},     {32, 125},    {33, 122.1}, {48, 78.6}, {64, 59.2}, {80, 47.5},
      {96, 37.9},   {112, 29.5},  {128, 22},   {144, 14},  {160, 6.2}, {176, -1.8},
      {192, -11.8}, {208, -28.7}, {224, -55},  {225, -55}, {240, -55},
  };
  for (const EntryCase& c : cases) {
    ASSERT_TRUE(form.TempTable[c.index].has_value()) << c.index;
    EXPECT_NEAR(*form.TempTable[c.index], c.value, 0.005) << c.index;
  }
}

TEST_F(TempTableTest, EntriesFallAndTheTailStaysUnset) {
  // The subtractions end a hair below -55 at 224; the plateau is -55 exactly.
  for (int i = 1; i <= 240; ++i) {
    EXPECT_LE(*form.TempTable[i], *form.TempTable[i - 1] + 1e-9) << i;
  }
  for (int i = 241; i < kTempTableSize; ++i) EXPECT_FALSE(form.TempTable[i].has_value()) << i;
}

struct ShownCase {
  uint8_t raw;
  const char* shown;
};

TEST_F(TempTableTest, TemperaturesAsTheReadoutShowsThem) {
  const ShownCase cases[] = {
      {0x20, "125."},
      {0x21, "122.1"},
      {0x80, "22."},
      {0xE0, "-55."},
      {0xE1, "-55."},
      {0x70, "29.5"},
      {0x00, "125."},
      {0xF0, "-55."},
      // Beyond the table the -55 plateau goes on.
      {0xF1, "-55."},
      {0xFF, "-55."},
  };
  for (const ShownCase& c : cases) {
    EXPECT_EQ(TwoDecimalsText(TemperatureFromTable(form.TempTable, c.raw)), c.shown) << int(c.raw);
  }
}

TEST_F(TempTableTest, NoByteEverReadsAnUnsetOrNonFiniteValue) {
  const ProtocolState unbuilt;  // a frame before the window's load must not read garbage either
  for (int x = 0; x <= 255; ++x) {
    const double built = TemperatureFromTable(form.TempTable, static_cast<uint8_t>(x));
    EXPECT_TRUE(std::isfinite(built)) << x;
    EXPECT_EQ(TemperatureFromTable(unbuilt.TempTable, static_cast<uint8_t>(x)), built) << x;
  }
}

}  // namespace
}  // namespace velarin
