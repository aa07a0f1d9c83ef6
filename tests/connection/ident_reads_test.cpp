#include "connection/ident_reads.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "connection/connection_fixture.h"
#include "forms/timer_on.h"

namespace velarin {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

enum class Which { kEcuInfo, kCalibration };

struct ReadCase {
  const char* name;
  Which which;
  std::function<void(EcuScenario&)> script;  // how the ECU answers
  std::function<void(App&)> before;          // switches, port state
  Lines log;
  std::string text4;
  Bytes sent;  // identification / calibration codes that went out
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class IdentReadTest : public testing::ConnectionRig<::testing::TestWithParam<ReadCase>> {
 protected:
  // A P8 link is up at 7812 as soon as the port opens: no handshake to wait for.
  void ConnectP8(const ReadCase& c) {
    EcuScenario s = Scenario(EcuFamily::EcuP8);
    if (c.script) c.script(s);
    Load(s);
    ClickFamily(app_, EcuFamily::EcuP8);
    line_->IgnitionOn();
    ClickConnectSwitch(app_);
    TimerOn(app_.protocol.Timer1, app_.clock(), 0);  // the test runs the read itself
    app_.form2.Rtb1.Clear();
  }
};

const Bytes kInfoCodes = {0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20};
const Bytes kCalCodes = {0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28};

void CalibrationOn(App& app) { app.form2.Check4.value = true; }

TEST_P(IdentReadTest, ReadsLogsAndSetsItsFlag) {
  const ReadCase& c = GetParam();
  ConnectP8(c);
  if (c.before) c.before(app_);
  app_.form2.Text4.text.clear();
  const bool info = c.which == Which::kEcuInfo;
  if (info) {
    ClickEcuInfoButton(app_);
  } else {
    ClickCalibrationButton(app_);
  }
  EXPECT_EQ(LogLines(), c.log);
  EXPECT_EQ(app_.form2.Text4.text, c.text4);
  EXPECT_TRUE(info ? app_.protocol.ecuinf : app_.protocol.cal_ask) << "set whatever the outcome";
  EXPECT_EQ(info ? SentInRange(0x17, 0x20) : SentInRange(0x21, 0x28), c.sent);
}

const std::string kNul(1, '\0');

INSTANTIATE_TEST_SUITE_P(
    Reads, IdentReadTest,
    ::testing::Values(
        ReadCase{"info_complete",
                 Which::kEcuInfo,
                 nullptr,
                 nullptr,
                 {"ask ecu info... ", "Ecu info: 0 ID3ABCDEFG"},
                 "ecu data    : ID3ABCDEFG\r\n",
                 kInfoCodes},
        // 3000 ms of 4 ms passes: the first reading past the time-out is at 3004.
        ReadCase{"info_fourth_code_unanswered",
                 Which::kEcuInfo,
                 [](EcuScenario& s) { s.answers[0x1A] = {}; },
                 nullptr,
                 {"ask ecu info... ", "Ecu info: 3004 ID3"},
                 "",
                 {0x17, 0x18, 0x19, 0x1A}},
        ReadCase{"info_first_code_unanswered",
                 Which::kEcuInfo,
                 [](EcuScenario& s) { s.answers[0x17] = {}; },
                 nullptr,
                 {"ask ecu info... ", "Ecu info: 3004 "},
                 "",
                 {0x17}},
        ReadCase{"info_three_byte_answer_uses_the_first_data_byte",
                 Which::kEcuInfo,
                 [](EcuScenario& s) {
                   s.answers[0x17] = {'X', 'Y'};
                 },
                 nullptr,
                 {"ask ecu info... ", "Ecu info: 0 XD3ABCDEFG"},
                 "ecu data    : XD3ABCDEFG\r\n",
                 kInfoCodes},
        ReadCase{"info_nul_bytes_stay_in_the_text",
                 Which::kEcuInfo,
                 [](EcuScenario& s) {
                   s.answers[0x18] = {0x00};
                   s.answers[0x20] = {0x00};
                 },
                 nullptr,
                 {"ask ecu info... ", "Ecu info: 0 I" + kNul + "3ABCDEF" + kNul},
                 "ecu data    : I" + kNul + "3ABCDEF" + kNul + "\r\n",
                 kInfoCodes},
        ReadCase{"info_high_bytes_kept",
                 Which::kEcuInfo,
                 [](EcuScenario& s) { s.answers[0x17] = {0xE9}; },
                 nullptr,
                 {"ask ecu info... ",
                  "Ecu info: 0 \xE9"
                  "D3ABCDEFG"},
                 "ecu data    : \xE9"
                 "D3ABCDEFG\r\n",
                 kInfoCodes},
        // Without the adapter's echo only one byte comes back: that is a time-out.
        ReadCase{"info_no_echo_times_out",
                 Which::kEcuInfo,
                 [](EcuScenario& s) { s.echo = false; },
                 nullptr,
                 {"ask ecu info... ", "Ecu info: 3004 "},
                 "",
                 {0x17}},
        ReadCase{"info_switched_off",
                 Which::kEcuInfo,
                 nullptr,
                 [](App& app) { app.form2.Check3.value = false; },
                 {"Ecu info: 0 "},
                 "",
                 {}},
        ReadCase{"info_port_closed",
                 Which::kEcuInfo,
                 nullptr,
                 [](App& app) { ClickConnectSwitch(app); },
                 {"Ecu info: 0 "},
                 "",
                 {}},
        ReadCase{"cal_complete",
                 Which::kCalibration,
                 nullptr,
                 CalibrationOn,
                 {"ask ecu calibration... ", "Cal: 3 CAL12345"},
                 "calibration : CAL12345\r\n",
                 kCalCodes},
        // 3 ms passes: the first reading past the time-out is at 3003.
        ReadCase{"cal_sixth_code_unanswered",
                 Which::kCalibration,
                 [](EcuScenario& s) { s.answers[0x26] = {}; },
                 CalibrationOn,
                 {"ask ecu calibration... ", "Cal: 3003 CAL12"},
                 "",
                 {0x21, 0x22, 0x23, 0x24, 0x25, 0x26}},
        ReadCase{"cal_nul_byte",
                 Which::kCalibration,
                 [](EcuScenario& s) { s.answers[0x21] = {0x00}; },
                 CalibrationOn,
                 {"ask ecu calibration... ", "Cal: 3 " + kNul + "AL12345"},
                 "calibration : " + kNul + "AL12345\r\n",
                 kCalCodes},
        ReadCase{"cal_off_by_default", Which::kCalibration, nullptr, nullptr, {"Cal: 0 "}, "", {}},
        ReadCase{"cal_port_closed",
                 Which::kCalibration,
                 nullptr,
                 [](App& app) {
                   CalibrationOn(app);
                   ClickConnectSwitch(app);
                 },
                 {"Cal: 0 "},
                 "",
                 {}}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// The two reads poll differently: 3 ms then 1 ms per pass, or 3 ms alone,
// always after the 8 ms pause before each request.
class IdentPollTest : public testing::ConnectionFixture {};

TEST_F(IdentPollTest, EachReadSleepsItsOwnPollStep) {
  struct Case {
    Which which;
    std::set<uint32_t> sleeps;
  } cases[] = {{Which::kEcuInfo, {8, 3, 1}}, {Which::kCalibration, {8, 3}}};
  Load(EcuFamily::EcuP8);
  line_->IgnitionOn();
  ClickConnectSwitch(app_);
  TimerOn(app_.protocol.Timer1, app_.clock(), 0);
  app_.form2.Check4.value = true;
  for (const Case& c : cases) {
    clock_.ClearSleeps();
    if (c.which == Which::kEcuInfo) {
      ReadEcuInfo(app_.form2, app_.protocol, app_.clock());
    } else {
      ReadCalibration(app_.form2, app_.protocol, app_.clock());
    }
    const std::set<uint32_t> distinct(clock_.sleeps().begin(), clock_.sleeps().end());
    EXPECT_EQ(distinct, c.sleeps);
  }
}

TEST_F(IdentPollTest, ButtonsRunTheReadAgainOnDemand) {
  Load(EcuFamily::EcuP8);
  line_->IgnitionOn();
  ClickConnectSwitch(app_);
  TimerOn(app_.protocol.Timer1, app_.clock(), 0);
  ClickEcuInfoButton(app_);
  ClickEcuInfoButton(app_);
  EXPECT_EQ(app_.form2.Text4.text, "ecu data    : ID3ABCDEFG\r\necu data    : ID3ABCDEFG\r\n");
  EXPECT_EQ(SentInRange(0x17, 0x20).size(), 20u);
}

}  // namespace
}  // namespace velarin
