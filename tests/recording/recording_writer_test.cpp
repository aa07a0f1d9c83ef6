#include "recording/recording_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "recording/recording_name.h"

namespace velarin::recording {
namespace {

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class RecordingWriterTest : public ::testing::Test {
 protected:
  RecordingWriterTest()
      : dir_(std::filesystem::temp_directory_path() / ("velarin-rec-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(dir_);
  }
  ~RecordingWriterTest() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(RecordingWriterTest, EveryRowIsInTheFileAsSoonAsItIsWritten) {
  const std::string path = (dir_ / "r.csv").string();
  RecordingWriter w;
  ASSERT_TRUE(w.Open(path, "h\r\n"));
  EXPECT_TRUE(w.WriteRow("1,2\r\n"));
  EXPECT_EQ(Slurp(path), "h\r\n1,2\r\n");  // before Close
  EXPECT_TRUE(w.WriteRow("3,4\r\n"));
  EXPECT_EQ(w.Close(), 2u);
  EXPECT_EQ(w.Message(), "2 rows in " + path);
  EXPECT_FALSE(w.WriteRow("5,6\r\n"));
  EXPECT_EQ(Slurp(path), "h\r\n1,2\r\n3,4\r\n");
}

TEST_F(RecordingWriterTest, ARecordingWithNoRowSaysSo) {
  const std::string path = (dir_ / "empty.csv").string();
  RecordingWriter w;
  ASSERT_TRUE(w.Open(path, "h\r\n"));
  EXPECT_EQ(w.Close(), 0u);
  EXPECT_EQ(w.Message(), "the recording ended with no row: " + path);
}

TEST_F(RecordingWriterTest, FailuresStopWithTheirReason) {
  RecordingWriter w;
  const std::string nowhere = (dir_ / "no" / "such" / "dir.csv").string();
  EXPECT_FALSE(w.Open(nowhere, "h\r\n"));
  EXPECT_TRUE(w.failed());
  EXPECT_EQ(w.Message(),
            "recording stopped: cannot write " + nowhere + ": No such file or directory");
#ifndef _WIN32
  // A full disk: the header already fails, at its flush.
  EXPECT_FALSE(w.Open("/dev/full", "h\r\n"));
  EXPECT_EQ(w.Message(), "recording stopped: cannot write /dev/full: No space left on device");
  EXPECT_FALSE(w.WriteRow("1\r\n"));
  EXPECT_EQ(w.Close(), 0u);
  EXPECT_TRUE(w.failed());
#endif
}

#ifndef _WIN32
TEST_F(RecordingWriterTest, RowsWrittenBeforeAFailureStay) {
  // The file may not grow past 15 bytes: the third row fails half-way (EFBIG, not a signal).
  const std::string path = (dir_ / "limited.csv").string();
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 15;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  RecordingWriter w;
  const bool opened = w.Open(path, "h\r\n");
  const bool first = w.WriteRow("1,2\r\n");
  const bool third = w.WriteRow("3,4\r\n") && w.WriteRow("5,6\r\n");
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_TRUE(opened && first);
  EXPECT_FALSE(third);
  EXPECT_EQ(w.rows(), 2u);
  EXPECT_EQ(w.Message(),
            "recording stopped: cannot write " + path + ": File too large; 2 rows kept");
  EXPECT_EQ(w.Close(), 2u);
  EXPECT_EQ(Slurp(path), "h\r\n1,2\r\n3,4\r\n");  // and no part of the failed row
}
#endif

TEST(RecordingNameTest, FamilyAndLocalTime) {
  std::tm t{};
  t.tm_year = 2024 - 1900;
  t.tm_mon = 5;
  t.tm_mday = 1;
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 7;
  EXPECT_EQ(SuggestedRecordingName("15Rc", t), "velarin-15Rc-20240601-090507.csv");
}

}  // namespace
}  // namespace velarin::recording
