// The simulated ECU on a pseudo-terminal, driven through the real serial back
// end. Real time: each wait has a generous deadline, and nothing asserts on
// how long a step took.

#ifndef _WIN32

#include "sim/pty_host.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial_device.h"
#include "protocol/kline_codes.h"

namespace velarin {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr auto kDeadline = std::chrono::seconds(5);

// Polls `done` every 2 ms until it holds or the deadline passes.
bool Eventually(const std::function<bool()>& done) {
  const auto until = std::chrono::steady_clock::now() + kDeadline;
  while (std::chrono::steady_clock::now() < until) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return done();
}

// Collects bytes until `count` have arrived (or the deadline).
Bytes Collect(SerialDevice& dev, size_t count) {
  Bytes got;
  Eventually([&] {
    for (uint8_t b : dev.ReadAll()) got.push_back(b);
    return got.size() >= count;
  });
  return got;
}

class PtyHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EcuScenario s = DefaultScenario(EcuFamily::Ecu15m);
    s.engine_model = false;
    host_ = std::make_unique<PtyHost>(s);
    ASSERT_TRUE(host_->Start()) << host_->error();
    dev_ = MakePlatformSerialDevice();
    ASSERT_TRUE(dev_->Open(host_->slave_path())) << dev_->LastError();
  }

  std::unique_ptr<PtyHost> host_;
  std::unique_ptr<SerialDevice> dev_;
};

TEST_F(PtyHostTest, WakeUpAndIdentificationOverThePty) {
  host_->IgnitionOn();
  EXPECT_EQ(Collect(*dev_, 6), (Bytes{0x55, 0x01, 0x8A, 0x13, 0x27, 0x40}));
  EXPECT_TRUE(dev_->DataArrived());

  for (uint8_t b : kline::kWakeAnswer) ASSERT_TRUE(dev_->WriteByte(b));
  EXPECT_EQ(Collect(*dev_, 3), (Bytes{0x0F, 0xAA, 0xCC}));  // the adapter's echoes
  ASSERT_TRUE(dev_->WriteBaud(7812));
  EXPECT_TRUE(Eventually([&] { return host_->program_baud() == 7812; }));

  ASSERT_TRUE(dev_->WriteByte(kline::kIdentFirst));
  EXPECT_EQ(Collect(*dev_, 2), (Bytes{kline::kIdentFirst, 'V'}));
}

TEST_F(PtyHostTest, PortAtTheWrongRateHearsOnlyItsEcho) {
  ASSERT_TRUE(dev_->WriteBaud(7812));
  ASSERT_TRUE(Eventually([&] { return host_->program_baud() == 7812; }));
  host_->IgnitionOn();
  ASSERT_TRUE(dev_->WriteByte(0x42));
  EXPECT_EQ(Collect(*dev_, 1), Bytes{0x42});
  std::this_thread::sleep_for(std::chrono::milliseconds(150));  // the burst has gone by
  EXPECT_TRUE(dev_->ReadAll().empty());
}

TEST_F(PtyHostTest, HangupLeavesTheProgramWithAVanishedDevice) {
  host_->Hangup();
  EXPECT_TRUE(Eventually([&] {
    (void)dev_->BytesWaiting();
    (void)dev_->ReadAll();
    return !dev_->IsOpen();
  }));
  EXPECT_TRUE(dev_->Vanished());
}

TEST_F(PtyHostTest, LinkFollowsTheSlaveAndGoesAwayOnStop) {
  char dir_template[] = "/tmp/velarin-pty-XXXXXX";
  ASSERT_NE(mkdtemp(dir_template), nullptr);
  const std::string dir = dir_template;
  const std::string link = dir + "/ecu";
  ASSERT_TRUE(host_->LinkAt(link)) << host_->error();
  ASSERT_TRUE(host_->LinkAt(link)) << "an old link of ours is replaced";
  char target[256] = {};
  ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(std::string(target), host_->slave_path());

  const std::string file = dir + "/plain";
  std::ofstream(file) << "keep me";
  EXPECT_FALSE(host_->LinkAt(file));
  EXPECT_FALSE(host_->error().empty());

  dev_->Close();
  host_->Stop();
  struct stat st {};
  EXPECT_NE(lstat(link.c_str(), &st), 0);
  EXPECT_EQ(lstat(file.c_str(), &st), 0);
  ::unlink(file.c_str());
  ::rmdir(dir.c_str());
}

}  // namespace
}  // namespace velarin

#endif  // _WIN32
