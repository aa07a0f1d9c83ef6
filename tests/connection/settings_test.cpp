#include "connection/settings.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <optional>
#include <string>

#include "connection/connection_fixture.h"
#include "platform/profile_file.h"
#include "support/native_lines.h"

namespace velarin {
namespace {

// What the window shows after loading with a given settings file.
struct StartCase {
  const char* name;
  std::optional<std::string> file;  // nullopt: no file
  const char* com;                  // Text6 after load
  EcuFamily family;
  std::optional<std::string> file_after;  // nullopt: byte for byte as before
};

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class SettingsStartTest : public testing::ConnectionRig<::testing::TestWithParam<StartCase>> {};

TEST_P(SettingsStartTest, RestoresPortAndFamily) {
  const StartCase& c = GetParam();
  if (c.file) WriteSettings(*c.file);
  Load(Scenario(EcuFamily::Ecu15m));
  const Form2& f = app_.form2;
  EXPECT_EQ(f.Text6.text, c.com);
  EXPECT_EQ(SelectedFamily(f), c.family);
  const bool rc = c.family == EcuFamily::Ecu15Rc;
  EXPECT_EQ(f.Text1[9].visible, rc);
  EXPECT_EQ(f.Label9.visible, rc);
  if (!c.file) {
    EXPECT_FALSE(SettingsExist()) << "no file until the first Connect";
  } else {
    EXPECT_EQ(ReadSettings(), c.file_after.value_or(*c.file));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsStartTest,
    ::testing::Values(
        StartCase{"no_file", std::nullopt, "1", EcuFamily::Ecu15m, std::nullopt},
        StartCase{"com3_16m", "[Hardware]\r\nCom=3\r\nEcu=3\r\n", "3", EcuFamily::Ecu16m,
                  std::nullopt},
        StartCase{"com_kept_as_stored", "[Hardware]\nCom=3.5\n", "3.5", EcuFamily::Ecu15m,
                  std::nullopt},
        StartCase{"ecu4_15rc", "[Hardware]\nEcu=4\n", "1", EcuFamily::Ecu15Rc, std::nullopt},
        StartCase{"ecu2_p8", "[Hardware]\nEcu=2\n", "1", EcuFamily::EcuP8, std::nullopt},
        StartCase{"ecu1_15m_not_written_back", "[Hardware]\necu = 1\n", "1", EcuFamily::Ecu15m,
                  std::nullopt},
        // The value is written back at load: the line is rewritten in our spelling.
        StartCase{"names_without_regard_to_case", "[HARDWARE]\ncom=7\necu = 3\n", "7",
                  EcuFamily::Ecu16m, "[HARDWARE]\ncom=7\nEcu=3\n"},
        StartCase{"ecu5_ignored", "[Hardware]\nEcu=5\n", "1", EcuFamily::Ecu15m, std::nullopt},
        StartCase{"ecu_text_ignored", "[Hardware]\nEcu=P8\n", "1", EcuFamily::Ecu15m, std::nullopt},
        StartCase{"ecu_leading_zero_ignored", "[Hardware]\nEcu=02\n", "1", EcuFamily::Ecu15m,
                  std::nullopt},
        StartCase{"empty_values", "[Hardware]\nCom=\nEcu=\n", "1", EcuFamily::Ecu15m, std::nullopt},
        StartCase{"other_section", "[Software]\nCom=9\nEcu=3\n", "1", EcuFamily::Ecu15m,
                  std::nullopt},
        StartCase{"cr_only_line_ends", "[Hardware]\rCom=5\rEcu=4\r", "5", EcuFamily::Ecu15Rc,
                  std::nullopt},
        StartCase{"binary_garbage", std::string("\x00\xFF\x1B[\x01\x80=\n\xFE", 9), "1",
                  EcuFamily::Ecu15m, std::nullopt}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

// What Connect stores, and what the next start makes of it.
struct RoundTripCase {
  const char* name;
  const char* typed;
  EcuFamily family;
  const char* com_stored;
  const char* ecu_stored;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

class SettingsRoundTripTest
    : public testing::ConnectionRig<::testing::TestWithParam<RoundTripCase>> {};

TEST_P(SettingsRoundTripTest, ConnectStoresAndTheNextStartRestores) {
  const RoundTripCase& c = GetParam();
  Load(c.family);
  SetComText(app_, c.typed);
  ClickConnectSwitch(app_);
  const std::string file = ReadSettings();
  EXPECT_EQ(FindProfileValue(file, "Hardware", "Com"), c.com_stored);
  EXPECT_EQ(FindProfileValue(file, "Hardware", "Ecu"), c.ecu_stored);

  App next;
  next.services = &loop_;
  next.settings_path = app_.settings_path;
  LoadMainWindow(next);
  EXPECT_EQ(next.form2.Text6.text, c.com_stored);
  EXPECT_EQ(SelectedFamily(next.form2), c.family);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsRoundTripTest,
    ::testing::Values(RoundTripCase{"port3_16m", "3", EcuFamily::Ecu16m, "3", "3"},
                      RoundTripCase{"halfway", "3.5", EcuFamily::Ecu15m, "3.5", "1"},
                      RoundTripCase{"letters", "abc", EcuFamily::Ecu15Rc, "0", "4"},
                      RoundTripCase{"empty", "", EcuFamily::EcuP8, "0", "2"},
                      RoundTripCase{"leading_number", " 12 abc", EcuFamily::Ecu15m, "12", "1"},
                      RoundTripCase{"trailing_zero", "2.50", EcuFamily::Ecu15m, "2.5", "1"},
                      RoundTripCase{"exponent", "1e3", EcuFamily::Ecu15m, "1000", "1"},
                      RoundTripCase{"negative", "-2", EcuFamily::Ecu15m, "-2", "1"},
                      RoundTripCase{"comma_is_no_separator", "1,5", EcuFamily::Ecu15m, "1", "1"}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) {
      return std::string(info.param.name);
    });

class SettingsTest : public testing::ConnectionFixture {};

TEST_F(SettingsTest, FirstConnectCreatesTheFile) {
  Load(EcuFamily::Ecu15m);
  loop_.RunFor(1000);
  EXPECT_FALSE(SettingsExist());
  ClickConnectSwitch(app_);
  EXPECT_EQ(ReadSettings(), testing::NativeLines("[Hardware]\nCom=1\nEcu=1\n"));
}

TEST_F(SettingsTest, FailedConnectStillStores) {
  Load(EcuFamily::Ecu16m);
  app_.protocol.MSComm1.device_path = "/dev/does-not-exist";
  SetComText(app_, "6");
  ClickConnectSwitch(app_);
  EXPECT_FALSE(app_.protocol.MSComm1.PortOpen());
  EXPECT_EQ(ReadSettings(), testing::NativeLines("[Hardware]\nCom=6\nEcu=3\n"));
}

// A C++ locale whose decimal separator is a comma.
struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST_F(SettingsTest, PointWhateverTheLocale) {
  const std::string saved_c = std::setlocale(LC_ALL, nullptr);
  const std::locale saved_cpp =
      std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  // The C library's locale too, where one with a decimal comma is installed.
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) break;
  }
  Load(EcuFamily::Ecu15m);
  SetComText(app_, "3.5");
  ClickConnectSwitch(app_);
  std::setlocale(LC_ALL, saved_c.c_str());
  std::locale::global(saved_cpp);
  EXPECT_EQ(FindProfileValue(ReadSettings(), "Hardware", "Com"), "3.5");
}

TEST_F(SettingsTest, DamagedFileKeepsItsOtherContentAcrossConnect) {
  std::string garbage;
  for (int i = 0; i < 1000; ++i) garbage.push_back(static_cast<char>((i * 53 + 1) & 0xFF));
  const std::string big(1 << 20, 'q');
  const std::string before = garbage + "\r[Keep]\rA=1\rLong=" + big + "\r; note\r";
  WriteSettings(before);
  Load(EcuFamily::Ecu15m);
  EXPECT_EQ(app_.form2.Text6.text, "1");
  ClickConnectSwitch(app_);
  const std::string after = ReadSettings();
  EXPECT_EQ(after.substr(0, before.size()), before);
  EXPECT_EQ(FindProfileValue(after, "Keep", "A"), "1");
  EXPECT_EQ(FindProfileValue(after, "Hardware", "Com"), "1");
  EXPECT_EQ(FindProfileValue(after, "Hardware", "Ecu"), "1");
}

TEST_F(SettingsTest, NoSettingsPathReadsNothingAndWritesNowhere) {
  app_.settings_path.clear();
  Load(EcuFamily::Ecu16m);
  ClickConnectSwitch(app_);
  EXPECT_TRUE(app_.protocol.MSComm1.PortOpen());
  EXPECT_EQ(LireINI(app_.settings_path, "Hardware", "Com"), "");
  EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

TEST_F(SettingsTest, LongValueComesBackCut) {
  WriteSettings("[Hardware]\nCom=" + std::string(300, '7') + "\n");
  EXPECT_EQ(LireINI(app_.settings_path, "Hardware", "Com"), std::string(254, '7'));
}

}  // namespace
}  // namespace velarin
