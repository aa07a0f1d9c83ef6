#pragma once
// A main window wired to the event loop on the virtual clock, its port on a
// simulated K-line, its settings in a fresh temporary folder.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "forms/app.h"
#include "forms/captions.h"
#include "sim/ecu_scenario.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"

namespace velarin::testing {

inline constexpr const char* kVirtualPort = "/dev/ttyVIRT0";

// Base is ::testing::Test, or ::testing::TestWithParam<Case> for a table of cases.
template <typename Base = ::testing::Test>
class ConnectionRig : public Base {
 protected:
  ConnectionRig() : loop_(app_, clock_) {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    dir_ = std::filesystem::temp_directory_path() /
           ("velarin-conn-" + std::to_string(getpid()) + "-" + name);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    app_.settings_path = (dir_ / "velarin.ini").string();
    WireMainLoop(loop_, app_);
  }
  ~ConnectionRig() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // A scenario whose ECU answers at once and whose texts are easy to spot.
  static EcuScenario Scenario(EcuFamily family) {
    EcuScenario s;
    s.family = family;
    s.ident = "ID" + std::to_string(static_cast<int>(family)) + "ABCDEFG";
    s.calibration = "CAL12345";
    return s;
  }

  // Loads the window with the port on a fresh simulated line.
  void Load(EcuScenario scenario) {
    line_ = std::make_unique<SimulatedLine>(clock_, std::move(scenario));
    app_.protocol.MSComm1.device = &line_->device();
    app_.protocol.MSComm1.device_path = kVirtualPort;
    LoadMainWindow(app_);
  }
  void Load(EcuFamily family) {
    Load(Scenario(family));
    ClickFamily(app_, family);
  }

  // Runs the loop until `done` or `ms` of virtual time passed.
  bool RunUntil(const std::function<bool()>& done, uint32_t ms = 20000) {
    return loop_.RunUntil(done, ms);
  }
  void RunTicks(uint64_t n) {
    const uint64_t target = loop_.ticks_run() + n;
    ASSERT_TRUE(RunUntil([&] { return loop_.ticks_run() >= target; }));
  }

  std::vector<std::string> LogLines() const { return SplitLines(app_.form2.Rtb1.Text()); }
  static std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t begin = 0;
    for (size_t end; (end = text.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
      lines.push_back(text.substr(begin, end - begin));
    }
    EXPECT_EQ(begin, text.size()) << "every entry ends with CR LF";
    return lines;
  }
  // The log lines appended since `from` lines.
  std::vector<std::string> LogSince(size_t from) const {
    std::vector<std::string> all = LogLines();
    return std::vector<std::string>(all.begin() + std::min(from, all.size()), all.end());
  }

  std::string ReadSettings() const {
    std::ifstream in(app_.settings_path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void WriteSettings(const std::string& text) const {
    std::ofstream(app_.settings_path, std::ios::binary) << text;
  }
  bool SettingsExist() const { return std::filesystem::exists(app_.settings_path); }

  // Bytes the program sent that lie in [first, last].
  std::vector<uint8_t> SentInRange(uint8_t first, uint8_t last) const {
    std::vector<uint8_t> out;
    for (uint8_t b : line_->SentByProgram()) {
      if (b >= first && b <= last) out.push_back(b);
    }
    return out;
  }

  VirtualClock clock_;
  App app_;
  EventLoop loop_;
  std::unique_ptr<SimulatedLine> line_;
  std::filesystem::path dir_;
};

using ConnectionFixture = ConnectionRig<>;

// What every Disconnect leaves, whatever the state it ended.
inline void ExpectDisconnected(const App& app) {
  const Form2& f = app.form2;
  const ProtocolState& p = app.protocol;
  EXPECT_FALSE(p.Timer1.enabled);
  EXPECT_EQ(p.Timer1.interval, 0);
  EXPECT_FALSE(p.MSComm1.PortOpen());
  EXPECT_FALSE(f.Check2.value);
  EXPECT_EQ(f.Check2.caption, captions::kConnect);
  EXPECT_EQ(f.Text4.text, "");
  for (int i = 0; i < kReadoutCount; ++i) EXPECT_EQ(f.Text1[i].text, "") << i;
  EXPECT_FALSE(p.init);
  EXPECT_FALSE(p.ecuinf);
  EXPECT_FALSE(p.cal_ask);
  EXPECT_EQ(f.Label4.caption, "");
  EXPECT_FALSE(f.test.enabled);
  EXPECT_FALSE(f.Command11.enabled);
}

// Nothing more happens on the link or in the log for `ms` of idling.
inline void ExpectQuiet(EventLoop& loop, const SimulatedLine& line, const Form2& f, uint32_t ms) {
  const uint64_t ticks = loop.ticks_run();
  const size_t sent = line.SentByProgram().size();
  const size_t log = f.Rtb1.Text().size();
  loop.RunFor(ms);
  EXPECT_EQ(loop.ticks_run(), ticks);
  EXPECT_EQ(line.SentByProgram().size(), sent);
  EXPECT_EQ(f.Rtb1.Text().size(), log);
}

}  // namespace velarin::testing
