#pragma once
// What a session did with the ECU, as the service report tells it. Every list is
// capped, so a workshop day of polling and tests keeps a bounded record.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velarin::report {

inline constexpr size_t kMaxTests = 200;           // actuator tests kept
inline constexpr size_t kMaxTrimmerEntries = 400;  // trimmer journal lines kept
inline constexpr size_t kMaxAnswers = 40;          // answer batches (or report lines) kept per step
inline constexpr size_t kMaxTextBytes = 256;       // of any one text taken from the ECU

// Texts from the ECU or the logs are kept as the bytes the program holds
// (the system's code page); the report converts them.
struct FaultRead {
  uint64_t seq = 0;                // order among all the session's steps
  std::vector<std::string> lines;  // the report lines
};

struct TestRun {
  uint64_t seq = 0;
  int button = 0;                    // 1..9
  std::string name;                  // as logged ("Injector1", "Custom code 1f")
  std::vector<std::string> answers;  // hex text of each batch the ECU sent
  std::string verdict;               // a log line ("Test finish", ...) or an outcome text
  bool clears_dtc = false;
};

struct TrimmerEntry {
  enum class Kind { kCoOn, kTrimmer, kCoOff };
  Kind kind = Kind::kTrimmer;
  std::string sent;  // hex byte, or the typed value and the slider position
  std::vector<std::string> answers;
  std::string result;
};

struct Readout {
  std::string channel;  // UTF-8 caption
  std::string value;
  std::string unit;  // UTF-8 caption
};

struct SessionRecord {
  std::string family;  // caption of the selected option
  std::string iso_code, identification, calibration;

  std::optional<FaultRead> first_fault, last_fault;
  uint64_t fault_reads = 0;  // answered
  uint64_t fault_unanswered = 0;

  std::vector<TestRun> tests;
  uint64_t tests_dropped = 0;
  std::vector<TrimmerEntry> trimmer;
  uint64_t trimmer_dropped = 0;

  std::vector<Readout> live;
  uint64_t live_reads = 0;
};

}  // namespace velarin::report
