#pragma once
// Whoever keeps a record of the session (the service report's journal) hears of
// every user step that talked to the ECU, with the log lines that step wrote. It
// only watches: nothing is sent, changed or delayed for it.

#include <string>
#include <vector>

namespace velarin {

struct App;

enum class SessionStep {
  kLiveRead,      // a polling tick read a live-data frame (no lines)
  kFaultRead,     // "DTC": the report lines, none when the ECU did not answer
  kActuatorTest,  // a test button: its name, the ECU's answers and the verdict
  kCoOn,          // "On"
  kTrimmer,       // "Ok": the trimmer byte of Text2
  kCoOff,         // "Off"
};

struct SessionStepDone {
  SessionStep step = SessionStep::kLiveRead;
  int button = 0;                  // kActuatorTest: 1..9, Command1..Command9
  std::vector<std::string> lines;  // what the step appended to its window's log
};

class SessionObserver {
 public:
  virtual ~SessionObserver() = default;
  // Called on the loop's thread once the step has returned; `app` as it left it.
  virtual void StepDone(const App& app, const SessionStepDone& done) = 0;
};

}  // namespace velarin
