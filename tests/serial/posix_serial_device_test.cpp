// The POSIX back end over pseudo-terminals (Windows: tests/wine).
#ifndef _WIN32

#include "platform/posix_serial_device.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <functional>
#include <thread>

#include "platform/serial_errors.h"
#include "serial/master_termios.h"
#include "serial/pty_pair.h"

namespace velarin {
namespace {

using testing::OpenDescriptorCount;
using testing::PtyPair;
using testing::ReadMasterRates;
using testing::WaitUntil;

std::vector<uint8_t> AllByteValues() {
  std::vector<uint8_t> bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<uint8_t>(b));
  return bytes;
}

int32_t MasterOutputRate(const PtyPair& pty) {
  auto rates = ReadMasterRates(pty.master());
  return rates ? rates->output : -1;
}

class PosixSerialDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.ok());
    ASSERT_TRUE(device_.Open(pty_.slave_path())) << device_.LastError();
  }

  PtyPair pty_;
  PosixSerialDevice device_;
};

TEST_F(PosixSerialDeviceTest, OpensRawAt1200FromACookedLine) {
  EXPECT_TRUE(device_.IsOpen());
  EXPECT_FALSE(device_.Vanished());
  EXPECT_EQ(device_.LastError(), "");
  auto rates = ReadMasterRates(pty_.master());
  ASSERT_TRUE(rates.has_value());
  EXPECT_EQ(rates->input, 1200);
  EXPECT_EQ(rates->output, 1200);
  EXPECT_EQ(device_.ReadBaud(), 1200);
  EXPECT_EQ(testing::RawModeViolations(pty_.master()), std::vector<std::string>{});
}

TEST_F(PosixSerialDeviceTest, APseudoTerminalDoesNotSayWhetherItHasLowLatency) {
  EXPECT_EQ(device_.ReadLatencyMode().low_latency, LatencyMode::LowLatency::kUnknown);
  device_.Close();
  EXPECT_EQ(device_.ReadLatencyMode().tty, "") << "a closed port reports nothing";
}

TEST_F(PosixSerialDeviceTest, WriteBaudHandsTheRateOverUnrounded) {
  for (int32_t baud : {7812, 7813, 7811, 10400, 9600, 1, 250000, 1200}) {
    ASSERT_TRUE(device_.WriteBaud(baud)) << baud << ": " << device_.LastError();
    auto rates = ReadMasterRates(pty_.master());
    ASSERT_TRUE(rates.has_value());
    EXPECT_EQ(rates->output, baud);
    EXPECT_EQ(rates->input, baud);
    EXPECT_EQ(device_.ReadBaud(), baud);
  }
}

TEST_F(PosixSerialDeviceTest, WriteBaudLeavesEveryOtherFieldAsRead) {
  ASSERT_TRUE(testing::PerturbFieldsBesideRate(pty_.master()));
  auto before = testing::FieldsBesideRate(pty_.master());
  ASSERT_TRUE(before.has_value());
  ASSERT_TRUE(device_.WriteBaud(7812));
  EXPECT_EQ(testing::FieldsBesideRate(pty_.master()), before);
  EXPECT_EQ(MasterOutputRate(pty_), 7812);
}

TEST_F(PosixSerialDeviceTest, WriteBaudRefusesRatesBelowOne) {
  for (int32_t baud : {0, -1, -7812, INT32_MIN}) {
    EXPECT_FALSE(device_.WriteBaud(baud)) << baud;
    EXPECT_EQ(device_.LastError(), std::string(serial_texts::kInvalidBaud) + std::to_string(baud));
    EXPECT_EQ(MasterOutputRate(pty_), 1200) << baud;
    EXPECT_TRUE(device_.IsOpen());
  }
}

TEST_F(PosixSerialDeviceTest, EveryByteValuePassesUnchangedBothWays) {
  // 0x0D, 0x11, 0x13, 0x03, 0x7F and 0xFF would be eaten or rewritten by a cooked line.
  const std::vector<uint8_t> all = AllByteValues();
  pty_.WriteMaster(all);
  ASSERT_TRUE(WaitUntil([&] { return device_.BytesWaiting() >= 256; }));
  EXPECT_EQ(device_.BytesWaiting(), 256);
  EXPECT_EQ(device_.ReadAll(), all);
  EXPECT_EQ(device_.BytesWaiting(), 0);
  EXPECT_EQ(device_.ReadAll(), std::vector<uint8_t>{});

  for (uint8_t b : all) ASSERT_TRUE(device_.WriteByte(b)) << int(b) << ": " << device_.LastError();
  EXPECT_EQ(pty_.ReadMaster(all.size()), all);
  EXPECT_TRUE(device_.IsOpen());
}

TEST_F(PosixSerialDeviceTest, WriteByteSendsExactlyOneByte) {
  ASSERT_TRUE(device_.WriteByte(0xAA));
  ASSERT_TRUE(device_.WriteByte(0xCC));
  EXPECT_EQ(pty_.ReadMaster(2), (std::vector<uint8_t>{0xAA, 0xCC}));
  // Nothing follows the two bytes.
  EXPECT_EQ(pty_.ReadMaster(1, 50), std::vector<uint8_t>{});
}

TEST_F(PosixSerialDeviceTest, DataArrivedIsSetByTheFirstByteSeenThroughAnyCall) {
  struct Case {
    const char* how;
    std::function<bool(PosixSerialDevice&)> notice;
  } cases[] = {
      {"BytesWaiting", [](PosixSerialDevice& d) { return d.BytesWaiting() > 0; }},
      {"ReadAll", [](PosixSerialDevice& d) { return !d.ReadAll().empty(); }},
      // The wake-up asks before anything counts or reads: the driver must be asked.
      {"DataArrived alone", [](PosixSerialDevice& d) { return d.DataArrived(); }},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(device_.Open(pty_.slave_path())) << device_.LastError();
    EXPECT_FALSE(device_.DataArrived()) << c.how;
    EXPECT_EQ(device_.BytesWaiting(), 0);
    EXPECT_TRUE(device_.ReadAll().empty());
    EXPECT_FALSE(device_.DataArrived()) << c.how;

    pty_.WriteMaster({0x55});
    ASSERT_TRUE(WaitUntil([&] { return c.notice(device_); })) << c.how;
    EXPECT_TRUE(device_.DataArrived()) << c.how;
    (void)device_.ReadAll();
    EXPECT_TRUE(device_.DataArrived()) << c.how << ": stays set once the input is read";
  }
  device_.Close();
  ASSERT_TRUE(device_.Open(pty_.slave_path()));
  EXPECT_FALSE(device_.DataArrived()) << "a new open starts without data";
}

TEST(PosixSerialDevice, StaleInputIsDiscardedAtOpen) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  pty.WriteMaster({'o', 'l', 'd', '\n'});
  // The line has reached the tty once the test's own (canonical) slave end sees it.
  pollfd p{pty.slave(), POLLIN, 0};
  ASSERT_EQ(poll(&p, 1, 2000), 1);

  PosixSerialDevice device;
  ASSERT_TRUE(device.Open(pty.slave_path())) << device.LastError();
  EXPECT_EQ(device.BytesWaiting(), 0);
  EXPECT_TRUE(device.ReadAll().empty());
  EXPECT_FALSE(device.DataArrived());
}

TEST_F(PosixSerialDeviceTest, ASecondOpenerIsRefusedUntilTheFirstCloses) {
  PosixSerialDevice second;
  int fds = OpenDescriptorCount();
  EXPECT_FALSE(second.Open(pty_.slave_path()));
  EXPECT_FALSE(second.IsOpen());
  EXPECT_FALSE(second.Vanished());
  EXPECT_EQ(second.LastError(), pty_.slave_path() + ": " + std::string(serial_texts::kInUse));
  EXPECT_EQ(OpenDescriptorCount(), fds) << "the refused descriptor must be closed";

  // The holder is undisturbed by the refusal.
  ASSERT_TRUE(device_.WriteByte(0x17));
  EXPECT_EQ(pty_.ReadMaster(1), std::vector<uint8_t>{0x17});
  EXPECT_EQ(device_.ReadBaud(), 1200);

  device_.Close();
  EXPECT_TRUE(second.Open(pty_.slave_path())) << second.LastError();
}

TEST(PosixSerialDevice, DestructionReleasesThePort) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  {
    PosixSerialDevice first;
    ASSERT_TRUE(first.Open(pty.slave_path()));
  }
  PosixSerialDevice second;
  EXPECT_TRUE(second.Open(pty.slave_path())) << second.LastError();
}

TEST(PosixSerialDevice, OpeningAnotherPathReleasesTheFirst) {
  PtyPair one, two;
  ASSERT_TRUE(one.ok() && two.ok());
  PosixSerialDevice device;
  ASSERT_TRUE(device.Open(one.slave_path()));
  ASSERT_TRUE(device.Open(two.slave_path()));
  PosixSerialDevice other;
  EXPECT_TRUE(other.Open(one.slave_path())) << other.LastError();
  EXPECT_FALSE(other.Open(two.slave_path()));
}

TEST(PosixSerialDevice, FailedOpensLeaveAClearReasonAndNoDescriptor) {
  char file_template[] = "/tmp/velarin-serial-XXXXXX";
  int file_fd = mkstemp(file_template);
  ASSERT_GE(file_fd, 0);
  close(file_fd);
  const std::string regular_file = file_template;

  struct Case {
    std::string path;
    std::string error;
  } cases[] = {
      {"/dev/velarin-no-such-port", "/dev/velarin-no-such-port: no such device"},
      {"", ": no such device"},
      {regular_file, regular_file + ": not a serial port"},
      {"/dev/null", "/dev/null: not a serial port"},
      {"/tmp", "/tmp: " + std::generic_category().message(EISDIR)},
  };
  for (const Case& c : cases) {
    PosixSerialDevice device;
    int fds = OpenDescriptorCount();
    EXPECT_FALSE(device.Open(c.path)) << c.path;
    EXPECT_FALSE(device.IsOpen()) << c.path;
    EXPECT_FALSE(device.Vanished()) << c.path;
    EXPECT_EQ(device.LastError(), c.error);
    EXPECT_EQ(OpenDescriptorCount(), fds) << c.path;
    EXPECT_EQ(device.BytesWaiting(), 0);
    EXPECT_FALSE(device.WriteByte(0x0F));
  }
  unlink(file_template);
}

TEST(PosixSerialDevice, ANeverOpenedDeviceAnswersHarmlessly) {
  PosixSerialDevice device;
  EXPECT_FALSE(device.IsOpen());
  EXPECT_FALSE(device.Vanished());
  EXPECT_FALSE(device.DataArrived());
  EXPECT_EQ(device.BytesWaiting(), 0);
  EXPECT_TRUE(device.ReadAll().empty());
  EXPECT_FALSE(device.WriteByte(0x0F));
  EXPECT_EQ(device.LastError(), serial_texts::kNotOpen);
  EXPECT_FALSE(device.ReadBaud().has_value());
  EXPECT_FALSE(device.WriteBaud(7812));
  device.Close();
  device.Close();
  EXPECT_FALSE(device.IsOpen());
}

TEST(PosixSerialDevice, ReopenAfterARateSwitchStartsAt1200Again) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  PosixSerialDevice device;
  ASSERT_TRUE(device.Open(pty.slave_path()));
  ASSERT_TRUE(device.WriteBaud(7812));
  device.Close();
  EXPECT_FALSE(device.IsOpen());
  // The line keeps 7812 while closed; the open must set 1200 itself.
  ASSERT_EQ(MasterOutputRate(pty), 7812);
  ASSERT_TRUE(device.Open(pty.slave_path()));
  EXPECT_EQ(MasterOutputRate(pty), 1200);
  EXPECT_EQ(device.ReadBaud(), 1200);
}

TEST(PosixSerialDevice, AHungUpLineClosesThePortWithinTwoCalls) {
  struct Case {
    const char* call;
    std::function<void(PosixSerialDevice&)> run;
  } cases[] = {
      {"BytesWaiting", [](PosixSerialDevice& d) { (void)d.BytesWaiting(); }},
      {"ReadAll", [](PosixSerialDevice& d) { (void)d.ReadAll(); }},
      {"WriteByte", [](PosixSerialDevice& d) { (void)d.WriteByte(0x01); }},
      {"ReadBaud", [](PosixSerialDevice& d) { (void)d.ReadBaud(); }},
      {"WriteBaud", [](PosixSerialDevice& d) { (void)d.WriteBaud(7812); }},
  };
  for (const Case& c : cases) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    PosixSerialDevice device;
    ASSERT_TRUE(device.Open(pty.slave_path())) << c.call;
    pty.CloseMaster();
    int fds_open = OpenDescriptorCount();

    c.run(device);
    if (device.IsOpen()) c.run(device);
    EXPECT_FALSE(device.IsOpen()) << c.call;
    EXPECT_TRUE(device.Vanished()) << c.call;
    EXPECT_EQ(device.LastError(), pty.slave_path() + std::string(serial_texts::kWentAway))
        << c.call;
    EXPECT_EQ(OpenDescriptorCount(), fds_open - 1) << c.call << ": the descriptor is closed";

    // Later calls stay harmless and keep the verdict.
    EXPECT_EQ(device.BytesWaiting(), 0);
    EXPECT_TRUE(device.ReadAll().empty());
    EXPECT_FALSE(device.WriteByte(0x01));
    EXPECT_TRUE(device.Vanished());
  }
}

TEST(PosixSerialDevice, ReopeningAVanishedPortFailsCleanly) {
  std::string path;
  PosixSerialDevice device;
  {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    path = pty.slave_path();
    ASSERT_TRUE(device.Open(path));
  }
  (void)device.BytesWaiting();
  ASSERT_TRUE(device.Vanished());
  EXPECT_FALSE(device.Open(path));
  EXPECT_FALSE(device.IsOpen());
  EXPECT_FALSE(device.Vanished()) << "a failed open is not a vanishing";
  EXPECT_NE(device.LastError(), "");
}

// Fills the line's output queue so that the next write finds no room. The kernel
// frees room in steps as it moves data on, so fill until a few pauses free none.
size_t FillOutputQueue(int slave_fd) {
  int flags = fcntl(slave_fd, F_GETFL);
  fcntl(slave_fd, F_SETFL, flags | O_NONBLOCK);
  std::vector<uint8_t> chunk(4096, 'x');
  size_t total = 0;
  for (int idle_rounds = 0; idle_rounds < 3;) {
    size_t before = total;
    for (;;) {
      ssize_t r = write(slave_fd, chunk.data(), chunk.size());
      if (r > 0)
        total += static_cast<size_t>(r);
      else if (r < 0 && errno == EINTR)
        continue;
      else
        break;
    }
    idle_rounds = total == before ? idle_rounds + 1 : 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  fcntl(slave_fd, F_SETFL, flags);
  return total;
}

void IgnoreSignal(int) {}

TEST(PosixSerialDevice, WriteByteWaitsForRoomThroughInterruptions) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  PosixSerialDevice device;
  ASSERT_TRUE(device.Open(pty.slave_path()));
  const size_t queued = FillOutputQueue(pty.slave());
  ASSERT_GT(queued, 0u);

  struct sigaction quiet {};
  quiet.sa_handler = IgnoreSignal;
  sigemptyset(&quiet.sa_mask);
  quiet.sa_flags = 0;  // no SA_RESTART: poll and write see EINTR
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGUSR1, &quiet, &previous), 0);

  const pthread_t writer = pthread_self();
  std::atomic<size_t> drained{0};
  std::vector<uint8_t> tail;
  std::thread far_end([&] {
    for (int i = 0; i < 3; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      pthread_kill(writer, SIGUSR1);
    }
    std::vector<uint8_t> got = pty.ReadMaster(queued + 1);
    drained = got.size();
    if (!got.empty()) tail.push_back(got.back());
  });
  bool sent = device.WriteByte(0x5A);
  far_end.join();
  sigaction(SIGUSR1, &previous, nullptr);

  EXPECT_TRUE(sent) << device.LastError();
  EXPECT_TRUE(device.IsOpen());
  EXPECT_EQ(drained.load(), queued + 1);
  EXPECT_EQ(tail, std::vector<uint8_t>{0x5A});
}

TEST(PosixSerialDevice, WriteByteGivesUpOnAQueueThatNeverDrains) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  PosixSerialDevice device;
  ASSERT_TRUE(device.Open(pty.slave_path()));
  const size_t queued = FillOutputQueue(pty.slave());
  ASSERT_GT(queued, 0u);

  EXPECT_FALSE(device.WriteByte(0x5A));
  EXPECT_EQ(device.LastError(), serial_texts::kWriteTimedOut);
  EXPECT_TRUE(device.IsOpen()) << "a slow line is not a vanished one";
  // The refused byte was never queued: the far end sees only the filler.
  std::vector<uint8_t> got = pty.ReadMaster(queued + 1, 200);
  EXPECT_EQ(got.size(), queued);
}

TEST(PosixSerialDevice, FactoryMakesTheRealBackEnd) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  std::unique_ptr<SerialDevice> device = MakePlatformSerialDevice();
  ASSERT_NE(device, nullptr);
  ASSERT_TRUE(device->Open(pty.slave_path())) << device->LastError();
  ASSERT_TRUE(device->WriteBaud(7812));
  EXPECT_EQ(MasterOutputRate(pty), 7812);
}

}  // namespace
}  // namespace velarin

#endif  // _WIN32
