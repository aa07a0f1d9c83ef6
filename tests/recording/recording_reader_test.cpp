#include "recording/recording_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>

namespace velarin::recording {
namespace {

const std::string kHeader = std::string(kCsvHeader) + "\r\n";
const std::string kRow = "1197,1347,3.174,12.5,393,18,19,1.6,13.875,3,\r\n";

RecordingRead Read(const std::string& text, LiveSeries& series) {
  std::istringstream in(text);
  return ReadRecording(in, series);
}

TEST(RecordingReaderTest, FilesThatAreNotOursGiveOneMessageAndLoadNothing) {
  struct Case {
    const char* name;
    std::string text;
    const char* message;
  } cases[] = {
      {"empty", "", "not a Velarin recording: the file is empty"},
      {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
       "not a Velarin recording: the file holds binary data"},
      {"other header", "time,rpm\r\n1,2\r\n",
       "not a Velarin recording: its first line is not t_ms,rpm,inj_ms,advance_deg,map_mbar,"
       "air_c,water_c,throttle,battery_v,trimmer,throttle_v"},
      {"semicolons",
       "t_ms;rpm;inj_ms;advance_deg;map_mbar;air_c;water_c;throttle;battery_v;"
       "trimmer;throttle_v\n",
       nullptr},
      {"huge first line", std::string(1 << 20, 'x'), nullptr},
      {"header in quotes gone wrong", "\"t_ms\"x,rpm\n", nullptr},
  };
  for (const Case& c : cases) {
    LiveSeries series(1000, 10);
    series.Append({5, {}});
    const RecordingRead r = Read(c.text, series);
    EXPECT_FALSE(r.ok) << c.name;
    if (c.message != nullptr) {
      EXPECT_EQ(r.message, c.message) << c.name;
    }
    EXPECT_EQ(r.message.find('\n'), std::string::npos) << c.name;
    EXPECT_EQ(series.size(), 1u) << c.name;  // the chart keeps what it showed
  }
}

TEST(RecordingReaderTest, RowsThatCannotBeReadAreCountedAndSkipped) {
  const std::string text = kHeader + kRow +                           // good
                           "1300,1350\r\n" +                          // ragged: too few
                           "1400,1,2,3,4,5,6,7,8,9,10,11\r\n" +       // ragged: too many
                           "1500,abc,3,12,393,18,19,1.6,13,3,\r\n" +  // not a number
                           "1000,1,2,3,4,5,6,7,8,9,\r\n" +            // time runs backwards
                           "-5,1,2,3,4,5,6,7,8,9,\r\n" +              // before Connect
                           "\"16\"00,1,2,3,4,5,6,7,8,9,\r\n" +        // text after a closing quote
                           std::string(100000, '9') + "\r\n" +        // a huge line
                           std::string("17\0\x01,1,2,3,4,5,6,7,8,9,\r\n", 25) +  // binary inside
                           "\r\n" +                                              // blank: not a row
                           "\"1800\",\" ----\",\"3,5\",12.5,393,18,19,1.6,13.875,,0.64\r\n" +
                           "1900,1400,3.2,12.5,393,18,19,1.6,13.875,3,0.65";  // no line end
  LiveSeries series(1000, 10);
  const RecordingRead r = Read(text, series);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.rows, 3u);
  EXPECT_EQ(r.skipped, 8u);
  EXPECT_EQ(r.message, "3 rows; 8 unreadable rows skipped");
  ASSERT_EQ(series.size(), 3u);
  EXPECT_EQ(series.at(1).t_ms, 1800);
  EXPECT_TRUE(std::isnan(series.at(1).values[0]));  // no engine speed
  EXPECT_FLOAT_EQ(series.at(1).values[1], 3.5f);    // a comma separator, quoted
  EXPECT_TRUE(std::isnan(series.at(1).values[8]));  // trimmer not polled
  EXPECT_FLOAT_EQ(series.at(2).values[9], 0.65f);
}

TEST(RecordingReaderTest, HeaderOnlyAndByteOrderMark) {
  LiveSeries series(1000, 10);
  RecordingRead r = Read(kHeader, series);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.message, "the recording holds no rows");
  r = Read("\xEF\xBB\xBF" + std::string(kCsvHeader) + "\n" + kRow, series);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.message, "1 row");
}

TEST(RecordingReaderTest, MissingFileAndDirectory) {
  LiveSeries series(1000, 10);
  EXPECT_EQ(ReadRecordingFile("/nonexistent/velarin.csv", series).message,
            "cannot open /nonexistent/velarin.csv: No such file or directory");
  const std::string dir = std::filesystem::temp_directory_path().string();
  EXPECT_EQ(ReadRecordingFile(dir, series).message, "cannot open " + dir + ": Is a directory");
}

}  // namespace
}  // namespace velarin::recording
