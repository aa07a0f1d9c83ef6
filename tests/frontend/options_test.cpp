#include "frontend/options.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/version.h"

namespace velarin::frontend {
namespace {

std::vector<std::string> Argv(std::vector<std::string> args) {
  args.insert(args.begin(), "velarin-cli");
  return args;
}

Options Parsed(std::vector<std::string> args) {
  const auto result = ParseArgs(Program::kCli, Argv(std::move(args)));
  EXPECT_TRUE(result.options.has_value()) << result.error;
  return result.options.value_or(Options{});
}

TEST(Options, EmptyLineTakesEverythingFromTheWindow) {
  const Options o = Parsed({});
  EXPECT_FALSE(o.device || o.com || o.ecu || o.settings || o.seconds_ms || o.frames || o.channels ||
               o.csv);
  EXPECT_FALSE(o.no_ecu_data || o.calibration || o.simulate);
  EXPECT_TRUE(o.actions.empty());
}

TEST(Options, ValuesBothSeparateAndAfterEquals) {
  const Options o =
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

TEST(Options, FamilyNamesAreTheOptionCaptionsInAnyCase) {
  const struct {
    const char* name;
    EcuFamily family;
  } cases[] = {{"15m", EcuFamily::Ecu15m},   {"15Rc", EcuFamily::Ecu15Rc},
               {"15RC", EcuFamily::Ecu15Rc}, {"16M", EcuFamily::Ecu16m},
               {"P8", EcuFamily::EcuP8},     {"p8", EcuFamily::EcuP8}};
  for (const auto& c : cases) EXPECT_EQ(FamilyNamed(c.name), c.family) << c.name;
  for (const char* bad : {"", "15", "15mm", "P9", "16 m"}) EXPECT_FALSE(FamilyNamed(bad)) << bad;
}

TEST(Options, ChannelListChecksExactlyTheNamedSelectors) {
  const Options o = Parsed({"--channels", "rpm,throttle,trimmer,rpm"});
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

TEST(Options, ActionsKeepTheirCommandLineOrder) {
  const Options o = Parsed({"--test", "coil2", "--dtc", "--trimmer", "200", "--test=custom=1f",
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

TEST(Options, EveryTestNameMapsToItsButton) {
  const struct {
    const char* name;
    int button;
  } cases[] = {{"fuel-pump", 1},   {"injector1", 2}, {"injector2", 3},
               {"rev-counter", 4}, {"coil1", 5},     {"coil2", 6},
               {"clear-dtc", 7},   {"custom=00", 8}, {"reset-tps", 9}};
  for (const auto& c : cases) {
    const Options o = Parsed({"--test", c.name});
    ASSERT_EQ(o.actions.size(), 1u) << c.name;
    EXPECT_EQ(o.actions[0].test_button, c.button) << c.name;
  }
}

TEST(Options, TrimmerRangeIsTheSliderRange) {
  EXPECT_EQ(Parsed({"--trimmer", "0"}).actions.at(0).trimmer, 0);
  EXPECT_EQ(Parsed({"--trimmer", "254"}).actions.at(0).trimmer, 254);
}

TEST(Options, SecondsRoundUpToWholeMilliseconds) {
  EXPECT_EQ(Parsed({"--seconds", "1"}).seconds_ms, 1000u);
  EXPECT_EQ(Parsed({"--seconds", "0.0005"}).seconds_ms, 1u);
  EXPECT_EQ(Parsed({"--seconds", "90"}).seconds_ms, 90000u);
}

// Each bad line gives one line naming the problem, and no options.
TEST(Options, UsageErrorsNameTheProblem) {
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
      {{"--test", "horn"}, "--test 'horn' is none of fuel-pump"},
      {{"--test", "custom="}, "not one byte"},
      {{"--test", "custom=100"}, "not one byte"},  // never a truncated actuator code
      {{"--test", "custom=-1"}, "not one byte"},
      {{"--test", "custom=zz"}, "not one byte"},
      {{"--trimmer", "255"}, "0..254"},  // 0xFF would leave CO regulation
      {{"--trimmer", "-1"}, "0..254"},
      {{"--trimmer", "12.5"}, "0..254"},
      {{"--ecu", "15m", "--ecu", "16m"}, "--ecu given twice"},
      {{"--ecu", "P\n9\x1b"}, "--ecu 'P\\x0A9\\x1B'"},  // one line, nothing for the terminal
      {{"--dtc=1"}, "--dtc takes no value"},
      {{"--simulate", "--device", "/dev/x"}, "--simulate"},
      {{"--csv", ""}, "--csv needs"},
      {{"--replay", "b.vcap", "--com", "2"}, "--replay brings its own port"},
      {{"--check-adapter", "--frames", "2"}, "--check-adapter does not connect"},
  };
  for (const auto& c : cases) {
    const auto result = ParseArgs(Program::kCli, Argv(c.args));
    EXPECT_FALSE(result.options.has_value()) << c.mentions;
    EXPECT_FALSE(result.help);
    EXPECT_NE(result.error.find(c.mentions), std::string::npos) << result.error;
    EXPECT_EQ(result.error.rfind("velarin-cli: ", 0), 0u) << result.error;
    EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
  }
}

TEST(Options, HelpWinsOverEverythingAfterIt) {
  EXPECT_TRUE(ParseArgs(Program::kCli, Argv({"--help"})).help);
  EXPECT_TRUE(ParseArgs(Program::kCli, Argv({"--ecu", "15m", "-h", "--bogus"})).help);
}

TEST(Options, VersionOnEveryProgramAndListPortsOnTheCli) {
  for (Program p : {Program::kWindow, Program::kCli, Program::kEcuSim}) {
    std::ostringstream out, err;
    const ParseResult parsed = ParseArgs(p, {"x", "--version"});
    EXPECT_EQ(ExitBeforeRunning(p, parsed, out, err), kExitOk);
    EXPECT_EQ(out.str(), std::string(ProgramName(p)) + " " + std::string(kProgramVersion) + "\n");
  }
  EXPECT_TRUE(Parsed({"--list-ports"}).list_ports);
  EXPECT_FALSE(ParseArgs(Program::kWindow, {"velarin", "--list-ports"}).options);
  EXPECT_FALSE(ParseArgs(Program::kCli, Argv({"--version=1"})).options);
}

TEST(GuiOptions, SimulateTakesAnOptionalFamily) {
  auto plain = ParseArgs(Program::kWindow, {"velarin", "--simulate"});
  ASSERT_TRUE(plain.options);
  EXPECT_TRUE(plain.options->simulate);
  EXPECT_FALSE(plain.options->ecu);

  auto family = ParseArgs(Program::kWindow, {"velarin", "--simulate=16m", "--settings", "x.ini"});
  ASSERT_TRUE(family.options) << family.error;
  EXPECT_EQ(family.options->ecu, EcuFamily::Ecu16m);
  EXPECT_EQ(family.options->settings, "x.ini");

  // The family is glued on with "=": a following word is not taken for it.
  EXPECT_FALSE(ParseArgs(Program::kWindow, {"velarin", "--simulate", "P8"}).options);
  EXPECT_FALSE(ParseArgs(Program::kWindow, {"velarin", "--simulate=P9"}).options);
  // Anything with a dot or a separator is a capture to play back.
  auto replay = ParseArgs(Program::kWindow, {"velarin", "--simulate=bike.vcap"});
  ASSERT_TRUE(replay.options) << replay.error;
  EXPECT_EQ(replay.options->replay, "bike.vcap");
  EXPECT_FALSE(replay.options->ecu);
  EXPECT_FALSE(
      ParseArgs(Program::kEcuSim, {"velarin-ecusim", "--replay", "b.vcap", "--no-echo"}).options);
  EXPECT_FALSE(ParseArgs(Program::kWindow, {"velarin", "--simulate", "--com", "3"}).options);
  EXPECT_FALSE(
      ParseArgs(Program::kWindow, {"velarin", "--frames", "3"}).options);  // a CLI option only
  auto com = ParseArgs(Program::kWindow, {"velarin", "--com", "3"});
  ASSERT_TRUE(com.options);
  EXPECT_EQ(com.options->com, "3");
}

// The seam all three programs share: one table, one parser, one style.
constexpr Program kPrograms[] = {Program::kWindow, Program::kCli, Program::kEcuSim};

bool Takes(const OptionRow& row, Program p) {
  return (row.programs & static_cast<unsigned>(p)) != 0;
}

TEST(OptionTable, EveryValueGoesAfterASpaceOrAnEqualsSign) {
  const std::map<std::string_view, std::string> sample = {
      {"--device", "/dev/x"},   {"--com", "2"},
      {"--ecu", "p8"},          {"--settings", "s.ini"},
      {"--seconds", "1.5"},     {"--frames", "3"},
      {"--channels", "rpm"},    {"--csv", "-"},
      {"--test", "coil1"},      {"--trimmer", "200"},
      {"--link", "/tmp/l"},     {"--ignition-delay", "10"},
      {"--burst", "55AA"},      {"--service-report", "r"},
      {"--replay", "b.vcap"},   {"--capture", "c.vcap"},
      {"--answer-latency", "0"}};
  for (const OptionRow& row : OptionTable()) {
    if (row.form != ValueForm::kRequired) continue;
    ASSERT_TRUE(sample.count(row.name)) << row.name << " needs a sample value here";
    const std::string name(row.name);
    const std::string& value = sample.at(row.name);
    for (Program p : kPrograms) {
      if (!Takes(row, p)) continue;
      const ParseResult apart = ParseArgs(p, {"prog", name, value});
      const ParseResult glued = ParseArgs(p, {"prog", name + "=" + value});
      ASSERT_TRUE(apart.options) << apart.error;
      EXPECT_EQ(apart.options, glued.options) << ProgramName(p) << " " << name;
    }
  }
}

TEST(OptionTable, BadLinesReadAlikeInEveryProgram) {
  for (Program p : kPrograms) {
    const OptionRow* valued = nullptr;
    for (const OptionRow& row : OptionTable()) {
      if (!valued && Takes(row, p) && row.form == ValueForm::kRequired) valued = &row;
    }
    ASSERT_NE(valued, nullptr);
    const std::string name(valued->name);
    const std::string prefix = std::string(ProgramName(p)) + ": ";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{name}, name + " needs a value"},
        {{name + "=", name + "="}, ""},  // refused value or given twice, by the program's rule
    };
    for (const auto& [args, says] : cases) {
      std::vector<std::string> argv = {"prog"};
      argv.insert(argv.end(), args.begin(), args.end());
      const ParseResult r = ParseArgs(p, argv);
      EXPECT_FALSE(r.options);
      EXPECT_EQ(r.error.rfind(prefix + says, 0), 0u) << r.error;
      EXPECT_TRUE(r.error.ends_with(" (try --help)")) << r.error;
    }
  }
}

TEST(OptionTable, EachUsageListsExactlyItsProgramsOptions) {
  for (Program p : kPrograms) {
    const std::string usage = Usage(p);
    EXPECT_EQ(usage.rfind("usage: " + std::string(ProgramName(p)) + " [OPTION]...\n", 0), 0u);
    for (const OptionRow& row : OptionTable()) {
      const bool listed = usage.find("  " + std::string(row.name)) != std::string::npos;
      // --simulate is listed by both the window and the CLI, each with its own form.
      if (row.name != "--simulate") {
        EXPECT_EQ(listed, Takes(row, p)) << usage << row.name;
      }
    }
    EXPECT_EQ(usage.find('{'), std::string::npos) << usage;
  }
  EXPECT_NE(Usage(Program::kWindow).find("--simulate[=FAMILY|FILE]"), std::string::npos);
}

}  // namespace
}  // namespace velarin::frontend
