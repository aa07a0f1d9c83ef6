#pragma once
// A main window wired to a simulated ECU on the virtual clock, awake at 7812
// baud and ready for live-data frames.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "forms/app.h"
#include "forms/ecu_family.h"
#include "link/exchange.h"
#include "link/link_port.h"
#include "livedata/temp_table.h"
#include "livedata/text_forms.h"
#include "sim/simulated_line.h"
#include "support/test_services.h"

namespace velarin::testing {

class FrameTest : public ::testing::Test {
 protected:
  FrameTest() { app.services = &services; }
  void SetUp() override { SetDecimalSeparator("."); }
  void TearDown() override { ResetDecimalSeparator(); }

  VirtualClock& clock() { return services.virtual_clock(); }
  Form2& form() { return app.form2; }
  ProtocolState& protocol() { return app.protocol; }

  // Selects `family`, opens the port on a simulated ECU answering `raw`, wakes it.
  void Start(EcuFamily family, std::map<uint8_t, uint8_t> raw = {}) {
    EcuScenario scenario;
    scenario.family = family;
    scenario.engine_model = false;
    scenario.raw = std::move(raw);
    line = std::make_unique<SimulatedLine>(clock(), scenario);
    SelectFamilyOption(form(), family);
    BuildTempTable(protocol());
    LinkPort& port = protocol().MSComm1;
    port.device = &line->device();
    OpenLinkPort(port, 1);
    ASSERT_TRUE(port.PortOpen());
    line->IgnitionOn();
    if (family != EcuFamily::EcuP8) {
      clock().Advance(100);  // the burst, where the family sends one
      for (uint8_t b : {0x0F, 0xAA, 0xCC}) {
        SendByte(port, b);
        clock().Advance(20);
      }
    } else {
      clock().Advance(5);
    }
    SetBaudRate(port, kKLineBaud);
    FlushInput(port);
    ASSERT_TRUE(line->ecu_awake());
    // Sentinels show which readouts a frame touched.
    for (int i = 0; i < kReadoutCount; ++i) form().Text1[i].text = "r" + std::to_string(i);
    form().Label26.caption = "l26";
    form().Label4.caption = "status";
    sent_before_ = line->SentByProgram().size();
    clock().ClearSleeps();
  }

  void OnlyChannels(std::initializer_list<int> channels) {
    for (int i = 0; i < kChannelCount; ++i) {
      form().Check1[i].value = std::find(channels.begin(), channels.end(), i) != channels.end();
    }
  }

  // The bytes the program sent since Start (or the last call).
  std::vector<uint8_t> Sent() {
    std::vector<uint8_t> all = line->SentByProgram();
    std::vector<uint8_t> recent(all.begin() + static_cast<long>(sent_before_), all.end());
    sent_before_ = all.size();
    return recent;
  }

  size_t SleepsOf(uint32_t ms) {
    const auto& s = services.virtual_clock().sleeps();
    return static_cast<size_t>(std::count(s.begin(), s.end(), ms));
  }

  int LitSegments() const {
    int lit = 0;
    for (const LineSegment& s : app.form2.Line1) lit += s.Lit() ? 1 : 0;
    return lit;
  }

  // True when segments 0..level-1 are lit and the rest unlit.
  bool BarShows(int level) const {
    for (int i = 0; i < kBarSegments; ++i) {
      if (app.form2.Line1[i].Lit() != (i < level)) return false;
    }
    return true;
  }

  TestServices services;
  App app;
  std::unique_ptr<SimulatedLine> line;

 private:
  size_t sent_before_ = 0;
};

}  // namespace velarin::testing
