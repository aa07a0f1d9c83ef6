// velarin-ecusim: a simulated ECU behind a pseudo-terminal. Prints the slave
// path, switches the ignition on and answers until Ctrl-C, SIGTERM or --seconds.

#include <signal.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/ecu_family.h"
#include "sim/ecu_scenario.h"
#include "sim/pty_host.h"

namespace {

using velarin::EcuFamily;

constexpr char kUsage[] =
    "usage: velarin-ecusim [--ecu 15m|15Rc|16m|P8] [--link PATH] [--ignition-delay MS] "
    "[--no-echo] [--burst HEX] [--seconds S]";
constexpr int kUsageError = 2;
constexpr uint32_t kMaxDelayMs = 24u * 3600 * 1000;
constexpr size_t kMaxBurstBytes = 64;

struct Options {
  EcuFamily family = EcuFamily::Ecu15m;
  std::string link;
  std::optional<uint32_t> ignition_delay_ms;
  bool no_echo = false;
  std::optional<std::vector<uint8_t>> burst;
  std::optional<double> seconds;
};

std::optional<EcuFamily> ParseFamily(std::string_view s) {
  struct Name {
    std::string_view text;
    EcuFamily family;
  };
  static constexpr Name kNames[] = {{"15m", EcuFamily::Ecu15m},
                                    {"15Rc", EcuFamily::Ecu15Rc},
                                    {"16m", EcuFamily::Ecu16m},
                                    {"P8", EcuFamily::EcuP8}};
  for (const Name& n : kNames) {
    if (n.text.size() != s.size()) continue;
    bool same = true;
    for (size_t i = 0; i < s.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(s[i])) !=
          std::tolower(static_cast<unsigned char>(n.text[i]))) {
        same = false;
      }
    }
    if (same) return n.family;
  }
  return std::nullopt;
}

std::optional<uint32_t> ParseMs(std::string_view s) {
  uint32_t v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || v > kMaxDelayMs) return std::nullopt;
  return v;
}

std::optional<double> ParseSeconds(std::string_view s) {
  const std::string text(s);
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(v) || v <= 0 || v > 1e7) {
    return std::nullopt;
  }
  return v;
}

std::optional<std::vector<uint8_t>> ParseHex(std::string_view s) {
  if (s.size() % 2 != 0 || s.size() / 2 > kMaxBurstBytes) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < s.size(); i += 2) {
    uint8_t b = 0;
    auto [end, ec] = std::from_chars(s.data() + i, s.data() + i + 2, b, 16);
    if (ec != std::errc() || end != s.data() + i + 2) return std::nullopt;
    bytes.push_back(b);
  }
  return bytes;
}

// One line on stderr and the usage exit status.
int UsageError(const std::string& why) {
  std::fprintf(stderr, "velarin-ecusim: %s (see --help)\n", why.c_str());
  return kUsageError;
}

// Fills `o`; returns -1 to go on, or the exit status.
int ParseArgs(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::printf("%s\n", kUsage);
      return 0;
    }
    if (arg == "--no-echo") {
      o.no_echo = true;
      continue;
    }
    const bool takes_value = arg == "--ecu" || arg == "--link" || arg == "--ignition-delay" ||
                             arg == "--burst" || arg == "--seconds";
    if (!takes_value) return UsageError("unknown option " + std::string(arg));
    if (i + 1 >= argc) return UsageError(std::string(arg) + " needs a value");
    const std::string_view value = argv[++i];
    if (arg == "--ecu") {
      std::optional<EcuFamily> f = ParseFamily(value);
      if (!f) return UsageError("--ecu takes 15m, 15Rc, 16m or P8, not " + std::string(value));
      o.family = *f;
    } else if (arg == "--link") {
      if (value.empty()) return UsageError("--link needs a path");
      o.link = value;
    } else if (arg == "--ignition-delay") {
      o.ignition_delay_ms = ParseMs(value);
      if (!o.ignition_delay_ms) {
        return UsageError("--ignition-delay takes whole milliseconds, not " + std::string(value));
      }
    } else if (arg == "--burst") {
      o.burst = ParseHex(value);
      if (!o.burst) {
        return UsageError("--burst takes pairs of hex digits (at most 64 bytes), not " +
                          std::string(value));
      }
    } else {
      o.seconds = ParseSeconds(value);
      if (!o.seconds)
        return UsageError("--seconds takes a positive number, not " + std::string(value));
    }
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (int status = ParseArgs(argc, argv, o); status >= 0) return status;

  velarin::EcuScenario scenario = velarin::DefaultScenario(o.family);
  if (o.ignition_delay_ms) scenario.ignition_delay_ms = *o.ignition_delay_ms;
  if (o.burst) scenario.burst = *o.burst;
  scenario.echo = !o.no_echo;

  // Blocked before the host's thread starts, so only sigtimedwait below sees them.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  velarin::PtyHost host(scenario);
  if (!host.Start()) {
    std::fprintf(stderr, "velarin-ecusim: %s\n", host.error().c_str());
    return 1;
  }
  if (!o.link.empty() && !host.LinkAt(o.link)) {
    std::fprintf(stderr, "velarin-ecusim: %s\n", host.error().c_str());
    return 1;
  }
  std::printf("%s\n", host.slave_path().c_str());
  std::fflush(stdout);
  host.IgnitionOn();

  if (o.seconds) {
    const double whole = std::floor(*o.seconds);
    const timespec limit{static_cast<time_t>(whole), static_cast<long>((*o.seconds - whole) * 1e9)};
    // Returns on a signal or when the time is up; EINTR from anything else ends it as well.
    (void)sigtimedwait(&stop_signals, nullptr, &limit);
  } else {
    int signal = 0;
    (void)sigwait(&stop_signals, &signal);
  }
  host.Stop();
  return 0;
}
