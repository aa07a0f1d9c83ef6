#include "frontend/cli_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velarin::cli {
namespace {

std::vector<std::string> Argv(std::vector<std::string> args) {
  args.insert(args.begin(), "velarin-cli");
  return args;
}

CliOptions Parsed(std::vector<std::string> args) {
  const auto result = ParseCliArgs(Argv(std::move(args)));
  EXPECT_TRUE(result.options.has_value()) << result.error;
  return result.options.value_or(CliOptions{});
}

TEST(CliOptions, EmptyLineTakesEverythingFromTheWindow) {
  const CliOptions o = Parsed({});
  EXPECT_FALSE(o.device || o.com || o.ecu || o.settings || o.seconds_ms || o.frames || o.channels ||
               o.csv);
  EXPECT_FALSE(o.no_ecu_data || o.calibration || o.simulate);
  EXPECT_TRUE(o.actions.empty());
}

TEST(CliOptions, ValuesBothSeparateAndAfterEquals) {
  const CliOptions o =
      Parsed({"--device", "/dev/ttyUSB3", "--ecu=p8", "--settings", "s.ini", "--seconds=2.5",
              "--frames", "7", "--csv", "-", "--no-ecu-data", "--calibration"});
  EXPECT_EQ(o.device, "/dev/ttyUSB3");
  EXPECT_EQ(o.ecu, EcuFamily::EcuP8);
  EXPECT_EQ(o.settings, "s.ini");
  EXPECT_EQ(o.seconds_ms, 2500u);
  EXPECT_EQ(o.frames, 7u);
  EXPECT_EQ(o.csv, "-");
  EXPECT_TRUE(o.no_ecu_data);
  EXPECT_TRUE(o.calibration);
}

TEST(CliOptions, FamilyNamesAreTheOptionCaptionsInAnyCase) {
  const struct {
    const char* name;
    EcuFamily family;
  } cases[] = {{"15m", EcuFamily::Ecu15m},   {"15Rc", EcuFamily::Ecu15Rc},
               {"15RC", EcuFamily::Ecu15Rc}, {"16M", EcuFamily::Ecu16m},
               {"P8", EcuFamily::EcuP8},     {"p8", EcuFamily::EcuP8}};
  for (const auto& c : cases) EXPECT_EQ(FamilyFromName(c.name), c.family) << c.name;
  for (const char* bad : {"", "15", "15mm", "P9", "16 m"}) EXPECT_FALSE(FamilyFromName(bad)) << bad;
}

TEST(CliOptions, ChannelListChecksExactlyTheNamedSelectors) {
  const CliOptions o = Parsed({"--channels", "rpm,throttle,trimmer,rpm"});
  ASSERT_TRUE(o.channels);
  const std::array<bool, kChannelCount> want = {true,  false, false, false, false,
                                                false, true,  false, true};
  EXPECT_EQ(*o.channels, want);

  std::string bad;
  EXPECT_FALSE(ChannelsFromList("rpm,,adv", &bad));
  EXPECT_EQ(bad, "");
  EXPECT_FALSE(ChannelsFromList("rpm,speed", &bad));
  EXPECT_EQ(bad, "speed");
  const auto all = ChannelsFromList("rpm,inj,adv,map,air,water,throttle,battery,trimmer", &bad);
  ASSERT_TRUE(all);
  for (bool checked : *all) EXPECT_TRUE(checked);
}

TEST(CliOptions, ActionsKeepTheirCommandLineOrder) {
  const CliOptions o = Parsed({"--test", "coil2", "--dtc", "--trimmer", "200", "--test=custom=1f",
                               "--test", "fuel-pump", "--dtc"});
  ASSERT_EQ(o.actions.size(), 6u);
  using K = CliAction::Kind;
  EXPECT_EQ(o.actions[0].kind, K::kTest);
  EXPECT_EQ(o.actions[0].test_button, 6);
  EXPECT_EQ(o.actions[1].kind, K::kDtc);
  EXPECT_EQ(o.actions[2].kind, K::kTrimmer);
  EXPECT_EQ(o.actions[2].trimmer, 200);
  EXPECT_EQ(o.actions[3].test_button, 8);
  EXPECT_EQ(o.actions[3].custom_code, "1f");  // as typed: the log shows it so
  EXPECT_EQ(o.actions[4].test_button, 1);
  EXPECT_EQ(o.actions[5].kind, K::kDtc);
}

TEST(CliOptions, EveryTestNameMapsToItsButton) {
  const struct {
    const char* name;
    int button;
  } cases[] = {{"fuel-pump", 1},   {"injector1", 2}, {"injector2", 3},
               {"rev-counter", 4}, {"coil1", 5},     {"coil2", 6},
               {"clear-dtc", 7},   {"custom=00", 8}, {"reset-tps", 9}};
  for (const auto& c : cases) {
    const CliOptions o = Parsed({"--test", c.name});
    ASSERT_EQ(o.actions.size(), 1u) << c.name;
    EXPECT_EQ(o.actions[0].test_button, c.button) << c.name;
  }
}

TEST(CliOptions, TrimmerRangeIsTheSliderRange) {
  EXPECT_EQ(Parsed({"--trimmer", "0"}).actions.at(0).trimmer, 0);
  EXPECT_EQ(Parsed({"--trimmer", "254"}).actions.at(0).trimmer, 254);
}

TEST(CliOptions, SecondsRoundUpToWholeMilliseconds) {
  EXPECT_EQ(Parsed({"--seconds", "1"}).seconds_ms, 1000u);
  EXPECT_EQ(Parsed({"--seconds", "0.0005"}).seconds_ms, 1u);
  EXPECT_EQ(Parsed({"--seconds", "90"}).seconds_ms, 90000u);
}

// Each bad line gives one line naming the problem, and no options.
TEST(CliOptions, UsageErrorsNameTheProblem) {
  const struct {
    std::vector<std::string> args;
    const char* mentions;
  } cases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"stray"}, "unknown option 'stray'"},
      {{"--ecu", "P9"}, "--ecu 'P9'"},
      {{"--ecu"}, "--ecu needs a value"},
      {{"--device", "/dev/a", "--com", "2"}, "exclude each other"},
      {{"--com", "0"}, "--com '0'"},
      {{"--com", "3.5"}, "--com '3.5'"},
      {{"--com", "-1"}, "--com '-1'"},
      {{"--seconds", "0"}, "--seconds '0'"},
      {{"--seconds", "-3"}, "--seconds '-3'"},
      {{"--seconds", "1e3"}, "--seconds '1e3'"},
      {{"--seconds", "nan"}, "--seconds 'nan'"},
      {{"--frames", "0"}, "--frames '0'"},
      {{"--frames", "2x"}, "--frames '2x'"},
      {{"--frames", "99999999999999999999"}, "--frames"},
      {{"--channels", "rpm,speed"}, "unknown channel 'speed'"},
      {{"--channels", ""}, "unknown channel ''"},
      {{"--test", "horn"}, "unknown test 'horn'"},
      {{"--test", "custom="}, "not one byte"},
      {{"--test", "custom=100"}, "not one byte"},  // never a truncated actuator code
      {{"--test", "custom=-1"}, "not one byte"},
      {{"--test", "custom=zz"}, "not one byte"},
      {{"--trimmer", "255"}, "0..254"},  // 0xFF would leave CO regulation
      {{"--trimmer", "-1"}, "0..254"},
      {{"--trimmer", "12.5"}, "0..254"},
      {{"--ecu", "15m", "--ecu", "16m"}, "--ecu given twice"},
      {{"--dtc=1"}, "--dtc takes no value"},
      {{"--simulate", "--device", "/dev/x"}, "--simulate"},
      {{"--csv", ""}, "--csv needs"},
  };
  for (const auto& c : cases) {
    const auto result = ParseCliArgs(Argv(c.args));
    EXPECT_FALSE(result.options.has_value()) << c.mentions;
    EXPECT_FALSE(result.help);
    EXPECT_NE(result.error.find(c.mentions), std::string::npos) << result.error;
    EXPECT_EQ(result.error.rfind("velarin-cli: ", 0), 0u) << result.error;
    EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
  }
}

TEST(CliOptions, HelpWinsOverEverythingAfterIt) {
  EXPECT_TRUE(ParseCliArgs(Argv({"--help"})).help);
  EXPECT_TRUE(ParseCliArgs(Argv({"--ecu", "15m", "-h", "--bogus"})).help);
}

TEST(GuiOptions, SimulateTakesAnOptionalFamily) {
  auto plain = ParseGuiArgs({"velarin", "--simulate"});
  ASSERT_TRUE(plain.options);
  EXPECT_TRUE(plain.options->simulate);
  EXPECT_FALSE(plain.options->simulate_family);

  auto family = ParseGuiArgs({"velarin", "--simulate=16m", "--settings", "x.ini"});
  ASSERT_TRUE(family.options) << family.error;
  EXPECT_EQ(family.options->simulate_family, EcuFamily::Ecu16m);
  EXPECT_EQ(family.options->settings, "x.ini");

  // The family is glued on with "=": a following word is not taken for it.
  EXPECT_FALSE(ParseGuiArgs({"velarin", "--simulate", "P8"}).options);
  EXPECT_FALSE(ParseGuiArgs({"velarin", "--simulate=P9"}).options);
  EXPECT_FALSE(ParseGuiArgs({"velarin", "--simulate", "--com", "3"}).options);
  EXPECT_FALSE(ParseGuiArgs({"velarin", "--frames", "3"}).options);  // a CLI option only
  auto com = ParseGuiArgs({"velarin", "--com", "3"});
  ASSERT_TRUE(com.options);
  EXPECT_EQ(com.options->com, "3");
}

}  // namespace
}  // namespace velarin::cli
