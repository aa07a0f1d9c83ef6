// The main window's port routines over the real back end and a pseudo-terminal.
// Over a pseudo-terminal: POSIX only (Windows: tests/wine).
#ifndef _WIN32

#include "link/link_port.h"

#include <gtest/gtest.h>

#include "platform/posix_serial_device.h"
#include "serial/master_termios.h"
#include "serial/pty_pair.h"

namespace velarin {
namespace {

using testing::PtyPair;
using testing::WaitUntil;

class LinkPortOverPty : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.ok());
    port_.device = &device_;
    port_.device_path = pty_.slave_path();
  }

  int32_t MasterRate() {
    auto rates = testing::ReadMasterRates(pty_.master());
    return rates ? rates->output : -1;
  }

  PtyPair pty_;
  PosixSerialDevice device_;
  LinkPort port_;
};

TEST_F(LinkPortOverPty, OpensAt1200WithTheLinesAndThresholdsSet) {
  OpenLinkPort(port_, 1);
  ASSERT_TRUE(port_.PortOpen()) << device_.LastError();
  EXPECT_EQ(MasterRate(), 1200);
  EXPECT_EQ(port_.baud, 1200);
  EXPECT_EQ(port_.CommPort, 1);
  EXPECT_TRUE(port_.DTREnable);
  EXPECT_TRUE(port_.RTSEnable);
  EXPECT_EQ(port_.RThreshold, 1);
  EXPECT_EQ(port_.SThreshold, 0);
  EXPECT_EQ(port_.Settings, "1200,n,8,1");
  EXPECT_TRUE(port_.debug_trace.empty());
}

TEST_F(LinkPortOverPty, SetBaudRateReachesTheLineAsExactly7812) {
  OpenLinkPort(port_, 1);
  ASSERT_TRUE(port_.PortOpen());
  SetBaudRate(port_, kKLineBaud);
  EXPECT_EQ(MasterRate(), 7812);
  EXPECT_EQ(port_.baud, 7812);
  EXPECT_EQ(port_.rate_warning, "") << "a pty reports the rate it was given";
  EXPECT_TRUE(port_.debug_trace.empty());
}

TEST_F(LinkPortOverPty, ClosedPortRecords8018AndChangesNothing) {
  OpenLinkPort(port_, 1);
  SetBaudRate(port_, kKLineBaud);
  CloseLinkPort(port_);
  ASSERT_FALSE(port_.PortOpen());

  SetBaudRate(port_, 9600);
  ASSERT_EQ(port_.debug_trace.size(), 1u);
  EXPECT_EQ(port_.debug_trace.back().number, kErrPortNotOpen);
  EXPECT_EQ(port_.debug_trace.back().message, "Operation valid only when the port is open");
  EXPECT_EQ(MasterRate(), 7812);
  EXPECT_EQ(port_.baud, 7812);
  EXPECT_FALSE(port_.PortOpen());
}

TEST_F(LinkPortOverPty, ReopenAfterTheSwitchIsBackAt1200) {
  OpenLinkPort(port_, 1);
  SetBaudRate(port_, kKLineBaud);
  pty_.WriteMaster({0x0F, 0xAA});
  ASSERT_TRUE(WaitUntil([&] { return device_.BytesWaiting() == 2; }));
  CloseLinkPort(port_);

  OpenLinkPort(port_, 1);
  ASSERT_TRUE(port_.PortOpen());
  EXPECT_EQ(MasterRate(), 1200);
  EXPECT_EQ(port_.baud, 1200);
  EXPECT_EQ(device_.BytesWaiting(), 0) << "nothing from the last session is left";
  EXPECT_EQ(port_.CommEvent(), 0);
}

TEST_F(LinkPortOverPty, CommEventTurnsTo2WithTheFirstByte) {
  OpenLinkPort(port_, 1);
  ASSERT_TRUE(port_.PortOpen());
  EXPECT_EQ(port_.CommEvent(), 0);
  pty_.WriteMaster({0x55});
  ASSERT_TRUE(WaitUntil([&] { return device_.BytesWaiting() > 0; }));
  EXPECT_EQ(port_.CommEvent(), 2);
}

TEST_F(LinkPortOverPty, APortHeldElsewhereStaysClosedSilently) {
  PosixSerialDevice holder;
  ASSERT_TRUE(holder.Open(pty_.slave_path()));
  OpenLinkPort(port_, 1);
  EXPECT_FALSE(port_.PortOpen());
  ASSERT_FALSE(port_.debug_trace.empty());
  EXPECT_NE(device_.LastError().find("in use"), std::string::npos) << device_.LastError();
}

TEST_F(LinkPortOverPty, AMissingDeviceStaysClosedSilently) {
  port_.device_path = "/dev/velarin-no-such-port";
  OpenLinkPort(port_, 1);
  EXPECT_FALSE(port_.PortOpen());
  SetBaudRate(port_, kKLineBaud);
  EXPECT_EQ(port_.debug_trace.back().number, kErrPortNotOpen);
  CloseLinkPort(port_);
  EXPECT_FALSE(port_.PortOpen());
}

TEST_F(LinkPortOverPty, PulledAdapterDuringTheSwitchIsAbsorbed) {
  OpenLinkPort(port_, 1);
  ASSERT_TRUE(port_.PortOpen());
  pty_.CloseMaster();
  SetBaudRate(port_, kKLineBaud);
  EXPECT_FALSE(port_.PortOpen());
  EXPECT_TRUE(device_.Vanished());
  ASSERT_FALSE(port_.debug_trace.empty());
  EXPECT_EQ(port_.debug_trace.back().number, kErrReadState);
  EXPECT_EQ(port_.baud, 1200);
  CloseLinkPort(port_);
}

}  // namespace
}  // namespace velarin

#endif  // _WIN32
